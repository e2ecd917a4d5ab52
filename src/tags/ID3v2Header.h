#pragma once

#include "tags/ID3Types.h"

#include <QByteArray>
#include <QByteArrayView>
#include <optional>

// The 10-byte tag header, the extended header, synchsafe integers and unsynchronisation.

inline constexpr int ID3v2HeaderSize = 10;
// The largest size a synchsafe integer of four bytes holds.
inline constexpr quint32 ID3v2MaxSynchsafe = 0x0FFFFFFF;

namespace ID3v2Flags {
inline constexpr quint8 Unsynchronisation = 0x80;
inline constexpr quint8 ExtendedHeader = 0x40;
inline constexpr quint8 Experimental = 0x20;
inline constexpr quint8 Footer = 0x10;
} // namespace ID3v2Flags

struct TID3v2Header {
    quint8 MajorVersion = 0;
    quint8 Revision = 0;
    quint8 Flags = 0;
    quint32 Size = 0; // the bytes that follow the 10-byte header (footer not counted)

    TID3Version Version() const { return ID3VersionFromMajorByte(MajorVersion); }
    bool Unsynchronised() const { return Flags & ID3v2Flags::Unsynchronisation; }
    // Version 2.2 gives this bit another meaning (compression), so it never announces one there.
    bool HasExtendedHeader() const {
        return Version() != ive2_2 && (Flags & ID3v2Flags::ExtendedHeader);
    }
};

// The header in the first 10 bytes of a file; nothing when they do not begin with "ID3".
std::optional<TID3v2Header> ParseID3v2Header(QByteArrayView bytes);
QByteArray BuildID3v2Header(TID3Version version, quint8 flags, quint32 size);

quint32 DecodeSynchsafe(QByteArrayView bytes);
QByteArray EncodeSynchsafe(quint32 value, int byteCount = 4);
quint32 DecodeBigEndian(QByteArrayView bytes);
QByteArray EncodeBigEndian(quint32 value, int byteCount);

// Drops every 0x00 that follows a 0xFF.
QByteArray RemoveUnsynchronisation(QByteArrayView bytes);
// Inserts a 0x00 after every 0xFF that is followed by 0x00 or by a byte of 0x20 or more.
QByteArray ApplyUnsynchronisation(QByteArrayView bytes);

// CRC-32 of ISO 3309, as the extended header carries it; previous continues an earlier result
// over the bytes that follow.
quint32 ID3Crc32(QByteArrayView bytes, quint32 previous = 0);

// The values of an extended header (version 2.3 or 2.4). Its padding size and CRC describe the
// rest of the tag, so they are computed afresh whenever the tag is written.
struct TID3v2ExtendedHeader {
    bool HasCRC = false;
    bool TagIsUpdate = false;           // version 2.4
    std::optional<quint8> Restrictions; // version 2.4
};

// Parses the extended header at the start of the tag's bytes; sizeRead is set to the bytes it
// takes (at most the bytes given). Nothing when its layout cannot be made out.
std::optional<TID3v2ExtendedHeader>
ParseID3v2ExtendedHeader(QByteArrayView body, TID3Version version, qsizetype& sizeRead);

// The bytes of the extended header in the version (2.3 or 2.4), of a fixed size for a given
// header; padding and crc fill its padding size (2.3) and CRC fields.
QByteArray BuildID3v2ExtendedHeader(const TID3v2ExtendedHeader& header, TID3Version version,
                                    quint32 padding, quint32 crc);
