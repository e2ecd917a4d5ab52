#include "export/TrackLength.h"

#include "tags/ID3FileIO.h"
#include "tags/ID3FrameKinds.h"
#include "tags/ID3v1Tag.h"
#include "tags/ID3v2Header.h"
#include "tags/ID3v2Reader.h"

#include <QByteArrayView>
#include <cstring>
#include <mpg123.h>
#include <optional>

namespace {

// How many frames after the first must share its bit rate for a file without a header frame
// to be measured by its size rather than scanned.
constexpr int ConstantBitRateProbe = 32;
// How much audio the quick measurement reads: some 40 frames at 128 kbit/s.
constexpr qint64 QuickProbeBytes = 16384;
// The first read of a file: a tag without a picture and the audio the quick measurement needs.
constexpr qint64 FirstReadBytes = 4096 + QuickProbeBytes;

quint32 BigEndian32(const unsigned char* p) {
    return quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | quint32(p[3]);
}

int SamplesPerFrame(const mpg123_frameinfo2& info) {
    if (info.layer == 1)
        return 384;
    if (info.layer == 2 || info.version == MPG123_1_0)
        return 1152;
    return 576;
}

// The frame count that a Xing or Info header (after the side information) or a VBRI header
// (32 bytes into the body) of the first frame declares; 0 when it has none.
quint32 HeaderFrameCount(bool mpeg1, bool mono, bool crc, const unsigned char* body,
                         std::size_t size) {
    std::size_t xing = mpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 17);
    if (crc)
        xing += 2;
    if (size >= xing + 12 &&
        (std::memcmp(body + xing, "Xing", 4) == 0 || std::memcmp(body + xing, "Info", 4) == 0) &&
        (BigEndian32(body + xing + 4) & 1))
        return BigEndian32(body + xing + 8);
    constexpr std::size_t vbri = 32;
    if (size >= vbri + 18 && std::memcmp(body + vbri, "VBRI", 4) == 0)
        return BigEndian32(body + vbri + 14);
    return 0;
}

// One MPEG audio frame header, as far as a length needs it.
struct TFrameHeader {
    int Version = 0; // 1, 2, or 25 for MPEG 2.5
    int Layer = 0;
    int BitRate = 0; // kbit/s
    int Rate = 0;    // Hz
    bool Crc = false;
    bool Mono = false;
    int Size = 0; // bytes, header included
    int SamplesPerFrame = 0;
};

std::optional<TFrameHeader> ReadFrameHeader(const unsigned char* h) {
    if (h[0] != 0xFF || (h[1] & 0xE0) != 0xE0)
        return {};
    static const int versions[] = {25, 0, 2, 1};
    static const int layers[] = {0, 3, 2, 1};
    static const int bitRates[5][15] = {
        {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448}, // 1, I
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},    // 1, II
        {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},     // 1, III
        {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},    // 2, I
        {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}};        // 2, II/III
    static const int rates[] = {44100, 48000, 32000};
    TFrameHeader f;
    f.Version = versions[(h[1] >> 3) & 3];
    f.Layer = layers[(h[1] >> 1) & 3];
    const int bitRateIndex = h[2] >> 4;
    const int rateIndex = (h[2] >> 2) & 3;
    if (!f.Version || !f.Layer || bitRateIndex == 0 || bitRateIndex == 15 || rateIndex == 3)
        return {};
    f.BitRate = bitRates[f.Version == 1 ? f.Layer - 1 : (f.Layer == 1 ? 3 : 4)][bitRateIndex];
    f.Rate = rates[rateIndex] / (f.Version == 1 ? 1 : f.Version == 2 ? 2 : 4);
    f.Crc = !(h[1] & 1);
    f.Mono = (h[3] >> 6) == 3;
    const int padding = (h[2] >> 1) & 1;
    if (f.Layer == 1) {
        f.Size = (12000 * f.BitRate / f.Rate + padding) * 4;
        f.SamplesPerFrame = 384;
    } else {
        const bool half = f.Layer == 3 && f.Version != 1;
        f.Size = (half ? 72000 : 144000) * f.BitRate / f.Rate + padding;
        f.SamplesPerFrame = half ? 576 : 1152;
    }
    return f;
}

