#pragma once

#include "fixing/RunJournal.h"
#include "fixing/RunUndo.h"

#include <QList>
#include <QString>

class TMainWindowState;

// Undo of the runs that changed music files, as the window and the command-line tool offer it:
// the kept runs of the journal folder, and one of them undone, each file left alone named in the
// activity log and counted in one warning.
class TUndoRuns {
public:
    explicit TUndoRuns(TMainWindowState& state);

    // The kept runs, newest first.
    QList<TJournalRun> Runs() const;
    // "Undo the Fix of 1,204 file(s) made on 2026-12-10 14:03?"
    static QString Question(const TJournalRun& run);

    // Undoes the run, journalled as a run of its own; with dryRun nothing changes and the
    // outcomes are those the undo would have. Answers each file's outcome, in the order undone.
    QList<TUndoneFile> Undo(const TJournalRun& run, bool dryRun);

private:
    TMainWindowState& FState;
};
