#include "tags/ID3v2Header.h"

#include <array>

TID3Version ID3VersionFromMajorByte(quint8 major) {
    switch (major) {
    case 2:
        return ive2_2;
    case 3:
        return ive2_3;
    case 4:
        return ive2_4;
    default:
        return major >= 5 ? iveHigherThan2_4 : iveLowerThan2_2;
    }
}

quint8 ID3MajorByteOf(TID3Version version) {
    switch (version) {
    case ive2_2:
        return 2;
    case ive2_3:
        return 3;
    default:
        return 4;
    }
}

std::optional<TID3v2Header> ParseID3v2Header(QByteArrayView bytes) {
    if (bytes.size() < ID3v2HeaderSize || !bytes.startsWith("ID3"))
        return std::nullopt;
    TID3v2Header header;
    header.MajorVersion = quint8(bytes[3]);
    header.Revision = quint8(bytes[4]);
    header.Flags = quint8(bytes[5]);
    header.Size = DecodeSynchsafe(bytes.sliced(6, 4));
    return header;
}

QByteArray BuildID3v2Header(TID3Version version, quint8 flags, quint32 size) {
    QByteArray header("ID3", 3);
    header.append(char(ID3MajorByteOf(version)));
    header.append('\0');
    header.append(char(flags));
    header.append(EncodeSynchsafe(size));
    return header;
}

quint32 DecodeSynchsafe(QByteArrayView bytes) {
    quint32 value = 0;
    for (const char c : bytes)
        value = (value << 7) | (quint8(c) & 0x7F);
    return value;
}

QByteArray EncodeSynchsafe(quint32 value, int byteCount) {
    QByteArray bytes(byteCount, '\0');
    for (int i = byteCount - 1; i >= 0; --i) {
        bytes[i] = char(value & 0x7F);
        value >>= 7;
    }
    return bytes;
}

quint32 DecodeBigEndian(QByteArrayView bytes) {
    quint32 value = 0;
    for (const char c : bytes)
        value = (value << 8) | quint8(c);
    return value;
}

QByteArray EncodeBigEndian(quint32 value, int byteCount) {
    QByteArray bytes(byteCount, '\0');
    for (int i = byteCount - 1; i >= 0; --i) {
        bytes[i] = char(value & 0xFF);
        value >>= 8;
    }
    return bytes;
}

QByteArray RemoveUnsynchronisation(QByteArrayView bytes) {
    QByteArray out;
    out.resize(bytes.size());
    char* dest = out.data();
    bool afterFF = false;
    for (const char c : bytes) {
        if (afterFF && c == '\0') {
            afterFF = false;
            continue;
        }
        *dest++ = c;
        afterFF = quint8(c) == 0xFF;
    }
    out.truncate(dest - out.data());
    return out;
}

QByteArray ApplyUnsynchronisation(QByteArrayView bytes) {
    QByteArray out;
    out.reserve(bytes.size() + bytes.size() / 64 + 16);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        out.append(bytes[i]);
        if (quint8(bytes[i]) == 0xFF && i + 1 < bytes.size()) {
            const quint8 next = quint8(bytes[i + 1]);
            if (next == 0 || (next & 0xE0) != 0)
                out.append('\0');
        }
    }
    return out;
}

