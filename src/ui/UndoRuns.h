#pragma once

#include "fixing/RunJournal.h"
#include "fixing/RunUndo.h"

#include <QList>
#include <QString>
#include <QStringList>

class TMainWindowState;

// Undo of the runs that changed music files, as the window and the command-line tool offer it:
// the kept runs of the journal folder, and one of them undone (after the newer runs on the same
// files), each file left alone named in the activity log and counted in one warning.
class TUndoRuns {
public:
    explicit TUndoRuns(TMainWindowState& state);

    // The kept runs, newest first.
    QList<TJournalRun> Runs() const;
    // "Undo the Fix of 1,204 file(s) made on 2026-12-10 14:03?"
    static QString Question(const TJournalRun& run);

    // How much of runs[index] an undo would put back now, the newer runs on its files undone
    // first: "Yes" (every file), "Partly" or "No".
    static QString Undoable(const QList<TJournalRun>& runs, qsizetype index);

    // Undoes runs[index] (runs newest first, as Runs() gives them), the newer runs on the same
    // files first, all journalled as one run of its own; with dryRun nothing changes and the
    // outcomes are those the undo would have. Answers each file's outcome, in the order undone.
    QList<TUndoneFile> Undo(const QList<TJournalRun>& runs, qsizetype index, bool dryRun);

    // Tools, Undo Last Changes: the newest run, after the question that names it.
    void UndoLastChangesClick();
    // Undo History: the cells of runs[index] as the list shows them (started, operation, files,
    // undoable), and its Undo: the question, then the run undone after the newer runs on the
    // same files. True when it was undone.
    static QStringList HistoryCells(const QList<TJournalRun>& runs, qsizetype index);
    bool UndoRunClick(const QList<TJournalRun>& runs, qsizetype index);

private:
    // Reads the listed files again, under the names the undo gave back, in the list's order.
    void ReadListAgain(const QList<TUndoneFile>& undone);

    TMainWindowState& FState;
};
