#pragma once

#include <QString>
#include <QStringList>

// A generated music library for comparing whole runs: count MP3 files in nested artist and
// album folders with varied tags (ID3v2.2 to 2.4, ID3v1, none; featurings, track numbers in the
// title, several comments, covers, folder pictures), and hostile entries mixed in: damaged and
// truncated tags, empty and tiny files, named pipes and a folder under MP3 names, dangling and
// looping links, a hidden file, names that are not valid UTF-8, and an unreadable file (which
// only a non-root user cannot read). The same count and seed give the same library. The names
// that are not UTF-8 are removed again with the object (a QTemporaryDir cannot remove them).
class HostileLibrary {
public:
    HostileLibrary(const QString& folder, int count, unsigned seed);
    ~HostileLibrary();
    HostileLibrary(const HostileLibrary&) = delete;
    HostileLibrary& operator=(const HostileLibrary&) = delete;

    // The artists the library uses, for seeding learned genres.
    static QStringList Artists();
    // Entries for an M3U playlist: every tenth file, the pipes, a folder, an unreadable and a
    // missing file.
    const QStringList& PlaylistEntries() const { return FPlaylistEntries; }

private:
    QString FFolder;
    QStringList FPlaylistEntries;
};
