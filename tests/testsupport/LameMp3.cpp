#include "testsupport/LameMp3.h"

#include <QFile>
#include <QProcess>
#include <QtEndian>
#include <cmath>
#include <stdexcept>

namespace LameMp3 {

namespace {

constexpr int SampleRate = 44100;

QByteArray Wave(double amplitude, int seconds) {
    const int samples = SampleRate * seconds;
    QByteArray pcm(samples * 2, '\0');
    for (int i = 0; i < samples; ++i) {
        const auto value =
            qint16(std::lround(32767 * amplitude * std::sin(2 * M_PI * 440.0 * i / SampleRate)));
        qToLittleEndian(value, pcm.data() + 2 * i);
    }
    auto le32 = [](quint32 v) {
        QByteArray b(4, '\0');
        qToLittleEndian(v, b.data());
        return b;
    };
    auto le16 = [](quint16 v) {
        QByteArray b(2, '\0');
        qToLittleEndian(v, b.data());
        return b;
    };
    return "RIFF" + le32(quint32(36 + pcm.size())) + "WAVEfmt " + le32(16) + le16(1) + le16(1) +
           le32(SampleRate) + le32(SampleRate * 2) + le16(2) + le16(16) + "data" +
           le32(quint32(pcm.size())) + pcm;
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("cannot read " + path.toStdString());
    return file.readAll();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

} // namespace

QString Write(const QString& path, double amplitude, const QString& title, int seconds) {
    QProcess lame;
    lame.start(QStringLiteral("lame"),
               {QStringLiteral("--silent"), QStringLiteral("-b"), QStringLiteral("128"),
                QStringLiteral("--add-id3v2"), QStringLiteral("--tt"), title,
                QStringLiteral("--ta"), QStringLiteral("Tester"), QStringLiteral("-"), path});
    if (!lame.waitForStarted())
        throw std::runtime_error("lame cannot be started");
    lame.write(Wave(amplitude, seconds));
    lame.closeWriteChannel();
    if (!lame.waitForFinished(-1) || lame.exitCode() != 0)
        throw std::runtime_error("lame failed for " + path.toStdString());
    return path;
}

void InsertGarbage(const QString& path) {
    QByteArray bytes = ReadAll(path);
    // Well inside the audio, past the ID3v2 tag and the first frames.
    bytes.insert(bytes.size() / 2, QByteArray("GARBAGE-BYTES-").repeated(20));
    WriteAll(path, bytes);
}

void TruncateLastFrame(const QString& path) {
    QByteArray bytes = ReadAll(path);
    constexpr int ID3v1Size = 128;
    bytes.remove(bytes.size() - ID3v1Size - 200, 200);
    WriteAll(path, bytes);
}

} // namespace LameMp3
