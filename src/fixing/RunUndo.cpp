#include "fixing/RunUndo.h"

#include "fixing/FileTimes.h"
#include "fixing/SafeRename.h"
#include "tags/ID3FileIO.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace ID3FileIO;

namespace {

constexpr qint64 BlockSize = 1024 * 1024;

// What the undo sees of the files: the disk, and in a dry run over it the states that the
// files put back so far would have, so that an older run is judged after the newer ones.
class TUndoView {
public:
    std::optional<TJournalFileState> State(const QString& path) const {
        const auto found = FSimulated.constFind(path);
        return found != FSimulated.constEnd() ? *found : ReadJournalFileState(path);
    }
    bool Exists(const QString& path) const {
        const auto found = FSimulated.constFind(path);
        return found != FSimulated.constEnd() ? found->has_value() : NameExists(path);
    }
    bool Same(const QString& a, const QString& b) const {
        return !FSimulated.contains(a) && !FSimulated.contains(b) && SameFile(a, b);
    }
    // In a dry run: the file at from would be put back as before.
    void Restored(const QString& from, const TJournalFileState& before) {
        if (from != before.Path)
            FSimulated.insert(from, std::nullopt);
        FSimulated.insert(before.Path, before);
    }

private:
    QHash<QString, std::optional<TJournalFileState>> FSimulated;
};

// Where the run left the file: the name of its last known state, or the target of a move that
// the run was killed around when only that name holds a file now.
QString PresentPath(const TJournalledFile& file, const TUndoView& view) {
    const QString known = file.After ? file.After->Path : file.Before.Path;
    if (!file.PendingMove.isEmpty() && !view.Exists(known) && view.Exists(file.PendingMove))
        return file.PendingMove;
    return known;
}

// Whether the file is still as the run left it. Without an after-state (the run ended between
// the change and its note) the audio is what tells: our writes never change its length.
bool AsTheRunLeftIt(const TJournalledFile& file, const TJournalFileState& now) {
    if (file.After)
        return now.SameAs(*file.After);
    return now.AudioSize() == file.Before.AudioSize();
}

void WriteAll(int fd, const QByteArray& bytes, qint64 offset, const QString& path) {
    if (!WriteAt(fd, bytes.constData(), bytes.size(), offset))
        Fail(Operation::Write, path, errno);
}

// Rebuilds the file at path with the old tags around its present audio, through a temporary
// file that takes its place in one step, as a tag rebuild does.
void PutBackTags(const QString& path, const TJournalFileState& now,
                 const TJournalFileState& before) {
    qint64 size = 0;
    const TFile file = TFile::OpenExclusive(path, &size);
    if (size != now.Size)
        Fail(Operation::Read, path, EIO, QStringLiteral("The file changed while it was undone."));
    QString target = QFileInfo(path).canonicalFilePath();
    if (target.isEmpty())
        target = path;
    TTemporaryFile temporary(QFileInfo(target).absolutePath());
    struct stat st {};
    if (::fstat(file.Fd(), &st) == 0 && ::fchmod(temporary.Fd(), st.st_mode & 07777) != 0)
        Fail(Operation::Write, temporary.Path(), errno);
    WriteAll(temporary.Fd(), before.ID3v2, 0, temporary.Path());
    qint64 to = before.ID3v2.size();
    QByteArray block(qsizetype(BlockSize), Qt::Uninitialized);
    for (qint64 from = now.ID3v2Size, end = now.Size - now.ID3v1Size; from < end;) {
        const qint64 read = ReadAt(file.Fd(), block.data(), qMin(BlockSize, end - from), from);
        if (read <= 0)
            Fail(Operation::Read, path, read < 0 ? errno : EIO);
        if (!WriteAt(temporary.Fd(), block.constData(), read, to))
            Fail(Operation::Write, temporary.Path(), errno);
        from += read;
        to += read;
    }
    WriteAll(temporary.Fd(), before.ID3v1, to, temporary.Path());
    if (::fsync(temporary.Fd()) != 0 || !temporary.Close())
        Fail(Operation::Write, temporary.Path(), errno);
    if (::rename(temporary.NativePath().constData(), QFile::encodeName(target).constData()) != 0)
        Fail(Operation::Rename, target, errno);
    temporary.Keep();
    const int folder = ::open(QFile::encodeName(QFileInfo(target).absolutePath()).constData(),
                              O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}

TUndoneFile UndoFile(const TJournalRun& run, const TJournalledFile& file, TUndoView& view,
                     TRunJournal* journal) {
    TUndoneFile undone;
    undone.RunId = run.Id;
    undone.Path = PresentPath(file, view);
    undone.Original = file.Before.Path;
    const auto now = view.State(undone.Path);
    if (!now) {
        undone.Result = TUndoneFile::Outcome::Gone;
        return undone;
    }
    if (!AsTheRunLeftIt(file, *now)) {
        undone.Result = TUndoneFile::Outcome::ChangedSince;
        return undone;
    }
    const bool rename = undone.Path != undone.Original;
    if (rename && view.Exists(undone.Original) && !view.Same(undone.Path, undone.Original)) {
        undone.Result = TUndoneFile::Outcome::NameTaken;
        return undone;
    }
    // A move killed between its link and its unlink left the file under both names: the name
    // it was moving to goes, as the move itself would have finished.
    const bool twoLinks = !file.PendingMove.isEmpty() && file.PendingMove != undone.Path &&
                          view.Same(undone.Path, file.PendingMove);
    if (!journal) {
        view.Restored(undone.Path, file.Before);
        if (twoLinks)
            view.Restored(file.PendingMove, file.Before);
        return undone;
    }
    try {
        // Journalled before any change, also when only the time is put back.
        journal->BeforeChange(undone.Path);
        if (twoLinks) {
            const TMoveResult joined = MoveFileNoReplace(file.PendingMove, undone.Path);
            if (!joined.Moved)
                throw TError(joined.Error);
        }
        if (!now->SameTagsAs(file.Before)) {
            PutBackTags(undone.Path, *now, file.Before);
            journal->AfterChange(undone.Path);
        }
        if (rename) {
            journal->BeforeMove(undone.Path, undone.Original);
            const TMoveResult moved = MoveFileNoReplace(undone.Path, undone.Original);
            if (!moved.Moved) {
                undone.Result = moved.TargetExists ? TUndoneFile::Outcome::NameTaken
                                                   : TUndoneFile::Outcome::Failed;
                undone.Error = moved.Error;
                return undone;
            }
            journal->Moved(undone.Path, undone.Original);
        }
        const timespec time{time_t(file.Before.TimeNs / 1000000000),
                            long(file.Before.TimeNs % 1000000000)};
        if (!SetLastWriteTime(undone.Original, time))
            Fail(Operation::Write, undone.Original, errno);
        journal->AfterChange(undone.Original);
    } catch (const TError& e) {
        undone.Result = TUndoneFile::Outcome::Failed;
        undone.Error = e.Message();
    }
    return undone;
}

} // namespace

QString UndoOutcomeText(const TUndoneFile& file) {
    switch (file.Result) {
    case TUndoneFile::Outcome::Restored:
        return QStringLiteral("Restored");
    case TUndoneFile::Outcome::ChangedSince:
        return QStringLiteral("Changed since the run");
    case TUndoneFile::Outcome::Gone:
        return QStringLiteral("File not found");
    case TUndoneFile::Outcome::NameTaken:
        return QStringLiteral("Its old name is taken");
    case TUndoneFile::Outcome::Failed:
        return file.Error;
    }
    return {};
}

QList<TUndoneFile> UndoJournalRuns(const QList<const TJournalRun*>& runs, TRunJournal* journal) {
    TUndoView view;
    QList<TUndoneFile> files;
    for (const TJournalRun* run : runs)
        for (auto it = run->Files.crbegin(); it != run->Files.crend(); ++it)
            files.append(UndoFile(*run, *it, view, journal));
    return files;
}

QList<const TJournalRun*> RunsToUndo(const QList<TJournalRun>& runs, qsizetype chosen) {
    QSet<QString> paths;
    const auto addPaths = [&paths](const TJournalRun& run) {
        for (const TJournalledFile& file : run.Files) {
            paths.insert(file.Before.Path);
            if (file.After)
                paths.insert(file.After->Path);
            if (!file.PendingMove.isEmpty())
                paths.insert(file.PendingMove);
        }
    };
    const auto touches = [&paths](const TJournalRun& run) {
        for (const TJournalledFile& file : run.Files)
            if (paths.contains(file.Before.Path) ||
                (file.After && paths.contains(file.After->Path)) ||
                (!file.PendingMove.isEmpty() && paths.contains(file.PendingMove)))
                return true;
        return false;
    };
    QList<const TJournalRun*> order{&runs[chosen]};
    addPaths(runs[chosen]);
    // From the oldest newer run up, so that a run on the files of one already taken is taken
    // too; each goes in front, newest first.
    for (qsizetype i = chosen - 1; i >= 0; --i) {
        if (!touches(runs[i]))
            continue;
        addPaths(runs[i]);
        order.prepend(&runs[i]);
    }
    return order;
}
