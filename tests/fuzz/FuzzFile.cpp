#include "fuzz/FuzzFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

namespace FuzzFile {

namespace {

// Rewriting one file thousands of times a second is slow on a disk file system (ext4 flushes a
// truncated and rewritten file on close), so the scratch file lives in memory when it can.
QString ScratchParent() {
    const QFileInfo shm(QStringLiteral("/dev/shm"));
    return shm.isDir() && shm.isWritable() ? shm.filePath() : QDir::tempPath();
}

const QString& ScratchPath() {
    static const QTemporaryDir dir(ScratchParent() + QStringLiteral("/varnholm-fuzz-XXXXXX"));
    static const QString path = dir.filePath(QStringLiteral("input.mp3"));
    return path;
}

} // namespace

QString Write(const uint8_t* data, size_t size) {
    const QString& path = ScratchPath();
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
        Fail("cannot write the scratch file");
    return path;
}

QByteArray Read(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        Fail("cannot read the scratch file");
    return file.readAll();
}

void Fail(const char* what) {
    std::fprintf(stderr, "fuzz property failed: %s\n", what);
    std::abort();
}

} // namespace FuzzFile
