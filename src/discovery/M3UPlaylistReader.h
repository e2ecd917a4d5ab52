#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// One entry of a playlist as read: the file it names (an absolute path without "." or ".."
// components) and the artist and title of the information line in force above it.
struct TM3UEntry {
    QString FileName;
    QString Artist;
    QString Title;
    bool operator==(const TM3UEntry&) const = default;
};

// The artist and title an "#EXTINF" line gives: the text after its first "," cut at the first
// " - "; both empty without a ",".
struct TM3UInformation {
    QString Artist;
    QString Title;
    bool operator==(const TM3UInformation&) const = default;
};
TM3UInformation ParseM3UInformationLine(const QString& line);

// The file an entry line names, or an empty string when it names no regular file. An absolute
// line is used as it is; a relative one is looked up in the playlist's folder, then in the
// current folder. A line written on Windows with "\" separators is tried again with "/".
QString ResolveM3UEntry(const QString& line, const QString& playlistFolder);

// The entries of playlist lines, for a playlist lying in playlistFolder. Information lines
// ("#EXTINF" anywhere) set the artist and title for the entries below them, "#EXTM3U" and
// "http://" lines are skipped, every other line is an entry; entries naming no file are left out.
QVector<TM3UEntry> ReadM3ULines(const QStringList& lines, const QString& playlistFolder);

// Reads a playlist file (byte-order mark, else UTF-8, else Windows-1252; any line end). A
// playlist that cannot be read, or is no regular file, gives no entries.
QVector<TM3UEntry> ReadM3UFile(const QString& playlistPath);
