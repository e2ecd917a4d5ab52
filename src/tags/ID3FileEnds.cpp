#include "tags/ID3FileEnds.h"

#include "tags/ID3FileIO.h"
#include "tags/ID3v1Tag.h"
#include "tags/ID3v2Header.h"

#include <algorithm>
#include <cerrno>

namespace {

// Most tags without a picture fit, so header and tag usually come in one read.
constexpr qint64 FirstReadSize = 4096;

} // namespace

TID3FileEnds ReadID3FileEnds(const QString& path) {
    using namespace ID3FileIO;
    TID3FileEnds ends;
    const TFile file = TFile::OpenForReading(path);
    const qint64 size = file.IsOpen() ? RegularFileSize(file.Fd()) : -1;
    if (size < 0) {
        ends.ErrorCode = errno;
        return ends;
    }
    ends.Opened = true;
    ends.FileSize = size;

    // Nothing is allocated beyond the file's size, whatever a header declares.
    QByteArray& start = ends.Start;
    start.resize(qsizetype(std::min(size, FirstReadSize)));
    qint64 have = ReadAt(file.Fd(), start.data(), start.size(), 0);
    if (have < 0) {
        // Reading failed after opening: the callers see it as an empty file.
        ends.ErrorCode = errno;
        start.clear();
        return ends;
    }
    start.truncate(qsizetype(have));
    const bool wholeFile = have == size;
    if (wholeFile && size >= TID3v1Tag::TagSize)
        ends.Last = start.right(TID3v1Tag::TagSize);
    qint64 wanted = std::min<qint64>(have, ID3v2HeaderSize);
    if (const std::optional<TID3v2Header> header = ParseID3v2Header(start))
        wanted = std::min<qint64>(size, ID3v2HeaderSize + qint64(header->Size));
    if (wanted > have) {
        start.resize(qsizetype(wanted));
        const qint64 more = ReadAt(file.Fd(), start.data() + have, wanted - have, have);
        have += std::max<qint64>(more, 0);
    }
    start.truncate(qsizetype(std::min(have, wanted)));

    if (!wholeFile && size >= TID3v1Tag::TagSize) {
        ends.Last.resize(TID3v1Tag::TagSize);
        if (ReadAt(file.Fd(), ends.Last.data(), TID3v1Tag::TagSize, size - TID3v1Tag::TagSize) !=
            TID3v1Tag::TagSize)
            ends.Last.clear();
    }
    return ends;
}
