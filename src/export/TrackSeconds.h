#pragma once

#include <QList>
#include <QStringList>

// The lengths of many files at once, as a playlist of a whole library needs them: a few threads
// share the files, each with its own decoder handle, and the results come back in the order of
// the paths. Each length is what TTrackLength::Seconds gives for that file. threadCount 0 takes
// as many threads as a browse reads with, since these reads too mostly wait for the storage.
QList<qint64> MeasureTrackSeconds(const QStringList& paths, int threadCount = 0);
