#include "fixing/FileWriter.h"

#include "fixing/FileTimes.h"
#include "fixing/MP3FileTags.h"
#include "fixing/RunJournal.h"
#include "support/Error.h"

void TDiskWriter::Announce(const QList<TAnnouncedChange>& files) {
    if (FJournal)
        FJournal->Announce(files);
}

void TDiskWriter::CommitTags(TMP3FileTags& tags, bool writeID3v1) {
    if (FJournal)
        FJournal->BeforeChange(tags.FileName(), &tags.Ends());
    // The writer knows what it wrote: the file need not be read again for the journal.
    std::optional<TID3FileEnds> after;
    try {
        tags.WriteToFile(writeID3v1, FJournal ? &after : nullptr);
    } catch (...) {
        // A write that failed half-way may still have changed the file.
        if (FJournal)
            FJournal->AfterChange(tags.FileName());
        throw;
    }
    if (FJournal)
        FJournal->AfterChange(tags.FileName(), after ? &*after : nullptr);
}

void TDiskWriter::WillMove(const QString& from, const QString& to) {
    if (FJournal)
        FJournal->WillMove(from, to);
}

TMoveResult TDiskWriter::Move(const QString& from, const QString& to) {
    if (FJournal) {
        try {
            FJournal->BeforeMove(from, to);
        } catch (const TError& e) {
            TMoveResult refused;
            refused.Error = e.Message();
            return refused;
        }
    }
    const TMoveResult moved = MoveFileNoReplace(from, to);
    if (FJournal && moved.Moved) {
        FJournal->Moved(from, to);
        FJournal->AfterMove(to);
    } else if (FJournal) {
        FJournal->NotMoved(from);
    }
    return moved;
}

void TDiskWriter::RestoreTime(const TPreservedFileTime& time, const QString& fileName) {
    // Only a time put back changes the file since its last note: reading it again for nothing
    // would cost an open and a read per file.
    if (time.Restore(fileName) && FJournal)
        FJournal->AfterTimeChange(fileName);
}
