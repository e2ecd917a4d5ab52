#include "tags/ID3v1Tag.h"
#include "support/Error.h"
#include "tags/Genres.h"
#include "testsupport/TempDir.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

// A 128-byte ID3v1 tag built field by field, as another tagger would have written it.
struct TagBytes {
    QByteArray bytes = QByteArray(TID3v1Tag::TagSize, '\0');
    TagBytes() { bytes.replace(0, 3, "TAG"); }
    TagBytes& Put(int offset, const QByteArray& value) {
        bytes.replace(offset, value.size(), value);
        return *this;
    }
    TagBytes& Title(const QByteArray& v) { return Put(3, v); }
    TagBytes& Artist(const QByteArray& v) { return Put(33, v); }
    TagBytes& Album(const QByteArray& v) { return Put(63, v); }
    TagBytes& Year(const QByteArray& v) { return Put(93, v); }
    TagBytes& Comment(const QByteArray& v) { return Put(97, v); }
    TagBytes& Byte(int offset, int value) {
        bytes[offset] = char(value);
        return *this;
    }
};

// Bytes that stand in for MPEG audio frames; 0xFF and "TAG" inside must not confuse anything.
QByteArray Audio(int size) {
    QByteArray audio;
    for (int i = 0; audio.size() < size; ++i)
        audio += i % 7 == 0 ? QByteArray("TAG") : QByteArray(1, char(0xFF - i % 5));
    return audio.left(size);
}

struct ReadCase {
    const char* name;
    QByteArray file;
    bool hasTag;
    QString title, artist, album, year, comment;
    int genre;
    int track;
    QString genreName;
    friend void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }
};

class ID3v1ReadTest : public testing::TestWithParam<ReadCase> {};

TEST_P(ID3v1ReadTest, ReadsFields) {
    const ReadCase& c = GetParam();
    TempDir dir;
    TID3v1Tag tag;
    tag.SetFileName(dir.Write("a.mp3", c.file));
    tag.Open();
    EXPECT_TRUE(tag.Active());
    EXPECT_EQ(tag.HasTag(), c.hasTag);
    EXPECT_EQ(tag.SongName, c.title);
    EXPECT_EQ(tag.Artist, c.artist);
    EXPECT_EQ(tag.Album, c.album);
    EXPECT_EQ(tag.Year, c.year);
    EXPECT_EQ(tag.Comment, c.comment);
    EXPECT_EQ(tag.Genre, c.genre);
    EXPECT_EQ(tag.AlbumTrack, c.track);
    EXPECT_EQ(tag.GenreAsString(), c.genreName);
    // Reading never changes the file.
    EXPECT_EQ(dir.Read("a.mp3"), c.file);
}

const QByteArray Spaces30(30, ' ');

