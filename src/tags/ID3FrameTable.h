#pragma once

#include "tags/ID3Types.h"

#include <QByteArray>
#include <QByteArrayView>

// What the program knows about each frame identifier: its kind, its identifier strings and the
// versions in which it is written.
struct TID3FrameInfo {
    TID3FrameID ID;
    TID3FrameKind Kind;
    const char* Name22; // three characters, nullptr when version 2.2 has no such frame
    const char* Name;   // four characters, versions 2.3 and 2.4
    quint8 Versions;    // bit set of ID3VersionBit
};

inline constexpr quint8 ID3VersionBit(TID3Version version) {
    return quint8(1u << version);
}

const TID3FrameInfo& ID3FrameInfo(TID3FrameID id);

// The identifier of a well-formed identifier string as read in a tag of the version (three
// characters in 2.2, four in 2.3 and 2.4); fiUnknown when the program does not know it.
TID3FrameID ID3FrameIDFromName(QByteArrayView name, TID3Version version);

// The identifier string of the frame in the version; empty when the version has none.
QByteArray ID3FrameName(TID3FrameID id, TID3Version version);

// Whether a frame with the identifier is written in a tag of the version.
bool ID3FrameWrittenIn(TID3FrameID id, TID3Version version);

// Frame identifiers hold only A-Z and 0-9.
bool IsWellFormedID3FrameName(QByteArrayView name);
