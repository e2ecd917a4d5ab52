#include "support/PlatformFolders.h"

#include "BuildInfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace PlatformFolders {

namespace {

const QString AppSubPath = QStringLiteral("/Tessaly/Varnholm");

QString XdgBase(const char* variable, const QString& fallbackBelowHome) {
    const QString value = qEnvironmentVariable(variable);
    // The XDG rules ignore relative paths.
    if (!value.isEmpty() && QDir::isAbsolutePath(value))
        return QDir::cleanPath(value);
    return QDir::homePath() + fallbackBelowHome;
}

} // namespace

QString ConfigFolder() {
    return XdgBase("XDG_CONFIG_HOME", QStringLiteral("/.config")) + AppSubPath;
}
QString DataFolder() {
    return XdgBase("XDG_DATA_HOME", QStringLiteral("/.local/share")) + AppSubPath;
}
QString StateFolder() {
    return XdgBase("XDG_STATE_HOME", QStringLiteral("/.local/state")) + AppSubPath;
}

QString MusicFolder() {
    QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    while (music.size() > 1 && music.endsWith(u'/'))
        music.chop(1);
    return music;
}

QString InstalledDataFolder() {
    const QString appDir =
        QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
    if (!appDir.isEmpty()) {
        const QString installed = QDir::cleanPath(appDir + QStringLiteral("/../share/varnholm"));
        if (QFileInfo(installed).isDir())
            return installed;
    }
    if (QFileInfo(QString::fromUtf8(BuildInfo::SourceDataDir)).isDir())
        return QString::fromUtf8(BuildInfo::SourceDataDir);
    return QString::fromUtf8(BuildInfo::InstallDataDir);
}

QString ToolFolder(const QStringList& executableNames) {
    for (const QString& name : executableNames) {
        const QString found = QStandardPaths::findExecutable(name);
        if (!found.isEmpty())
            return QFileInfo(found).absolutePath();
    }
    return QStringLiteral("/usr/bin");
}

QString Mp3tagFolder() {
    return QDir::homePath() + QStringLiteral("/.wine/drive_c/Program Files/Mp3tag");
}

} // namespace PlatformFolders
