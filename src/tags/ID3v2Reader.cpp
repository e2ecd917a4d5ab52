#include "tags/ID3v2Reader.h"

#include "tags/ID3FileIO.h"
#include "tags/ID3FrameKinds.h"
#include "tags/ID3FrameTable.h"

#include <cerrno>

using namespace ID3FileIO;

namespace {

bool ReadsFrames(TID3Version version) {
    return version == ive2_2 || version == ive2_3 || version == ive2_4;
}

[[noreturn]] void FailTruncated(const TID3v2Header& header, const QString& path) {
    // An unsynchronised tag is read through a decoding stream, which reports its own end.
    if (header.Unsynchronised())
        throw TError(QStringLiteral("Could not read data from stream"));
    Fail(Operation::Read, path, EIO, QStringLiteral("The file ends before its ID3v2 tag does."));
}

struct TFrameHeader {
    QByteArrayView Name;
    quint32 Size = 0;
    quint16 Flags = 0;
};

TFrameHeader ReadFrameHeader(QByteArrayView bytes, TID3Version version) {
    TFrameHeader header;
    if (version == ive2_2) {
        header.Name = bytes.first(3);
        header.Size = DecodeBigEndian(bytes.sliced(3, 3));
        return header;
    }
    header.Name = bytes.first(4);
    header.Size = version == ive2_4 ? DecodeSynchsafe(bytes.sliced(4, 4))
                                    : DecodeBigEndian(bytes.sliced(4, 4));
    header.Flags = quint16(DecodeBigEndian(bytes.sliced(8, 2)));
    return header;
}

bool IsKeptEncoded(quint16 flags, TID3Version version) {
    using namespace ID3FrameFlags;
    if (version == ive2_3)
        return flags & (Compression23 | Encryption23);
    if (version == ive2_4)
        return flags & (Compression24 | Encryption24);
    return false;
}

TID3FrameBytes FrameOf(const TFrameHeader& header, TID3FrameID id, TID3Version version) {
    TID3FrameBytes frame;
    frame.Version = version;
    frame.Name = header.Name;
    frame.Flags = header.Flags;
    frame.ID = id;
    return frame;
}

// Everything about one frame but its content, whose unsynchronisation may have to be undone.
TID3FrameBytes DescribeFrame(const TFrameHeader& header, TID3FrameID id, QByteArrayView bytes,
                             TID3Version version, qsizetype& additions) {
    using namespace ID3FrameFlags;
    TID3FrameBytes frame = FrameOf(header, id, version);
    frame.Bytes = bytes;
    frame.KeptEncoded = IsKeptEncoded(header.Flags, version);
    additions = 0;
    if (frame.KeptEncoded)
        return frame;
    // The frame header's additions: the grouping byte, and in version 2.4 the data length
    // indicator, which is recomputed when written.
    const quint16 groupFlag = version == ive2_4 ? Grouping24 : Grouping23;
    const bool grouped = version != ive2_2 && (header.Flags & groupFlag);
    if (grouped)
        ++additions;
    if (version == ive2_4 && (header.Flags & DataLengthIndicator24))
        additions += 4;
    if (additions > bytes.size()) {
        additions = -1; // too short for its own header: it stays empty
        return frame;
    }
    if (grouped)
        frame.Group = quint8(bytes[0]);
    return frame;
}

// Walks the extended header and the frames of the bytes behind the tag header.
void WalkFrames(const TID3v2Header& header, QByteArrayView tagBytes,
                std::optional<TID3v2ExtendedHeader>& extendedHeader,
                const TID3FrameVisitor& visit) {
    const TID3Version version = header.Version();
    if (!ReadsFrames(version))
        return;

    // Up to version 2.3 unsynchronisation covers the whole tag and frame sizes count the
    // bytes after it is undone. In 2.4 it is a matter of each frame, whose size counts the
    // bytes as stored; the header flag there says that every frame is unsynchronised.
    QByteArray resynchronised;
    QByteArrayView body = tagBytes;
    if (header.Unsynchronised() && version != ive2_4) {
        resynchronised = RemoveUnsynchronisation(tagBytes);
        body = resynchronised;
    }

    qsizetype pos = 0;
    if (header.HasExtendedHeader()) {
        qsizetype size = 0;
        extendedHeader = ParseID3v2ExtendedHeader(body, version, size);
        pos = size;
    }

    const qsizetype frameHeaderSize = version == ive2_2 ? 6 : 10;
    const bool tagUnsynchronised = header.Unsynchronised();
    QByteArray frameResynchronised;
    while (body.size() - pos >= frameHeaderSize) {
        const TFrameHeader frameHeader = ReadFrameHeader(body.sliced(pos), version);
        // Zero bytes are padding; anything else outside A-Z and 0-9 ends the frames too.
        if (!IsWellFormedID3FrameName(frameHeader.Name))
            break;
        pos += frameHeaderSize;
        const TID3FrameID id = ID3FrameIDFromName(frameHeader.Name, version);
        if (frameHeader.Size > quint64(body.size() - pos)) {
            // Declared beyond the end of the tag: the frame stays empty and reading ends.
            TID3FrameBytes frame = FrameOf(frameHeader, id, version);
            frame.Truncated = true;
            visit(frame);
            break;
        }
        const QByteArrayView bytes = body.sliced(pos, frameHeader.Size);
        pos += frameHeader.Size;
        qsizetype additions = 0;
        TID3FrameBytes frame = DescribeFrame(frameHeader, id, bytes, version, additions);
        if (!frame.KeptEncoded && additions >= 0) {
            QByteArrayView content = bytes.sliced(additions);
            if (version == ive2_4 &&
                (tagUnsynchronised || (frameHeader.Flags & ID3FrameFlags::Unsynchronisation24))) {
                frameResynchronised = RemoveUnsynchronisation(content);
                content = frameResynchronised;
            }
            frame.Content = content;
        }
        visit(frame);
    }
}

// The identifier as read: the table's own string when it is the same (no allocation, as most
// frames read), else a copy.
QByteArray ReadName(QByteArrayView name, TID3FrameID id, TID3Version version) {
    const QByteArray known = ID3FrameName(id, version);
    return known == name ? known : name.toByteArray();
}

// Builds one frame as the walk describes it.
std::unique_ptr<TID3Frame> BuildFrame(const TID3FrameBytes& bytes) {
    std::unique_ptr<TID3Frame> frame = CreateID3Frame(bytes.KeptEncoded ? fiUnknown : bytes.ID);
    TID3FrameFormat& format = frame->Format();
    format.Name = ReadName(bytes.Name, bytes.ID, bytes.Version);
    format.Flags = bytes.Flags;
    format.Group = bytes.Group;
    if (bytes.KeptEncoded) {
        format.KeptEncoded = true;
        static_cast<TID3SkipFrame&>(*frame).SetData(bytes.Bytes.toByteArray());
    } else if (bytes.Content) {
        frame->ParseContent(*bytes.Content, bytes.Version);
    }
    return frame;
}

// The tag's header, checked against the bytes at hand; nothing when there is no tag.
std::optional<TID3v2Header> CheckedHeader(QByteArrayView fileStart, const QString& path) {
    std::optional<TID3v2Header> header = ParseID3v2Header(fileStart);
    if (header && quint64(fileStart.size()) < quint64(ID3v2HeaderSize) + header->Size)
        FailTruncated(*header, path);
    return header;
}

} // namespace

