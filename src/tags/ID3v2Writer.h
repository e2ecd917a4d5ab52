#pragma once

#include "tags/ID3Frames.h"
#include "tags/ID3v2Header.h"
#include "tags/ID3v2Reader.h"

#include <functional>
#include <optional>

// How a tag is laid out when written.
struct TID3v2WriteLayout {
    TID3Version Version = ive2_4; // 2.2, 2.3 or 2.4
    quint8 Flags = 0;             // header flags; the extended header flag follows ExtendedHeader
    std::optional<TID3v2ExtendedHeader> ExtendedHeader;
};

// A tag built in memory from a frame list: header, extended header and frames, unsynchronised
// as the layout says. Padding is added when the tag is placed in its file.
class TID3v2TagImage {
public:
    // Builds every frame whose identifier belongs to the version, in list order. Throws
    // TError("Frame size is too big") for a version 2.2 frame above 0xFFFFFF bytes.
    TID3v2TagImage(const TID3Frames& frames, const TID3v2WriteLayout& layout);

    // N: the size of the built tag with its 10-byte header.
    qint64 Size() const { return ID3v2HeaderSize + FExtendedHeaderSize + FFrames.size(); }

    // The tag area: the tag followed by padding zero bytes, the header's size counting both.
    // Throws TError("Tag is too big") when that size does not fit a synchsafe integer.
    QByteArray Area(qint64 padding) const;
    // The size of that area, checked as Area checks it (ID3v2AreaSize), without building it.
    qint64 AreaSize(qint64 padding) const;

private:
    TID3v2WriteLayout FLayout;
    QByteArray FFrames;     // as stored: after unsynchronisation
    quint32 FFramesCrc = 0; // of the frames before unsynchronisation (version 2.3)
    qsizetype FExtendedHeaderSize = 0;
};

// Builds the bytes of one frame (header, additions and content) as written in the version, or
// nothing when the version has no identifier for it.
std::optional<QByteArray> BuildID3v2Frame(const TID3Frame& frame, TID3Version version,
                                          bool tagUnsynchronised);

// The size N of the tag that TID3v2TagImage builds from the frames, with the same checks, found
// without building it: contentOf gives the content that the frame at that position in the list
// builds for the layout's version, so that a caller who needs the contents anyway builds each
// only once. A tag that versions 2.2 and 2.3 unsynchronise as a whole is built to be measured.
qint64 ID3v2TagSize(const TID3Frames& frames, const TID3v2WriteLayout& layout,
                    const std::function<QByteArray(qsizetype, const TID3Frame&)>& contentOf);

// The size of the area of a tag of tagSize bytes (N) followed by padding zero bytes. Throws
// TError("Tag is too big") when the size its header gives does not fit a synchsafe integer.
qint64 ID3v2AreaSize(qint64 tagSize, qint64 padding);

// The version a tag read in the given version is written in: 2.2, 2.3 and 2.4 stay, anything
// else (no tag included) becomes 2.4.
TID3Version ID3v2WriteVersionFor(TID3Version readVersion);

// The layout a tag read as data is written in: its version, and the header flags and extended
// header as read when the version is one the program reads.
TID3v2WriteLayout ID3v2WriteLayoutFor(const TID3v2TagData& data);

// What a commit does to the frames before building the tag: empty frames are removed, then
// every frame is corrected and later duplicates are deleted.
void PrepareID3v2FramesForWriting(TID3Frames& frames);

// The whole tag area that a commit writes over a present tag area of oldAreaSize bytes (0 when
// the file has no tag): the same steps as TID3v2Tag::Commit, without the file. For fuzzing and
// tests of read-modify-write round trips.
QByteArray BuildID3v2TagArea(TID3v2TagData& data, qint64 oldAreaSize);
