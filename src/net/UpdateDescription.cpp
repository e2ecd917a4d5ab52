#include "net/UpdateDescription.h"

#include "support/TextFile.h"

#include <QMap>
#include <QStringList>

namespace {

constexpr qsizetype MaxValueLength = 2047;

QMap<QString, QString> SectionKeys(const QByteArray& text, const QString& section) {
    QMap<QString, QString> keys;
    bool inSection = false;
    for (const QString& rawLine : TextFile::SplitLines(TextFile::Decode(text))) {
        const QString line = rawLine.trimmed();
        if (line.startsWith(u'[')) {
            const qsizetype close = line.indexOf(u']');
            inSection = close > 0 &&
                        line.mid(1, close - 1).trimmed().compare(section, Qt::CaseInsensitive) == 0;
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inSection || equals <= 0 || line.startsWith(u';'))
            continue;
        const QString key = line.left(equals).trimmed().toLower();
        if (!keys.contains(key))
            keys.insert(key, line.mid(equals + 1).trimmed().left(MaxValueLength));
    }
    return keys;
}

// Leading digits as a number (0 when none) and the rest of the part.
std::pair<qulonglong, QString> SplitPart(const QString& part) {
    qsizetype digits = 0;
    while (digits < part.size() && digits < 18 && part[digits].isDigit() &&
           part[digits].unicode() < 128)
        ++digits;
    return {part.left(digits).toULongLong(), part.mid(digits)};
}

} // namespace

TUpdateDescription ReadUpdateDescription(const QByteArray& text, const QString& applicationName) {
    const QMap<QString, QString> keys = SectionKeys(text, applicationName);
    const auto read = [&keys](const char* name) {
        const QString key = QString::fromLatin1(name).toLower();
        const QString wide = keys.value(key + QStringLiteral("64"));
        return wide.isEmpty() ? keys.value(key) : wide;
    };
    TUpdateDescription d;
    d.DownloadFileURL = read("DownloadFileURL");
    d.ReadmeFileURL = read("ReadmeFileURL");
    d.UpdatePageURL = read("UpdatePageURL");
    d.MD5Hash = read("MD5Hash");
    d.SHA1Hash = read("SHA1Hash");
    d.SHA256Hash = read("SHA256Hash");
    d.Version = keys.value(QStringLiteral("version"));
    return d;
}

int CompareVersions(const QString& a, const QString& b) {
    const QStringList left = a.trimmed().split(u'.');
    const QStringList right = b.trimmed().split(u'.');
    for (qsizetype i = 0; i < std::max(left.size(), right.size()); ++i) {
        const auto [leftNumber, leftRest] = SplitPart(left.value(i));
        const auto [rightNumber, rightRest] = SplitPart(right.value(i));
        if (leftNumber != rightNumber)
            return leftNumber < rightNumber ? -1 : 1;
        if (const int text = leftRest.compare(rightRest); text != 0)
            return text < 0 ? -1 : 1;
    }
    return 0;
}

bool IsNewerVersion(const QString& running, const QString& advertised) {
    return !advertised.trimmed().isEmpty() && CompareVersions(running, advertised) < 0;
}
