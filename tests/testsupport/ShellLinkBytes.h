#pragma once

#include <QByteArray>
#include <QString>

// A minimal Windows shortcut (".lnk"): the header, a LinkInfo with a local base path when one is
// given, and a relative path in the string data (UTF-16) when one is given.
QByteArray MakeShellLink(const QByteArray& localBasePath, const QString& relativePath = {});
