#include "testsupport/TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>

TempDir::TempDir() : FPath(FDir.path()) {
    if (!FDir.isValid())
        throw std::runtime_error("cannot create a temporary folder");
}

QString TempDir::Write(const QString& name, const QByteArray& bytes) const {
    const QString path = File(name);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write a test file");
    return path;
}

QByteArray TempDir::Read(const QString& name) const {
    QFile file(File(name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}
