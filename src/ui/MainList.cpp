#include "ui/MainList.h"

#include <algorithm>

int TMainList::Append(TMP3FileData* data, std::array<QString, MainListColumnCount> cells) {
    FRows.push_back({std::move(cells), data, false});
    const int index = Count() - 1;
    if (Batching())
        FChangedWhileBatching = true;
    else
        emit RowsInserted(index, index);
    return index;
}

void TMainList::SetCells(int index, const std::array<QString, MainListColumnCount>& cells) {
    FRows[std::size_t(index)].Cells = cells;
    if (Batching())
        FChangedWhileBatching = true;
    else
        emit RowChanged(index);
}

void TMainList::SetCell(int index, int column, const QString& text) {
    FRows[std::size_t(index)].Cells[std::size_t(column)] = text;
    if (Batching())
        FChangedWhileBatching = true;
    else
        emit RowChanged(index);
}

void TMainList::Remove(int index) {
    FRows.erase(FRows.begin() + index);
    if (Batching())
        FChangedWhileBatching = true;
    else
        emit RowRemoved(index);
}

void TMainList::Clear() {
    // The room stays: the list is mostly filled again at once, and about as long.
    FRows.clear();
    if (Batching())
        FChangedWhileBatching = true;
    else
        emit Reset();
}

std::vector<TMainListRow> TMainList::TakeRows() {
    std::vector<TMainListRow> rows;
    rows.swap(FRows);
    if (Batching())
        FChangedWhileBatching = true;
    else
        emit Reset();
    return rows;
}

int TMainList::IndexOf(const TMP3FileData* data) const {
    for (int i = 0; i < Count(); ++i)
        if (FRows[std::size_t(i)].Data == data)
            return i;
    return -1;
}

void TMainList::SetSelected(int index, bool selected) {
    TMainListRow& row = FRows[std::size_t(index)];
    if (row.Selected == selected)
        return;
    row.Selected = selected;
    if (Batching())
        FChangedWhileBatching = true;
    else
        emit SelectionChanged();
}

void TMainList::ClearSelection() {
    bool changed = false;
    for (TMainListRow& row : FRows) {
        changed = changed || row.Selected;
        row.Selected = false;
    }
    if (!changed)
        return;
    if (Batching())
        FChangedWhileBatching = true;
    else
        emit SelectionChanged();
}

void TMainList::SelectOnly(int row) {
    for (int i = 0; i < Count(); ++i)
        FRows[std::size_t(i)].Selected = i == row;
    if (Batching())
        FChangedWhileBatching = true;
    else
        emit SelectionChanged();
}

std::vector<int> TMainList::SelectedRows() const {
    std::vector<int> rows;
    for (int i = 0; i < Count(); ++i)
        if (FRows[std::size_t(i)].Selected)
            rows.push_back(i);
    return rows;
}

int TMainList::SelectedCount() const {
    return int(std::count_if(FRows.begin(), FRows.end(), [](const auto& r) { return r.Selected; }));
}

int TMainList::FirstSelected() const {
    for (int i = 0; i < Count(); ++i)
        if (FRows[std::size_t(i)].Selected)
            return i;
    return -1;
}

void TMainList::Reorder(const std::vector<int>& order) {
    std::vector<TMainListRow> rows;
    rows.reserve(order.size());
    for (int old : order)
        rows.push_back(std::move(FRows[std::size_t(old)]));
    FRows = std::move(rows);
    if (Batching())
        FChangedWhileBatching = true;
    else
        emit Reset();
}

void TMainList::BeginUpdate() {
    ++FUpdateDepth;
}

void TMainList::EndUpdate() {
    if (FUpdateDepth == 0 || --FUpdateDepth > 0)
        return;
    if (FChangedWhileBatching) {
        FChangedWhileBatching = false;
        emit Reset();
    }
}

int FindMP3ListItem(const TMainList& AKelmListView, const TMP3FileData* AMP3FileData) {
    return AMP3FileData ? AKelmListView.IndexOf(AMP3FileData) : -1;
}
