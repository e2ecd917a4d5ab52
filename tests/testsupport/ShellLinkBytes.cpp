#include "testsupport/ShellLinkBytes.h"

namespace {

void PutU16(QByteArray& b, quint16 v) {
    b.append(char(v & 0xFF));
    b.append(char(v >> 8));
}
void PutU32(QByteArray& b, quint32 v) {
    for (int i = 0; i < 4; ++i)
        b.append(char((v >> (8 * i)) & 0xFF));
}

} // namespace

QByteArray MakeShellLink(const QByteArray& localBasePath, const QString& relativePath) {
    quint32 flags = 0x80; // IsUnicode
    if (!localBasePath.isEmpty())
        flags |= 0x02;
    if (!relativePath.isEmpty())
        flags |= 0x08;
    QByteArray b;
    PutU32(b, 0x4C);
    b.append(QByteArray::fromHex("0114020000000000c000000000000046"));
    PutU32(b, flags);
    b.append(QByteArray(0x4C - b.size(), '\0'));
    if (!localBasePath.isEmpty()) {
        const quint32 headerSize = 28;
        const quint32 baseOffset = headerSize;
        const quint32 suffixOffset = baseOffset + quint32(localBasePath.size()) + 1;
        const quint32 total = suffixOffset + 1;
        PutU32(b, total);
        PutU32(b, headerSize);
        PutU32(b, 0x01); // VolumeIDAndLocalBasePath
        PutU32(b, 0);    // volume id offset (unused here)
        PutU32(b, baseOffset);
        PutU32(b, 0); // network relative link offset
        PutU32(b, suffixOffset);
        b.append(localBasePath).append('\0');
        b.append('\0'); // empty common path suffix
    }
    if (!relativePath.isEmpty()) {
        PutU16(b, quint16(relativePath.size()));
        for (QChar c : relativePath)
            PutU16(b, c.unicode());
    }
    return b;
}
