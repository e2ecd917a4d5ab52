#include "export/TrackLength.h"
#include "tags/ID3v2Header.h"
#include "testsupport/Mp3Fixture.h"
#include "testsupport/TempDir.h"

#include <QProcess>
#include <QStandardPaths>
#include <QtEndian>
#include <cmath>
#include <gtest/gtest.h>

// Lengths are checked against outside programs: lame (Debian package "lame") encodes the files
// and decodes them in full, mutagen (Debian package "python3-mutagen") reads their headers.
namespace {

// A WAV file whose sound changes all the time, so that a VBR encoder varies its bit rate.
QByteArray Wav(double seconds, int rate, int channels) {
    const int frames = int(seconds * rate);
    QByteArray data(frames * channels * 2, '\0');
    quint32 noise = 12345;
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c) {
            noise = noise * 1103515245u + 12345u;
            const double swell = 0.5 + 0.5 * std::sin(i * 0.00007);
            const int sample = int(9000 * swell * std::sin(i * (0.02 + 0.03 * c))) +
                               int((noise >> 16) % 4000) - 2000;
            qToLittleEndian<qint16>(qint16(sample), data.data() + (i * channels + c) * 2);
        }
    QByteArray header("RIFF....WAVEfmt ", 16);
    auto put32 = [&header](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        header.append(b, 4);
    };
    auto put16 = [&header](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        header.append(b, 2);
    };
    put32(16);
    put16(1);
    put16(quint16(channels));
    put32(quint32(rate));
    put32(quint32(rate * channels * 2));
    put16(quint16(channels * 2));
    put16(16);
    header.append("data");
    put32(quint32(data.size()));
    QByteArray wav = header + data;
    qToLittleEndian<quint32>(quint32(wav.size() - 8), wav.data() + 4);
    return wav;
}

