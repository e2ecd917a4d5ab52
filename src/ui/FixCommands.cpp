#include "ui/MainWindowState.h"

#include "fixing/FixEngine.h"
#include "ui/RowEditing.h"

#include <QFileInfo>
#include <algorithm>
#include <numeric>
#include <span>

namespace {

// A fix or a refresh disables the toolbar while it runs.
TLongOperation StartRowOperation(TMainWindowState& state, const QString& statusText, int steps) {
    return TLongOperation(state, UiPort::Cursor::Busy,
                          {TCommand::Browse, TCommand::Open, TCommand::Export, TCommand::Find,
                           TCommand::Fix, TCommand::Refresh, TCommand::UndoLastChanges,
                           TCommand::UndoHistory, TCommand::MP3val, TCommand::MP3Gain,
                           TCommand::Mp3tag, TCommand::Statistics, TCommand::UpdateDataFiles,
                           TCommand::Options, TCommand::About, TCommand::Exit},
                          statusText, steps);
}

// The closing steps that come before the busy flag goes, however the loop ended.
class TRowOperationEnd {
public:
    explicit TRowOperationEnd(TMainWindowState& state) : FState(state) {}
    ~TRowOperationEnd() {
        FState.SetStatisticsValid(false);
        FState.UpdateStatusBar();
    }
    TRowOperationEnd(const TRowOperationEnd&) = delete;
    TRowOperationEnd& operator=(const TRowOperationEnd&) = delete;

private:
    TMainWindowState& FState;
};

// The files of this many rows are announced to the journal together, so that their records
// share one flush: enough to make the flush's cost small beside the writes, few enough that a
// stop asked for is not kept waiting.
constexpr size_t AnnouncedRows = 256;

// Fixes the row at rows[at], announcing it and the rows after it first when it starts a batch.
void FixRow(TRowEditRun& run, std::span<const int> rows, size_t at) {
    if (at % AnnouncedRows == 0)
        run.AnnounceFixes(rows.subspan(at, std::min(AnnouncedRows, rows.size() - at)));
    const int index = rows[at];
    TFixRow row = run.Row(index);
    const TRowResult result = FixMP3ListItem(row, run.Context());
    run.Count(result);
    if (result.Done())
        run.SetRow(index, row);
}

} // namespace

void TMainWindowState::Fix1Click() {
    if (!CanChangeList())
        return;
    // The list cannot be reordered or emptied while the fix runs, so the rows stay where they are.
    const std::vector<int> rows = FMainList.SelectedRows();
    TRowEditRun run(*this, QStringLiteral("Fix"));
    {
        TLongOperation operation =
            StartRowOperation(*this, QStringLiteral("Fixing files"), int(rows.size()));
        TRowOperationEnd end(*this);
        for (size_t at = 0; at < rows.size(); ++at) {
            if (!operation.Step())
                break;
            // The row is noted again with the values it is fixed with.
            FReferenceData.RemoveNotedArtistAlbum(FMainList.Cell(rows[at], mcArtist),
                                                  FMainList.Cell(rows[at], mcAlbumTitle));
            FixRow(run, rows, at);
        }
    }
    FFailedFileCount = run.FailedCount();
    run.ReportFailures(QStringLiteral("fixed"));
}

void TMainWindowState::FixToolButtonClick() {
    if (!CanChangeList())
        return;
    const int count = FMainList.Count();
    TRowEditRun run(*this, QStringLiteral("Fix"));
    {
        TLongOperation operation = StartRowOperation(*this, QStringLiteral("Fixing files"), count);
        TRowOperationEnd end(*this);
        // Afterwards the notes hold only the rows that were fixed.
        FReferenceData.ClearNewArtistAlbumGenreList();
        std::vector<int> rows(static_cast<size_t>(count));
        std::iota(rows.begin(), rows.end(), 0);
        for (size_t at = 0; at < rows.size(); ++at) {
            if (!operation.Step())
                break;
            FixRow(run, rows, at);
        }
    }
    FFailedFileCount = run.FailedCount();
    run.ReportFailures(QStringLiteral("fixed"));
}

bool TMainWindowState::RefreshMP3ListItem(int MP3ListItem) {
    const TMainListRow& row = FMainList.Row(MP3ListItem);
    TMP3FileData* data = row.Data;
    if (!data || !QFileInfo(data->FileName).isFile()) {
        // The record stays in the catalogue; only its row goes.
        if (row.Cells[mcMismatch] == u"Yes")
            --FMismatchCount;
        FMainList.Remove(MP3ListItem);
        return false;
    }
    DisplayMP3FileData(data, false, MP3ListItem);
    return true;
}

void TMainWindowState::Refresh1Click() {
    if (!CanChangeList())
        return;
    const std::vector<int> rows = FMainList.SelectedRows();
    TLongOperation operation =
        StartRowOperation(*this, QStringLiteral("Refreshing files"), int(rows.size()));
    TRowOperationEnd end(*this);
    int removed = 0;
    for (const int index : rows) {
        if (!operation.Step())
            break;
        if (!RefreshMP3ListItem(index - removed))
            ++removed;
    }
}

void TMainWindowState::RefreshToolButtonClick() {
    if (!CanChangeList())
        return;
    TLongOperation operation =
        StartRowOperation(*this, QStringLiteral("Refreshing files"), FMainList.Count());
    TRowOperationEnd end(*this);
    for (int index = 0; index < FMainList.Count();) {
        if (!operation.Step())
            break;
        if (RefreshMP3ListItem(index))
            ++index;
    }
}
