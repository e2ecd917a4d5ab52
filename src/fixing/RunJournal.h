#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <optional>
#include <utility>

#include "fixing/JournalRecords.h"
#include "tags/ID3FileEnds.h"

// The write-ahead journal of a run that changes music files: before a file is changed, what it
// was (its name, both tags, size and last-write time) is on disk in the run's journal, so that
// the run can be undone later, after a restart or a crash. Our writes change only the tags, the
// name and the time of a file, never its audio, so those give back the exact file.
//
// A journal is one append-only file per run in the journal folder, named by the run's start
// time (the records: see JournalRecords.h). A crash while appending leaves at most a torn last
// record, which reading ignores.

// What a file is, as far as our writes can change it.
struct TJournalFileState {
    QString Path;
    qint64 Size = 0;
    qint64 TimeNs = 0; // last-write time, nanoseconds since the epoch
    // The ID3v2 tag area as it stands (header, tag and padding), empty when there is none.
    QByteArray ID3v2;
    // The 128-byte ID3v1 tag, empty when there is none.
    QByteArray ID3v1;
    // The sizes and digests of those areas: all an after-state needs to keep.
    qint64 ID3v2Size = 0;
    qint64 ID3v1Size = 0;
    QByteArray ID3v2Digest;
    QByteArray ID3v1Digest;

    // The bytes that are neither tag: the audio our writes leave alone.
    qint64 AudioSize() const { return Size - ID3v2Size - ID3v1Size; }
    // Same tags and size.
    bool SameTagsAs(const TJournalFileState& other) const;
    // Same tags, size and time.
    bool SameAs(const TJournalFileState& other) const;
};

// Reads the state of a file; nothing when it cannot be read (gone, not a regular file).
std::optional<TJournalFileState> ReadJournalFileState(const QString& path);
// The state of the file at path from its bytes read just now; nothing when they could not be.
std::optional<TJournalFileState> JournalFileStateOf(const QString& path, const TID3FileEnds& ends);

// One file of a journalled run.
struct TJournalledFile {
    TJournalFileState Before; // the first state of the run, tags included
    // The last state the run left, without tag bytes; missing when the run ended (or was killed)
    // between the change and its note.
    std::optional<TJournalFileState> After;
    // A move whose outcome no later record tells (the run was killed around it): the file may
    // be under this name.
    QString PendingMove;
};

// A journal as read back.
struct TJournalRun {
    QString FileName; // the journal's path
    QString Id;       // its name without the folder and extension: the start time
    QString Operation;
    QDateTime Started;
    QList<TJournalledFile> Files; // in the order the run first touched them
};

// A file that a run is about to change: its bytes as read just now, and the name it will move to
// after the change (empty when it stays).
struct TAnnouncedChange {
    QString Path;
    TID3FileEnds Ends;
    QString MoveTo;
};

// Reads a journal up to its last complete record; nothing when it has no valid header.
std::optional<TJournalRun> ReadJournalRun(const QString& fileName);

// The journal of one run, written as the run goes. The file is created at the first record, so a
// run that changes nothing leaves no journal; creating one first drops the oldest journals
// beyond the retention (see PruneJournals). Throws TError when a record cannot be made durable:
// the caller must then not change the file.
class TRunJournal {
public:
    TRunJournal(QString folder, QString operation);
    ~TRunJournal();
    TRunJournal(const TRunJournal&) = delete;
    TRunJournal& operator=(const TRunJournal&) = delete;

