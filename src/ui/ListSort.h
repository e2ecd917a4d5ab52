#pragma once

#include "ui/ListRows.h"

#include <QLocale>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

// A list's own comparison of two cell texts of a column: sets Res (negative, zero, positive)
// and Handled; the built-in comparison decides when Handled stays false.
using TKelmOnCustomSort = std::function<void(int ColumnIndex, const QString& Str1,
                                             const QString& Str2, int& Res, bool& Handled)>;

// The order that sorts rows by one column: element i is the index of the row that goes to
// position i. Cells compare as CompareCells does (or by customCompare where it answers);
// a descending sort reverses the comparison. Rows that compare equal keep their order, and
// the result is well defined even though mixed columns do not compare transitively.
std::vector<int> SortedRowOrder(
    int rowCount, const std::function<QString(int row)>& cellText, bool ascending,
    const QLocale& locale,
    const std::function<std::optional<int>(const QString&, const QString&)>& customCompare = {});

// Rearranges rows by an order from SortedRowOrder.
template <class Row> void PermuteRows(std::vector<Row>& rows, const std::vector<int>& order) {
    std::vector<Row> sorted;
    sorted.reserve(rows.size());
    for (int i : order)
        sorted.push_back(std::move(rows[i]));
    rows = std::move(sorted);
}

// Sorts any row container by the text a row shows in the sort column.
template <class Row>
void SortRows(std::vector<Row>& rows, const std::function<QString(const Row&)>& cellText,
              bool ascending, const QLocale& locale) {
    PermuteRows(rows, SortedRowOrder(
                          static_cast<int>(rows.size()), [&](int i) { return cellText(rows[i]); },
                          ascending, locale));
}

enum class TSortArrow { None, Up, Down };

// The sort state of a list: the column sorted last and its direction, which the header shows
// as an arrow, and the header-click rule.
class TKelmListSort {
public:
    TKelmListSort(TKelmListRows& rows, const QLocale& locale) : FRows(rows), FLocale(locale) {}

    int LastSortIndex() const { return FLastSortIndex; }
    bool LastSortAscending() const { return FLastSortAscending; }
    // Up or down on the column sorted last, none on every other.
    TSortArrow HeaderArrow(int column) const;

    // A click on a column header: a new column sorts ascending, the same column again sorts
    // the other way.
    void ColumnClick(int column);
    // Does nothing when the column does not exist (the list may have none).
    void Sort(int ColumnIndex, bool SortAscending);
    // Sorts again as last time, after rows were added or changed; nothing before a first sort.
    void SortAsIs();

    TKelmOnCustomSort OnCustomSort;

private:
    TKelmListRows& FRows;
    QLocale FLocale;
    int FLastSortIndex = -1;
    bool FLastSortAscending = true;
};
