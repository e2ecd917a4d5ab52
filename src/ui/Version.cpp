#include "ui/Version.h"

#include "BuildInfo.h"

QString FormatVersionText(int major, int minor, int release) {
    return QStringLiteral("%1.%2.%3")
        .arg(major)
        .arg(minor, 2, 10, QLatin1Char('0'))
        .arg(release, 2, 10, QLatin1Char('0'));
}

QString VersionText() {
    return FormatVersionText(BuildInfo::VersionMajor, BuildInfo::VersionMinor,
                             BuildInfo::VersionRelease);
}

QString VersionTextWithBuild() {
    return VersionText() + u'b' + QString::number(BuildInfo::VersionBuild);
}
