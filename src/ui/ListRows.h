#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// What the list control needs from the rows it shows: the texts of their cells, a way to put
// them in a new order, and the selection. The main list and the statistics tables each give
// their rows this face; column 0 is a row's caption, column n its n-th value.
class TKelmListRows {
public:
    virtual ~TKelmListRows() = default;

    virtual int ColumnCount() const = 0;
    virtual int RowCount() const = 0;
    virtual QString CellText(int row, int column) const = 0;
    // order[i] is the current index of the row that moves to position i; every index
    // appears once. A row keeps its selection when it moves.
    virtual void Reorder(const std::vector<int>& order) = 0;
    // The selected row (the first one when several are), -1 when none is.
    virtual int SelectedRow() const = 0;
    // Clears the selection, then selects the one row.
    virtual void SelectOnly(int row) = 0;
};

// Rows that are plain texts, for lists whose rows refer to nothing else.
class TKelmTextRows : public TKelmListRows {
public:
    explicit TKelmTextRows(int columnCount) : FColumnCount(columnCount) {}

    // A row's cells, caption first; missing cells read as empty.
    void AddRow(QStringList cells);
    void Clear() { FRows.clear(); }
    const QStringList& Cells(int row) const { return FRows.at(row).Cells; }
    bool IsSelected(int row) const { return FRows.at(row).Selected; }
    void SetSelected(int row, bool selected) { FRows.at(row).Selected = selected; }

    int ColumnCount() const override { return FColumnCount; }
    int RowCount() const override { return static_cast<int>(FRows.size()); }
    QString CellText(int row, int column) const override;
    void Reorder(const std::vector<int>& order) override;
    int SelectedRow() const override;
    void SelectOnly(int row) override;

private:
    struct TRow {
        QStringList Cells;
        bool Selected = false;
    };
    int FColumnCount;
    std::vector<TRow> FRows;
};
