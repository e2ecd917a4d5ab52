#include "ui/ListSort.h"

#include "ui/CellCompare.h"

namespace {

// A bottom-up merge sort: stable, and safe with a comparison that is not a strict weak
// order (std::sort is not; a column mixing numbers and words gives such a comparison).
template <class Less> void MergeSort(std::vector<int>& items, Less less) {
    const size_t n = items.size();
    std::vector<int> merged(n);
    for (size_t width = 1; width < n; width *= 2) {
        for (size_t low = 0; low < n; low += 2 * width) {
            const size_t middle = std::min(low + width, n);
            const size_t high = std::min(low + 2 * width, n);
            size_t left = low, right = middle, out = low;
            while (left < middle && right < high)
                merged[out++] = less(items[right], items[left]) ? items[right++] : items[left++];
            while (left < middle)
                merged[out++] = items[left++];
            while (right < high)
                merged[out++] = items[right++];
        }
        items.swap(merged);
    }
}

} // namespace

std::vector<int> SortedRowOrder(
    int rowCount, const std::function<QString(int row)>& cellText, bool ascending,
    const QLocale& locale,
    const std::function<std::optional<int>(const QString&, const QString&)>& customCompare) {
    std::vector<int> order(std::max(rowCount, 0));
    for (int i = 0; i < rowCount; ++i)
        order[i] = i;

    const TCellComparer comparer(locale);
    std::vector<QString> texts;
    std::vector<TCellSortKey> keys;
    texts.reserve(order.size());
    keys.reserve(order.size());
    for (int i = 0; i < rowCount; ++i) {
        texts.push_back(cellText(i));
        keys.push_back(comparer.Key(texts.back()));
    }
    MergeSort(order, [&](int a, int b) {
        std::optional<int> res;
        if (customCompare)
            res = customCompare(texts[a], texts[b]);
        const int c = res ? *res : comparer.Compare(keys[a], keys[b]);
        return ascending ? c < 0 : c > 0;
    });
    return order;
}

TSortArrow TKelmListSort::HeaderArrow(int column) const {
    if (column != FLastSortIndex || column < 0)
        return TSortArrow::None;
    return FLastSortAscending ? TSortArrow::Up : TSortArrow::Down;
}

void TKelmListSort::ColumnClick(int column) {
    Sort(column, column == FLastSortIndex ? !FLastSortAscending : true);
}

void TKelmListSort::Sort(int ColumnIndex, bool SortAscending) {
    if (ColumnIndex < 0 || ColumnIndex >= FRows.ColumnCount())
        return;
    FLastSortIndex = ColumnIndex;
    FLastSortAscending = SortAscending;
    std::function<std::optional<int>(const QString&, const QString&)> custom;
    if (OnCustomSort)
        custom = [&](const QString& a, const QString& b) -> std::optional<int> {
            int res = 0;
            bool handled = false;
            OnCustomSort(ColumnIndex, a, b, res, handled);
            return handled ? std::optional(res) : std::nullopt;
        };
    FRows.Reorder(SortedRowOrder(
        FRows.RowCount(), [&](int row) { return FRows.CellText(row, ColumnIndex); }, SortAscending,
        FLocale, custom));
}

void TKelmListSort::SortAsIs() {
    if (FLastSortIndex >= 0)
        Sort(FLastSortIndex, FLastSortAscending);
}
