#include "tags/ID3FileEnds.h"
#include "tags/ID3v1Tag.h"
#include "testsupport/Mp3Fixture.h"
#include "testsupport/PageCache.h"
#include "testsupport/TempDir.h"

#include <cerrno>
#include <gtest/gtest.h>

namespace {

QByteArray Counting(int size) {
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char(i * 7 + i / 251);
    return bytes;
}

// An ID3v2 header declaring size tag bytes; the bytes themselves follow from Counting().
QByteArray Header(quint32 size) {
    QByteArray header("ID3\x03\x00\x00", 6);
    for (int shift : {21, 14, 7, 0})
        header += char((size >> shift) & 0x7F);
    return header;
}

QByteArray V1Tag() {
    QByteArray tag = "TAGTitle" + QByteArray(120, '\0');
    tag[126] = 4;
    return tag;
}

struct EndsCase {
    const char* name;
    QByteArray file;
    qsizetype startSize;
    friend void PrintTo(const EndsCase& c, std::ostream* os) { *os << c.name; }
};

class ID3FileEndsTest : public testing::TestWithParam<EndsCase> {};

TEST_P(ID3FileEndsTest, ReadsTheTagBytesAtBothEnds) {
    const EndsCase& c = GetParam();
    TempDir dir;
    const QString path = dir.Write("a.mp3", c.file);
    const TID3FileEnds ends = ReadID3FileEnds(path);
    ASSERT_TRUE(ends.Opened);
    EXPECT_EQ(ends.FileSize, c.file.size());
    EXPECT_EQ(ends.Start, c.file.left(c.startSize));
    EXPECT_EQ(ends.Last, c.file.size() >= 128 ? c.file.right(128) : QByteArray());

    // Read into a buffer that held a larger file's tag before: the same bytes; and reading the
    // next file into it leaves the bytes read before as they were.
    QByteArray buffer(20000, 'x');
    const TID3FileEnds intoBuffer = ReadID3FileEnds(path, &buffer);
    const TID3FileEnds next =
        ReadID3FileEnds(dir.Write("b.mp3", Header(100) + Counting(300)), &buffer);
    EXPECT_EQ(intoBuffer.Start, c.file.left(c.startSize));
    EXPECT_EQ(intoBuffer.Last, ends.Last);
    EXPECT_EQ(intoBuffer.FileSize, ends.FileSize);
    EXPECT_EQ(next.Start, Header(100) + Counting(300).left(100));

    // The ID3v1 tag reads the same from these bytes as from the file.
    TID3v1Tag direct;
    direct.SetFileName(path);
    direct.Open();
    TID3v1Tag fromEnds;
    fromEnds.SetFileName(path);
    fromEnds.OpenFromLastBytes(ends.Last);
    EXPECT_TRUE(fromEnds.Active());
    EXPECT_EQ(fromEnds.HasTag(), direct.HasTag());
    EXPECT_EQ(fromEnds.SongName, direct.SongName);
    EXPECT_EQ(fromEnds.AlbumTrack, direct.AlbumTrack);
    EXPECT_EQ(fromEnds.Genre, direct.Genre);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ID3FileEndsTest,
    testing::Values(EndsCase{"Empty", QByteArray(), 0},
                    EndsCase{"ShorterThanAHeader", QByteArray("ID3\x03\x00", 5), 5},
                    EndsCase{"NoID3v2Tag", Counting(1000) + V1Tag(), 10},
                    EndsCase{"SmallTag", Header(20) + Counting(5000) + V1Tag(), 30},
                    EndsCase{"OnlyAnID3v1Tag", V1Tag(), 10},
                    // A tag larger than the first read is completed by a second one.
                    EndsCase{"LargeTag", Header(10000) + Counting(30000), 10010},
                    EndsCase{"LargeTagEndsAtTheFirstRead", Header(4086) + Counting(9000), 4096},
                    // A declared size beyond the file gives what the file holds, no more.
                    EndsCase{"DeclaredBeyondTheFile", Header(0x0FFFFFFF) + Counting(100), 110},
                    EndsCase{"DeclaredBeyondALargeFile", Header(0x0FFFFFFF) + Counting(9000),
                             9010}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ID3FileEnds, MissingFileAndFolderAreNotOpened) {
    TempDir dir;
    const TID3FileEnds missing = ReadID3FileEnds(dir.File("missing.mp3"));
    EXPECT_FALSE(missing.Opened);
    EXPECT_EQ(missing.ErrorCode, ENOENT);
    const TID3FileEnds folder = ReadID3FileEnds(dir.Path());
    EXPECT_FALSE(folder.Opened);
    EXPECT_TRUE(folder.Start.isEmpty());
}

// The reader calls in more readers when files come from the storage: the first read says
// whether the system's cache served it, and the bytes are the same either way.
TEST(ID3FileEnds, TellsWhetherTheCacheServedTheFirstRead) {
    TempDir dir;
    const QString path = dir.Write("a.mp3", Mp3Fixture(3)
                                                .Text("TIT2", "Song")
                                                .Picture(3, "image/png", QByteArray(9000, 'p'))
                                                .ID3v1({.Title = "Old"})
                                                .Bytes());
    const TID3FileEnds cached = ReadID3FileEnds(path);
    EXPECT_FALSE(cached.Uncached);
    ASSERT_TRUE(DropFromPageCache(path));
    const TID3FileEnds uncached = ReadID3FileEnds(path);
    if (!uncached.Uncached)
        GTEST_SKIP() << "this file system keeps the file in its cache";
    EXPECT_EQ(uncached.Start, cached.Start);
    EXPECT_EQ(uncached.Last, cached.Last);
    EXPECT_EQ(uncached.FileSize, cached.FileSize);
    EXPECT_FALSE(ReadID3FileEnds(path).Uncached);
}

TEST(ID3v1Tag, OpenFromLastBytesNeedsAWholeTag) {
    TID3v1Tag tag;
    tag.OpenFromLastBytes(V1Tag().left(127));
    EXPECT_TRUE(tag.Active());
    EXPECT_FALSE(tag.HasTag());
    EXPECT_EQ(tag.SongName, "");
    tag.OpenFromLastBytes(V1Tag());
    EXPECT_TRUE(tag.HasTag());
    EXPECT_EQ(tag.SongName, "Title");
    EXPECT_EQ(tag.AlbumTrack, 4);
}

} // namespace
