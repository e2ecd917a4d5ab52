#include "CliRunner.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <stdexcept>

namespace {

QStringList Lines(const QString& text) {
    return text.split(u'\n', Qt::SkipEmptyParts);
}

} // namespace

FileSnapshot SnapshotFiles(const QString& folder) {
    FileSnapshot files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        files[path] = {file.readAll(), QFileInfo(path).lastModified()};
    }
    return files;
}

QStringList CliRunner::Result::OutLines() const {
    return Lines(Out);
}

QStringList CliRunner::Result::ErrLines() const {
    return Lines(Err);
}

CliRunner::CliRunner() : FEnv(QProcessEnvironment::systemEnvironment()) {
    FEnv.insert("HOME", FHome.File("home"));
    FEnv.insert("XDG_CONFIG_HOME", FHome.File("config"));
    FEnv.insert("XDG_DATA_HOME", FHome.File("data"));
    FEnv.insert("XDG_STATE_HOME", FHome.File("state"));
    for (const char* name : {"http_proxy", "https_proxy", "ftp_proxy", "all_proxy", "no_proxy"}) {
        FEnv.remove(QString::fromLatin1(name));
        FEnv.remove(QString::fromLatin1(name).toUpper());
    }
}

QString CliRunner::ConfigFolder() const {
    return FHome.File("config/Tessaly/Varnholm");
}

QString CliRunner::DataFolder() const {
    return FHome.File("data/Tessaly/Varnholm");
}

CliRunner::Result CliRunner::Run(const QStringList& args, const QString& workingFolder) const {
    QProcess process;
    process.setProcessEnvironment(FEnv);
    if (!workingFolder.isEmpty())
        process.setWorkingDirectory(workingFolder);
    process.start(QStringLiteral(QUENLOR_CLI_PATH), args);
    if (!process.waitForStarted() || !process.waitForFinished(120000))
        throw std::runtime_error("quenlor-cli did not run");
    Result result;
    result.ExitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.OutBytes = process.readAllStandardOutput();
    result.Out = QString::fromUtf8(result.OutBytes);
    result.Err = QString::fromUtf8(process.readAllStandardError());
    return result;
}
