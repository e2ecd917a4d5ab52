#pragma once

#include <QByteArray>
#include <QString>

// Where an MP3 file's parts lie: the ID3v2 tag area at the start (header, frames, padding and
// a 2.4 footer), the ID3v1 tag in the last 128 bytes, and the audio between them, which no tag
// edit may ever change.
struct Mp3Layout {
    QByteArray ID3v2Area;
    QByteArray Audio;
    QByteArray ID3v1;

    static Mp3Layout Of(const QByteArray& file);
    static Mp3Layout OfFile(const QString& fileName);
    QByteArray Bytes() const { return ID3v2Area + Audio + ID3v1; }
};

// The audio bytes of a file's contents, or of a file.
QByteArray AudioBytes(const QByteArray& file);
QByteArray AudioBytesOf(const QString& fileName);
