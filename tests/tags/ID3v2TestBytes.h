#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <ostream>

// Readable QString values in test failures.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

// Tags, frames and audio as byte literals, the way other taggers write them.
namespace ID3v2TestBytes {

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

// A tag as another reader sees it in a written file, parsed independently of the program's
// reader: header, area size and the frames with their raw data (tag-level unsynchronisation of
// versions 2.2 and 2.3 undone, extended header skipped).
struct WrittenFrame {
    QByteArray name;
    quint16 flags = 0;
    QByteArray data;
};
struct WrittenTag {
    int major = 0;
    quint8 flags = 0;
    qint64 areaSize = 0; // header included
    QByteArray extendedHeader;
    QList<WrittenFrame> frames;
    QStringList Names() const;
    // The data of the first frame with the name; a null array when there is none.
    QByteArray Data(const char* name) const;
};
WrittenTag ParseWritten(const QByteArray& file);

} // namespace ID3v2TestBytes