QString RunTool(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    process.waitForFinished(60000);
    EXPECT_EQ(process.exitCode(), 0)
        << program.toStdString() << ' ' << process.readAllStandardError().toStdString();
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

// mutagen's length, from the header frame or (without one) the file's size.
double MutagenSeconds(const QString& path) {
    return RunTool(QStringLiteral("/usr/bin/python3"),
                   {"-c",
                    "import sys, mutagen.mp3; print(mutagen.mp3.MP3(sys.argv[1]).info.length)",
                    path})
        .toDouble();
}

// The length of the whole decoded audio.
double DecodedSeconds(const TempDir& dir, const QString& path) {
    const QString wav = dir.File("decoded.wav");
    RunTool("lame", {"--quiet", "--decode", path, wav});
    const QByteArray bytes = dir.Read("decoded.wav");
    const qsizetype data = bytes.indexOf("data");
    const int channels = qFromLittleEndian<quint16>(bytes.constData() + 22);
    const int rate = qFromLittleEndian<qint32>(bytes.constData() + 24);
    return double(bytes.size() - data - 8) / (channels * 2 * rate);
}

// The frames of an MPEG-1 layer III file without tags, counted by walking their headers.
int CountFrames(const QByteArray& mp3) {
    static const int bitRates[] = {0,   32,  40,  48,  56,  64,  80, 96,
                                   112, 128, 160, 192, 224, 256, 320};
    static const int rates[] = {44100, 48000, 32000};
    int count = 0;
    for (qsizetype at = 0; at + 4 <= mp3.size(); ++count) {
        const auto* h = reinterpret_cast<const unsigned char*>(mp3.constData() + at);
        if (h[0] != 0xFF || (h[1] & 0xE0) != 0xE0)
            break;
        at += 144000 * bitRates[h[2] >> 4] / rates[(h[2] >> 2) & 3] + ((h[2] >> 1) & 1);
    }
    return count;
}

// A VBRI header frame (as Fraunhofer's encoder writes it) put before the audio frames.
QByteArray WithVbriHeader(const QByteArray& mp3) {
    QByteArray frame(417, '\0'); // 128 kbit/s at 44.1 kHz
    frame[0] = char(0xFF);
    frame[1] = char(0xFB);
    frame[2] = char(0x90);
    frame[3] = mp3[3];
    frame.replace(36, 4, "VBRI");
    qToBigEndian<quint16>(1, frame.data() + 40);
    qToBigEndian<quint32>(quint32(mp3.size()), frame.data() + 46);
    qToBigEndian<quint32>(quint32(CountFrames(mp3)), frame.data() + 50);
    qToBigEndian<quint16>(2, frame.data() + 58); // an empty table of 2-byte entries
    return frame + mp3;
}

class TrackLengthTest : public testing::Test {
protected:
    TempDir Dir;
    TTrackLength Lengths;

    void SetUp() override {
        ASSERT_FALSE(QStandardPaths::findExecutable("lame").isEmpty()) << "lame is needed";
    }

    QString Encode(const QString& name, const QStringList& options, int rate = 44100,
                   int channels = 2) {
        Dir.Write("in.wav", Wav(7.45, rate, channels));
        RunTool("lame",
                QStringList{"--quiet"} + options + QStringList{Dir.File("in.wav"), Dir.File(name)});
        return Dir.File(name);
    }
};

TEST_F(TrackLengthTest, AgreesWithOutsideDecodersToTheSecond) {
    enum class Oracle { Header, FullDecode };
    const struct {
        const char* Name;
        QStringList Options;
        int Rate;
        int Channels;
        Oracle By;
    } cases[] = {
        {"cbr-info.mp3", {"-b", "128"}, 44100, 2, Oracle::Header},
        {"cbr-bare.mp3", {"-b", "128", "-t"}, 44100, 2, Oracle::FullDecode},
        {"vbr-xing.mp3", {"-V", "2"}, 44100, 2, Oracle::Header},
        {"vbr-xing-mono.mp3", {"-V", "4", "-m", "m"}, 44100, 1, Oracle::Header},
        {"vbr-bare.mp3", {"-V", "2", "-t"}, 44100, 2, Oracle::FullDecode},
        {"mpeg2-cbr.mp3", {"-b", "64"}, 22050, 2, Oracle::Header},
        {"mpeg2-vbr-bare.mp3", {"-V", "4", "-t"}, 22050, 2, Oracle::FullDecode},
    };
    for (const auto& c : cases) {
        const QString path = Encode(c.Name, c.Options, c.Rate, c.Channels);
        const double expected =
            c.By == Oracle::Header ? MutagenSeconds(path) : DecodedSeconds(Dir, path);
        EXPECT_NEAR(expected, 7.45, 0.1) << c.Name; // the oracle itself is sound
        EXPECT_EQ(Lengths.Seconds(path), qint64(expected)) << c.Name;
        // mutagen leaves out the encoder's delay and padding that a LAME header names.
        EXPECT_NEAR(Lengths.AudioMilliseconds(path) / 1000.0, expected, 0.1) << c.Name;
    }
    // Without a header, measuring by the size would be far off for the VBR file: mutagen does
    // so and misses by seconds.
    EXPECT_GT(std::abs(MutagenSeconds(Dir.File("vbr-bare.mp3")) - 7.45), 1.0);
}

TEST_F(TrackLengthTest, VbriHeaderGivesTheFrameCount) {
    const QString bare = Encode("bare.mp3", {"-V", "2", "-t"});
    const QString vbri = Dir.Write("vbri.mp3", WithVbriHeader(Dir.Read("bare.mp3")));
    const double expected = MutagenSeconds(vbri);
    EXPECT_NEAR(expected, DecodedSeconds(Dir, bare), 0.06);
    EXPECT_EQ(Lengths.Seconds(vbri), qint64(expected));
    EXPECT_NEAR(Lengths.AudioMilliseconds(vbri) / 1000.0, expected, 0.001);
}

TEST_F(TrackLengthTest, TlenComesFirstWhenItGivesASecond) {
    const QByteArray audio = Dir.Read(QFileInfo(Encode("cbr.mp3", {"-b", "128"})).fileName());
    const struct {
        const char* Tlen;
        qint64 Seconds;
    } cases[] = {
        {"215999", 215},             // the fraction is dropped
        {"999000", 999},             // trusted, even when the audio says otherwise
        {"999", 7},                  // under a second: the audio decides
        {"0", 7},        {"abc", 7}, // no number
        {nullptr, 7},
    };
    for (int version : {3, 4})
        for (const auto& c : cases) {
            Mp3Fixture tag(version);
            tag.Text("TIT2", "Song");
            if (c.Tlen)
                tag.Text("TLEN", c.Tlen);
            const QString path = Dir.Write("tagged.mp3", tag.TagBytes() + audio);
            EXPECT_EQ(Lengths.Seconds(path), c.Seconds) << version << ' ' << c.Tlen;
        }
}

TEST_F(TrackLengthTest, AudioIsMeasuredWhereverTheTagsEnd) {
    // Frames of 128 kbit/s: 16 bytes a millisecond. 115 of them last 2.997 s, so an ID3v1 tag
    // counted as audio (8 ms) or audio measured from the wrong place shows in the seconds.
    const QByteArray audio = Mp3Bytes::Audio(115);
    // 15,950 bytes (0.997 s): the whole file fits in one read.
    const QByteArray shortAudio = Mp3Bytes::Audio(39).left(15950);
    const QByteArray id3v1 = Mp3Bytes::ID3v1({.Title = "Song"});
    const QByteArray picture(40000, '\x5A');
    QByteArray footed =
        Mp3Bytes::Tag(4, Mp3Bytes::Frame24("TIT2", Mp3Bytes::Latin1("Song")), ID3v2Flags::Footer);
    footed += QByteArray("3DI") + footed.mid(3, 7);
    const struct {
        const char* Name;
        QByteArray Bytes;
        qint64 Seconds;
    } cases[] = {
        {"audio alone", audio, 2},
        {"ID3v1 after the audio", audio + id3v1, 2},
        {"small tag and ID3v1", Mp3Fixture(3).Text("TIT2", "Song").TagBytes() + audio + id3v1, 2},
        {"tag with a footer", footed + audio + id3v1, 2},
        {"padding beyond the first read", Mp3Fixture(3).Padding(30000).TagBytes() + audio + id3v1,
         2},
        {"picture before the audio",
         Mp3Fixture(4).Picture(3, "image/jpeg", picture).TagBytes() + audio + id3v1, 2},
        {"TLEN after a picture",
         Mp3Fixture(3).Picture(3, "image/jpeg", picture).Text("TLEN", "5000").TagBytes() + audio,
         5},
        {"short file with ID3v1",
         Mp3Fixture(3).Text("TIT2", "Song").TagBytes() + shortAudio + id3v1, 0},
        {"short file", shortAudio, 0},
    };
    for (const auto& c : cases) {
        const QString path = Dir.Write("layout.mp3", c.Bytes);
        EXPECT_EQ(Lengths.Seconds(path), c.Seconds) << c.Name;
    }
}

TEST_F(TrackLengthTest, UnknownLengthIsMinusOne) {
    EXPECT_EQ(Lengths.Seconds(Dir.File("vanished.mp3")), -1);
    EXPECT_EQ(Lengths.Seconds(Dir.Write("empty.mp3", {})), -1);
    EXPECT_EQ(Lengths.Seconds(Dir.Write("zeros.mp3", QByteArray(20000, '\0'))), -1);
    EXPECT_EQ(Lengths.Seconds(Dir.Write("text.mp3", QByteArray("not music\n").repeated(500))), -1);
    // A damaged tag does not hide the audio behind it.
    const QByteArray audio = Dir.Read(QFileInfo(Encode("cbr.mp3", {"-b", "128"})).fileName());
    EXPECT_EQ(
        Lengths.Seconds(Dir.Write("bad-tag.mp3", QByteArray("ID3\x03\x00\x00\x00\x00\x00\x20", 10) +
                                                     QByteArray(32, '\xEE') + audio)),
        7);
    // The handle serves the next file after all of these.
    EXPECT_EQ(Lengths.Seconds(Dir.File("cbr.mp3")), 7);
}

} // namespace
