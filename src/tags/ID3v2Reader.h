#pragma once

#include "tags/ID3Frames.h"
#include "tags/ID3v2Header.h"

#include <QString>
#include <functional>
#include <optional>

// What reading a file's ID3v2 tag gives.
struct TID3v2TagData {
    std::optional<TID3v2Header> Header; // nothing when the file has no tag
    std::optional<TID3v2ExtendedHeader> ExtendedHeader;
    TID3Frames Frames;

    bool HasTag() const { return Header.has_value(); }
    TID3Version Version() const { return Header ? Header->Version() : iveLowerThan2_2; }
};

// One frame as it stands in a tag, for a reader that takes values from a tag without building
// its frames. The views hold only during the visit.
struct TID3FrameBytes {
    TID3Version Version = ive2_4; // the tag's
    QByteArrayView Name;          // the identifier string as read
    quint16 Flags = 0;
    TID3FrameID ID = fiUnknown; // what the name stands for in the tag's version
    QByteArrayView Bytes;       // what the frame's size covers
    // Declared beyond the end of the tag: Bytes is empty and this is the last frame.
    bool Truncated = false;
    // Compressed or encrypted: the frame reads as fiUnknown, its Bytes kept as they are.
    bool KeptEncoded = false;
    std::optional<quint8> Group;
    // What the frame's class parses: the bytes behind the header's additions, unsynchronisation
    // undone. Nothing when the frame is truncated, kept encoded or too short for its additions,
    // which leaves a frame empty.
    std::optional<QByteArrayView> Content;
};
using TID3FrameVisitor = std::function<void(const TID3FrameBytes&)>;

// Reads the tag at the start of a file: the 10-byte header, then the declared tag bytes in one
// read. Frames are read for versions 2.2 to 2.4 only. Throws TError with "Unknown encoding" or
// "Could not read data from stream", or ID3FileIO::TFileError when the file cannot be opened or
// read or ends before its tag does.
TID3v2TagData ReadID3v2TagFile(const QString& path);

// The same over the first bytes of a file held in memory; path only names the file in messages.
// With only given, the frames of that identifier alone are read and the others stepped over,
// for a reader that wants one value of many files; such data is never written back.
TID3v2TagData ReadID3v2TagBytes(QByteArrayView fileStart, const QString& path = QString(),
                                std::optional<TID3FrameID> only = {});

// Walks the frames of the tag at the start of fileStart in tag order, as ReadID3v2TagBytes reads
// them, failing where it fails (before any frame is visited); gives the tag's header, nothing
// when there is no tag.
std::optional<TID3v2Header> VisitID3v2TagBytes(QByteArrayView fileStart, const QString& path,
                                               const TID3FrameVisitor& visit);

// Reads the extended header and the frames from the bytes that follow the 10-byte header
// (exactly header.Size bytes, as they stand in the file); only as above.
void ReadID3v2Frames(const TID3v2Header& header, QByteArrayView tagBytes, TID3v2TagData& data,
                     std::optional<TID3FrameID> only = {});
