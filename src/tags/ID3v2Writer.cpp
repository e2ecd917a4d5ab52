#include "tags/ID3v2Writer.h"

#include "support/Error.h"
#include "tags/ID3FrameTable.h"
#include "tags/ID3v2FileWriter.h"

namespace {

constexpr quint32 MaxFrameSize22 = 0xFFFFFF;

QByteArray FrameName(const TID3Frame& frame, TID3Version version) {
    const qsizetype length = version == ive2_2 ? 3 : 4;
    const QByteArray& read = frame.Format().Name;
    if (read.size() == length)
        return read;
    return ID3FrameName(frame.ID(), version);
}

// How a frame's content is stored in the version: the flags, the additions in front of it
// (grouping byte, data length indicator) and whether it is unsynchronised.
struct TFrameShape {
    quint16 Flags = 0;
    QByteArray Additions;
    bool Unsynchronised = false;
};

// Flags and additions of a frame that the program interprets and writes afresh; content is
// what the frame builds for the version.
TFrameShape FrameShape(const TID3Frame& frame, TID3Version version, bool tagUnsynchronised,
                       const QByteArray& content) {
    using namespace ID3FrameFlags;
    const TID3FrameFormat& format = frame.Format();
    TFrameShape shape;
    if (format.KeptEncoded) {
        shape.Flags = format.Flags;
        return shape;
    }
    if (version == ive2_2)
        return shape;
    const bool v24 = version == ive2_4;
    shape.Flags = format.Flags & ~(v24 ? Compression24 | Encryption24 | Grouping24
                                       : Compression23 | Encryption23 | Grouping23);
    if (format.Group) {
        shape.Flags |= v24 ? Grouping24 : Grouping23;
        shape.Additions.append(char(*format.Group));
    }
    if (!v24)
        return shape;
    if (shape.Flags & DataLengthIndicator24)
        shape.Additions.append(EncodeSynchsafe(quint32(content.size())));
    // The tag's unsynchronisation flag means that every frame is unsynchronised.
    if (tagUnsynchronised)
        shape.Flags |= Unsynchronisation24;
    shape.Unsynchronised = shape.Flags & Unsynchronisation24;
    return shape;
}

// The size of a frame's data behind its header: additions and content as stored. Throws as a
// frame too big for its size field.
qsizetype CheckedDataSize(qsizetype size, TID3Version version) {
    if (version == ive2_2 && quint64(size) > MaxFrameSize22)
        throw TError(QStringLiteral("Frame size is too big"));
    if (quint64(size) > ID3v2MaxSynchsafe)
        throw TError(QStringLiteral("Tag is too big"));
    return size;
}

qsizetype FrameHeaderSize(const QByteArray& name, TID3Version version) {
    return name.size() + (version == ive2_2 ? 3 : 6);
}

// The layout a tag is written in once what the version or the unsynchronisation rule out is
// dropped.
TID3v2WriteLayout WrittenLayout(const TID3v2WriteLayout& layout) {
    TID3v2WriteLayout written = layout;
    const bool unsynchronised = layout.Flags & ID3v2Flags::Unsynchronisation;
    if (layout.Version == ive2_2)
        written.ExtendedHeader.reset();
    // A 2.3 extended header lies inside the unsynchronised bytes, where its padding size would
    // change the size it describes; such a tag is written without one (it holds nothing but a
    // padding size and a checksum, both derived from the rest).
    if (layout.Version == ive2_3 && unsynchronised)
        written.ExtendedHeader.reset();
    written.Flags &= quint8(~ID3v2Flags::ExtendedHeader);
    if (written.ExtendedHeader)
        written.Flags |= ID3v2Flags::ExtendedHeader;
    return written;
}

qsizetype ExtendedHeaderSize(const TID3v2WriteLayout& written) {
    return written.ExtendedHeader
               ? BuildID3v2ExtendedHeader(*written.ExtendedHeader, written.Version, 0, 0).size()
               : 0;
}

} // namespace

std::optional<QByteArray> BuildID3v2Frame(const TID3Frame& frame, TID3Version version,
                                          bool tagUnsynchronised) {
    const QByteArray name = FrameName(frame, version);
    if (name.isEmpty())
        return std::nullopt;
    const QByteArray content = frame.BuildContent(version);
    const TFrameShape shape = FrameShape(frame, version, tagUnsynchronised, content);
    const QByteArray stored = shape.Unsynchronised ? ApplyUnsynchronisation(content) : content;
    const qsizetype dataSize = CheckedDataSize(shape.Additions.size() + stored.size(), version);

    QByteArray bytes;
    // One allocation: the header, then the data.
    bytes.reserve(FrameHeaderSize(name, version) + dataSize);
    bytes.append(name);
    if (version == ive2_2) {
        bytes.append(EncodeBigEndian(quint32(dataSize), 3));
    } else {
        bytes.append(version == ive2_4 ? EncodeSynchsafe(quint32(dataSize))
                                       : EncodeBigEndian(quint32(dataSize), 4));
        bytes.append(EncodeBigEndian(shape.Flags, 2));
    }
    bytes.append(shape.Additions);
    bytes.append(stored);
    return bytes;
}

