#pragma once

#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

struct TOptionSet;

// One track of a playlist to be written: the folder and name of its file, its artist and title.
struct TM3UTrack {
    QString Folder;
    QString FileName;
    QString Artist;
    QString Title;
};

// The folder of a track as written relative to the playlist's folder, both with "/":
// "." for the same folder, "Album" below it, "../Other" beside it. Folder names are compared
// without regard to letter case; "." and ".." components are resolved first. A track folder
// that is relative while the playlist's is absolute (or the reverse) is returned unchanged.
QString M3URelativeFolder(const QString& playlistFolder, const QString& trackFolder);

// The entry line of a track: its full path, or its relative folder, "/" and its name.
QString M3UEntryLine(const QString& playlistFolder, const TM3UTrack& track, bool absolutePath);

// "#EXTINF:" seconds "," artist " - " title.
QString M3UInformationLine(qint64 lengthSeconds, const QString& artist, const QString& title);

// The length of a track in whole seconds; asked only for the extended form.
using TM3UTrackLength = std::function<qint64(const TM3UTrack& track)>;

// Every line of the playlist file playlistPath, in the form the options ask for
// (ExportPlaylistUsingExtendedM3UFormat, ExportPlaylistUsingAbsolutePath). The extended form
// starts with "#EXTM3U" and puts an information line before each entry; trackLength is called
// once per track, in order, and may throw to end the export. Without a trackLength the length
// is 0. The lines are written with TextFile::WriteLines (CR LF after every line).
QStringList M3UPlaylistLines(const QString& playlistPath, const QVector<TM3UTrack>& tracks,
                             const TOptionSet& options, const TM3UTrackLength& trackLength = {});
