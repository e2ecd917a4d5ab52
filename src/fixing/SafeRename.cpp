#include "fixing/SafeRename.h"

#include "fixing/StaleTemporaryFiles.h"
#include "tags/ID3FileIO.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Which steps the test seam declares unsupported (see the header).
enum class TUnsupported { Nothing, NoReplace, NoReplaceAndLink };

TUnsupported Unsupported() {
    static const TUnsupported unsupported = [] {
        const QByteArray seam = qgetenv("VARNHOLM_TEST_MOVE_FALLBACK");
        return seam == "link"      ? TUnsupported::NoReplace
               : seam == "checked" ? TUnsupported::NoReplaceAndLink
                                   : TUnsupported::Nothing;
    }();
    return unsupported;
}

int RenameNoReplace(const char* from, const char* to) {
    if (Unsupported() != TUnsupported::Nothing) {
        errno = EINVAL;
        return -1;
    }
    return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
}

int Link(const char* from, const char* to) {
    if (Unsupported() == TUnsupported::NoReplaceAndLink) {
        errno = EPERM;
        return -1;
    }
    return ::link(from, to);
}

// A move that cannot go on with this method: try the next one.
bool IsUnsupported(int error) {
    return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP || error == EPERM ||
           error == EMLINK;
}

} // namespace

TMoveResult MoveFailure(int error) {
    TMoveResult result;
    result.TargetExists = error == EEXIST;
    result.Error = error == EEXIST ? QStringLiteral("A file of the new name exists already.")
                                   : QString::fromLocal8Bit(std::strerror(error));
    return result;
}

namespace {

TMoveResult Success() {
    TMoveResult result;
    result.Moved = true;
    return result;
}

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

QByteArray FolderOf(const QByteArray& path) {
    return QFile::encodeName(QFileInfo(QFile::decodeName(path)).absolutePath());
}

QByteArray NameOf(const QByteArray& path) {
    return QFile::encodeName(QFileInfo(QFile::decodeName(path)).fileName());
}

bool SameInode(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Whether the folder lists an entry of exactly this name (a folder that ignores letter case
// finds a file under any spelling, but lists only the one it keeps).
bool Lists(const QByteArray& folder, const QByteArray& name) {
    const std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.constData()));
    if (!dir)
        return false;
    while (const dirent* entry = ::readdir(dir.get()))
        if (name == entry->d_name)
            return true;
    return false;
}

// Whether from and to are two entries of one folder, not one entry spelled two ways.
bool TwoEntries(const QByteArray& from, const QByteArray& to) {
    struct stat fromFolder {};
    struct stat toFolder {};
    if (::stat(FolderOf(from).constData(), &fromFolder) != 0 ||
        ::stat(FolderOf(to).constData(), &toFolder) != 0)
        return false;
    if (!SameInode(fromFolder, toFolder))
        return true;
    if (NameOf(from) == NameOf(to))
        return false;
    return Lists(FolderOf(to), NameOf(from)) && Lists(FolderOf(to), NameOf(to));
}

// EEXIST can mean the new name is the old file under another letter case, or a second link to
// the old file that a killed link-and-unlink move left: both end as one file of the new name.
TMoveResult TargetExists(const QByteArray& from, const QByteArray& to) {
    struct stat sf {};
    struct stat st {};
    if (::lstat(from.constData(), &sf) == 0 && ::lstat(to.constData(), &st) == 0 &&
        S_ISREG(sf.st_mode) && SameInode(sf, st)) {
        if (TwoEntries(from, to)) {
            if (::unlink(from.constData()) == 0)
                return Success();
        } else if (::rename(from.constData(), to.constData()) == 0) {
            return Success();
        }
    }
    return MoveFailure(EEXIST);
}

bool CopyContents(int from, int to) {
    char block[1 << 16];
    for (qint64 offset = 0;;) {
        const qint64 n = ID3FileIO::ReadAt(from, block, sizeof block, offset);
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        if (!ID3FileIO::WriteAt(to, block, n, offset))
            return false;
        offset += n;
    }
}

// The copy's file beside the new name, locked while it exists so that the stale-file cleanup of
// another run leaves it alone; removed again unless Keep is called.
class TLockedTemporary {
public:
    explicit TLockedTemporary(const QByteArray& folder)
        : FName(folder + TemporaryFileTemplate),
          FFile(::mkostemps(FName.data(), TemporaryFileSuffixLength, O_CLOEXEC)) {
        if (FFile.Fd() >= 0)
            ::flock(FFile.Fd(), LOCK_EX);
    }
    ~TLockedTemporary() {
        if (FFile.Fd() >= 0 && !FKept)
            ::unlink(FName.constData());
    }
    TLockedTemporary(const TLockedTemporary&) = delete;
    TLockedTemporary& operator=(const TLockedTemporary&) = delete;

