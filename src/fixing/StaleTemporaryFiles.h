#pragma once

#include <QSet>
#include <QString>

// A tag that no longer fits is written into a temporary file beside the MP3 file
// (".varnholm-XXXXXX.tmp"), which the writer holds locked until it has taken the file's place
// or been removed. A move across file systems copies into such a file too. A run that was killed
// in between leaves it behind; the next run that writes into the folder removes it. A temporary
// file that is still locked belongs to a write in progress and stays.

// The mkostemps template of such a file, appended to a folder, and the length of its suffix.
inline constexpr char TemporaryFileTemplate[] = "/.varnholm-XXXXXX.tmp";
inline constexpr int TemporaryFileSuffixLength = 4;

// Whether a file name is that of such a temporary file.
bool IsTagTemporaryFileName(const QString& name);

// Removes the unlocked temporary files of one folder; the number removed.
int RemoveStaleTemporaryFiles(const QString& folder);

// Cleans each folder once per run.
class TStaleTemporaryFiles {
public:
    void CleanFolder(const QString& folder);

private:
    QSet<QString> FCleaned;
};
