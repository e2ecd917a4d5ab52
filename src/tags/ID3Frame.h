#pragma once

#include "tags/ID3Types.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <memory>
#include <optional>

// Frame flag bits of the two flag bytes, read as one big-endian 16-bit value.
namespace ID3FrameFlags {
inline constexpr quint16 Compression23 = 0x0080;
inline constexpr quint16 Encryption23 = 0x0040;
inline constexpr quint16 Grouping23 = 0x0020;
inline constexpr quint16 Grouping24 = 0x0040;
inline constexpr quint16 Compression24 = 0x0008;
inline constexpr quint16 Encryption24 = 0x0004;
inline constexpr quint16 Unsynchronisation24 = 0x0002;
inline constexpr quint16 DataLengthIndicator24 = 0x0001;
} // namespace ID3FrameFlags

// How a frame stood in the file, kept so that it is written back the way it came.
struct TID3FrameFormat {
    QByteArray Name;             // the identifier string as read; empty for an added frame
    quint16 Flags = 0;           // the two flag bytes as read (versions 2.3 and 2.4)
    std::optional<quint8> Group; // the grouping identity byte, when the grouping flag is set
    // Compressed or encrypted frames cannot be interpreted: their bytes behind the frame
    // header are kept as they are and written back with the flags unchanged.
    bool KeptEncoded = false;
};

// One frame of an ID3v2 tag. Frames with the same TID3FrameID are always of the same class.
class TID3Frame {
public:
    virtual ~TID3Frame() = default;
    TID3Frame(const TID3Frame&) = delete;
    TID3Frame& operator=(const TID3Frame&) = delete;

    TID3FrameID ID() const { return FID; }
    TID3FrameKind Kind() const;

    // The encoding the frame was read in (ienISO_8859_1 for a frame a caller added). Writing
    // chooses the encoding afresh from the text.
    TID3Encoding Encoding() const { return FEncoding; }
    void SetEncoding(TID3Encoding encoding) { FEncoding = encoding; }

    const TID3FrameFormat& Format() const { return FFormat; }
    TID3FrameFormat& Format() { return FFormat; }

    // Whether the frame is left out when the tag is written.
    virtual bool IsEmpty() const = 0;

    // The frame's typed view, or nullptr when it is of another class.
    template <class T> T* As() { return dynamic_cast<T*>(this); }
    template <class T> const T* As() const { return dynamic_cast<const T*>(this); }

    // Reads the content behind the frame header (and its additions). Throws TError with
    // "Unknown encoding" for an encoding byte above 3.
    virtual void ParseContent(QByteArrayView content, TID3Version version) = 0;
    // The content written in the version.
    virtual QByteArray BuildContent(TID3Version version) const = 0;

    // The corrections made before writing; most frames have none.
    virtual void AutoCorrect() {}
    // Frames with the same identifier and the same key are duplicates, of which only the first
    // is written; nothing for frames that may repeat freely.
    virtual std::optional<QString> DuplicateKey() const { return QString(); }

protected:
    explicit TID3Frame(TID3FrameID id) : FID(id) {}
    // Reads the encoding byte at the start of a text-carrying frame's content; pos moves behind
    // it. An empty content leaves the encoding as it is.
    void ReadEncoding(QByteArrayView content, qsizetype& pos);

    TID3Encoding FEncoding = ienISO_8859_1;

private:
    TID3FrameID FID;
    TID3FrameFormat FFormat;
};

// Whether frames of the kind begin their content with a text encoding byte; the frames kept
// as plain bytes do not.
inline bool ID3FrameKindHasEncoding(TID3FrameKind kind) {
    return kind != TID3FrameKind::Skip;
}

// Throws what parsing the content in a frame of the identifier would throw for its encoding
// byte (TError "Unknown encoding"), without parsing it: for readers that step over frames.
void CheckID3FrameEncoding(TID3FrameID id, QByteArrayView content);

// A new frame of the class that the identifier's kind calls for.
std::unique_ptr<TID3Frame> CreateID3Frame(TID3FrameID id);
