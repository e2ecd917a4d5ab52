#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Bytes of MP3 files for tests: ID3v2 frames and tags, MPEG audio frames and ID3v1 tags, written
// the way common taggers write them.
namespace Mp3Bytes {

// Frame bytes: identifier, size (3 bytes in 2.2, big-endian in 2.3, synchsafe in 2.4), the
// flag bytes and the content.
QByteArray Frame22(const char* id, const QByteArray& content);
QByteArray Frame23(const char* id, const QByteArray& content, quint16 flags = 0);
QByteArray Frame24(const char* id, const QByteArray& content, quint16 flags = 0);
QByteArray Frame(int major, const char* id, const QByteArray& content);

// A tag: "ID3", version, flags, synchsafe size of frames and padding.
QByteArray Tag(int major, const QByteArray& frames, quint8 flags = 0, int padding = 0);

// Text content: encoding byte 0 and the Latin-1 bytes; or encoding byte 1 and UTF-16 LE with
// FF FE; or the given encoding byte followed by raw bytes.
QByteArray Latin1(const QByteArray& text);
QByteArray Utf16(const QString& text, bool terminated = false);
QByteArray Encoded(int encoding, const QByteArray& bytes);

// MPEG audio frames (MPEG-1 layer III, 128 kbit/s) with varied bytes, so that a shifted or
// changed byte shows; a reader of MP3 files accepts them as audio.
QByteArray Audio(int frameCount = 6);

// The 128-byte ID3v1 tag; with Track above 0 it is an ID3v1.1 tag (comment cut to 28 bytes).
struct TID3v1Fields {
    QByteArray Title = {};
    QByteArray Artist = {};
    QByteArray Album = {};
    QByteArray Year = {};
    QByteArray Comment = {};
    int Track = 0;
    int Genre = 255;
};
QByteArray ID3v1(const TID3v1Fields& fields);

} // namespace Mp3Bytes

// A whole MP3 file described by its tag values:
//   Mp3Fixture(4).Text("TPE1", {"AC", "DC"}).Comment("", "").Picture(3, "image/png").Bytes()
// Frames are written in the order they are added, with the identifiers of the chosen version
// (the 2.3/2.4 identifier is given; version 2.2 takes its three-letter form). Text is written
// in ISO-8859-1 when it fits, otherwise in UTF-16 (2.2, 2.3) or UTF-8 (2.4).
class Mp3Fixture {
public:
    // 2, 3 or 4; 0 writes no ID3v2 tag.
    explicit Mp3Fixture(int version = 3) : FVersion(version) {}

    // A text frame. Several values are separated as the version does: "/" before 2.4, a zero
    // byte in 2.4.
    Mp3Fixture& Text(const char* id, const QStringList& values);
    Mp3Fixture& Text(const char* id, const QString& value) { return Text(id, QStringList{value}); }
    Mp3Fixture& Comment(const QString& text, const QString& description = {});
    // A picture frame; 2.2 writes the MIME type's subtype as its three-letter image format.
    Mp3Fixture& Picture(int pictureType, const QByteArray& mimeType,
                        const QByteArray& data = QByteArray("\xFF\xD8\xFF\xE0picture", 11));
    // A frame's content as given, under the identifier as given.
    Mp3Fixture& Raw(const char* id, const QByteArray& content);
    Mp3Fixture& ID3v1(const Mp3Bytes::TID3v1Fields& fields);
    Mp3Fixture& Padding(int bytes);
    Mp3Fixture& AudioFrames(int count);

    int Version() const { return FVersion; }
    QByteArray TagBytes() const; // the ID3v2 tag alone; empty for version 0
    QByteArray Bytes() const;

private:
    char EncodingFor(const QString& text) const;
    static QByteArray Encode(const QString& text, char encoding, bool terminated);

    int FVersion;
    QByteArray FFrames;
    QByteArray FID3v1;
    int FPadding = 0;
    int FAudioFrames = 4;
};