void ReadID3v2Frames(const TID3v2Header& header, QByteArrayView tagBytes, TID3v2TagData& data,
                     std::optional<TID3FrameID> only) {
    WalkFrames(header, tagBytes, data.ExtendedHeader, [&](const TID3FrameBytes& frame) {
        if (!only || frame.ID == *only)
            data.Frames.Add(BuildFrame(frame));
    });
}

std::optional<TID3v2Header> VisitID3v2TagBytes(QByteArrayView fileStart, const QString& path,
                                               const TID3FrameVisitor& visit) {
    const std::optional<TID3v2Header> header = CheckedHeader(fileStart, path);
    if (header) {
        std::optional<TID3v2ExtendedHeader> extendedHeader;
        WalkFrames(*header, fileStart.sliced(ID3v2HeaderSize, header->Size), extendedHeader, visit);
    }
    return header;
}

TID3v2TagData ReadID3v2TagBytes(QByteArrayView fileStart, const QString& path,
                                std::optional<TID3FrameID> only) {
    TID3v2TagData data;
    data.Header = CheckedHeader(fileStart, path);
    if (!data.Header)
        return data;
    ReadID3v2Frames(*data.Header, fileStart.sliced(ID3v2HeaderSize, data.Header->Size), data, only);
    return data;
}

TID3v2TagData ReadID3v2TagFile(const QString& path) {
    TFile file = TFile::OpenForReading(path);
    if (!file.IsOpen())
        Fail(Operation::Open, path, errno);
    char head[ID3v2HeaderSize];
    const qint64 headRead = ReadAt(file.Fd(), head, ID3v2HeaderSize, 0);
    if (headRead < 0)
        Fail(Operation::Read, path, errno);

    TID3v2TagData data;
    data.Header = ParseID3v2Header(QByteArrayView(head, headRead));
    if (!data.Header)
        return data;
    // The declared size is checked against the file before anything is allocated for it.
    const qint64 fileSize = RegularFileSize(file.Fd());
    if (fileSize < 0)
        Fail(Operation::Read, path, errno);
    const qint64 tagSize = qint64(data.Header->Size);
    if (fileSize < ID3v2HeaderSize + tagSize)
        FailTruncated(*data.Header, path);
    if (!ReadsFrames(data.Header->Version()))
        return data;

    QByteArray tagBytes;
    tagBytes.resize(qsizetype(tagSize));
    const qint64 read = ReadAt(file.Fd(), tagBytes.data(), tagSize, ID3v2HeaderSize);
    if (read < 0)
        Fail(Operation::Read, path, errno);
    if (read < tagSize)
        FailTruncated(*data.Header, path);
    file.Close();
    ReadID3v2Frames(*data.Header, tagBytes, data);
    return data;
}
