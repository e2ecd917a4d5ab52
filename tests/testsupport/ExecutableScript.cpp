#include "testsupport/ExecutableScript.h"

#include <QFile>

QString WriteExecutableScript(const TempDir& dir, const QString& name, const QByteArray& body) {
    const QString path = dir.Write(name, "#!/bin/sh\n" + body);
    QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner | QFile::ExeGroup |
                                    QFile::ExeOther);
    return path;
}

PathPrefix::PathPrefix(const QString& folder) : FOld(qgetenv("PATH")) {
    qputenv("PATH", folder.toLocal8Bit() + ':' + FOld);
}

PathPrefix::~PathPrefix() {
    qputenv("PATH", FOld);
}
