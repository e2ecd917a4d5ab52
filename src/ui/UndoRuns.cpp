#include "ui/UndoRuns.h"

#include "ui/MainWindowState.h"

#include <QLocale>

TUndoRuns::TUndoRuns(TMainWindowState& state) : FState(state) {}

QList<TJournalRun> TUndoRuns::Runs() const {
    const QString folder = FState.JournalFolder();
    return folder.isEmpty() ? QList<TJournalRun>() : ListJournalRuns(folder);
}

QString TUndoRuns::Question(const TJournalRun& run) {
    return QStringLiteral("Undo the %1 of %2 file(s) made on %3?")
        .arg(run.Operation, QLocale(QLocale::English).toString(run.Files.size()),
             run.Started.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")));
}

QList<TUndoneFile> TUndoRuns::Undo(const TJournalRun& run, bool dryRun) {
    if (dryRun)
        return UndoJournalRun(run, nullptr);
    QList<TUndoneFile> files;
    {
        TRunJournal journal(FState.JournalFolder(), QStringLiteral("Undo ") + run.Operation);
        files = UndoJournalRun(run, &journal);
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
