#pragma once

#include "fixing/RunJournal.h"

#include <QList>
#include <QString>

// Putting back every file a journalled run changed: tags, name and last-write time, so that each
// file is byte for byte what it was before the run. A file that was changed since the run, is
// gone, or whose old name another file has taken is left alone.

// How one file of the run came out.
struct TUndoneFile {
    enum class Outcome {
        Restored,     // put back (or would be, in a dry run)
        ChangedSince, // tags, size or time differ from what the run left
        Gone,         // no file is where the run left it
        NameTaken,    // another file has the name it had before the run
        Failed,       // could not be written or moved: Error says why
    };
    QString RunId;    // the run that changed it
    QString Path;     // where the run left the file
    QString Original; // the name it had before the run
    Outcome Result = Outcome::Restored;
    QString Error;

    bool LeftAlone() const { return Result != Outcome::Restored; }
};

// Why a file was left alone, as the log names it.
QString UndoOutcomeText(const TUndoneFile& file);

// The runs to undo so that runs[chosen] can be undone (runs newest first, as kept): the newer
// runs that changed any of its files, or any file of such a run, newest first, then the run.
QList<const TJournalRun*> RunsToUndo(const QList<TJournalRun>& runs, qsizetype chosen);

// Undoes the runs in the order given, each run's files in reverse order. Every change is
// journalled in journal (so the undo can be undone in turn); without a journal nothing is
// changed and the outcomes are those the undo would have, each run judged as the runs before
// it would leave the files.
QList<TUndoneFile> UndoJournalRuns(const QList<const TJournalRun*>& runs, TRunJournal* journal);
