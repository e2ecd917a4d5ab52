#pragma once

#include <QByteArray>
#include <QString>

// The two places of an MP3 file where its tags live, read through one open: the start (the
// ID3v2 header and the tag bytes it declares) and the last 128 bytes (the ID3v1 tag). The
// analysis reads both tags of every file in a library, and opening a file costs more than
// reading a few KB of it, so the two tag components can be opened from one TID3FileEnds.
struct TID3FileEnds {
    // False when the path could not be opened as a regular file; ErrorCode then holds errno.
    bool Opened = false;
    int ErrorCode = 0;
    qint64 FileSize = 0;
    // The first 10 bytes (fewer in a shorter file) and, when they are an ID3v2 header, the tag
    // bytes it declares, as far as the file holds them.
    QByteArray Start;
    // The last 128 bytes; empty when the file is shorter.
    QByteArray Last;
};

TID3FileEnds ReadID3FileEnds(const QString& path);
