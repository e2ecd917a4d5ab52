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

} // namespace

const QString& Folder() {
    static const QTemporaryDir dir(ScratchParent() + QStringLiteral("/varnholm-fuzz-XXXXXX"));
    static const QString path = dir.path();
    return path;
}

QString Write(const uint8_t* data, size_t size, const QString& name) {
    const QString path = Folder() + u'/' + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
        Fail("cannot write the scratch file");
    return path;
}

QString Put(const QString& name, const QByteArray& bytes) {
    const QString path = Folder() + u'/' + name;
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        Fail("cannot write a file of the scratch folder");
    return path;
}

void CheckUnchanged(const QString& path, const uint8_t* data, size_t size) {
    if (Read(path) != QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)))
        Fail("reading changed the file");
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
