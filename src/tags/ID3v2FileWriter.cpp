#include "tags/ID3v2FileWriter.h"

#include "tags/ID3FileIO.h"
#include "tags/ID3v1Tag.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace ID3FileIO;

namespace {

constexpr qint64 PaddingUnit = 2048;
constexpr qint64 BlockSize = 1024 * 1024;

// The size of the tag area now in the file, read under the lock: the file may have changed
// since its tag was read, and the audio data must be found where it is now.
qint64 PresentTagArea(int fd, const QString& path, qint64 fileSize) {
    char head[ID3v2HeaderSize];
    const qint64 read = ReadAt(fd, head, ID3v2HeaderSize, 0);
    if (read < 0)
        Fail(Operation::Read, path, errno);
    const auto header = ParseID3v2Header(QByteArrayView(head, read));
    if (!header)
        return 0;
    const qint64 area = ID3v2HeaderSize + qint64(header->Size);
    if (area > fileSize)
        Fail(Operation::Read, path, EIO,
             QStringLiteral("The file ends before its ID3v2 tag does."));
    return area;
}

void WriteBlocks(int fd, const QByteArray& bytes, const QString& path) {
    for (qint64 offset = 0; offset < bytes.size(); offset += BlockSize) {
        const qint64 count = qMin<qint64>(BlockSize, bytes.size() - offset);
        if (!WriteAt(fd, bytes.constData() + offset, count, offset))
            Fail(Operation::Write, path, errno);
    }
}

// Copies from offset to the end of the file; the size of the copy's file.
qint64 CopyRest(int from, qint64 offset, qint64 expectedEnd, int to, qint64 toOffset,
                const QString& path, const QString& temporaryPath) {
    QByteArray block(qsizetype(BlockSize), Qt::Uninitialized);
    for (;;) {
        const qint64 read = ReadAt(from, block.data(), BlockSize, offset);
        if (read < 0)
            Fail(Operation::Read, path, errno);
        if (read == 0)
            break;
        if (!WriteAt(to, block.constData(), read, toOffset))
            Fail(Operation::Write, temporaryPath, errno);
        offset += read;
        toOffset += read;
    }
    if (offset < expectedEnd)
        Fail(Operation::Read, path, EIO,
             QStringLiteral("The file became shorter while it was read."));
    return toOffset;
}

bool SameFile(const QByteArray& nativePath, int fd) {
    struct stat onDisk {};
    struct stat open {};
    return ::stat(nativePath.constData(), &onDisk) == 0 && ::fstat(fd, &open) == 0 &&
           onDisk.st_dev == open.st_dev && onDisk.st_ino == open.st_ino;
}

void Rebuild(const QString& path, int fd, qint64 fileSize, qint64 oldArea, const QByteArray& area,
             QByteArrayView id3v1, const TID3CommitObserver& observer) {
    const QString target = ID3v2RebuiltFile(path);
    const QByteArray nativeTarget = QFile::encodeName(target);

    TTemporaryFile temporary(QFileInfo(target).absolutePath());
    struct stat st {};
    if (::fstat(fd, &st) == 0) {
        // Owner and permissions of the file carry over; a change of owner needs privileges
        // that a user rarely has, and its failure leaves the user as owner.
        [[maybe_unused]] const int ownerKept = ::fchown(temporary.Fd(), st.st_uid, st.st_gid);
        if (::fchmod(temporary.Fd(), st.st_mode & 07777) != 0)
            Fail(Operation::Write, temporary.Path(), errno);
    }
    if (observer)
        observer(TID3CommitStage::TemporaryCreated, temporary.Path());

    WriteBlocks(temporary.Fd(), area, temporary.Path());
    const qint64 size =
        CopyRest(fd, oldArea, fileSize, temporary.Fd(), area.size(), path, temporary.Path());
    // The ID3v1 tag goes into the copy too, so that the file changes in one step.
    if (!id3v1.isEmpty() && !WriteID3v1TagAtEnd(temporary.Fd(), size, id3v1))
        Fail(Operation::Write, temporary.Path(), errno);
    if (observer)
        observer(TID3CommitStage::AudioCopied, temporary.Path());

    if (::fsync(temporary.Fd()) != 0)
        Fail(Operation::Write, temporary.Path(), errno);
    if (!temporary.Close())
        Fail(Operation::Write, temporary.Path(), errno);
    if (!SameFile(nativeTarget, fd))
        Fail(Operation::Rename, target, ENOENT,
             QStringLiteral("The file was removed or replaced while its tag was written."));
    if (::rename(temporary.NativePath().constData(), nativeTarget.constData()) != 0)
        Fail(Operation::Rename, target, errno);
    temporary.Keep();

    // The rename itself reaches the disk with the folder.
    const QByteArray folder = QFile::encodeName(QFileInfo(target).absolutePath());
    const int folderFd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd >= 0) {
        ::fsync(folderFd);
        ::close(folderFd);
    }
}

} // namespace

qint64 ID3v2Padding(qint64 newSize, qint64 oldSize) {
    if (newSize < oldSize)
        return oldSize - newSize;
    qint64 room = oldSize;
    if (oldSize == 0) {
        room = PaddingUnit;
    } else {
        while (room <= newSize)
            room = room + room / 2 + 1;
        room -= newSize;
        room = qMax(room, PaddingUnit);
    }
    const qint64 area = (newSize + room + PaddingUnit - 1) / PaddingUnit * PaddingUnit;
    return area - newSize;
}

bool ID3v2TagRebuildsFile(qint64 newSize, qint64 oldSize) {
    return newSize + ID3v2Padding(newSize, oldSize) != oldSize;
}

QString ID3v2RebuiltFile(const QString& path) {
    const QString target = QFileInfo(path).canonicalFilePath();
    return target.isEmpty() ? path : target;
}

bool WriteID3v2TagToFile(const QString& path, const TID3v2TagImage& image,
                         const TID3CommitObserver& observer, QByteArrayView id3v1,
                         std::optional<TID3FileEnds>* after) {
    if (after)
        after->reset();
    qint64 fileSize = 0;
    TFile file = TFile::OpenExclusive(path, &fileSize);
    const qint64 oldArea = PresentTagArea(file.Fd(), path, fileSize);
    const qint64 padding = ID3v2Padding(image.Size(), oldArea);
    // Everything that can fail without touching the file comes first.
    const QByteArray area = image.Area(padding);
    if (observer)
        observer(TID3CommitStage::Locked, QString());

    if (ID3v2TagRebuildsFile(image.Size(), oldArea)) {
        Rebuild(path, file.Fd(), fileSize, oldArea, area, id3v1, observer);
        return true;
    }
    WriteBlocks(file.Fd(), area, path);
    // The ID3v2 tag is written; a failure of the ID3v1 write is the caller's to report.
    const bool id3v1Written = id3v1.isEmpty() || WriteID3v1TagAtEnd(file.Fd(), fileSize, id3v1);
    if (after && id3v1Written)
        *after = ID3FileEndsOf(file.Fd(), area, id3v1);
    if (!file.Close())
        Fail(Operation::Write, path, errno);
    return id3v1Written;
}
