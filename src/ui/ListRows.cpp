#include "ui/ListRows.h"

#include "ui/ListSort.h"

void TKelmTextRows::AddRow(QStringList cells) {
    FRows.push_back({std::move(cells), false});
}

QString TKelmTextRows::CellText(int row, int column) const {
    return FRows.at(row).Cells.value(column);
}

void TKelmTextRows::Reorder(const std::vector<int>& order) {
    PermuteRows(FRows, order);
}

int TKelmTextRows::SelectedRow() const {
    for (int i = 0; i < RowCount(); ++i)
        if (FRows[i].Selected)
            return i;
    return -1;
}

void TKelmTextRows::SelectOnly(int row) {
    for (int i = 0; i < RowCount(); ++i)
        FRows[i].Selected = i == row;
}
