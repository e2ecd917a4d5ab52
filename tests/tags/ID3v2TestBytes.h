#pragma once

#include "testsupport/Mp3Fixture.h"
#include "testsupport/QtPrinters.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Tags, frames and audio as byte literals, the way other taggers write them, and a written tag
// parsed independently of the program's reader.
namespace ID3v2TestBytes {

// The byte builders shared with the other tests' MP3 fixtures.
using Mp3Bytes::Audio;
using Mp3Bytes::Encoded;
using Mp3Bytes::Frame;
using Mp3Bytes::Frame22;
using Mp3Bytes::Frame23;
using Mp3Bytes::Frame24;
using Mp3Bytes::Latin1;
using Mp3Bytes::Tag;
using Mp3Bytes::Utf16;

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