qint64 ID3v2TagSize(const TID3Frames& frames, const TID3v2WriteLayout& layout,
                    const std::function<QByteArray(qsizetype, const TID3Frame&)>& contentOf) {
    const TID3Version version = layout.Version;
    const bool unsynchronised = layout.Flags & ID3v2Flags::Unsynchronisation;
    // Up to version 2.3 unsynchronisation covers the frame headers too: such a tag (few are)
    // is measured by building it.
    if (unsynchronised && version != ive2_4)
        return TID3v2TagImage(frames, layout).Size();
    qint64 size = 0;
    qsizetype index = 0;
    for (const auto& frame : frames) {
        const qsizetype at = index++;
        if (!ID3FrameWrittenIn(frame->ID(), version))
            continue;
        const QByteArray name = FrameName(*frame, version);
        if (name.isEmpty())
            continue;
        const QByteArray content = contentOf(at, *frame);
        const TFrameShape shape = FrameShape(*frame, version, unsynchronised, content);
        const qsizetype stored =
            shape.Unsynchronised ? ApplyUnsynchronisation(content).size() : content.size();
        size += FrameHeaderSize(name, version) +
                CheckedDataSize(shape.Additions.size() + stored, version);
        if (quint64(size) > ID3v2MaxSynchsafe)
            throw TError(QStringLiteral("Tag is too big"));
    }
    return ID3v2HeaderSize + ExtendedHeaderSize(WrittenLayout(layout)) + size;
}

TID3v2TagImage::TID3v2TagImage(const TID3Frames& frames, const TID3v2WriteLayout& layout)
    : FLayout(WrittenLayout(layout)) {
    const TID3Version version = layout.Version;
    const bool unsynchronised = layout.Flags & ID3v2Flags::Unsynchronisation;
    for (const auto& frame : frames) {
        if (!ID3FrameWrittenIn(frame->ID(), version))
            continue;
        if (const auto bytes = BuildID3v2Frame(*frame, version, unsynchronised))
            FFrames.append(*bytes);
        if (quint64(FFrames.size()) > ID3v2MaxSynchsafe)
            throw TError(QStringLiteral("Tag is too big"));
    }
    if (FLayout.ExtendedHeader) {
        FFramesCrc = ID3Crc32(FFrames);
        FExtendedHeaderSize = ExtendedHeaderSize(FLayout);
    }
    // Up to version 2.3 unsynchronisation covers everything behind the header.
    if (unsynchronised && version != ive2_4)
        FFrames = ApplyUnsynchronisation(FFrames);
}

qint64 ID3v2AreaSize(qint64 tagSize, qint64 padding) {
    const qint64 bodySize = tagSize - ID3v2HeaderSize + padding;
    if (padding < 0 || bodySize > qint64(ID3v2MaxSynchsafe))
        throw TError(QStringLiteral("Tag is too big"));
    return ID3v2HeaderSize + bodySize;
}

qint64 TID3v2TagImage::AreaSize(qint64 padding) const {
    return ID3v2AreaSize(Size(), padding);
}

QByteArray TID3v2TagImage::Area(qint64 padding) const {
    const qint64 bodySize = AreaSize(padding) - ID3v2HeaderSize;
    QByteArray area;
    area.reserve(qsizetype(ID3v2HeaderSize + bodySize));
    area.append(BuildID3v2Header(FLayout.Version, FLayout.Flags, quint32(bodySize)));
    if (FLayout.ExtendedHeader) {
        quint32 crc = FFramesCrc;
        if (FLayout.Version == ive2_4) {
            // Version 2.4 counts the padding into the checksum.
            crc = ID3Crc32(FFrames);
            const QByteArray zeros(qsizetype(qMin<qint64>(padding, 65536)), '\0');
            for (qint64 left = padding; left > 0; left -= zeros.size())
                crc = ID3Crc32(
                    QByteArrayView(zeros).first(qsizetype(qMin<qint64>(left, zeros.size()))), crc);
        }
        area.append(BuildID3v2ExtendedHeader(*FLayout.ExtendedHeader, FLayout.Version,
                                             quint32(padding), crc));
    }
    area.append(FFrames);
    area.append(qsizetype(padding), '\0');
    return area;
}

TID3Version ID3v2WriteVersionFor(TID3Version readVersion) {
    return readVersion == ive2_2 || readVersion == ive2_3 ? readVersion : ive2_4;
}

TID3v2WriteLayout ID3v2WriteLayoutFor(const TID3v2TagData& data) {
    TID3v2WriteLayout layout;
    const TID3Version read = data.Version();
    layout.Version = ID3v2WriteVersionFor(read);
    // The flags of a tag of another version mean nothing here.
    if (data.Header && read == layout.Version) {
        quint8 kept = ID3v2Flags::Unsynchronisation;
        if (layout.Version != ive2_2)
            kept |= ID3v2Flags::Experimental;
        if (layout.Version == ive2_4)
            kept |= ID3v2Flags::Footer;
        layout.Flags = data.Header->Flags & kept;
        layout.ExtendedHeader = data.ExtendedHeader;
    }
    return layout;
}

void PrepareID3v2FramesForWriting(TID3Frames& frames) {
    frames.RemoveEmptyFrames();
    frames.AutoCorrectAndRemoveDuplicates();
}

QByteArray BuildID3v2TagArea(TID3v2TagData& data, qint64 oldAreaSize) {
    PrepareID3v2FramesForWriting(data.Frames);
    const TID3v2TagImage image(data.Frames, ID3v2WriteLayoutFor(data));
    return image.Area(ID3v2Padding(image.Size(), oldAreaSize));
}
