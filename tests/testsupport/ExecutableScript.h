#pragma once

#include "testsupport/TempDir.h"

#include <QString>

// Writes a /bin/sh script with the given body into the folder, executable, and returns its path.
QString WriteExecutableScript(const TempDir& dir, const QString& name, const QByteArray& body);

// Puts a folder in front of PATH for the lifetime of the object.
class PathPrefix {
public:
    explicit PathPrefix(const QString& folder);
    ~PathPrefix();
    PathPrefix(const PathPrefix&) = delete;
    PathPrefix& operator=(const PathPrefix&) = delete;

private:
    QByteArray FOld;
};
