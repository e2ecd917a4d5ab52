#include "export/Statistics.h"
#include "testsupport/QtPrinters.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {

TStatisticsRow Row(const QString& artist, const QString& album = {}, const QString& year = {},
                   const QString& genre = {}) {
    return {artist, album, year, genre};
}

// Caption, albums, tracks of every entry, in order.
QStringList Entries(const QList<TStatisticsEntry>& entries) {
    QStringList texts;
    for (const TStatisticsEntry& e : entries)
        texts.append(QStringLiteral("%1 %2 %3").arg(e.Caption).arg(e.Albums).arg(e.Tracks));
    return texts;
}

TEST(Statistics, CountsByArtistYearAndGenre) {
    QList<TStatisticsRow> rows;
    for (int i = 0; i < 5; ++i)
        rows.append(Row("Ana", i < 2 ? "First" : "Second", "2004", "Jazz"));
    for (int i = 0; i < 3; ++i)
        rows.append(Row("Bo", "", "", i == 0 ? "Rock" : ""));
    const TStatistics s = ComputeStatistics(rows);
    EXPECT_FALSE(s.Stopped);
    EXPECT_EQ(s.Tracks, 8);
    EXPECT_EQ(s.Artists, 2);
    EXPECT_EQ(s.Albums, 3); // Ana's two, Bo's untitled one
    EXPECT_EQ(s.Years, 2);
    EXPECT_EQ(s.Genres, 3);
    EXPECT_EQ(Entries(s.ArtistEntries), QStringList({"Ana 2 5", "Bo 1 3"}));
    // The empty value sorts first and shows as "<Undefined>".
    EXPECT_EQ(Entries(s.YearEntries), QStringList({"<Undefined> 0 3", "2004 0 5"}));
    EXPECT_EQ(Entries(s.GenreEntries), QStringList({"<Undefined> 0 2", "Jazz 0 5", "Rock 0 1"}));
}

TEST(Statistics, LetterCaseVariantsAreOneEntryCountingTheirFirstFormOnly) {
    const TStatistics s = ComputeStatistics({Row("ABBA", "Gold"), Row("Abba", "Arrival"),
                                             Row("ABBA", "gold"), Row("abba", "Waterloo")});
    EXPECT_EQ(s.Tracks, 4);
    EXPECT_EQ(s.Artists, 1);
    EXPECT_EQ(Entries(s.ArtistEntries), QStringList{"ABBA 1 2"});
    EXPECT_EQ(s.Albums, 1);
}

// A cell that reads "<Undefined>" and an empty cell show the same caption: each of the two
// entries counts the rows of both.
TEST(Statistics, UndefinedCaptionCountsEmptyCellsAndItsOwnText) {
    const TStatistics s = ComputeStatistics(
        {Row("", "A"), Row("<Undefined>", "B"), Row("<undefined>", "C"), Row("Ana", "")});
    EXPECT_EQ(s.Artists, 3);
    EXPECT_EQ(Entries(s.ArtistEntries),
              QStringList({"<Undefined> 2 2", "<Undefined> 2 2", "Ana 1 1"}));
    EXPECT_EQ(s.Albums, 5);
}

TEST(Statistics, StopsBetweenRowsAndBetweenEntries) {
    QList<TStatisticsRow> rows = {Row("Ana", "A", "2001", "Jazz"), Row("Bo", "B", "2002", "Rock"),
                                  Row("Cy", "C", "2003", "Pop")};
    // 3 rows, then 3 artists, 3 years and 3 genres.
    const struct {
        int StopAt; // the step that answers false
        int Artists, Years, Genres;
    } cases[] = {{1, 0, 0, 0}, {3, 0, 0, 0},  {5, 1, 0, 0},
                 {8, 3, 1, 0}, {12, 3, 3, 2}, {13, 3, 3, 3}};
    for (const auto& c : cases) {
        int steps = 0;
        int phase = -1;
        const TStatistics s = ComputeStatistics(
            rows, {[&] { return ++steps != c.StopAt; }, [&](int n) { phase = n; }});
        EXPECT_EQ(s.Stopped, c.StopAt <= 12) << c.StopAt;
        EXPECT_EQ(s.ArtistEntries.size(), c.Artists) << c.StopAt;
        EXPECT_EQ(s.YearEntries.size(), c.Years) << c.StopAt;
        EXPECT_EQ(s.GenreEntries.size(), c.Genres) << c.StopAt;
        EXPECT_EQ(phase, c.StopAt > 3 ? 9 : -1) << c.StopAt;
    }
}

