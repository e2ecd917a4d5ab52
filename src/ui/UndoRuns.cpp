#include "ui/UndoRuns.h"

#include "ui/MainWindowState.h"

#include "catalogue/FileAnalysis.h"

#include <QHash>
#include <QLocale>

namespace {

QString StartText(const TJournalRun& run) {
    return run.Started.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

// The undo and the list read again after it: nothing else may change the files or the list
// meanwhile (the callers refuse a stop: neither may end half-way).
TLongOperation StartUndoOperation(TMainWindowState& state, const QString& statusText, int steps) {
    return TLongOperation(state, UiPort::Cursor::Busy,
                          {TCommand::Browse, TCommand::Open, TCommand::Export, TCommand::Fix,
                           TCommand::Refresh, TCommand::UndoLastChanges, TCommand::UndoHistory},
                          statusText, steps);
}

} // namespace

TUndoRuns::TUndoRuns(TMainWindowState& state) : FState(state) {}

QList<TJournalRun> TUndoRuns::Runs() const {
    const QString folder = FState.JournalFolder();
    return folder.isEmpty() ? QList<TJournalRun>() : ListJournalRuns(folder);
}

QString TUndoRuns::Question(const TJournalRun& run) {
    return QStringLiteral("Undo the %1 of %2 file(s) made on %3?")
        .arg(run.Operation, QLocale(QLocale::English).toString(run.Files.size()), StartText(run));
}

QString TUndoRuns::Undoable(const QList<TJournalRun>& runs, qsizetype index) {
    int restored = 0;
    int leftAlone = 0;
    for (const TUndoneFile& file : UndoJournalRuns(RunsToUndo(runs, index), nullptr)) {
        if (file.RunId != runs[index].Id)
            continue;
        ++(file.LeftAlone() ? leftAlone : restored);
    }
    if (restored == 0)
        return QStringLiteral("No");
    return leftAlone == 0 ? QStringLiteral("Yes") : QStringLiteral("Partly");
}

QList<TUndoneFile> TUndoRuns::Undo(const QList<TJournalRun>& runs, qsizetype index, bool dryRun) {
    const QList<const TJournalRun*> order = RunsToUndo(runs, index);
    if (dryRun)
        return UndoJournalRuns(order, nullptr);
    QList<TUndoneFile> files;
    {
        TRunJournal journal(FState.JournalFolder(),
                            QStringLiteral("Undo ") + runs[index].Operation);
        files = UndoJournalRuns(order, &journal);
    }
    int leftAlone = 0;
    for (const TUndoneFile& file : files) {
        if (!file.LeftAlone())
            continue;
        ++leftAlone;
        FState.Log().SetLogText(QStringLiteral("File not restored // File=") + file.Path +
                                QStringLiteral(" // Old name=") + file.Original +
                                QStringLiteral(" // ") + UndoOutcomeText(file));
    }
    if (leftAlone > 0)
        FState.Ui().ShowMessage(UiPort::MessageKind::Warning,
                                QStringLiteral("%1 file(s) could not be restored.\rThe activity "
                                               "log names each file and the reason:\r%2")
                                    .arg(leftAlone)
                                    .arg(FState.Log().FileName()));
    return files;
}

void TUndoRuns::UndoLastChangesClick() {
    if (!FState.CanChangeList())
        return;
    const QList<TJournalRun> runs = Runs();
    if (runs.isEmpty()) {
        FState.Ui().ShowMessage(UiPort::MessageKind::Information,
                                QStringLiteral("There are no changes to undo."));
        return;
    }
    UndoRunClick(runs, 0);
}

QStringList TUndoRuns::HistoryCells(const QList<TJournalRun>& runs, qsizetype index) {
    const TJournalRun& run = runs[index];
    return {StartText(run), run.Operation, QLocale(QLocale::English).toString(run.Files.size()),
            Undoable(runs, index)};
}

bool TUndoRuns::UndoRunClick(const QList<TJournalRun>& runs, qsizetype index) {
    if (!FState.CanChangeList() || index < 0 || index >= runs.size())
        return false;
    QString question = Question(runs[index]);
    const qsizetype newer = RunsToUndo(runs, index).size() - 1;
    if (newer > 0)
        question += QStringLiteral("\rThe %1 newer run(s) that changed the same files are undone "
                                   "first.")
                        .arg(newer);
    if (!FState.Ui().AskYesNo(question))
        return false;
    QList<TUndoneFile> undone;
    {
        TLongOperation operation = StartUndoOperation(FState, QStringLiteral("Undoing changes"), 0);
        operation.RefuseStop();
        undone = Undo(runs, index, false);
    }
    ReadListAgain(undone);
    return true;
}

void TUndoRuns::ReadListAgain(const QList<TUndoneFile>& undone) {
    QStringList files;
    const TMainList& list = FState.MainList();
    for (int row = 0; row < list.Count(); ++row)
        if (const TMP3FileData* data = list.Row(row).Data)
            files.append(data->FileName);
    if (files.isEmpty())
        return;
    // Each listed file followed through the renames the undo made, in the order it made them.
    QHash<QString, qsizetype> at;
    for (qsizetype i = 0; i < files.size(); ++i)
        at.insert(files[i], i);
    for (const TUndoneFile& file : undone) {
        const auto found = at.constFind(file.Path);
        if (file.LeftAlone() || found == at.constEnd())
            continue;
        const qsizetype i = *found;
        at.erase(found);
        files[i] = file.Original;
        at.insert(file.Original, i);
    }
    TLongOperation operation =
        StartUndoOperation(FState, QStringLiteral("Processing files"), int(files.size()));
    operation.RefuseStop();
    FState.ClearMainList();
    ClearMP3FileDataList(FState.Catalogue());
    TFileAnalysisContext context = FState.AnalysisContext();
    for (const QString& file : files) {
        operation.Step();
        FState.DisplayMP3FileData(AddMP3FileToMP3FileDataList(file, false, context), false);
    }
    FState.UpdateStatusBar();
}
