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

// Flags and additions of a frame that the program interprets and writes afresh.
QByteArray FrameData23(const TID3Frame& frame, quint16& flags) {
    using namespace ID3FrameFlags;
    const TID3FrameFormat& format = frame.Format();
    flags = format.Flags & ~(Compression23 | Encryption23 | Grouping23);
    QByteArray data;
    if (format.Group) {
        flags |= Grouping23;
        data.append(char(*format.Group));
    }
    data.append(frame.BuildContent(ive2_3));
    return data;
}

QByteArray FrameData24(const TID3Frame& frame, bool tagUnsynchronised, quint16& flags) {
    using namespace ID3FrameFlags;
    const TID3FrameFormat& format = frame.Format();
    flags = format.Flags & ~(Compression24 | Encryption24 | Grouping24);
    QByteArray data;
    if (format.Group) {
        flags |= Grouping24;
        data.append(char(*format.Group));
    }
    QByteArray content = frame.BuildContent(ive2_4);
    if (flags & DataLengthIndicator24)
        data.append(EncodeSynchsafe(quint32(content.size())));
    // The tag's unsynchronisation flag means that every frame is unsynchronised.
    if (tagUnsynchronised)
        flags |= Unsynchronisation24;
    if (flags & Unsynchronisation24)
        content = ApplyUnsynchronisation(content);
    data.append(content);
    return data;
}

} // namespace

std::optional<QByteArray> BuildID3v2Frame(const TID3Frame& frame, TID3Version version,
                                          bool tagUnsynchronised) {
    const QByteArray name = FrameName(frame, version);
    if (name.isEmpty())
        return std::nullopt;

    QByteArray data;
    quint16 flags = 0;
    if (frame.Format().KeptEncoded) {
        data = frame.BuildContent(version);
        flags = frame.Format().Flags;
    } else if (version == ive2_2) {
        data = frame.BuildContent(version);
    } else if (version == ive2_3) {
        data = FrameData23(frame, flags);
    } else {
        data = FrameData24(frame, tagUnsynchronised, flags);
    }

    QByteArray bytes;
    // One allocation: the size and flags take up to 6 bytes behind the name, then the data.
    bytes.reserve(name.size() + 6 + data.size());
    bytes.append(name);
    if (version == ive2_2) {
        if (quint64(data.size()) > MaxFrameSize22)
            throw TError(QStringLiteral("Frame size is too big"));
        bytes.append(EncodeBigEndian(quint32(data.size()), 3));
    } else {
        if (quint64(data.size()) > ID3v2MaxSynchsafe)
            throw TError(QStringLiteral("Tag is too big"));
        bytes.append(version == ive2_4 ? EncodeSynchsafe(quint32(data.size()))
                                       : EncodeBigEndian(quint32(data.size()), 4));
        bytes.append(EncodeBigEndian(flags, 2));
    }
    bytes.append(data);
    return bytes;
}

TID3v2TagImage::TID3v2TagImage(const TID3Frames& frames, const TID3v2WriteLayout& layout)
    : FLayout(layout) {
    const TID3Version version = layout.Version;
    const bool unsynchronised = layout.Flags & ID3v2Flags::Unsynchronisation;
    if (version == ive2_2)
        FLayout.ExtendedHeader.reset();
    // A 2.3 extended header lies inside the unsynchronised bytes, where its padding size would
    // change the size it describes; such a tag is written without one (it holds nothing but a
    // padding size and a checksum, both derived from the rest).
    if (version == ive2_3 && unsynchronised)
        FLayout.ExtendedHeader.reset();
    FLayout.Flags &= quint8(~ID3v2Flags::ExtendedHeader);
    if (FLayout.ExtendedHeader)
        FLayout.Flags |= ID3v2Flags::ExtendedHeader;

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
        FExtendedHeaderSize =
            BuildID3v2ExtendedHeader(*FLayout.ExtendedHeader, version, 0, 0).size();
    }
    // Up to version 2.3 unsynchronisation covers everything behind the header.
    if (unsynchronised && version != ive2_4)
        FFrames = ApplyUnsynchronisation(FFrames);
}

qint64 TID3v2TagImage::AreaSize(qint64 padding) const {
    const qint64 bodySize = Size() - ID3v2HeaderSize + padding;
    if (padding < 0 || bodySize > qint64(ID3v2MaxSynchsafe))
        throw TError(QStringLiteral("Tag is too big"));
    return ID3v2HeaderSize + bodySize;
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
