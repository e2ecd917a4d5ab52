#include "ui/MainWindowState.h"

#include "ui/OptionsDialogState.h"
#include "ui/PropertiesDialogState.h"
#include "ui/ToolCommands.h"
#include "ui/ToolExecutables.h"

#include <algorithm>

namespace {

// Commands that do not depend on the list: enabled unless a long operation disabled them.
constexpr TCommand AlwaysAvailable[] = {TCommand::Browse,          TCommand::Open,
                                        TCommand::UndoLastChanges, TCommand::UndoHistory,
                                        TCommand::UpdateDataFiles, TCommand::Options,
                                        TCommand::ReleaseNotes,    TCommand::CheckForUpdates,
                                        TCommand::About,           TCommand::Exit};

} // namespace

TMainWindowState::TMainWindowState(UiPort& ui, const TMainWindowPaths& paths)
    : FUi(ui), FPaths(paths), FStore(paths.StoreFileName, &ui),
      FLog(paths.LogFileName, !paths.ReadOnly),
      FOptionsDialog(std::make_unique<TOptionsDialogState>(*this)),
      FPropertiesDialog(std::make_unique<TPropertiesDialogState>(*this)),
      FTools(std::make_unique<TToolCommands>(*this)) {
    if (paths.ReadOnly)
        FReadOnlyStore.emplace(FStore, TKelmRegistryEnhanced::TBatch::Mode::ReadOnly);
    for (TCommand c : AlwaysAvailable)
        FEnabled[std::size_t(c)] = true;
    FListView.OnFindHit = [this](int row) {
        FMainList.FocusRow(row);
        ListClick();
    };
}

TMainWindowState::~TMainWindowState() {
    // Rows point into the catalogue: empty the list before the records go.
    FMainList.Clear();
    ClearMP3FileDataList(FCatalogue);
}

TFileAnalysisContext TMainWindowState::AnalysisContext() {
    return {FCatalogue, FReferenceData, FLog, FOptions, &FKeptTagBytes};
}

void TMainWindowState::SetEnabled(TCommand c, bool enabled) {
    FEnabled[std::size_t(c)] = enabled;
}

void TMainWindowState::SetStatusText(const QString& text) {
    FStatusText = text;
    FUi.SetStatusText(text);
    emit StatusTextChanged(text);
}

void TMainWindowState::UpdateStatusBar() {
    SetStatusText(
        QStringLiteral("%1 file(s) - %2 mismatch(es)").arg(FMainList.Count()).arg(FMismatchCount));
    UpdateCommandStates();
}

void TMainWindowState::UpdateCommandStates() {
    const bool any = FMainList.Count() > 0;
    for (TCommand c : {TCommand::Export, TCommand::Find, TCommand::Refresh, TCommand::Statistics})
        SetEnabled(c, any);
    SetEnabled(TCommand::Fix, FMismatchCount > 0 || (FOptions.ForceFixStateToEnabled && any));
    // With no rows the executables are not looked for.
    SetEnabled(TCommand::MP3val, any && !ToolExecutables::MP3val(FOptions).isEmpty());
    SetEnabled(TCommand::MP3Gain, any && !ToolExecutables::MP3Gain(FOptions).isEmpty());
    SetEnabled(TCommand::Mp3tag, any && !ToolExecutables::Mp3tag(FOptions).isEmpty());
    emit CommandStatesChanged();
}

void TMainWindowState::ListClick() {
    if (FBusy) {
        if (FStopRefused)
            return;
        if (FUi.AskYesNo(QStringLiteral("Do you want to stop processing?"))) {
            FStopRequest = true;
            FUi.SetCursor(UiPort::Cursor::Normal);
        }
        return;
    }
    QString tip;
    const int row = FMainList.FirstSelected();
    if (row >= 0) {
        const TMP3FileData* data = FMainList.Row(row).Data;
        if (data && !data->MyMP3Genre.isEmpty() && data->MyMP3Genre != FMainList.Cell(row, mcGenre))
            tip = QStringLiteral("Suggested Genre: ") + data->MyMP3Genre;
    }
    if (tip != FListToolTip) {
        FListToolTip = tip;
        emit ListToolTipChanged(tip);
    }
    FListView.FindRefresh();
}

void TMainWindowState::ClearMainList() {
    FMainList.Clear();
    FMismatchCount = 0;
    FStatisticsValid = false;
}

TLongOperation::TLongOperation(TMainWindowState& state, UiPort::Cursor cursor,
                               std::initializer_list<TCommand> disabled, const QString& statusText,
                               int steps)
    : FState(state), FDisabled(disabled) {
    UiPort& ui = state.Ui();
    ui.SetCursor(cursor);
    for (TCommand c : FDisabled)
        state.SetEnabled(c, false);
    emit state.CommandStatesChanged();
    state.SetStatusText(statusText);
    ui.SetProgressPosition(0);
    ui.SetProgressMaximum(steps);
    state.FBusy = true;
    state.FOperationRunning = true;
}

void TLongOperation::RefuseStop() {
    FState.FStopRefused = true;
}

void TLongOperation::SetPhase(const QString& statusText, int steps) {
    FState.SetStatusText(statusText);
    FState.Ui().SetProgressPosition(0);
    FState.Ui().SetProgressMaximum(steps);
}

TLongOperation::~TLongOperation() {
    FState.FBusy = false;
    FState.FOperationRunning = false;
    FState.FStopRequest = false;
    FState.FStopRefused = false;
    // The commands that always work come back; those that depend on the list follow it.
    for (TCommand c : FDisabled)
        if (std::find(std::begin(AlwaysAvailable), std::end(AlwaysAvailable), c) !=
            std::end(AlwaysAvailable))
            FState.SetEnabled(c, true);
    FState.UpdateCommandStates();
    FState.Ui().SetCursor(UiPort::Cursor::Normal);
}

bool TLongOperation::KeepResponsive() {
    FState.Ui().ProcessPendingEvents();
    if (FState.FStopRequest) {
        FState.FBusy = false;
        FState.FStopRequest = false;
        FStopped = true;
        return false;
    }
    return true;
}

bool TLongOperation::Step() {
    if (!KeepResponsive())
        return false;
    FState.Ui().StepProgress();
    return true;
}