    // Before a run changes several files one after the other: their states, and the moves that
    // will follow the changes, durable in one flush rather than one each. A file's BeforeChange
    // then costs no flush while the file is still what was announced; one the run leaves alone
    // after all is noted as unchanged when the journal closes. Never throws: when the records
    // cannot be made durable, each file's BeforeChange tries again on its own.
    void Announce(const QList<TAnnouncedChange>& files);
    // Before the file at path is changed for the first time in this run: its state, durable.
    // The state comes from the file's bytes when the caller has just read them, else from a read.
    void BeforeChange(const QString& path, const TID3FileEnds* known = nullptr);
    // The next change of the file at from is followed by its move to to: when the file is new to
    // the run, its state and the move become durable together, in one flush instead of two.
    void WillMove(const QString& from, const QString& to);
    // Before a move: the file's state when it is new to the run, and the move, durable.
    void BeforeMove(const QString& from, const QString& to);
    // After a successful move: the file is known by its new name.
    void Moved(const QString& from, const QString& to);
    // After a move that failed: the file stays under its name.
    void NotMoved(const QString& path);
    // After a step changed the file: its present state, from the file's bytes when the step
    // knows them (known), else read. Not flushed: the next durable record or the end of the run
    // takes it to disk.
    void AfterChange(const QString& path, const TID3FileEnds* known = nullptr);
    // After a move to path (and Moved): its state. A move changes neither the bytes nor the
    // last-write time, so the state noted last serves while the size and time agree with it.
    void AfterMove(const QString& path);
    // After the file's last-write time was set: its state. Setting the time changes no byte, so
    // the state noted last serves, with the time now, while the size agrees with it.
    void AfterTimeChange(const QString& path);

    // The journal's path; empty until the first record.
    const QString& FileName() const { return FFileName; }

private:
    // A file whose state went to the journal with Announce and that the run has not changed yet.
    struct TAnnounced {
        TJournalFileState State; // without tag bytes
        TFileIdentity Identity;
        QString MoveTo;
        bool Durable = false;
    };

    int FileNumber(const QString& path, bool* isNew);
    bool StillAsAnnounced(const QString& path, const TAnnounced& announced,
                          const TID3FileEnds* known) const;
    void NoteUnchanged();
    // The state noted last, under path and (when timeChanged) with the file's time now, while
    // the file's size agrees with it; otherwise the file is read again.
    void NoteSameBytes(const QString& path, bool timeChanged);
    void NoteAfter(int number, TJournalFileState state);
    // The run turns from the file noted last: its state waiting, if any, joins the records to
    // write; a move still pending then did not happen.
    void Settle();
    // Writes the records waiting in memory, then records; durable: flushed to disk.
    void Append(const JournalRecords::TBuffer& records, bool durable);
    void WriteAll(const JournalRecords::TBuffer& first, const JournalRecords::TBuffer& second);
    void Open();

    QString FFolder;
    QString FOperation;
    QDateTime FStarted;
    QString FFileName;
    int FFd = -1;
    QHash<QString, int> FNumbers;      // present path -> file number
    QHash<int, TAnnounced> FAnnounced; // file number -> what was announced
    int FNextNumber = 0;
    // The state noted last (file number, state without tag bytes).
    std::optional<std::pair<int, TJournalFileState>> FLastNoted;
    // The move announced by WillMove (present path, new name).
    std::optional<std::pair<QString, QString>> FIntendedMove;
    // A move on disk in the journal before the file changed (file number, new name). Until the
    // move is made, the file's after-states wait in FLastNoted: an after-record would tell a
    // reader that no move is pending.
    std::optional<std::pair<int, QString>> FPendingMove;
    // Whether FLastNoted is an after-state that is not yet among the records.
    bool FAfterWaiting = false;
    // Records made but not yet written; they go to the file ahead of the next ones written.
    JournalRecords::TBuffer FUnwritten;
};

// The kept runs of a journal folder, newest first.
QList<TJournalRun> ListJournalRuns(const QString& folder);

// Retention: the newest MaxKeptRuns journals are kept, and of those only as many (newest first)
// as fit into MaxKeptBytes together; the newest is always kept.
inline constexpr int MaxKeptRuns = 20;
inline constexpr qint64 MaxKeptBytes = qint64(1) << 30;
void PruneJournals(const QString& folder, int maxRuns = MaxKeptRuns,
                   qint64 maxBytes = MaxKeptBytes);
