#include "testsupport/Mp3Layout.h"

#include <QFile>

Mp3Layout Mp3Layout::Of(const QByteArray& file) {
    qsizetype start = 0;
    if (file.size() >= 10 && file.startsWith("ID3")) {
        quint32 size = 0;
        for (int i = 6; i < 10; ++i)
            size = (size << 7) | (quint8(file[i]) & 0x7F);
        const bool footer = (quint8(file[5]) & 0x10) != 0;
        start = qMin(file.size(), 10 + qsizetype(size) + (footer ? 10 : 0));
    }
    qsizetype end = file.size();
    if (end - start >= 128 && file.mid(end - 128, 3) == "TAG")
        end -= 128;
    return {file.left(start), file.mid(start, end - start), file.mid(end)};
}

Mp3Layout Mp3Layout::OfFile(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return Of(file.readAll());
}

QByteArray AudioBytes(const QByteArray& file) {
    return Mp3Layout::Of(file).Audio;
}

QByteArray AudioBytesOf(const QString& fileName) {
    return Mp3Layout::OfFile(fileName).Audio;
}