namespace {

constexpr std::array<quint32, 256> MakeCrcTable() {
    std::array<quint32, 256> table{};
    for (quint32 n = 0; n < 256; ++n) {
        quint32 c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}
constexpr std::array<quint32, 256> CrcTable = MakeCrcTable();

namespace Ext24 {
constexpr quint8 Update = 0x40;
constexpr quint8 Crc = 0x20;
constexpr quint8 Restrictions = 0x10;
} // namespace Ext24
constexpr quint16 Ext23Crc = 0x8000;

std::optional<TID3v2ExtendedHeader> Parse23(QByteArrayView body, qsizetype& sizeRead) {
    if (body.size() < 4) {
        sizeRead = body.size();
        return std::nullopt;
    }
    // The size counts the bytes behind itself: 6, or 10 with a CRC.
    const quint64 total = 4ull + DecodeBigEndian(body.first(4));
    sizeRead = qsizetype(qMin<quint64>(total, quint64(body.size())));
    if (total < 10 || total > quint64(body.size()))
        return std::nullopt;
    TID3v2ExtendedHeader header;
    header.HasCRC = (DecodeBigEndian(body.sliced(4, 2)) & Ext23Crc) && total >= 14;
    return header;
}

std::optional<TID3v2ExtendedHeader> Parse24(QByteArrayView body, qsizetype& sizeRead) {
    if (body.size() < 6) {
        sizeRead = body.size();
        return std::nullopt;
    }
    // The size counts the whole extended header.
    const quint32 total = DecodeSynchsafe(body.first(4));
    sizeRead = qsizetype(qMin<quint64>(total, quint64(body.size())));
    if (total < 6 || total > quint64(body.size()))
        return std::nullopt;
    const QByteArrayView ext = body.first(total);
    const int flagBytes = quint8(ext[4]);
    if (flagBytes < 1 || 5 + flagBytes > ext.size())
        return std::nullopt;
    const quint8 flags = quint8(ext[5]);
    qsizetype pos = 5 + flagBytes;
    // Each set flag carries a length byte and that many data bytes, in flag order.
    auto flagData = [&](quint8 flag) -> std::optional<QByteArrayView> {
        if (!(flags & flag))
            return std::nullopt;
        if (pos >= ext.size())
            return QByteArrayView();
        const int length = quint8(ext[pos]);
        const qsizetype start = pos + 1;
        const qsizetype available = qMin<qsizetype>(length, ext.size() - start);
        pos = start + available;
        return ext.sliced(start, available);
    };
    TID3v2ExtendedHeader header;
    header.TagIsUpdate = flagData(Ext24::Update).has_value();
    header.HasCRC = flagData(Ext24::Crc).has_value();
    if (const auto restrictions = flagData(Ext24::Restrictions);
        restrictions && !restrictions->isEmpty())
        header.Restrictions = quint8(restrictions->front());
    return header;
}

} // namespace

quint32 ID3Crc32(QByteArrayView bytes, quint32 previous) {
    quint32 c = previous ^ 0xFFFFFFFFu;
    for (const char b : bytes)
        c = CrcTable[(c ^ quint8(b)) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

std::optional<TID3v2ExtendedHeader>
ParseID3v2ExtendedHeader(QByteArrayView body, TID3Version version, qsizetype& sizeRead) {
    return version == ive2_4 ? Parse24(body, sizeRead) : Parse23(body, sizeRead);
}

QByteArray BuildID3v2ExtendedHeader(const TID3v2ExtendedHeader& header, TID3Version version,
                                    quint32 padding, quint32 crc) {
    QByteArray bytes;
    if (version == ive2_4) {
        quint8 flags = 0;
        QByteArray data;
        if (header.TagIsUpdate) {
            flags |= Ext24::Update;
            data.append('\0');
        }
        if (header.HasCRC) {
            flags |= Ext24::Crc;
            data.append('\x05');
            // 35 bits in five synchsafe bytes.
            QByteArray crcBytes(5, '\0');
            quint64 value = crc;
            for (int i = 4; i >= 0; --i) {
                crcBytes[i] = char(value & 0x7F);
                value >>= 7;
            }
            data.append(crcBytes);
        }
        if (header.Restrictions) {
            flags |= Ext24::Restrictions;
            data.append('\x01');
            data.append(char(*header.Restrictions));
        }
        bytes = EncodeSynchsafe(quint32(6 + data.size()));
        bytes.append('\x01');
        bytes.append(char(flags));
        bytes.append(data);
    } else {
        bytes = EncodeBigEndian(header.HasCRC ? 10 : 6, 4);
        bytes.append(EncodeBigEndian(header.HasCRC ? Ext23Crc : 0, 2));
        bytes.append(EncodeBigEndian(padding, 4));
        if (header.HasCRC)
            bytes.append(EncodeBigEndian(crc, 4));
    }
    return bytes;
}
