#include "refdata/LearnedLine.h"
#include "refdata/LearnedData.h"
#include "refdata/SortedTextList.h"

#include <gtest/gtest.h>

namespace {

struct PartsCase {
    const char* name;
    QString line;
    QString artist;
    QString album;
    QString genre;
    friend void PrintTo(const PartsCase& c, std::ostream* os) { *os << c.name; }
};

class LearnedLineParts : public testing::TestWithParam<PartsCase> {};

TEST_P(LearnedLineParts, CutAtFirstTabAndLastBar) {
    const PartsCase& c = GetParam();
    EXPECT_EQ(LearnedLine::Artist(c.line), c.artist);
    EXPECT_EQ(LearnedLine::Album(c.line), c.album);
    EXPECT_EQ(LearnedLine::Genre(c.line), c.genre);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, LearnedLineParts,
    testing::Values(
        PartsCase{"Plain", "Ana Bo\tFirst Light|Electronic", "Ana Bo", "First Light", "Electronic"},
        PartsCase{"EmptyGenre", "A\tX|", "A", "X", ""}, PartsCase{"NoBar", "A\tX", "A", "X", ""},
        PartsCase{"NoTab", "A|Rock", "A|Rock", "", ""},
        PartsCase{"BarInAlbum", "A\tX|Y|Rock", "A", "X|Y", "Rock"},
        // The genre's name inside the album title does not cut the title short.
        PartsCase{"GenreNameInAlbum", "A\tX|rock hits|Rock", "A", "X|rock hits", "Rock"},
        PartsCase{"TabInAlbum", "A\tX\tY|Rock", "A", "X\tY", "Rock"},
        PartsCase{"EmptyArtist", "\tX|Rock", "", "X", "Rock"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LearnedLineFind, ExactAlbumFirstThenPrefixWithinLimit) {
    const QStringList lines = {"A\tX Deluxe|Rock", "A\tX|Pop", "B\tY|Jazz", "A\tZ Live|Pop"};
    EXPECT_EQ(LearnedLine::Find(lines, "A", "X", 4), 1);
    EXPECT_EQ(LearnedLine::Find(lines, "A", "X Del", 4), 0);
    EXPECT_EQ(LearnedLine::Find(lines, "A", "Z", 4), 3);
    EXPECT_EQ(LearnedLine::Find(lines, "A", "Z", 3), -1) << "only the first lines stand in";
    EXPECT_EQ(LearnedLine::Find(lines, "a", "X", 4), -1) << "case-sensitive";
    EXPECT_EQ(LearnedLine::Find(lines, "B", "Y", 0), 2) << "an exact line is always found";
}

TEST(SortedTextList, KeepsOrderAndDropsCaseDuplicates) {
    TSortedTextList list;
    EXPECT_TRUE(list.Add("b\tY|Pop"));
    EXPECT_TRUE(list.Add("A\tX|Rock"));
    EXPECT_TRUE(list.Add("C\tZ|Jazz"));
    EXPECT_FALSE(list.Add("a\tx|ROCK"));
    EXPECT_TRUE(list.Add("A\tX|Rock2"));
    EXPECT_EQ(list.Lines(), QStringList({"A\tX|Rock", "A\tX|Rock2", "b\tY|Pop", "C\tZ|Jazz"}));
}

TEST(SortLearnedLines, IgnoresCaseAndKeepsArtistsTogether) {
    QStringList lines = {"b\tY|Pop", "A B\tZ|Jazz", "a\tX|Rock", "A\tW|Rock", "B\tV|Pop"};
    SortLearnedLines(lines);
    // The tab after an artist sorts before any character of a longer name.
    EXPECT_EQ(lines,
              QStringList({"A\tW|Rock", "a\tX|Rock", "A B\tZ|Jazz", "B\tV|Pop", "b\tY|Pop"}));
}

TEST(DeriveArtistGenres, FirstLineWithEmptyArtistIsNoConflict) {
    QStringList log;
    const QStringList derived = LearnedData::DeriveArtistGenres(
        {"\tX|Rock", "A\tY|Pop"}, [](const QString&) { return true; },
        [&log](const QString& line) { log.append(line); });
    EXPECT_EQ(derived, QStringList({"A\tPop"}));
    EXPECT_TRUE(log.isEmpty()) << log.join('\n').toStdString();
}

} // namespace
