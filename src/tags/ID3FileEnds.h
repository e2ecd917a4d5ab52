#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// The two places of an MP3 file where its tags live, read through one open: the start (the
// ID3v2 header and the tag bytes it declares) and the last 128 bytes (the ID3v1 tag). The
// analysis reads both tags of every file in a library, and opening a file costs more than
// reading a few KB of it, so the two tag components can be opened from one TID3FileEnds.
// Which file a path named and the state it was in: the same device and inode with the same size,
// last-write time and change time mean the bytes read from it then are the bytes it holds now.
// The change time counts because a program that puts a file's last-write time back after
// writing (ours with PreserveFileDateTime, or touch) cannot put it back too.
struct TFileIdentity {
    quint64 Device = 0;
    quint64 Inode = 0;
    qint64 Size = -1;
    qint64 ModifiedNs = 0;
    qint64 ChangedNs = 0;

    bool operator==(const TFileIdentity&) const = default;
};

// The identity of the regular file at path (links followed, as opening does); nothing when no
// regular file is there.
std::optional<TFileIdentity> FileIdentityOf(const QString& path);

struct TID3FileEnds {
    // False when the path could not be opened as a regular file; ErrorCode then holds errno.
    bool Opened = false;
    int ErrorCode = 0;
    qint64 FileSize = 0;
    // The opened file as it was when it was read.
    TFileIdentity Identity;
    // The first 10 bytes (fewer in a shorter file) and, when they are an ID3v2 header, the tag
    // bytes it declares, as far as the file holds them.
    QByteArray Start;
    // The last 128 bytes; empty when the file is shorter.
    QByteArray Last;
    // True when Start was let go once the tags' values were taken from it: these ends tell the
    // file's identity and size, not its bytes, and must not stand for them.
    bool StartDropped = false;
    // True when the first read could not be served from the system's cache at once (a cold disk,
    // a share, or a file system that cannot tell): the storage, not the processor, set the pace.
    bool Uncached = false;
};

// buffer: when given, the array Start is read into and then shares, reused from file to file
// (its memory stays while the caller lets go of each Start before the next read).
TID3FileEnds ReadID3FileEnds(const QString& path, QByteArray* buffer = nullptr);

// The ends of the open file fd as ReadID3FileEnds would read them now, for a writer that has just
// written start (the file's whole ID3v2 tag area) and, when not empty, last (its last 128
// bytes): only what it does not know is read. Nothing when the file cannot be looked at, or
// when the two overlap (a file hardly longer than its tag: what one write left of the other is
// then best read back).
std::optional<TID3FileEnds> ID3FileEndsOf(int fd, const QByteArray& start, QByteArrayView last);
