#include "tags/ID3FileEnds.h"

#include "tags/ID3FileIO.h"
#include "tags/ID3v1Tag.h"
#include "tags/ID3v2Header.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace {

// Most tags without a picture fit, so header and tag usually come in one read.
constexpr qint64 FirstReadSize = 4096;

qint64 Nanoseconds(const timespec& time) {
    return qint64(time.tv_sec) * 1000000000 + time.tv_nsec;
}

TFileIdentity IdentityOf(const struct stat& st) {
    return {quint64(st.st_dev), quint64(st.st_ino), qint64(st.st_size), Nanoseconds(st.st_mtim),
            Nanoseconds(st.st_ctim)};
}

// The last 128 bytes of the open file of size bytes (at least 128) into last; false when they
// could not all be read.
bool ReadLast(int fd, qint64 size, QByteArray& last) {
    last.resize(TID3v1Tag::TagSize);
    return ID3FileIO::ReadAt(fd, last.data(), TID3v1Tag::TagSize, size - TID3v1Tag::TagSize) ==
           TID3v1Tag::TagSize;
}

} // namespace

std::optional<TFileIdentity> FileIdentityOf(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return IdentityOf(st);
}

std::optional<TID3FileEnds> ID3FileEndsOf(int fd, const QByteArray& start, QByteArrayView last) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    const qint64 size = qint64(st.st_size);
    if (start.size() > size ||
        (size >= TID3v1Tag::TagSize && size - TID3v1Tag::TagSize < start.size()))
        return std::nullopt;
    TID3FileEnds ends;
    ends.Opened = true;
    ends.FileSize = size;
    ends.Identity = IdentityOf(st);
    ends.Start = start;
    if (size < TID3v1Tag::TagSize)
        return ends;
    if (last.size() == TID3v1Tag::TagSize) {
        ends.Last = last.toByteArray();
        return ends;
    }
    if (!ReadLast(fd, size, ends.Last))
        return std::nullopt;
    return ends;
}

TID3FileEnds ReadID3FileEnds(const QString& path, QByteArray* buffer) {
    using namespace ID3FileIO;
    TID3FileEnds ends;
    const TFile file = TFile::OpenForReading(path);
    struct stat st {};
    if (!file.IsOpen() || ::fstat(file.Fd(), &st) != 0) {
        ends.ErrorCode = errno;
        return ends;
    }
    if (!S_ISREG(st.st_mode)) {
        ends.ErrorCode = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        return ends;
    }
    const qint64 size = qint64(st.st_size);
    ends.Opened = true;
    ends.Identity = IdentityOf(st);
    ends.FileSize = size;

    // The first read goes to the stack; the tag bytes are then held in one array of their own
    // size (the reader keeps many of them), or in the caller's buffer. Nothing is allocated
    // beyond the file's size, whatever a header declares.
    char first[FirstReadSize];
    const qint64 have = ReadAt(file.Fd(), first, std::min(size, FirstReadSize), 0, ends.Uncached);
    if (have < 0) {
        // Reading failed after opening: the callers see it as an empty file.
        ends.ErrorCode = errno;
        return ends;
    }
    const QByteArrayView firstBytes(first, qsizetype(have));
    const bool wholeFile = have == size;
    if (wholeFile && size >= TID3v1Tag::TagSize)
        ends.Last = firstBytes.last(TID3v1Tag::TagSize).toByteArray();
    qint64 wanted = std::min<qint64>(have, ID3v2HeaderSize);
    if (const std::optional<TID3v2Header> header = ParseID3v2Header(firstBytes))
        wanted = std::min<qint64>(size, ID3v2HeaderSize + qint64(header->Size));
    QByteArray& start = buffer ? *buffer : ends.Start;
    if (wanted <= have && !buffer) {
        start = firstBytes.first(qsizetype(wanted)).toByteArray();
    } else {
        start.resize(qsizetype(wanted));
        const qint64 inFirst = std::min(have, wanted);
        std::memcpy(start.data(), first, std::size_t(inFirst));
        const qint64 more =
            wanted > have ? ReadAt(file.Fd(), start.data() + have, wanted - have, have) : 0;
        start.truncate(qsizetype(inFirst + std::max<qint64>(more, 0)));
    }
    if (buffer)
        ends.Start = *buffer;

    if (!wholeFile && size >= TID3v1Tag::TagSize && !ReadLast(file.Fd(), size, ends.Last))
        ends.Last.clear();
    return ends;
}
