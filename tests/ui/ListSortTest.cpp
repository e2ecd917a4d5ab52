#include "ui/ListSort.h"

#include <QLocale>
#include <gtest/gtest.h>
#include <random>

namespace {

const QLocale English(QLocale::English, QLocale::UnitedStates);

QStringList Sorted(const QStringList& cells, bool ascending) {
    const std::vector<int> order = SortedRowOrder(
        int(cells.size()), [&](int row) { return cells[row]; }, ascending, English);
    QStringList sorted;
    for (int i : order)
        sorted.append(cells[i]);
    return sorted;
}

struct SortCase {
    const char* name;
    QStringList cells;
    QStringList ascending; // descending is checked as the reverse where no two cells are equal
    friend void PrintTo(const SortCase& c, std::ostream* os) { *os << c.name; }
};

class SortColumnTest : public testing::TestWithParam<SortCase> {};

TEST_P(SortColumnTest, SortsBothWays) {
    const SortCase& c = GetParam();
    EXPECT_EQ(Sorted(c.cells, true), c.ascending);
    QStringList descending = c.ascending;
    std::reverse(descending.begin(), descending.end());
    EXPECT_EQ(Sorted(c.cells, false), descending);
}

INSTANTIATE_TEST_SUITE_P(
    Columns, SortColumnTest,
    testing::Values(SortCase{"Numbers", {"100", "9", "10"}, {"9", "10", "100"}},
                    SortCase{"Addresses",
                             {"192.168.0.10", "192.168.0.9", "10.0.0.2"},
                             {"10.0.0.2", "192.168.0.9", "192.168.0.10"}},
                    SortCase{"Dates",
                             {"1/15/2023", "12/31/2022", "2/1/2023"},
                             {"12/31/2022", "1/15/2023", "2/1/2023"}},
                    SortCase{"Times", {"10:00", "9:05", "1:00 PM"}, {"9:05", "10:00", "1:00 PM"}},
                    SortCase{"Words",
                             {"beta", "Alpha", "gamma", "\u00C9cho"},
                             {"Alpha", "beta", "\u00C9cho", "gamma"}},
                    SortCase{"Empty", {}, {}}, SortCase{"One", {"x"}, {"x"}}),
    [](const auto& info) { return std::string(info.param.name); });

// Rows that compare equal keep the order they had, in both directions.
TEST(SortedRowOrder, KeepsEqualRowsInTheirOrder) {
    const QStringList cells = {"b", "A", "a", "B", "1.0", "1"};
    EXPECT_EQ(Sorted(cells, true), QStringList({"1.0", "1", "A", "a", "b", "B"}));
    EXPECT_EQ(Sorted(cells, false), QStringList({"b", "B", "A", "a", "1.0", "1"}));
}

// A column that mixes numbers, words, addresses and unconvertible cells compares without a
// consistent order (9 < 10 as numbers, 10 < 1a and 1a < 9 as texts). Sorting it must still
// give every row exactly once, and the same order every time.
TEST(SortedRowOrder, MixedColumnGivesAPermutation) {
    std::mt19937 random(7);
    const QStringList pieces = {"9",     "10",       "1a",      "192.168.0.9",  "1..2.34",
                                "",      "1/2/2023", "10:30",   "-3e2",         "Zebra",
                                "zebra", "0.0.0.0",  "1,234.5", "\u00E9t\u00E9"};
    QStringList cells;
    for (int i = 0; i < 500; ++i)
        cells.append(pieces[int(random() % pieces.size())]);
    for (bool ascending : {true, false}) {
        const auto order = SortedRowOrder(
            int(cells.size()), [&](int row) { return cells[row]; }, ascending, English);
        std::vector<int> seen = order;
        std::sort(seen.begin(), seen.end());
        for (int i = 0; i < int(seen.size()); ++i)
            ASSERT_EQ(seen[i], i);
        EXPECT_EQ(order,
                  SortedRowOrder(
                      int(cells.size()), [&](int row) { return cells[row]; }, ascending, English));
    }
}

TEST(SortedRowOrder, SurvivesACustomComparisonThatAnswersAtRandom) {
    std::mt19937 random(11);
    const auto order = SortedRowOrder(
        1000, [](int row) { return QString::number(row); }, true, English,
        [&](const QString&, const QString&) -> std::optional<int> {
            return int(random() % 3) - 1;
        });
    std::vector<int> seen = order;
    std::sort(seen.begin(), seen.end());
    for (int i = 0; i < int(seen.size()); ++i)
        ASSERT_EQ(seen[i], i);
}

TEST(SortRows, SortsAnyRowContainer) {
    struct Track {
        QString Title;
        int Id;
    };
    std::vector<Track> tracks = {{"b", 1}, {"10", 2}, {"a", 3}, {"9", 4}};
    SortRows<Track>(
        tracks, [](const Track& t) { return t.Title; }, true, English);
    std::vector<int> ids;
    for (const Track& t : tracks)
        ids.push_back(t.Id);
    // "9" and "10" compare as numbers with each other and as texts with the words.
    EXPECT_EQ(ids, (std::vector<int>{4, 2, 3, 1}));
}

// Three columns: caption, a number, a word.
class ListSortTest : public testing::Test {
protected:
    ListSortTest() {
        Rows.AddRow({"b.mp3", "10", "x"});
        Rows.AddRow({"C.mp3", "9", "z"});
        Rows.AddRow({"a.mp3", "100", "y"});
    }
    QStringList Column(int column) const {
        QStringList cells;
        for (int row = 0; row < Rows.RowCount(); ++row)
            cells.append(Rows.CellText(row, column));
        return cells;
    }

