#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A temporary folder for one test, removed with everything in it when the test ends.
class TempDir {
public:
    TempDir();
    const QString& Path() const { return FPath; }
    // The full path of a name inside the folder.
    QString File(const QString& name) const { return FPath + u'/' + name; }
    // Writes bytes to a name inside the folder (creating sub-folders) and returns its full path.
    QString Write(const QString& name, const QByteArray& bytes) const;
    QByteArray Read(const QString& name) const;

private:
    QTemporaryDir FDir;
    QString FPath;
};
