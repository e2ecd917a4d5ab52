#include "tools/ToolReports.h"

#include "support/Error.h"

#include <cmath>

namespace ToolReports {

namespace {

// The volume MP3Gain aims at when no adjustment is asked for.
constexpr int ReferenceVolume = 89;

} // namespace

int MP3valWarningCount(const QStringList& report) {
    int count = 0;
    for (const QString& line : report)
        if (line.startsWith(QStringLiteral("WARNING"), Qt::CaseSensitive))
            ++count;
    return count;
}

QStringList MP3valFixSwitches(bool preserveFileDateTime, bool deleteBackupFiles) {
    QStringList switches{QStringLiteral("-f")};
    if (preserveFileDateTime)
        switches << QStringLiteral("-t");
    if (deleteBackupFiles)
        switches << QStringLiteral("-nb");
    return switches;
}

int MP3GainAdjustment(const QStringList& report, int defaultVolume) {
    if (report.size() <= 1)
        return 0;
    const QStringList fields = report.last().split(u'\t');
    if (fields.size() <= 2 || fields.first() != QStringLiteral("\"Album\""))
        return 0;
    // The tool writes its numbers with "."; the C locale reads them so under any user locale.
    bool ok = false;
    const double gain = fields.at(2).toDouble(&ok);
    // Beyond any gain a file can take: refused rather than overflowing the integer.
    constexpr double Largest = 1e6;
    if (!ok || !std::isfinite(gain) || std::abs(gain) > Largest)
        throw TError(QStringLiteral("'%1' is not a valid floating point value").arg(fields.at(2)));
    return int(std::nearbyint(gain)) + defaultVolume - ReferenceVolume;
}

QStringList MP3GainApplySwitches(int fileCount, int defaultVolume, bool preserveFileDateTime) {
    QStringList switches{fileCount == 1 ? QStringLiteral("-r") : QStringLiteral("-a"),
                         QStringLiteral("-d"), QString::number(defaultVolume - ReferenceVolume),
                         QStringLiteral("-c")};
    if (preserveFileDateTime)
        switches << QStringLiteral("-p");
    return switches;
}

QStringList MP3GainAnalysisSwitches() {
    return {QStringLiteral("-o"), QStringLiteral("-s"), QStringLiteral("s")};
}

} // namespace ToolReports
