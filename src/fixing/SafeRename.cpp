#include "fixing/SafeRename.h"

#include <QFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A move that cannot go on with this method: try the next one.
bool Unsupported(int error) {
    return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP || error == EPERM ||
           error == EXDEV || error == EMLINK;
}

TMoveResult Failure(int error) {
    TMoveResult result;
    result.TargetExists = error == EEXIST;
    result.Error = error == EEXIST ? QStringLiteral("A file of the new name exists already.")
                                   : QString::fromLocal8Bit(std::strerror(error));
    return result;
}

TMoveResult Success() {
    TMoveResult result;
    result.Moved = true;
    return result;
}

bool SameFile(const QByteArray& a, const QByteArray& b) {
    struct stat sa {};
    struct stat sb {};
    return ::stat(a.constData(), &sa) == 0 && ::stat(b.constData(), &sb) == 0 &&
           sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// EEXIST can mean the new name is the old file under another letter case.
TMoveResult TargetExists(const QByteArray& from, const QByteArray& to) {
    if (SameFile(from, to)) {
        struct stat st {};
        // Two hard links of one file are two names: only a single-linked file is the same name.
        if (::stat(from.constData(), &st) == 0 && st.st_nlink == 1 &&
            ::rename(from.constData(), to.constData()) == 0)
            return Success();
    }
    return Failure(EEXIST);
}

bool WriteAll(int fd, const char* data, ssize_t count) {
    while (count > 0) {
        const ssize_t n = ::write(fd, data, size_t(count));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        count -= n;
    }
    return true;
}

bool CopyContents(int from, int to) {
    char block[1 << 16];
    for (;;) {
        const ssize_t n = ::read(from, block, sizeof block);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            return true;
        if (!WriteAll(to, block, n))
            return false;
    }
}

// The copy is made under the new name, created exclusively, so that nothing of that name can be
// replaced; on any failure the copy goes and the old file stays.
TMoveResult MoveByCopy(const QByteArray& from, const QByteArray& to) {
    // A copy of a link would be a file, no longer the link the user made.
    struct stat link {};
    if (::lstat(from.constData(), &link) != 0)
        return Failure(errno);
    if (!S_ISREG(link.st_mode))
        return Failure(EOPNOTSUPP);
    const int source = ::open(from.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (source < 0)
        return Failure(errno);
    struct stat st {};
    if (::fstat(source, &st) != 0) {
        const int error = errno;
        ::close(source);
        return Failure(error);
    }
    const int target =
        ::open(to.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 07777);
    if (target < 0) {
        const int error = errno;
        ::close(source);
        return Failure(error);
    }
    const timespec times[2] = {st.st_atim, st.st_mtim};
    bool ok = CopyContents(source, target) && ::fsync(target) == 0;
    int error = ok ? 0 : errno;
    if (ok)
        ::futimens(target, times); // a move keeps the file's times
    ::close(source);
    if (::close(target) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && ::unlink(from.constData()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        ::unlink(to.constData());
        return Failure(error);
    }
    return Success();
}

TMoveResult MoveByLink(const QByteArray& from, const QByteArray& to) {
    if (::link(from.constData(), to.constData()) != 0) {
        const int error = errno;
        if (error == EEXIST)
            return TargetExists(from, to);
        if (Unsupported(error))
            return MoveByCopy(from, to);
        return Failure(error);
    }
    if (::unlink(from.constData()) != 0) {
        const int error = errno;
        ::unlink(to.constData());
        return Failure(error);
    }
    return Success();
}

TMoveResult MoveByRename(const QByteArray& from, const QByteArray& to) {
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return Success();
    const int error = errno;
    if (error == EEXIST)
        return TargetExists(from, to);
    if (error == EXDEV)
        return MoveByCopy(from, to);
    if (Unsupported(error))
        return MoveByLink(from, to);
    return Failure(error);
}

} // namespace

TMoveResult MoveFileNoReplace(const QString& from, const QString& to) {
    return MoveFileNoReplace(from, to, TMoveMethod::Rename);
}

TMoveResult MoveFileNoReplace(const QString& from, const QString& to, TMoveMethod first) {
    const QByteArray nativeFrom = QFile::encodeName(from);
    const QByteArray nativeTo = QFile::encodeName(to);
    switch (first) {
    case TMoveMethod::Rename:
        return MoveByRename(nativeFrom, nativeTo);
    case TMoveMethod::Link:
        return MoveByLink(nativeFrom, nativeTo);
    case TMoveMethod::Copy:
        return MoveByCopy(nativeFrom, nativeTo);
    }
    return Failure(EINVAL);
}
