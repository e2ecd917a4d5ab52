#pragma once

#include "fixing/SafeRename.h"
#include "fixing/StaleTemporaryFiles.h"

#include <QList>
#include <QString>

struct TAnnouncedChange;
class TMP3FileTags;
class TPreservedFileTime;
class TRunJournal;

// Every step by which the fix and the edits change a file on disk goes through one writer:
// TDiskWriter makes it, a plan (TFilePlan) records what it would change and leaves the disk as
// it is. The fix and the edits run the same code either way, so a plan is what the run does.
class TFileWriter {
public:
    virtual ~TFileWriter() = default;

    // Whether the steps reach the disk (false for a plan).
    virtual bool WritesFiles() const = 0;
    // Before the first change in a folder: the temporary files an interrupted write left go.
    virtual void PrepareFolder(const QString& folder) = 0;
    // Whether the writer wants the files a run is about to change announced (see Announce):
    // reading them ahead costs a plan for nothing.
    virtual bool TakesAnnouncements() const = 0;
    // Before the run changes the files given, one after the other: their bytes as read just now
    // and where each will move, so that their journal records can share one flush.
    virtual void Announce(const QList<TAnnouncedChange>& files) = 0;
    // A file's tags have just been read, before anything changed them.
    virtual void TagsOpened(TMP3FileTags& tags) = 0;
    // Writes the changed tags (see TMP3FileTags::Commit); throws when they cannot be written.
    virtual void CommitTags(TMP3FileTags& tags, bool writeID3v1) = 0;
    // Before a file's tags are written: the step after them will move it to the name given, so
    // that its journal records can share one flush.
    virtual void WillMove(const QString& from, const QString& to) = 0;
    // Moves the file to a new name without replacing any file (see MoveFileNoReplace).
    virtual TMoveResult Move(const QString& from, const QString& to) = 0;
    // Puts a file's remembered last-write time back after its change.
    virtual void RestoreTime(const TPreservedFileTime& time, const QString& fileName) = 0;
    // The file could not be changed and was skipped, for the reason given.
    virtual void FileSkipped(const QString& fileName, const QString& reason) = 0;
};

// The writer of a real run. With a journal, each file's state is durable in it before the file
// is first changed, and each move before it is made; a file whose record cannot be written is
// not changed.
class TDiskWriter final : public TFileWriter {
public:
    explicit TDiskWriter(TRunJournal* journal = nullptr) : FJournal(journal) {}
    bool WritesFiles() const override { return true; }
    void PrepareFolder(const QString& folder) override { FTemporaryFiles.CleanFolder(folder); }
    bool TakesAnnouncements() const override { return FJournal != nullptr; }
    void Announce(const QList<TAnnouncedChange>& files) override;
    void TagsOpened(TMP3FileTags&) override {}
    void CommitTags(TMP3FileTags& tags, bool writeID3v1) override;
    void WillMove(const QString& from, const QString& to) override;
    TMoveResult Move(const QString& from, const QString& to) override;
    void RestoreTime(const TPreservedFileTime& time, const QString& fileName) override;
    void FileSkipped(const QString&, const QString&) override {}

private:
    TRunJournal* FJournal;
    TStaleTemporaryFiles FTemporaryFiles;
};
