#include "ui/MainWindowState.h"

#include "fixing/BulkTagEdits.h"
#include "ui/RowEditing.h"
#include "ui/ToolExecutables.h"

namespace {

// The checked entries of a check list option, in its order.
QStringList CheckedTexts(const TCheckList& list) {
    QStringList texts;
    for (const TCheckListItem& item : list)
        if (item.Checked)
            texts.append(item.Text);
    return texts;
}

} // namespace

TContextMenuState TMainWindowState::PopupMenu1Popup() const {
    TContextMenuState menu;
    const int selected = FMainList.SelectedCount();
    // The items that change rows wait while a long operation goes over them.
    const bool canEdit = selected > 0 && CanChangeList();
    menu.Properties = selected == 1;
    menu.Explore = selected == 1;
    // Mp3tag follows the toolbar's rule: Mp3tag.exe in its folder and wine to run it.
    menu.Mp3tag = selected == 1 && !ToolExecutables::Mp3tag(FOptions).isEmpty();
    menu.Fix = canEdit && (FMismatchCount > 0 || FOptions.ForceFixStateToEnabled);
    menu.Refresh = canEdit;
    menu.Clear = canEdit;
    menu.AddSuffixToTitle = canEdit;
    menu.LowercaseTitle = canEdit;
    menu.ReplaceByInTitle = canEdit;
    menu.SetGenreTo = canEdit;
    menu.EmbedCoverArt = canEdit;
    menu.AddSuffixToTitleItems = CheckedTexts(FOptions.Suffixes);
    menu.SetGenreToItems = CheckedTexts(FOptions.Genres);
    return menu;
}

void TMainWindowState::RunBulkEdit(const QString& operation, TAfterEdit after,
                                   const std::function<TRowResult(TFixRow&, TFixContext&)>& edit) {
    if (!CanChangeList())
        return;
    TRowEditRun run(*this, operation);
    {
        TMainListUpdateGuard batch(FMainList);
        const std::vector<int> rows = FMainList.SelectedRows();
        FUi.SetProgressPosition(0);
        FUi.SetProgressMaximum(int(rows.size()));
        for (const int index : rows) {
            FUi.StepProgress();
            TFixRow row = run.Row(index);
            const TRowResult result = edit(row, run.Context());
            run.Count(result);
            if (result.Done())
                run.SetRow(index, row);
        }
        // Values that enter the computed name were changed: every row is shown afresh.
        if (after == TAfterEdit::Refresh)
            RefreshToolButtonClick();
    }
    if (after == TAfterEdit::Statistics)
        FStatisticsValid = false;
    FFailedFileCount = run.FailedCount();
    run.ReportFailures(QStringLiteral("changed"));
}

void TMainWindowState::AddSuffixToTitlePopupMenuClick(const QString& suffix) {
    RunBulkEdit(QStringLiteral("Add Suffix to Title"), TAfterEdit::Refresh,
                [&suffix](TFixRow& row, TFixContext& context) {
                    return AddSuffixToTitle(row, context, suffix);
                });
}

void TMainWindowState::LowercaseTitle1Click() {
    RunBulkEdit(QStringLiteral("Lowercase Title"), TAfterEdit::Refresh, LowercaseTitle);
}

void TMainWindowState::ReplaceByInTitle1Click() {
    RunBulkEdit(QStringLiteral("Replace Brackets in Title"), TAfterEdit::Refresh,
                ReplaceBracketsInTitle);
}

void TMainWindowState::SetGenreToPopupMenuClick(const QString& genre) {
    RunBulkEdit(
        QStringLiteral("Set Genre"), TAfterEdit::Statistics,
        [&genre](TFixRow& row, TFixContext& context) { return SetGenreTo(row, context, genre); });
}

void TMainWindowState::EmbedCoverArt1Click() {
    RunBulkEdit(QStringLiteral("Embed Cover Art"), TAfterEdit::Nothing, EmbedCoverArt);
}

void TMainWindowState::Comments1Click() {
    RunBulkEdit(QStringLiteral("Clear Comments"), TAfterEdit::Nothing, ClearComments);
}

void TMainWindowState::CoverArt1Click() {
    RunBulkEdit(QStringLiteral("Clear Cover Art"), TAfterEdit::Nothing, ClearCoverArt);
}

void TMainWindowState::Genre1Click() {
    RunBulkEdit(QStringLiteral("Clear Genre"), TAfterEdit::Statistics, ClearGenre);
}

void TMainWindowState::TitleSuffix1Click() {
    RunBulkEdit(QStringLiteral("Clear Title Suffix"), TAfterEdit::Refresh, ClearTitleSuffix);
}

void TMainWindowState::TrackNumber1Click() {
    RunBulkEdit(QStringLiteral("Clear Track Number"), TAfterEdit::Refresh, ClearTrackNumber);
}
