#pragma once

#include "tags/ID3Frames.h"
#include "tags/ID3v2Header.h"

#include <QString>
#include <optional>

// What reading a file's ID3v2 tag gives.
struct TID3v2TagData {
    std::optional<TID3v2Header> Header; // nothing when the file has no tag
    std::optional<TID3v2ExtendedHeader> ExtendedHeader;
    TID3Frames Frames;

    bool HasTag() const { return Header.has_value(); }
    TID3Version Version() const { return Header ? Header->Version() : iveLowerThan2_2; }
};

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

// Reads the extended header and the frames from the bytes that follow the 10-byte header
// (exactly header.Size bytes, as they stand in the file); only as above.
void ReadID3v2Frames(const TID3v2Header& header, QByteArrayView tagBytes, TID3v2TagData& data,
                     std::optional<TID3FrameID> only = {});