// Closes the decoder's file whatever ends the measurement.
class TOpenFile {
public:
    explicit TOpenFile(mpg123_handle* handle) : FHandle(handle) {}
    ~TOpenFile() { mpg123_close(FHandle); }
    TOpenFile(const TOpenFile&) = delete;
    TOpenFile& operator=(const TOpenFile&) = delete;

private:
    mpg123_handle* FHandle;
};

bool NextFrame(mpg123_handle* handle, mpg123_frameinfo2& info) {
    const int result = mpg123_framebyframe_next(handle);
    return (result == MPG123_OK || result == MPG123_NEW_FORMAT) &&
           mpg123_info(handle, &info) == MPG123_OK;
}

} // namespace

TTrackLength::TTrackLength() {
    FHandle = mpg123_new(nullptr, nullptr);
    if (FHandle)
        // The header frame is read here, not by the decoder, which knows no VBRI header; the
        // decoder's gapless trimming would make a length differ from the frames' own.
        mpg123_param(FHandle, MPG123_FLAGS,
                     MPG123_QUIET | MPG123_IGNORE_INFOFRAME | MPG123_SKIP_ID3V2, 0);
}

TTrackLength::~TTrackLength() {
    if (FHandle)
        mpg123_delete(FHandle);
}

qint64 TTrackLength::Seconds(const QString& path) {
    // A playlist of a large library measures every file: one open serves the tag, the first
    // audio and, when a scan must decide, the decoder.
    const ID3FileIO::TFile file = ID3FileIO::TFile::OpenForReading(path);
    const qint64 size = file.IsOpen() ? ID3FileIO::RegularFileSize(file.Fd()) : -1;
    if (size < 0)
        return -1;
    const TTrackHead head = ReadTrackHead(file.Fd(), size);
    quint32 tlen = 0;
    if (head.Bytes.startsWith("ID3")) {
        try {
            // Only TLEN frames are parsed (the first counts); pictures and the rest are skipped.
            const TID3v2TagData tag =
                ReadID3v2TagBytes(QByteArrayView(head.Bytes).first(head.TagSize), path, fiSongLen);
            if (const TID3Frame* frame = tag.Frames.FindFirst(fiSongLen))
                if (const auto* number = frame->As<TID3NumberFrame>())
                    tlen = number->Number();
        } catch (...) {
            // An unreadable tag leaves the length to the audio.
        }
    }
    if (tlen / 1000 > 0)
        return tlen / 1000;
    qint64 milliseconds = QuickMilliseconds(file.Fd(), head);
    if (milliseconds < 0)
        milliseconds = AudioMilliseconds(file.Fd());
    return milliseconds < 0 ? -1 : milliseconds / 1000;
}

TTrackLength::TTrackHead TTrackLength::ReadTrackHead(int fd, qint64 size) {
    using ID3FileIO::ReadAt;
    TTrackHead head;
    head.FileSize = size;
    QByteArray& bytes = head.Bytes;
    bytes.resize(qsizetype(std::min(size, FirstReadBytes)));
    const qint64 have = std::max<qint64>(ReadAt(fd, bytes.data(), bytes.size(), 0), 0);
    bytes.truncate(qsizetype(have));
    // The tag: its header and the bytes that header declares, as far as the file holds them.
    if (bytes.startsWith("ID3")) {
        head.TagSize = std::min<qint64>(have, ID3v2HeaderSize);
        if (const std::optional<TID3v2Header> header = ParseID3v2Header(bytes))
            head.TagSize = std::min<qint64>(size, ID3v2HeaderSize + qint64(header->Size));
    }
    // The audio begins after the tag (a 2.4 footer included, when its flag says so).
    head.AudioStart = head.TagSize;
    if (head.AudioStart >= ID3v2HeaderSize && (quint8(bytes[5]) & ID3v2Flags::Footer))
        head.AudioStart += ID3v2HeaderSize;
    // A tag larger than the first read (a picture, much padding) takes one more.
    const qint64 wanted = std::min(size, head.AudioStart + QuickProbeBytes);
    if (wanted > have) {
        bytes.resize(qsizetype(wanted));
        const qint64 more = ReadAt(fd, bytes.data() + have, wanted - have, have);
        bytes.truncate(qsizetype(have + std::max<qint64>(more, 0)));
    }
    // Only a file that shrank meanwhile holds less than its tag declared.
    head.TagSize = std::min<qint64>(head.TagSize, bytes.size());
    return head;
}

