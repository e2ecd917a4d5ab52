#include "refdata/LearnedData.h"
#include "refdata/LearnedLine.h"
#include "testsupport/QtPrinters.h"

#include <gtest/gtest.h>
#include <random>

namespace {

// The merge as written down: one search of the whole list per new line.
void MergeBySearching(QStringList& stored, const QStringList& newLines) {
    const qsizetype storedBefore = stored.size();
    for (const QString& line : newLines) {
        const qsizetype found = LearnedLine::Find(stored, LearnedLine::Artist(line),
                                                  LearnedLine::Album(line), storedBefore);
        if (found >= 0)
            stored[found] = line;
        else
            stored.append(line);
    }
}

// A new line replaces the stored line of its artist and album, else the first line stored before
// that begins with them ("X Deluxe" for "X", anything of "C" for an empty album); otherwise it
// is appended, and later new lines of the same artist and album replace it.
TEST(LearnedMerge, ExamplesOfReplacingAndAppending) {
    QStringList stored = {"A\tX Deluxe|Rock", "A\tX|Pop", "B\tY|Jazz", "broken line", "C\tZ|Folk"};
    LearnedData::MergeNewLines(stored, {"A\tX|Soul", "A\tY|Soul", "B\tY|Blues", "B\tY|Funk",
                                        "C\t|Ska", "D\tW|Punk", "D\tW|Metal", "broken line\t|Ska"});
    EXPECT_EQ(stored, QStringList({"A\tX Deluxe|Rock", "A\tX|Soul", "B\tY|Funk", "broken line",
                                   "C\t|Ska", "A\tY|Soul", "D\tW|Metal", "broken line\t|Ska"}));
}

// Lists made of few artists and albums that are prefixes of one another, with "|" inside album
// titles and lines without a tab, merged both ways; every other round the new lines are taken
// from the stored ones (a library browsed again), where stored lines may share artist and album.
TEST(LearnedMerge, AgreesWithSearchingTheWholeList) {
    std::mt19937 rng(7);
    const QStringList artists = {"A", "Ab", "A b", "B", ""};
    const QStringList albums = {"X", "X Deluxe", "X|Live", "", "Y", "X D"};
    const QStringList genres = {"Rock", "Pop", "", "Jazz"};
    const auto pick = [&rng](const QStringList& list) {
        return list[std::uniform_int_distribution<qsizetype>(0, list.size() - 1)(rng)];
    };
    const auto randomLine = [&] {
        if (rng() % 17 == 0)
            return pick(artists) + pick(albums);
        return LearnedLine::Make(pick(artists), pick(albums), pick(genres));
    };
    for (int round = 0; round < 300; ++round) {
        QStringList stored;
        QStringList newLines;
        for (int i = int(rng() % 12); i > 0; --i)
            stored.append(randomLine());
        for (int i = int(rng() % 12); i > 0; --i)
            newLines.append(round % 2 == 0 || stored.isEmpty() ? randomLine() : pick(stored));
        QStringList expected = stored;
        MergeBySearching(expected, newLines);
        QStringList merged = stored;
        LearnedData::MergeNewLines(merged, newLines);
        ASSERT_EQ(merged, expected) << "stored " << stored.join(" ; ").toStdString() << " new "
                                    << newLines.join(" ; ").toStdString();
    }
}

} // namespace
