#include "ID3v2TestBytes.h"

namespace ID3v2TestBytes {

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

QStringList WrittenTag::Names() const {
    QStringList names;
    for (const WrittenFrame& frame : frames)
        names.append(QString::fromLatin1(frame.name));
    return names;
}

QByteArray WrittenTag::Data(const char* name) const {
    for (const WrittenFrame& frame : frames)
        if (frame.name == name)
            return frame.data;
    return QByteArray();
}

WrittenTag ParseWritten(const QByteArray& file) {
    WrittenTag tag;
    if (!file.startsWith("ID3") || file.size() < 10)
        return tag;
    tag.major = file[3];
    tag.flags = quint8(file[5]);
    quint32 size = 0;
    for (int i = 6; i < 10; ++i)
        size = (size << 7) | (quint8(file[i]) & 0x7F);
    tag.areaSize = 10 + qint64(size);
    QByteArray body = file.mid(10, size);
    if ((tag.flags & 0x80) && tag.major < 4)
        body.replace(QByteArray("\xFF\x00", 2), QByteArray("\xFF", 1));
    int pos = 0;
    if (tag.flags & 0x40 && tag.major >= 3 && body.size() >= 4) {
        quint32 extSize = 0;
        for (int i = 0; i < 4; ++i)
            extSize = (extSize << (tag.major == 4 ? 7 : 8)) | quint8(body[i]);
        const int total = tag.major == 4 ? int(extSize) : int(extSize) + 4;
        tag.extendedHeader = body.left(total);
        pos = total;
    }
    const int idSize = tag.major == 2 ? 3 : 4;
    const int headerSize = tag.major == 2 ? 6 : 10;
    while (pos + headerSize <= body.size() && body[pos] != '\0') {
        WrittenFrame frame;
        frame.name = body.mid(pos, idSize);
        quint32 frameSize = 0;
        for (int i = idSize; i < idSize + (tag.major == 2 ? 3 : 4); ++i)
            frameSize = (frameSize << (tag.major == 4 ? 7 : 8)) | quint8(body[pos + i]);
        if (tag.major > 2)
            frame.flags = quint16((quint8(body[pos + 8]) << 8) | quint8(body[pos + 9]));
        frame.data = body.mid(pos + headerSize, int(frameSize));
        tag.frames.append(frame);
        pos += headerSize + int(frameSize);
    }
    return tag;
}

} // namespace ID3v2TestBytes
