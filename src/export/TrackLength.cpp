#include "export/TrackLength.h"

#include "tags/ID3FileEnds.h"

#include <QFile>
#include <cstring>
#include <mpg123.h>

namespace {

// How many frames after the first must share its bit rate for a file without a header frame
// to be measured by its size rather than scanned.
constexpr int ConstantBitRateProbe = 32;

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
quint32 HeaderFrameCount(const mpg123_frameinfo2& info, const unsigned char* body,
                         std::size_t size) {
    const bool mono = info.mode == MPG123_M_MONO;
    std::size_t xing = info.version == MPG123_1_0 ? (mono ? 17 : 32) : (mono ? 9 : 17);
    if (info.flags & MPG123_CRC)
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
    const TID3FileEnds ends = ReadID3FileEnds(path);
    if (!ends.Opened)
        return -1;
    quint32 tlen = 0;
    if (ends.Start.startsWith("ID3")) {
        FTag.SetFileName(path);
        try {
            FTag.OpenFromFileStart(ends.Start);
            tlen = FTag.Texts().SongLen();
        } catch (...) {
            // An unreadable tag leaves the length to the audio.
        }
        FTag.Close();
    }
    if (tlen / 1000 > 0)
        return tlen / 1000;
    const qint64 milliseconds = AudioMilliseconds(path);
    return milliseconds < 0 ? -1 : milliseconds / 1000;
}

qint64 TTrackLength::AudioMilliseconds(const QString& path) {
    if (!FHandle || mpg123_open(FHandle, QFile::encodeName(path).constData()) != MPG123_OK)
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
        if (const quint32 frames = HeaderFrameCount(info, body, size))
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
