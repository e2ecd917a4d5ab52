#pragma once

#include "fixing/FileWriter.h"
#include "fixing/FixRow.h"
#include "fixing/RunJournal.h"

#include <optional>
#include <span>

class TMainList;
class TMainWindowState;

// What the fix, the refresh and the bulk edits share on the main window's side: the rows handed
// to the fixing code and back, and the count of files that could not be written.
class TRowEditRun {
public:
    // operation: the run's name in its journal ("Fix", "Set Genre"...). A plan, and a read-only
    // session, journal nothing.
    TRowEditRun(TMainWindowState& state, const QString& operation);

    TFixContext& Context() { return FContext; }

    TFixRow Row(int index) const;
    // Before the rows given are fixed, one after the other: their files announced together (see
    // AnnounceFixes).
    void AnnounceFixes(std::span<const int> indexes);
    // Puts the row's cells back and keeps MismatchCount in step with its Mismatch cell.
    void SetRow(int index, const TFixRow& row);
    // Notes a failed row.
    void Count(const TRowResult& result);
    int FailedCount() const { return FFailed; }

    // One warning for every file that could not be written, pointing to the activity log.
    // failedWhat: "fixed" or "changed". A plan lists its skipped files itself: no warning.
    void ReportFailures(const QString& failedWhat) const;

private:
    TMainWindowState& FState;
    std::optional<TRunJournal> FJournal;
    TDiskWriter FDiskWriter;
    TFixContext FContext;
    int FFailed = 0;
};
