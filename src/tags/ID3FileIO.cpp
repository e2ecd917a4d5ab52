#include "tags/ID3FileIO.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

namespace ID3FileIO {

void Fail(Operation operation, const QString& path, int errorCode, const QString& reason) {
    const QString why = reason.isEmpty() ? qt_error_string(errorCode) : reason;
    QString format;
    switch (operation) {
    case Operation::Open:
        format = QStringLiteral("Cannot open file \"%1\". %2");
        break;
    case Operation::Create:
        format = QStringLiteral("Cannot create file \"%1\". %2");
        break;
    case Operation::Read:
        format = QStringLiteral("Cannot read file \"%1\". %2");
        break;
    case Operation::Write:
        format = QStringLiteral("Cannot write file \"%1\". %2");
        break;
    case Operation::Rename:
        format = QStringLiteral("Cannot replace file \"%1\". %2");
        break;
    }
    throw TFileError(format.arg(path, why), errorCode);
}

TFile& TFile::operator=(TFile&& other) noexcept {
    if (this != &other) {
        Close();
        FFd = other.Release();
    }
    return *this;
}

bool TFile::Close() {
    if (FFd < 0)
        return true;
    const int fd = Release();
    return ::close(fd) == 0;
}

TFile TFile::OpenForReading(const QString& path) {
    return TFile(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
}

TFile TFile::OpenExclusive(const QString& path, qint64* size) {
    TFile file(::open(QFile::encodeName(path).constData(), O_RDWR | O_CLOEXEC | O_NONBLOCK));
    if (!file.IsOpen())
        Fail(Operation::Open, path, errno);
    // Other programs that honour advisory locks (taggers, players writing play counts) keep off
    // while the tag is written; one that holds the file makes the write fail instead of wait.
    if (::flock(file.Fd(), LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        Fail(Operation::Open, path, error,
             error == EWOULDBLOCK ? QStringLiteral("The file is in use by another process.")
                                  : QString());
    }
    // Looked up under the lock, so that the size holds while the tag is written.
    const qint64 fileSize = RegularFileSize(file.Fd());
    if (fileSize < 0)
        Fail(Operation::Open, path, errno);
    if (size)
        *size = fileSize;
    return file;
}

qint64 ReadAt(int fd, char* data, qint64 count, qint64 offset) {
    qint64 done = 0;
    while (done < count) {
        const ssize_t n = ::pread(fd, data + done, size_t(count - done), off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break;
        done += n;
    }
    return done;
}

qint64 ReadAt(int fd, char* data, qint64 count, qint64 offset, bool& uncached) {
    // A read that would wait for the storage fails with EAGAIN; a file system that cannot tell
    // refuses the flag.
    iovec part{data, size_t(count)};
    ssize_t n;
    do
        n = ::preadv2(fd, &part, 1, off_t(offset), RWF_NOWAIT);
    while (n < 0 && errno == EINTR);
    uncached = n != count;
    if (n == count)
        return n;
    const qint64 done = std::max<qint64>(n, 0);
    const qint64 rest = ReadAt(fd, data + done, count - done, offset + done);
    return rest < 0 ? -1 : done + rest;
}

bool WriteAt(int fd, const char* data, qint64 count, qint64 offset) {
    qint64 done = 0;
    while (done < count) {
        const ssize_t n = ::pwrite(fd, data + done, size_t(count - done), off_t(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        done += n;
    }
    return true;
}

qint64 RegularFileSize(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0)
        return -1;
    if (!S_ISREG(st.st_mode)) {
        errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        return -1;
    }
    return qint64(st.st_size);
}

QByteArray ReadWholeFile(const QString& path) {
    TFile file = TFile::OpenForReading(path);
    if (!file.IsOpen())
        Fail(Operation::Open, path, errno);
    const qint64 size = RegularFileSize(file.Fd());
    if (size < 0)
        Fail(Operation::Open, path, errno);
    QByteArray bytes;
    bytes.resize(qsizetype(size));
    const qint64 read = ReadAt(file.Fd(), bytes.data(), size, 0);
    if (read < 0)
        Fail(Operation::Read, path, errno);
    bytes.truncate(qsizetype(read));
    return bytes;
}

TTemporaryFile::TTemporaryFile(const QString& folder) {
    QByteArray name = QFile::encodeName(folder) + "/.varnholm-XXXXXX.tmp";
    const int fd = ::mkostemps(name.data(), 4, O_CLOEXEC);
    if (fd < 0)
        Fail(Operation::Create, QFile::decodeName(name), errno);
    FFile = TFile(fd);
    FName = name;
    // Locked until it is renamed or removed (the duplicate outlives Close), so that a later
    // run can tell a file left behind by a killed run from one being written now.
    ::flock(fd, LOCK_EX);
    FLock = TFile(::fcntl(fd, F_DUPFD_CLOEXEC, 0));
}

TTemporaryFile::~TTemporaryFile() {
    FFile.Close();
    if (!FKept)
        ::unlink(FName.constData());
}

QString TTemporaryFile::Path() const {
    return QFile::decodeName(FName);
}

} // namespace ID3FileIO
