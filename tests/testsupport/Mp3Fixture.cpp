#include "testsupport/Mp3Fixture.h"

#include <cstring>
#include <stdexcept>

namespace Mp3Bytes {

namespace {

QByteArray BigEndian(quint32 value, int count) {
    QByteArray bytes(count, '\0');
    for (int i = count - 1; i >= 0; --i, value >>= 8)
        bytes[i] = char(value & 0xFF);
    return bytes;
}

QByteArray Synchsafe(quint32 value) {
    QByteArray bytes(4, '\0');
    for (int i = 3; i >= 0; --i, value >>= 7)
        bytes[i] = char(value & 0x7F);
    return bytes;
}

} // namespace

QByteArray Frame22(const char* id, const QByteArray& content) {
    return QByteArray(id, 3) + BigEndian(quint32(content.size()), 3) + content;
}

QByteArray Frame23(const char* id, const QByteArray& content, quint16 flags) {
    return QByteArray(id, 4) + BigEndian(quint32(content.size()), 4) + BigEndian(flags, 2) +
           content;
}

QByteArray Frame24(const char* id, const QByteArray& content, quint16 flags) {
    return QByteArray(id, 4) + Synchsafe(quint32(content.size())) + BigEndian(flags, 2) + content;
}

QByteArray Frame(int major, const char* id, const QByteArray& content) {
    switch (major) {
    case 2:
        return Frame22(id, content);
    case 3:
        return Frame23(id, content);
    default:
        return Frame24(id, content);
    }
}

QByteArray Tag(int major, const QByteArray& frames, quint8 flags, int padding) {
    QByteArray tag("ID3", 3);
    tag.append(char(major));
    tag.append('\0');
    tag.append(char(flags));
    tag.append(Synchsafe(quint32(frames.size() + padding)));
    tag.append(frames);
    tag.append(padding, '\0');
    return tag;
}

QByteArray Latin1(const QByteArray& text) {
    return QByteArray(1, '\0') + text;
}

QByteArray Utf16(const QString& text, bool terminated) {
    QByteArray bytes("\x01\xFF\xFE", 3);
    for (const QChar c : text) {
        bytes.append(char(c.unicode() & 0xFF));
        bytes.append(char(c.unicode() >> 8));
    }
    if (terminated)
        bytes.append(2, '\0');
    return bytes;
}

QByteArray Encoded(int encoding, const QByteArray& bytes) {
    return QByteArray(1, char(encoding)) + bytes;
}

QByteArray Audio(int frameCount) {
    constexpr int FrameSize = 417;
    QByteArray audio;
    quint32 state = 0x12345678;
    for (int f = 0; f < frameCount; ++f) {
        audio.append("\xFF\xFB\x90\x64", 4);
        for (int i = 4; i < FrameSize; ++i) {
            state = state * 1103515245u + 12345u;
            audio.append(char(state >> 24));
        }
    }
    return audio;
}

QByteArray ID3v1(const TID3v1Fields& fields) {
    QByteArray tag(128, '\0');
    tag.replace(0, 3, "TAG");
    const auto put = [&tag](int offset, int size, const QByteArray& text) {
        const QByteArray cut = text.left(size);
        tag.replace(offset, cut.size(), cut);
    };
    put(3, 30, fields.Title);
    put(33, 30, fields.Artist);
    put(63, 30, fields.Album);
    put(93, 4, fields.Year);
    put(97, fields.Track > 0 ? 28 : 30, fields.Comment);
    if (fields.Track > 0) {
        tag[125] = '\0';
        tag[126] = char(fields.Track);
    }
    tag[127] = char(fields.Genre);
    return tag;
}

} // namespace Mp3Bytes

namespace {

// The three-letter identifiers of version 2.2 for the frames the fixtures write.
const char* Id22(const char* id) {
    static const struct {
        const char* Id;
        const char* Id22;
    } names[] = {{"TPE1", "TP1"}, {"TOPE", "TOA"}, {"TIT2", "TT2"}, {"TRCK", "TRK"},
                 {"TALB", "TAL"}, {"TYER", "TYE"}, {"TCON", "TCO"}, {"COMM", "COM"},
                 {"APIC", "PIC"}, {"TPE2", "TP2"}};
    for (const auto& n : names)
        if (std::strcmp(n.Id, id) == 0)
            return n.Id22;
    throw std::invalid_argument(std::string("no ID3v2.2 name for ") + id);
}

bool FitsLatin1(const QString& text) {
    for (QChar c : text)
        if (c.unicode() > 0xFF)
            return false;
    return true;
}

} // namespace

char Mp3Fixture::EncodingFor(const QString& text) const {
    if (FitsLatin1(text))
        return 0;
    return FVersion == 4 ? 3 : 1;
}

QByteArray Mp3Fixture::Encode(const QString& text, char encoding, bool terminated) {
    QByteArray bytes;
    switch (encoding) {
    case 0:
        bytes = text.toLatin1();
        break;
    case 1:
        bytes = Mp3Bytes::Utf16(text).mid(1);
        break;
    default:
        bytes = text.toUtf8();
        break;
    }
    if (terminated)
        bytes.append(encoding == 1 ? 2 : 1, '\0');
    return bytes;
}

Mp3Fixture& Mp3Fixture::Raw(const char* id, const QByteArray& content) {
    FFrames +=
        Mp3Bytes::Frame(FVersion, FVersion == 2 && std::strlen(id) == 4 ? Id22(id) : id, content);
    return *this;
}

Mp3Fixture& Mp3Fixture::Text(const char* id, const QStringList& values) {
    const char encoding = EncodingFor(values.join(QString()));
    QByteArray content(1, encoding);
    if (FVersion != 4) {
        content += Encode(values.join(u'/'), encoding, false);
    } else {
        for (qsizetype i = 0; i < values.size(); ++i)
            content += Encode(values[i], encoding, i + 1 < values.size());
    }
    return Raw(id, content);
}

Mp3Fixture& Mp3Fixture::Comment(const QString& text, const QString& description) {
    const char encoding = EncodingFor(description + text);
    return Raw("COMM", QByteArray(1, encoding) + "eng" + Encode(description, encoding, true) +
                           Encode(text, encoding, false));
}

Mp3Fixture& Mp3Fixture::Picture(int pictureType, const QByteArray& mimeType,
                                const QByteArray& data) {
    QByteArray content(1, '\0');
    if (FVersion == 2) {
        const QByteArray subtype = mimeType.mid(mimeType.indexOf('/') + 1).toUpper();
        content += subtype == "JPEG" ? QByteArray("JPG") : subtype.leftJustified(3, ' ', true);
    } else {
        content += mimeType + '\0';
    }
    content += char(pictureType);
    content += '\0'; // empty description
    content += data;
    return Raw("APIC", content);
}

Mp3Fixture& Mp3Fixture::ID3v1(const Mp3Bytes::TID3v1Fields& fields) {
    FID3v1 = Mp3Bytes::ID3v1(fields);
    return *this;
}

Mp3Fixture& Mp3Fixture::Padding(int bytes) {
    FPadding = bytes;
    return *this;
}

Mp3Fixture& Mp3Fixture::AudioFrames(int count) {
    FAudioFrames = count;
    return *this;
}

QByteArray Mp3Fixture::TagBytes() const {
    return FVersion == 0 ? QByteArray() : Mp3Bytes::Tag(FVersion, FFrames, 0, FPadding);
}

QByteArray Mp3Fixture::Bytes() const {
    return TagBytes() + Mp3Bytes::Audio(FAudioFrames) + FID3v1;
}
