#include "refdata/LearnedFile.h"

#include "support/TextFile.h"
#include "support/UiPort.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace LearnedFile {

namespace {

class TFileDescriptor {
public:
    explicit TFileDescriptor(int fd) : FFd(fd) {}
    ~TFileDescriptor() {
        if (FFd >= 0)
            ::close(FFd);
    }
    TFileDescriptor(const TFileDescriptor&) = delete;
    TFileDescriptor& operator=(const TFileDescriptor&) = delete;
    int Get() const { return FFd; }

private:
    int FFd;
};

bool HoldsFlock(int fd) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        ::flock(fd, LOCK_UN);
        return false;
    }
    return errno == EWOULDBLOCK;
}

bool HoldsRecordLock(int fd) {
    struct flock probe {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    probe.l_start = 0;
    probe.l_len = 0; // the whole file
    return ::fcntl(fd, F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
}

// Whether the file holds these very bytes: a library browsed again learns what it learned
// before, and the file is then left as it is instead of being written and synced again. Only a
// regular file is read (a named pipe in its place would hold the shut-down).
bool HoldsAlready(const QString& path, const QByteArray& bytes) {
    const QFileInfo info(path);
    if (!info.isFile() || info.size() != bytes.size())
        return false;
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.readAll() == bytes;
}

} // namespace

QStringList Load(const QString& path) {
    if (!QFileInfo::exists(path))
        return {};
    QStringList lines = TextFile::SplitLines(TextFile::Read(path));
    lines.removeAll(QString());
    return lines;
}

bool IsInUse(const QString& path) {
    // O_NONBLOCK: a named pipe in the file's place must not hang the shut-down.
    const TFileDescriptor fd(
        ::open(QFile::encodeName(path).constData(), O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd.Get() < 0)
        return errno != ENOENT;
    return HoldsFlock(fd.Get()) || HoldsRecordLock(fd.Get());
}

bool Save(const QString& path, const QStringList& lines, UiPort& ui) {
    const QString name = QFileInfo(path).fileName();
    bool inUse = IsInUse(path);
    if (inUse) {
        ui.ShowMessage(UiPort::MessageKind::Warning,
                       QStringLiteral("The \"") + name +
                           QStringLiteral("\" file is in use. Please close it first."));
        inUse = IsInUse(path);
    }
    // A file still held or not writable is left alone: replacing it by renaming would go
    // around the other program's lock or the file's permissions.
    if (!inUse) {
        const QByteArray bytes = TextFile::EncodeLines(lines, TextFile::Bom::With);
        if (HoldsAlready(path, bytes) || TextFile::WriteAtomically(path, bytes))
            return true;
    }
    ui.ShowMessage(UiPort::MessageKind::Error,
                   QStringLiteral("Failed to save \"") + name + QStringLiteral("\" file."));
    return false;
}

} // namespace LearnedFile