// The nested walk the grouping replaces: for each distinct value (without regard to case, first
// form kept, sorted), every row is looked at again.
TStatistics NestedWalk(const QList<TStatisticsRow>& rows) {
    const auto distinct = [&](QString TStatisticsRow::*column) {
        QList<std::pair<QString, QString>> set;
        for (const TStatisticsRow& row : rows) {
            const QString text = row.*column;
            bool seen = false;
            for (const auto& kept : set)
                seen = seen || kept.first == text.toCaseFolded();
            if (!seen)
                set.append({text.toCaseFolded(), text});
        }
        std::sort(set.begin(), set.end());
        return set;
    };
    const auto caption = [](const QString& v) { return v.isEmpty() ? QString("<Undefined>") : v; };
    TStatistics s;
    s.Tracks = int(rows.size());
    const auto table = [&](QString TStatisticsRow::*column, QList<TStatisticsEntry>& entries,
                           bool albums) {
        const auto set = distinct(column);
        for (const auto& value : set) {
            TStatisticsEntry e{caption(value.second), 0, 0};
            QStringList titles;
            for (const TStatisticsRow& row : rows)
                if (caption(row.*column) == e.Caption) {
                    ++e.Tracks;
                    if (!titles.contains(row.Album.toCaseFolded()))
                        titles.append(row.Album.toCaseFolded());
                }
            e.Albums = albums ? int(titles.size()) : 0;
            s.Albums += e.Albums;
            entries.append(e);
        }
        return int(set.size());
    };
    s.Artists = table(&TStatisticsRow::Artist, s.ArtistEntries, true);
    s.Years = table(&TStatisticsRow::Year, s.YearEntries, false);
    s.Genres = table(&TStatisticsRow::Genre, s.GenreEntries, false);
    return s;
}

TEST(Statistics, SameResultAsTheNestedWalk) {
    const QStringList accented = {"Zoë", "ZOË", "Ça"};
    const QStringList artists =
        QStringList{"", "Ana", "ana", "ANA", "Bo", "<Undefined>"} + accented;
    const QStringList words = {"", "Gold", "gold", "Blue", "2004", "1999", "Rock", "rock"};
    QRandomGenerator random(7);
    for (int round = 0; round < 20; ++round) {
        QList<TStatisticsRow> rows;
        const int count = random.bounded(60);
        for (int i = 0; i < count; ++i)
            rows.append(Row(artists[random.bounded(int(artists.size()))],
                            words[random.bounded(int(words.size()))],
                            words[random.bounded(int(words.size()))],
                            words[random.bounded(int(words.size()))]));
        const TStatistics fast = ComputeStatistics(rows);
        const TStatistics slow = NestedWalk(rows);
        EXPECT_EQ(fast.Tracks, slow.Tracks);
        EXPECT_EQ(fast.Artists, slow.Artists);
        EXPECT_EQ(fast.Albums, slow.Albums);
        EXPECT_EQ(fast.Years, slow.Years);
        EXPECT_EQ(fast.Genres, slow.Genres);
        EXPECT_EQ(Entries(fast.ArtistEntries), Entries(slow.ArtistEntries)) << round;
        EXPECT_EQ(Entries(fast.YearEntries), Entries(slow.YearEntries)) << round;
        EXPECT_EQ(Entries(fast.GenreEntries), Entries(slow.GenreEntries)) << round;
    }
}

} // namespace
