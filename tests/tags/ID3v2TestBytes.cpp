#include "ID3v2TestBytes.h"

namespace ID3v2TestBytes {

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
