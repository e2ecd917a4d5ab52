#pragma once

#include <QByteArray>
#include <QString>

// What the maker's update description file (TessalyUpdates.txt) advertises for one program.
struct TUpdateDescription {
    QString DownloadFileURL;
    QString ReadmeFileURL;
    QString UpdatePageURL;
    QString MD5Hash;
    QString SHA1Hash;
    QString SHA256Hash;
    QString Version;
};

// Reads the section of the application's name from INI text: section and key names without
// regard to case, blanks around values dropped, values cut at 2047 characters, the first of
// repeated keys wins. Each "64" key (DownloadFileURL64 ...) is read first, its plain fallback
// only when it is empty. Text that is not INI simply yields empty values.
TUpdateDescription ReadUpdateDescription(const QByteArray& text, const QString& applicationName);

// Compares version texts such as "2.05.10" part by part as numbers (10.00.00 is newer than
// 9.99.99); a missing part counts as 0, text after a part's digits decides ties by code unit.
// Negative, zero or positive as a is older than, equal to or newer than b.
int CompareVersions(const QString& a, const QString& b);

// True when the advertised version is not empty and newer than the running one.
bool IsNewerVersion(const QString& running, const QString& advertised);
