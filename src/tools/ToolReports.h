#pragma once

#include <QStringList>

// What the outside tools report, and the switches their repairs are run with.
namespace ToolReports {

// The lines of an MP3val report that begin with "WARNING" (at the first character, in capitals).
int MP3valWarningCount(const QStringList& report);

// The switches that follow the file arguments when MP3val repairs the files: -f, then -t to keep
// the files' times, then -nb to delete the backups it makes.
QStringList MP3valFixSwitches(bool preserveFileDateTime, bool deleteBackupFiles);

// The adjustment in decibels that MP3Gain's "-o" report calls for: the album line's suggested gain
// (its third field, "." as decimal separator whatever the locale) rounded half to even, plus
// defaultVolume minus 89. 0 when the report has no album line. Throws TError when the album line's
// gain is not a number.
int MP3GainAdjustment(const QStringList& report, int defaultVolume);

// -1, 0 and 1 need no adjustment.
inline bool MP3GainAdjustmentNeeded(int adjustment) {
    return adjustment < -1 || adjustment > 1;
}

// The switches that come before the file arguments when MP3Gain applies the gain: -r for one
// file (track gain) or -a (album gain), then -d with defaultVolume minus 89, then -c (no clipping
// question), then -p to keep the files' times.
QStringList MP3GainApplySwitches(int fileCount, int defaultVolume, bool preserveFileDateTime);

// The switches of the analysis: "-o" (a tab-separated report) and "-s s", so that the analysis
// neither reads nor writes the tool's own tag and the files stay untouched.
QStringList MP3GainAnalysisSwitches();

} // namespace ToolReports
