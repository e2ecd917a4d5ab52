#pragma once

#include "testsupport/TempDir.h"

#include <QDateTime>
#include <QProcessEnvironment>
#include <QStringList>
#include <map>

// Bytes and last-write time of every file under a folder, by full path.
using FileSnapshot = std::map<QString, std::pair<QByteArray, QDateTime>>;
FileSnapshot SnapshotFiles(const QString& folder);

// Runs the built quenlor-cli with its per-user folders inside a temporary folder, so that a test
// sees only the settings and data it made itself.
class CliRunner {
public:
    struct Result {
        int ExitCode = -1;
        QString Out;
        QString Err;
        QByteArray OutBytes; // stdout exactly as written
        QStringList OutLines() const;
        QStringList ErrLines() const;
    };

    CliRunner();
    // Runs in workingFolder when one is given, else in the test's own.
    Result Run(const QStringList& args, const QString& workingFolder = {}) const;

    const TempDir& Home() const { return FHome; }
    QString ConfigFolder() const; // where the settings file lives
    QString DataFolder() const;   // the default data folder
    QString SettingsFile() const { return ConfigFolder() + QStringLiteral("/settings.json"); }
    QProcessEnvironment& Environment() { return FEnv; }

private:
    TempDir FHome;
    QProcessEnvironment FEnv;
};
