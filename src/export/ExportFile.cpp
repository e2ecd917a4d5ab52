#include "export/ExportFile.h"

#include "support/TextFile.h"

#include <QFile>
#include <QFileInfo>

namespace ExportFile {

namespace {

// Where the extension's dot stands in path, or -1; a dot in a folder name does not count.
qsizetype ExtensionDot(const QString& path) {
    const qsizetype dot = path.lastIndexOf(u'.');
    return dot > path.lastIndexOf(u'/') ? dot : -1;
}

} // namespace

QString Extension(const QString& path) {
    const qsizetype dot = ExtensionDot(path);
    return dot < 0 ? QString() : path.mid(dot);
}

QString BackupName(const QString& path) {
    const qsizetype dot = ExtensionDot(path);
    if (dot < 0)
        return path + QStringLiteral(".~");
    return path.left(dot) + QStringLiteral(".~") + path.mid(dot + 1);
}

bool Write(const QString& path, const QByteArray& bytes, TBackup backup, QString& error) {
    if (backup == TBackup::Keep && QFileInfo(path).isFile()) {
        const QString copy = BackupName(path);
        QFile::remove(copy);
        QFile::copy(path, copy);
    }
    return TextFile::WriteAtomically(path, bytes, &error);
}

QString WriteErrorMessage(const QString& path, const QString& error) {
    return QStringLiteral("Cannot write \"%1\": %2").arg(path, error);
}

} // namespace ExportFile