    bool Created() const { return FFile.Fd() >= 0; }
    int Fd() const { return FFile.Fd(); }
    const QByteArray& Name() const { return FName; }
    void Keep() { FKept = true; }

private:
    QByteArray FName;
    ID3FileIO::TFile FFile;
    bool FKept = false;
};

TMoveResult MoveWithin(const QByteArray& from, const QByteArray& to, TMoveMethod method);
TMoveResult MoveByCopy(const QByteArray& from, const QByteArray& to);

// Without RENAME_NOREPLACE and links nothing can claim the new name and fill it in one step: an
// empty file made there to claim it would be listed, and could be fixed, as a track should the
// run be killed before the rename. So the rename follows a check that the name is free; only a
// file that another program creates between the two can be replaced.
TMoveResult MoveByCheckedRename(const QByteArray& from, const QByteArray& to) {
    struct stat st {};
    if (::lstat(to.constData(), &st) == 0)
        return TargetExists(from, to);
    if (errno != ENOENT)
        return MoveFailure(errno);
    if (::rename(from.constData(), to.constData()) == 0)
        return Success();
    const int error = errno;
    return error == EXDEV ? MoveByCopy(from, to) : MoveFailure(error);
}

TMoveResult MoveByLink(const QByteArray& from, const QByteArray& to) {
    if (Link(from.constData(), to.constData()) != 0) {
        const int error = errno;
        if (error == EEXIST)
            return TargetExists(from, to);
        if (error == EXDEV)
            return MoveByCopy(from, to);
        if (IsUnsupported(error))
            return MoveByCheckedRename(from, to);
        return MoveFailure(error);
    }
    // Killed here, both names are links of the file; the next move completes it.
    if (::unlink(from.constData()) != 0) {
        const int error = errno;
        ::unlink(to.constData());
        return MoveFailure(error);
    }
    return Success();
}

TMoveResult MoveByRename(const QByteArray& from, const QByteArray& to) {
    if (RenameNoReplace(from.constData(), to.constData()) == 0)
        return Success();
    const int error = errno;
    if (error == EEXIST)
        return TargetExists(from, to);
    if (error == EXDEV)
        return MoveByCopy(from, to);
    if (IsUnsupported(error))
        return MoveByLink(from, to);
    return MoveFailure(error);
}

TMoveResult MoveWithin(const QByteArray& from, const QByteArray& to, TMoveMethod method) {
    switch (method) {
    case TMoveMethod::Rename:
        return MoveByRename(from, to);
    case TMoveMethod::Link:
        return MoveByLink(from, to);
    case TMoveMethod::CheckedRename:
        return MoveByCheckedRename(from, to);
    case TMoveMethod::Copy:
        return MoveByCopy(from, to);
    }
    return MoveFailure(EINVAL);
}

// The copy is made in a temporary file beside the new name and flushed before it is moved there
// without replacing anything, so that the new name never shows an incomplete file; on any
// failure the copy goes and the old file stays.
TMoveResult MoveByCopy(const QByteArray& from, const QByteArray& to) {
    // A copy of a link would be a file, no longer the link the user made.
    struct stat link {};
    if (::lstat(from.constData(), &link) != 0)
        return MoveFailure(errno);
    if (!S_ISREG(link.st_mode))
        return MoveFailure(EOPNOTSUPP);
    const ID3FileIO::TFile source(::open(from.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    if (source.Fd() < 0)
        return MoveFailure(errno);
    struct stat st {};
    if (::fstat(source.Fd(), &st) != 0)
        return MoveFailure(errno);
    if (::lstat(to.constData(), &link) == 0)
        return TargetExists(from, to);
    TLockedTemporary copy(FolderOf(to));
    if (!copy.Created())
        return MoveFailure(errno);
    if (!CopyContents(source.Fd(), copy.Fd()))
        return MoveFailure(errno);
    // A move keeps the file's permissions and times, where the file system can hold them.
    ::fchmod(copy.Fd(), st.st_mode & 07777);
    const timespec times[2] = {st.st_atim, st.st_mtim};
    ::futimens(copy.Fd(), times);
    if (::fsync(copy.Fd()) != 0)
        return MoveFailure(errno);
    // Both names are in one folder now: no further copy.
    TMoveResult placed = MoveWithin(copy.Name(), to, TMoveMethod::Rename);
    if (!placed.Moved)
        return placed;
    copy.Keep();
    if (::unlink(from.constData()) != 0) {
        const int error = errno;
        ::unlink(to.constData());
        return MoveFailure(error);
    }
    return Success();
}

} // namespace

TMoveResult MoveFileNoReplace(const QString& from, const QString& to) {
    return MoveFileNoReplace(from, to, TMoveMethod::Rename);
}

TMoveResult MoveFileNoReplace(const QString& from, const QString& to, TMoveMethod first) {
    return MoveWithin(QFile::encodeName(from), QFile::encodeName(to), first);
}

bool SameFile(const QString& a, const QString& b) {
    struct stat sa {};
    struct stat sb {};
    return ::stat(QFile::encodeName(a).constData(), &sa) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &sb) == 0 && SameInode(sa, sb);
}

bool NameExists(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0;
}