    TKelmTextRows Rows{3};
    TKelmListSort List{Rows, English};
};

TEST_F(ListSortTest, StartsUnsortedAndWithoutArrows) {
    EXPECT_EQ(List.LastSortIndex(), -1);
    EXPECT_TRUE(List.LastSortAscending());
    for (int column = -1; column < 3; ++column)
        EXPECT_EQ(List.HeaderArrow(column), TSortArrow::None);
    List.SortAsIs();
    EXPECT_EQ(Column(0), QStringList({"b.mp3", "C.mp3", "a.mp3"}));
}

struct ClickStep {
    int column;
    int lastSortIndex;
    bool ascending;
};

// Start-up sorts the Name column ascending, so the first click on it sorts descending; a new
// column starts ascending and takes the arrow from the old one.
TEST_F(ListSortTest, HeaderClicksToggleTheSameColumnAndStartOthersAscending) {
    List.Sort(0, true);
    EXPECT_EQ(Column(0), QStringList({"a.mp3", "b.mp3", "C.mp3"}));
    EXPECT_EQ(List.HeaderArrow(0), TSortArrow::Up);

    const ClickStep steps[] = {{0, 0, false}, {0, 0, true}, {1, 1, true},
                               {1, 1, false}, {2, 2, true}, {0, 0, true}};
    for (const ClickStep& step : steps) {
        List.ColumnClick(step.column);
        EXPECT_EQ(List.LastSortIndex(), step.lastSortIndex);
        EXPECT_EQ(List.LastSortAscending(), step.ascending);
        for (int column = 0; column < 3; ++column)
            EXPECT_EQ(List.HeaderArrow(column), column != step.column ? TSortArrow::None
                                                : step.ascending      ? TSortArrow::Up
                                                                      : TSortArrow::Down);
        if (step.column == 1) {
            EXPECT_EQ(Column(1), step.ascending ? QStringList({"9", "10", "100"})
                                                : QStringList({"100", "10", "9"}));
        }
    }
    EXPECT_EQ(Column(0), QStringList({"a.mp3", "b.mp3", "C.mp3"}));
}

TEST_F(ListSortTest, SortIgnoresAColumnThatDoesNotExist) {
    List.Sort(1, false);
    List.Sort(3, true);
    List.Sort(-1, true);
    EXPECT_EQ(List.LastSortIndex(), 1);
    EXPECT_FALSE(List.LastSortAscending());

    TKelmTextRows noColumns(0);
    noColumns.AddRow({"a"});
    TKelmListSort empty(noColumns, English);
    empty.Sort(0, true);
    empty.ColumnClick(0);
    EXPECT_EQ(empty.LastSortIndex(), -1);
}

TEST_F(ListSortTest, SortAsIsPlacesAddedRowsAndTheSelectionMovesWithItsRow) {
    List.Sort(1, false);
    Rows.AddRow({"d.mp3", "50", "w"});
    Rows.SetSelected(3, true);
    List.SortAsIs();
    EXPECT_EQ(Column(1), QStringList({"100", "50", "10", "9"}));
    EXPECT_EQ(Rows.SelectedRow(), 1);
    EXPECT_EQ(Rows.CellText(1, 0), "d.mp3");
}

TEST_F(ListSortTest, CustomSortDecidesWhereItAnswersAndIsNegatedDescending) {
    // Orders the word column backwards and declines every other column, where the built-in
    // comparison then applies.
    List.OnCustomSort = [](int column, const QString& a, const QString& b, int& res,
                           bool& handled) {
        handled = column == 2;
        res = handled ? QString::compare(b, a) : 0;
    };
    List.Sort(2, true);
    EXPECT_EQ(Column(2), QStringList({"z", "y", "x"}));
    List.Sort(2, false);
    EXPECT_EQ(Column(2), QStringList({"x", "y", "z"}));
    List.Sort(1, true);
    EXPECT_EQ(Column(1), QStringList({"9", "10", "100"}));
}

} // namespace
