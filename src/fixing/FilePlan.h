#pragma once

#include "fixing/FileWriter.h"
#include "fixing/TagChanges.h"

#include <QHash>
#include <QList>
#include <QString>

// One line of a plan.
struct TPlannedChange {
    enum class Kind { Rename, Tag, Skip };
    QString File; // the file's present path
    Kind Change = Kind::Tag;
    QString Field; // the frame or ID3v1 field of a tag change; empty otherwise
    QString Old;   // a rename: the present name; a tag change: the present value
    QString New;   // a rename: the new name; a tag change: the new value; a skip: why
};
Q_DECLARE_TYPEINFO(TPlannedChange, Q_RELOCATABLE_TYPE);

// The writer of a dry run: every check a write or a move makes first (the tag fits, the file and
// its folder are writable, no file has the new name) is made against the disk as it would be at
// that moment of the run, and what the run would change is recorded; nothing is written.
class TFilePlan final : public TFileWriter {
public:
    bool WritesFiles() const override { return false; }
    void PrepareFolder(const QString&) override {}
    bool TakesAnnouncements() const override { return false; }
    void Announce(const QList<TAnnouncedChange>&) override {}
    void TagsOpened(TMP3FileTags& tags) override;
    void CommitTags(TMP3FileTags& tags, bool writeID3v1) override;
    void WillMove(const QString&, const QString&) override {}
    TMoveResult Move(const QString& from, const QString& to) override;
    void RestoreTime(const TPreservedFileTime&, const QString&) override {}
    void FileSkipped(const QString& fileName, const QString& reason) override;

    const QList<TPlannedChange>& Changes() const { return FChanges; }
    // Whether a line is a rename or a tag change (a plan of skips changes nothing).
    bool HasChanges() const;

private:
    // The errno value the move would fail with (EEXIST when the new name is taken, the earlier
    // moves of the run counted), or 0.
    int MoveError(const QString& from, const QString& to);
    // The errno value with which creating a file in the folder of path would fail, or 0.
    int FolderWriteAccess(const QString& path);

    QList<TPlannedChange> FChanges;
    QHash<QString, int> FFolderAccess; // by folder, as the paths name it
    QString FLastFolder;               // the folder asked for last, and its answer
    int FLastFolderAccess = -1;        // (-1 before the first)
    TTagFields FBefore;                // of the file whose tags are open
    TTagFields FAfter;                 // kept, so that each file's fill the same fields
    TFrameContents FContents;          // of the frames of FAfter
    // The names the run's moves would have freed or taken, as the disk would then show them.
    enum class TNameState { Freed, Taken };
    QHash<QString, TNameState> FMoved;
};
