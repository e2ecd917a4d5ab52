// Builds the tag area a commit would write for every input, without a file, reads it back and
// builds again: a tag written from a tag we wrote must come out byte for byte the same, so
// nothing the writer produces is read differently by the reader.
#include "fuzz/FuzzFile.h"
#include "support/Error.h"
#include "tags/ID3v2Reader.h"
#include "tags/ID3v2Writer.h"

#include <optional>

namespace {

std::optional<QByteArray> Rebuild(QByteArrayView fileStart, qint64 oldAreaSize) {
    try {
        TID3v2TagData data = ReadID3v2TagBytes(fileStart);
        return BuildID3v2TagArea(data, oldAreaSize);
    } catch (const TError&) {
        return std::nullopt;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView input(data, qsizetype(size));
    qint64 oldArea = 0;
    if (const std::optional<TID3v2Header> header = ParseID3v2Header(input))
        oldArea = ID3v2HeaderSize + qint64(header->Size);
    const std::optional<QByteArray> first = Rebuild(input, oldArea);
    if (!first)
        return 0; // unreadable input, or a tag too big for its version
    if (first->size() < oldArea)
        FuzzFile::Fail("the tag area shrank");

    // The first pass may still drop what the reader cannot take back (a NUL list's last
    // one-character value is not read, by design); from then on writing must be stable.
    const std::optional<QByteArray> second = Rebuild(*first, first->size());
    if (!second)
        FuzzFile::Fail("a tag we built does not read");
    if (second->size() != first->size())
        FuzzFile::Fail("rebuilding a tag we built changed its area");
    const std::optional<QByteArray> third = Rebuild(*second, second->size());
    if (!third || *third != *second)
        FuzzFile::Fail("writing a tag we wrote is not stable");
    return 0;
}
