#include "refdata/FlatFile.h"
#include "support/Error.h"
#include "testsupport/TempDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

using Entries = std::vector<TFlatFileData>;

TKelmFlatFile LoadBytes(const TempDir& dir, const QByteArray& bytes) {
    TKelmFlatFile file;
    file.SetFileName(dir.Write("test.def", bytes));
    file.Initialize();
    return file;
}

struct LineCase {
    const char* name;
    QByteArray bytes;
    Entries expected;
    friend void PrintTo(const LineCase& c, std::ostream* os) { *os << c.name; }
};

class FlatFileLines : public testing::TestWithParam<LineCase> {};

TEST_P(FlatFileLines, GiveTheseEntries) {
    TempDir dir;
    const TKelmFlatFile file = LoadBytes(dir, GetParam().bytes);
    EXPECT_EQ(file.Entries(), GetParam().expected);
    QStringList values;
    for (const TFlatFileData& entry : GetParam().expected)
        values.append(entry.Value);
    EXPECT_EQ(file.Values(), values);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, FlatFileLines,
    testing::Values(LineCase{"Example",
                             "# genre list\r\nRock\r\nHip-Hop\tRap # old name\r\n\r\n",
                             {{"Rock", ""}, {"Hip-Hop", "Rap "}}},
                    LineCase{"EveryLineEnd",
                             "a\tA\rb\tB\nc\tC\r\nd",
                             {{"a", "A"}, {"b", "B"}, {"c", "C"}, {"d", ""}}},
                    LineCase{"DoubleSeparator", "Rock\t\tx", {{"Rock", "x"}}},
                    LineCase{"LeadingSeparator", "\tx", {{"x", ""}}},
                    LineCase{"OnlySeparators", "\t\t\t\nRock", {{"Rock", ""}}},
                    LineCase{"TrailingSeparator", "Rock\t", {{"Rock", ""}}},
                    LineCase{"ThirdFieldIgnored", "a\tb\tc", {{"a", "b"}}},
                    LineCase{"HashAloneInData", "Rock\t#", {{"Rock", ""}}},
                    LineCase{"HashFirstInData", "Rock\t#x", {{"Rock", ""}}},
                    LineCase{"HashInsideData", "Rock\ta#b#c", {{"Rock", "a"}}},
                    LineCase{"HashInValueStays", "Ro#ck\tx", {{"Ro#ck", "x"}}},
                    LineCase{"IndentedHashIsAValue", "  # note", {{"  # note", ""}}},
                    LineCase{"SpacesAreNotEmpty", "   \n", {{"   ", ""}}},
                    LineCase{"NothingTrimmed", " a \t b ", {{" a ", " b "}}},
                    LineCase{"DuplicatesStay", "Rock\t1\nRock\t2", {{"Rock", "1"}, {"Rock", "2"}}},
                    LineCase{"EmptyFile", "", {}},
                    LineCase{"Utf8WithMark",
                             "\xEF\xBB\xBF"
                             "Caf\xC3\xA9\tna\xC3\xAFve",
                             {{QString::fromUtf8("Café"), QString::fromUtf8("naïve")}}},
                    LineCase{"Utf16LeWithMark",
                             QByteArray("\xFF\xFE"
                                        "A\0\t\0\xE9\0",
                                        8),
                             {{"A", QString::fromUtf8("é")}}},
                    // Without a mark: UTF-8 when the bytes are valid UTF-8, else Windows-1252.
                    LineCase{"Utf8WithoutMark", "Caf\xC3\xA9", {{QString::fromUtf8("Café"), ""}}},
                    LineCase{"Windows1252WithoutMark",
                             "Caf\xE9\t\x80",
                             {{QString::fromUtf8("Café"), QString::fromUtf8("€")}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FlatFileLoad, MissingFileGivesEmptyTableWithoutError) {
    TempDir dir;
    TKelmFlatFile file;
    file.SetFileName(dir.File("absent.def"));
    EXPECT_NO_THROW(file.Initialize());
    EXPECT_EQ(file.Count(), 0);
}

TEST(FlatFileLoad, FileGoneSinceLastLoadEmptiesTable) {
    TempDir dir;
    TKelmFlatFile file = LoadBytes(dir, "Rock\nPop");
    ASSERT_EQ(file.Count(), 2);
    ASSERT_EQ(file.SearchValue("o", false), 2);
    QFile::remove(file.FileName());
    file.Initialize();
    EXPECT_EQ(file.Count(), 0);
    EXPECT_TRUE(file.Values().isEmpty());
    EXPECT_TRUE(file.SearchResults().isEmpty());
}

TEST(FlatFileLoad, UnreadableFileThrowsAndLeavesTableEmpty) {
    TempDir dir;
    TKelmFlatFile file = LoadBytes(dir, "Rock");
    // A folder in the file's place exists but cannot be read as a file (also for root).
    QDir().mkpath(dir.File("folder.def"));
    file.SetFileName(dir.File("folder.def"));
    EXPECT_THROW(file.Initialize(), TError);
    EXPECT_EQ(file.Count(), 0);
    EXPECT_TRUE(file.Values().isEmpty());
}

TEST(FlatFileLoad, ReadingLeavesTheFileUntouched) {
    TempDir dir;
    const QByteArray bytes("# c\r\n\tx\r\nRock\t\t#\n");
    LoadBytes(dir, bytes);
    EXPECT_EQ(dir.Read("test.def"), bytes);
}

TEST(FlatFileLoad, OtherSeparator) {
    TempDir dir;
    TKelmFlatFile file;
    file.SetSeparator(";");
    file.SetFileName(dir.Write("semi.def", "a;;b\tc;d"));
    file.Initialize();
    EXPECT_EQ(file.Entries(), (Entries{{"a", "b\tc"}}));
}

class FlatFileLookups : public testing::Test {
protected:
    void SetUp() override {
        file = LoadBytes(dir, "Rock\tr1\n"
                              "Hip-Hop\tRap\n"
                              "Rock\tr2\n"
                              "AB*D\twild\n"
                              "Pop\tRap Music\n"
                              "Jazz\n" +
                                  QString::fromUtf8("Électro\télec\n").toUtf8());
    }
    TempDir dir;
    TKelmFlatFile file;
};

TEST_F(FlatFileLookups, GetValueDataIsExactAndFirstWins) {
    EXPECT_EQ(file.GetValueData("Rock"), "r1");
    EXPECT_EQ(file.GetValueData("rock"), "");
    EXPECT_EQ(file.GetValueData("Roc"), "");
    EXPECT_EQ(file.GetValueData("Jazz"), "");
    EXPECT_EQ(file.Values().count("Rock"), 2);
}

TEST_F(FlatFileLookups, IndexOfValueIgnoresCase) {
    EXPECT_EQ(file.IndexOfValue("rock"), 0);
    EXPECT_EQ(file.IndexOfValue("HIP-HOP"), 1);
    EXPECT_EQ(file.IndexOfValue(QString::fromUtf8("éLECTRO")), 6);
    EXPECT_EQ(file.IndexOfValue("Electro"), -1) << "case is ignored, accents are not";
    EXPECT_EQ(file.IndexOfValue("Roc"), -1);
    EXPECT_TRUE(file.ContainsValue("JAZZ"));
}

TEST_F(FlatFileLookups, GetValuePrefersEqualDataThenContainedData) {
    EXPECT_EQ(file.GetValue("Rap"), "Hip-Hop");
    EXPECT_EQ(file.GetValue("Music"), "Pop");
    EXPECT_EQ(file.GetValue("r2"), "Rock");
    EXPECT_EQ(file.GetValue("rap music"), "");
}

TEST_F(FlatFileLookups, ByIndexOutsideTableIsEmpty) {
    EXPECT_EQ(file.GetValueByIndex(0), "Rock");
    EXPECT_EQ(file.GetValueDataByIndex(2), "r2");
    EXPECT_EQ(file.GetValueByIndex(6), QString::fromUtf8("Électro"));
    EXPECT_EQ(file.GetValueByIndex(7), "");
    EXPECT_EQ(file.GetValueByIndex(-1), "");
    EXPECT_EQ(file.GetValueDataByIndex(7), "");
}

TEST_F(FlatFileLookups, WildcardMatchesOneCharacterOfSameLength) {
    EXPECT_EQ(file.GetValueDataWildcard("ABCD"), "wild");
    EXPECT_EQ(file.GetValueDataWildcard("AB*D"), "wild");
    EXPECT_EQ(file.GetValueDataWildcard("ABCDE"), "");
    EXPECT_EQ(file.GetValueDataWildcard("ABD"), "");
    EXPECT_EQ(file.GetValueDataWildcard("abcd"), "");
    EXPECT_EQ(file.GetValueDataWildcard("Rock"), "r1");
    file.SetWildcard(u'?');
    EXPECT_EQ(file.GetValueDataWildcard("ABCD"), "");
}

TEST_F(FlatFileLookups, SearchesCollectTheOtherFieldInOrder) {
    EXPECT_EQ(file.SearchValue("^r", false), 2);
    EXPECT_EQ(file.SearchResults(), QStringList({"r1", "r2"}));
    EXPECT_EQ(file.SearchValue("^r", true), 0);
    EXPECT_TRUE(file.SearchResults().isEmpty());
    EXPECT_EQ(file.SearchValueData("^rap", false), 2);
    EXPECT_EQ(file.SearchResults(), QStringList({"Hip-Hop", "Pop"}));
    EXPECT_EQ(file.SearchValueData("Music$", true), 1);
    EXPECT_EQ(file.SearchResults(), QStringList({"Pop"}));
    // Entries without value data take part with an empty text.
    EXPECT_EQ(file.SearchValueData("^$", true), 1);
    EXPECT_EQ(file.SearchResults(), QStringList({"Jazz"}));
}

TEST_F(FlatFileLookups, EmptyOrInvalidPatternFindsNothing) {
    ASSERT_EQ(file.SearchValue("Rock", true), 2);
    EXPECT_EQ(file.SearchValue("", false), 0);
    EXPECT_TRUE(file.SearchResults().isEmpty());
    EXPECT_EQ(file.SearchValueData("(unclosed", false), 0);
    EXPECT_TRUE(file.SearchResults().isEmpty());
    TKelmFlatFile empty;
    EXPECT_EQ(empty.SearchValue(".*", false), 0);
}

TEST(FlatFileVolatile, AddsOrOverridesOnlyWhenAllowed) {
    TKelmFlatFile file;
    EXPECT_FALSE(file.AddVolatileData("", "x", true));
    EXPECT_TRUE(file.AddVolatileData("Rock", "1", false));
    EXPECT_FALSE(file.AddVolatileData("Rock", "2", false));
    EXPECT_EQ(file.GetValueData("Rock"), "1");
    EXPECT_TRUE(file.AddVolatileData("Rock", "3", true));
    EXPECT_EQ(file.GetValueData("Rock"), "3");
    EXPECT_TRUE(file.AddVolatileData("rock", "4", false)) << "the match is case-sensitive";
    EXPECT_EQ(file.Values(), QStringList({"Rock", "rock"}));
    EXPECT_EQ(file.Count(), 2);
}

TEST(FlatFilePersist, WritesEveryEntryWithSeparatorAndCrLf) {
    TempDir dir;
    TKelmFlatFile file = LoadBytes(dir, "# dropped comment\nRock\n\xC3\x89lectro\t\xC3\xA9lec\n");
    file.AddVolatileData("Pop", "", false);
    ASSERT_TRUE(file.Persist());
    EXPECT_EQ(dir.Read("test.def"),
              QByteArray("Rock\t\r\n\xC3\x89lectro\t\xC3\xA9lec\r\nPop\t\r\n"));
    TKelmFlatFile reread;
    reread.SetFileName(file.FileName());
    reread.Initialize();
    EXPECT_EQ(reread.Entries(), file.Entries());
}

TEST(FlatFilePersist, NothingWrittenWithoutEntriesOrName) {
    TempDir dir;
    TKelmFlatFile file = LoadBytes(dir, "# only a comment\n");
    EXPECT_FALSE(file.Persist());
    EXPECT_EQ(dir.Read("test.def"), QByteArray("# only a comment\n"));
    TKelmFlatFile unnamed;
    unnamed.AddVolatileData("Rock", "", false);
    EXPECT_FALSE(unnamed.Persist());
    TKelmFlatFile nowhere;
    nowhere.SetFileName(dir.File("missing/x.def"));
    nowhere.AddVolatileData("Rock", "", false);
    EXPECT_FALSE(nowhere.Persist());
}

} // namespace