INSTANTIATE_TEST_SUITE_P(
    Files, ID3v1ReadTest,
    testing::Values(
        ReadCase{"Version11Track",
                 Audio(500) + TagBytes()
                                  .Title("Song")
                                  .Artist("Band")
                                  .Album("Record")
                                  .Year("1999")
                                  .Comment("Nice")
                                  .Byte(126, 5)
                                  .Byte(127, 17)
                                  .bytes,
                 true, "Song", "Band", "Record", "1999", "Nice", 17, 5, "Rock"},
        ReadCase{"Version10FullComment",
                 Audio(500) +
                     TagBytes().Comment("123456789012345678901234567890").Byte(127, 0).bytes,
                 true, "", "", "", "", "123456789012345678901234567890", 0, 0, "Blues"},
        ReadCase{"Comment29ZeroTrack",
                 Audio(10) + TagBytes().Comment("12345678901234567890123456789").bytes, true, "",
                 "", "", "", "12345678901234567890123456789", 0, 0, "Blues"},
        // Old taggers pad with spaces: they are part of the values, and the space at offset
        // 125 means there is no track number.
        ReadCase{"SpacePaddedFieldsKeepTheirSpaces",
                 Audio(10) + TagBytes()
                                 .Title("Song" + Spaces30.left(26))
                                 .Comment("Hi" + Spaces30.left(28))
                                 .Byte(127, 255)
                                 .bytes,
                 true, "Song" + QString(26, ' '), "", "", "", "Hi" + QString(28, ' '), 255, 0, ""},
        ReadCase{"TextEndsAtFirstNul",
                 Audio(10) + TagBytes().Title(QByteArray("Song\0junk", 9)).Year("19\0\0").bytes,
                 true, "Song", "", "", "19", "", 0, 0, "Blues"},
        ReadCase{"Latin1Bytes",
                 Audio(10) + TagBytes().Artist("Bj\xF6rk").Album("Caf\xE9 \xFF").bytes, true, "",
                 QString::fromUtf8("Björk"), QString::fromUtf8("Café ÿ"), "", "", 0, 0, "Blues"},
        ReadCase{"FullAreasWithoutNul",
                 Audio(10) + TagBytes()
                                 .Title("TTTTTTTTTTTTTTTTTTTTTTTTTTTTTT")
                                 .Artist("AAAAAAAAAAAAAAAAAAAAAAAAAAAAAA")
                                 .Album("LLLLLLLLLLLLLLLLLLLLLLLLLLLLLL")
                                 .Year("2001")
                                 .Comment("CCCCCCCCCCCCCCCCCCCCCCCCCCCCCC")
                                 .Byte(127, 147)
                                 .bytes,
                 true, QString(30, 'T'), QString(30, 'A'), QString(30, 'L'), "2001",
                 QString(30, 'C'), 147, 0, "SynthPop"},
        ReadCase{"GenreWithoutName", Audio(10) + TagBytes().Byte(127, 148).bytes, true, "", "", "",
                 "", "", 148, 0, ""},
        ReadCase{"FileIsOnlyATag", TagBytes().Title("Only").Byte(126, 9).bytes, true, "Only", "",
                 "", "", "", 0, 9, "Blues"},
        ReadCase{"ShorterThanATag", TagBytes().bytes.left(127), false, "", "", "", "", "", 255, 0,
                 ""},
        ReadCase{"EmptyFile", QByteArray(), false, "", "", "", "", "", 255, 0, ""},
        ReadCase{"NoTag", Audio(1000), false, "", "", "", "", "", 255, 0, ""},
        // A tag followed by anything (an APE tag, a stray byte) is not at the end.
        ReadCase{"TagNotAtTheEnd", Audio(10) + TagBytes().Title("X").bytes + "!", false, "", "", "",
                 "", "", 255, 0, ""},
        ReadCase{"LowerCaseMarker", Audio(10) + TagBytes().Put(0, "tag").Title("X").bytes, false,
                 "", "", "", "", "", 255, 0, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ID3v1Tag, MissingFileReadsAsNoTag) {
    TempDir dir;
    TID3v1Tag tag;
    tag.SetFileName(dir.File("missing.mp3"));
    tag.Open();
    EXPECT_TRUE(tag.Active());
    EXPECT_FALSE(tag.HasTag());
    EXPECT_EQ(tag.Genre, ID3v1NoGenre);
}

TEST(ID3v1Tag, FolderAndFifoReadAsNoTagWithoutHanging) {
    TempDir dir;
    const QString fifo = dir.File("pipe.mp3");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString& path : {dir.Path(), fifo}) {
        TID3v1Tag tag;
        tag.SetFileName(path);
        tag.Open();
        EXPECT_FALSE(tag.HasTag());
        tag.SongName = "x";
        EXPECT_FALSE(tag.Commit());
    }
}

TEST(ID3v1Tag, FileWithoutTagReadAfterOneWithTagHasNoValuesLeft) {
    TempDir dir;
    const QString with = dir.Write(
        "with.mp3",
        Audio(300) + TagBytes().Title("Song").Comment("C").Byte(126, 7).Byte(127, 17).bytes);
    const QString without = dir.Write("without.mp3", Audio(300));
    TID3v1Tag tag;
    tag.SetFileName(with);
    tag.Open();
    ASSERT_EQ(tag.AlbumTrack, 7);
    tag.SetFileName(without); // reopens, because the tag was active
    EXPECT_TRUE(tag.Active());
    EXPECT_FALSE(tag.HasTag());
    EXPECT_EQ(tag.AlbumTrack, 0);
    EXPECT_EQ(tag.SongName, "");
    EXPECT_EQ(tag.Comment, "");
    EXPECT_EQ(tag.Genre, ID3v1NoGenre);
}

TEST(ID3v1Tag, SameFileNameKeepsTheValuesSet) {
    TempDir dir;
    const QString path = dir.Write("a.mp3", Audio(300) + TagBytes().Title("Old").bytes);
    TID3v1Tag tag;
    tag.SetFileName(path);
    tag.Open();
    tag.SongName = "New";
    tag.SetFileName(path);
    EXPECT_EQ(tag.SongName, "New");
}

TEST(ID3v1Tag, CloseClearsAndDeactivates) {
    TempDir dir;
    TID3v1Tag tag;
    tag.SetFileName(dir.Write("a.mp3", TagBytes().Title("T").Byte(126, 3).Byte(127, 8).bytes));
    tag.Open();
    tag.Close();
    EXPECT_FALSE(tag.Active());
    EXPECT_EQ(tag.SongName, "");
    EXPECT_EQ(tag.AlbumTrack, 0);
    EXPECT_EQ(tag.Genre, ID3v1NoGenre);
    // A different name does not open a closed tag.
    tag.SetFileName(dir.File("other.mp3"));
    EXPECT_FALSE(tag.Active());
}

TEST(ID3v1Tag, CommitWithoutOpenFailsWithNotActive) {
    TempDir dir;
    const QByteArray original = Audio(300) + TagBytes().Title("Keep").bytes;
    TID3v1Tag tag;
    tag.SetFileName(dir.Write("a.mp3", original));
    tag.SongName = "Lost";
    try {
        tag.Commit();
        FAIL() << "Commit succeeded";
    } catch (const TError& e) {
        EXPECT_EQ(e.Message(), "Not active");
    }
    EXPECT_EQ(dir.Read("a.mp3"), original);
}

struct WriteCase {
    const char* name;
    QByteArray before;
    qsizetype tagOffset; // where the tag is expected; the bytes before it are kept
    friend void PrintTo(const WriteCase& c, std::ostream* os) { *os << c.name; }
};

class ID3v1WriteTest : public testing::TestWithParam<WriteCase> {};

TEST_P(ID3v1WriteTest, OverwritesAnExistingTagAndAppendsOtherwise) {
    const WriteCase& c = GetParam();
    TempDir dir;
    TID3v1Tag tag;
    tag.SetFileName(dir.Write("a.mp3", c.before));
    tag.Open();
    tag.SongName = "Title";
    tag.Artist = "Artist";
    tag.Album = "Album";
    tag.Year = "2024";
    tag.Comment = "Comment";
    tag.AlbumTrack = 12;
    tag.SetGenreAsString("jazz");
    ASSERT_TRUE(tag.Commit());
    EXPECT_TRUE(tag.HasTag());

    const QByteArray after = dir.Read("a.mp3");
    ASSERT_EQ(after.size(), c.tagOffset + TID3v1Tag::TagSize);
    EXPECT_EQ(after.left(c.tagOffset), c.before.left(c.tagOffset));
    EXPECT_EQ(after.mid(c.tagOffset), TagBytes()
                                          .Title("Title")
                                          .Artist("Artist")
                                          .Album("Album")
                                          .Year("2024")
                                          .Comment("Comment")
                                          .Byte(126, 12)
                                          .Byte(127, 8)
                                          .bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ID3v1WriteTest,
    testing::Values(
        WriteCase{"ExistingTagInPlace", Audio(4000) + TagBytes().Title("Old title").bytes, 4000},
        WriteCase{"FileThatIsOnlyATag", TagBytes().Comment("Old").Byte(126, 3).bytes, 0},
        WriteCase{"NoTagAppends", Audio(4000), 4000},
        WriteCase{"ShortFileAppends", Audio(127), 127},
        WriteCase{"EmptyFileAppends", QByteArray(), 0},
        WriteCase{"TagNotAtTheEndAppends", Audio(50) + TagBytes().bytes + "x", 50 + 128 + 1}),
    [](const auto& info) { return std::string(info.param.name); });

struct CutCase {
    const char* name;
    QString comment;
    int track;
    QByteArray commentArea; // 30 bytes at offset 97
    int expectedTrack;      // as read back
    friend void PrintTo(const CutCase& c, std::ostream* os) { *os << c.name; }
};

class ID3v1CommentTrackTest : public testing::TestWithParam<CutCase> {};

TEST_P(ID3v1CommentTrackTest, TrackNumberOnlyWhenTheCommentLeavesRoom) {
    const CutCase& c = GetParam();
    TempDir dir;
    TID3v1Tag tag;
    tag.SetFileName(dir.Write("a.mp3", Audio(200) + TagBytes().bytes));
    tag.Open();
    tag.Comment = c.comment;
    tag.AlbumTrack = quint8(c.track);
    ASSERT_TRUE(tag.Commit());
    EXPECT_EQ(dir.Read("a.mp3").mid(200 + 97, 30), c.commentArea);
    tag.Open();
    EXPECT_EQ(tag.AlbumTrack, c.expectedTrack);
    EXPECT_EQ(tag.Comment, QString::fromLatin1(c.commentArea.split('\0').first()));
}

INSTANTIATE_TEST_SUITE_P(
    Comments, ID3v1CommentTrackTest,
    testing::Values(
        CutCase{"Short", "Hi", 5, QByteArray("Hi").leftJustified(29, '\0') + '\5', 5},
        CutCase{"TwentyEight", QString(28, 'c'), 5, QByteArray(28, 'c') + QByteArray("\0\5", 2), 5},
        CutCase{"TwentyNineLosesTrack", QString(29, 'c'), 5, QByteArray(29, 'c') + '\0', 0},
        CutCase{"ThirtyLosesTrack", QString(30, 'c'), 5, QByteArray(30, 'c'), 0},
        CutCase{"LongerIsCut", QString(31, 'c'), 5, QByteArray(30, 'c'), 0},
        CutCase{"NoTrack", "Hi", 0, QByteArray("Hi").leftJustified(30, '\0'), 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ID3v1Tag, WritesLatin1AndCutsToTheArea) {
    TempDir dir;
    TID3v1Tag tag;
    tag.SetFileName(dir.Write("a.mp3", Audio(100) + TagBytes().bytes));
    tag.Open();
    tag.SongName = QString(30, 'x') + "y";            // 31 characters: the first 30 are written
    tag.Artist = QString::fromUtf8("Björk Ωmega 🎵!"); // outside ISO-8859-1: one '?' each
    tag.Album = QString::fromUtf8("ÿ");
    tag.Year = "20245";
    ASSERT_TRUE(tag.Commit());
    const QByteArray written = dir.Read("a.mp3").mid(100);
    EXPECT_EQ(written.mid(3, 30), QByteArray(30, 'x'));
    EXPECT_EQ(written.mid(33, 14), QByteArray("Bj\xF6rk ?mega ?!"));
    EXPECT_EQ(written.at(47), '\0');
    EXPECT_EQ(written.mid(63, 2), QByteArray("\xFF\0", 2));
    EXPECT_EQ(written.mid(93, 4), QByteArray("2024"));
    EXPECT_EQ(written.at(97), '\0');
}

TEST(ID3v1Tag, UnknownGenreNameGivesNoGenre) {
    TID3v1Tag tag;
    tag.SetGenreAsString("rock");
    EXPECT_EQ(tag.Genre, 17);
    tag.SetGenreAsString("Psychadelic");
    EXPECT_EQ(tag.Genre, 67);
    tag.SetGenreAsString("Not a genre");
    EXPECT_EQ(tag.Genre, 255);
    EXPECT_EQ(tag.GenreAsString(), "");
    tag.SetGenreAsString("");
    EXPECT_EQ(tag.Genre, 255);
}

TEST(ID3v1Tag, CommitToAMissingFileCreatesNothing) {
    TempDir dir;
    const QString path = dir.File("gone.mp3");
    TID3v1Tag tag;
    tag.SetFileName(path);
    tag.Open();
    tag.SongName = "x";
    EXPECT_FALSE(tag.Commit());
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST(ID3v1Tag, HasTagFollowsTheFileAfterAWrite) {
    TempDir dir;
    const QString path = dir.Write("a.mp3", Audio(300));
    TID3v1Tag tag;
    tag.SetFileName(path);
    EXPECT_FALSE(tag.HasTag()); // looked up without opening
    EXPECT_FALSE(tag.Active());
    // Remembered until the name changes or the tag is written...
    dir.Write("a.mp3", Audio(300) + TagBytes().bytes);
    EXPECT_FALSE(tag.HasTag());
    tag.SetFileName(dir.File("b.mp3"));
    tag.SetFileName(path);
    EXPECT_TRUE(tag.HasTag());
    // ...and a write looks again.
    dir.Write("a.mp3", Audio(300));
    tag.Open();
    EXPECT_FALSE(tag.HasTag());
    ASSERT_TRUE(tag.Commit());
    EXPECT_TRUE(tag.HasTag());
}

TEST(ID3v1Tag, RoundTripKeepsEveryValue) {
    TempDir dir;
    const QString path = dir.Write("a.mp3", Audio(300) + TagBytes().bytes);
    TID3v1Tag writer;
    writer.SetFileName(path);
    writer.Open();
    writer.SongName = QString::fromUtf8("Déjà vu  ");
    writer.Artist = QString(30, 'A');
    writer.Album = QString::fromUtf8("Ålbum");
    writer.Year = "1987";
    writer.Comment = QString(28, 'C');
    writer.AlbumTrack = 255;
    writer.Genre = 200;
    ASSERT_TRUE(writer.Commit());

    TID3v1Tag reader;
    reader.SetFileName(path);
    reader.Open();
    EXPECT_EQ(reader.SongName, writer.SongName);
    EXPECT_EQ(reader.Artist, writer.Artist);
    EXPECT_EQ(reader.Album, writer.Album);
    EXPECT_EQ(reader.Year, writer.Year);
    EXPECT_EQ(reader.Comment, writer.Comment);
    EXPECT_EQ(reader.AlbumTrack, 255);
    EXPECT_EQ(reader.Genre, 200);
    EXPECT_EQ(QFileInfo(path).size(), 300 + 128);
}

} // namespace
