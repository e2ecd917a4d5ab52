#include "ui/MainWindowState.h"

#include "fixing/FixEngine.h"
#include "ui/RowEditing.h"

#include <QFileInfo>

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

void FixRow(TRowEditRun& run, int index) {
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
        for (const int index : rows) {
            if (!operation.Step())
                break;
            // The row is noted again with the values it is fixed with.
            FReferenceData.RemoveNotedArtistAlbum(FMainList.Cell(index, mcArtist),
                                                  FMainList.Cell(index, mcAlbumTitle));
            FixRow(run, index);
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
        for (int index = 0; index < count; ++index) {
            if (!operation.Step())
                break;
            FixRow(run, index);
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