qint64 TTrackLength::QuickMilliseconds(int fd, const TTrackHead& head) {
    const qint64 start = std::min<qint64>(head.AudioStart, head.Bytes.size());
    const auto* bytes = reinterpret_cast<const unsigned char*>(head.Bytes.constData() + start);
    const qint64 size = std::min<qint64>(head.Bytes.size() - start, QuickProbeBytes);
    // The first frame whose successor stands where its size says.
    qint64 at = -1;
    std::optional<TFrameHeader> first;
    for (qint64 i = 0; i + 4 <= size && at < 0; ++i) {
        first = ReadFrameHeader(bytes + i);
        if (first && i + first->Size + 4 <= size && ReadFrameHeader(bytes + i + first->Size))
            at = i;
    }
    if (at < 0)
        return -1;
    const qint64 rate = first->Rate;
    if (const quint32 frames =
            HeaderFrameCount(first->Version == 1, first->Mono, first->Crc, bytes + at + 4,
                             std::size_t(std::min<qint64>(first->Size, size - at) - 4)))
        return qint64(frames) * first->SamplesPerFrame * 1000 / rate;
    // Without a header frame: one bit rate over the frames read means constant bit rate, whose
    // length follows from the size of the audio; anything else is left to a scan.
    for (qint64 next = at + first->Size; next + 4 <= size;) {
        const std::optional<TFrameHeader> frame = ReadFrameHeader(bytes + next);
        if (!frame)
            break;
        if (frame->BitRate != first->BitRate)
            return -1;
        next += frame->Size;
    }
    qint64 audio = head.FileSize - head.AudioStart - at;
    if (EndsWithID3v1(fd, head))
        audio -= TID3v1Tag::TagSize;
    return audio > 0 ? audio * 8 / first->BitRate : -1;
}

bool TTrackLength::EndsWithID3v1(int fd, const TTrackHead& head) {
    const qint64 at = head.FileSize - TID3v1Tag::TagSize;
    if (at < 0)
        return false;
    if (at + 3 <= head.Bytes.size())
        return QByteArrayView(head.Bytes).sliced(at, 3) == "TAG";
    char marker[3];
    return ID3FileIO::ReadAt(fd, marker, 3, at) == 3 && QByteArrayView(marker, 3) == "TAG";
}

qint64 TTrackLength::AudioMilliseconds(const QString& path) {
    const ID3FileIO::TFile file = ID3FileIO::TFile::OpenForReading(path);
    if (!file.IsOpen() || ID3FileIO::RegularFileSize(file.Fd()) < 0)
        return -1;
    return AudioMilliseconds(file.Fd());
}

qint64 TTrackLength::AudioMilliseconds(int fd) {
    // The decoder reads from the descriptor's own offset, which the reads above leave at 0.
    if (!FHandle || mpg123_open_fd(FHandle, fd) != MPG123_OK)
        return -1;
    TOpenFile open(FHandle);
    mpg123_frameinfo2 info{};
    if (!NextFrame(FHandle, info) || info.rate <= 0)
        return -1;
    const qint64 rate = info.rate;
    const qint64 samplesPerFrame = SamplesPerFrame(info);

    unsigned long header = 0;
    unsigned char* body = nullptr;
    std::size_t size = 0;
    if (mpg123_framedata(FHandle, &header, &body, &size) == MPG123_OK && body)
        if (const quint32 frames =
                HeaderFrameCount(info.version == MPG123_1_0, info.mode == MPG123_M_MONO,
                                 info.flags & MPG123_CRC, body, size))
            return qint64(frames) * samplesPerFrame * 1000 / rate;

    const int bitRate = info.bitrate;
    bool constant = true;
    for (int i = 0; i < ConstantBitRateProbe && constant && NextFrame(FHandle, info); ++i)
        constant = info.bitrate == bitRate;
    if (!constant && mpg123_scan(FHandle) != MPG123_OK)
        return -1;
    const off_t samples = mpg123_length(FHandle);
    return samples < 0 ? -1 : qint64(samples) * 1000 / rate;
}
