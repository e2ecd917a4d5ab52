#pragma once

#include "catalogue/MP3FileData.h"
#include "ui/ListRows.h"
#include "ui/MainListColumns.h"

#include <QObject>
#include <array>
#include <vector>

// One row of the main list: its twelve cells in column order (cell 0 is the caption), the
// record it shows (not owned) and whether it is selected.
struct TMainListRow {
    std::array<QString, MainListColumnCount> Cells;
    TMP3FileData* Data = nullptr;
    bool Selected = false;
};

// The rows of the main list in display order. Views follow it through the signals; between
// BeginUpdate and EndUpdate the changes are gathered into one Reset, so that filling a long
// list does not redraw it row by row.
class TMainList : public QObject, public TKelmListRows {
    Q_OBJECT
public:
    int Count() const { return int(FRows.size()); }

    int ColumnCount() const override { return MainListColumnCount; }
    int RowCount() const override { return Count(); }
    QString CellText(int row, int column) const override { return Cell(row, column); }
    int SelectedRow() const override { return FirstSelected(); }
    void SelectOnly(int row) override;
    const TMainListRow& Row(int index) const { return FRows[std::size_t(index)]; }
    const QString& Cell(int index, int column) const {
        return Row(index).Cells[std::size_t(column)];
    }

    int Append(TMP3FileData* data, std::array<QString, MainListColumnCount> cells);
    void SetCells(int index, const std::array<QString, MainListColumnCount>& cells);
    void SetCell(int index, int column, const QString& text);
    void Remove(int index);
    void Clear();
    // Empties the list as Clear does but hands the rows over: a long list's rows can then be
    // freed a slice at a time, between which the window handles its events.
    std::vector<TMainListRow> TakeRows();
    // Room for count rows in all, so that a long list grows without moving the rows it holds.
    void Reserve(int count) { FRows.reserve(std::size_t(count)); }

    // The first row, from the top, that shows the record; -1 when none does.
    int IndexOf(const TMP3FileData* data) const;

    void SetSelected(int index, bool selected);
    void ClearSelection();
    std::vector<int> SelectedRows() const; // top to bottom
    int SelectedCount() const;
    // The first selected row, or -1.
    int FirstSelected() const;
    // Asks the view to give the row the focus and scroll it into view.
    void FocusRow(int index) { emit FocusRequested(index); }

    // Puts the rows in a new order: order[i] is the old index of the row that becomes row i.
    void Reorder(const std::vector<int>& order) override;

    void BeginUpdate();
    void EndUpdate();

signals:
    void Reset();
    void RowsInserted(int first, int last);
    void RowChanged(int index);
    void RowRemoved(int index);
    void SelectionChanged();
    void FocusRequested(int index);

private:
    bool Batching() const { return FUpdateDepth > 0; }

    std::vector<TMainListRow> FRows;
    int FUpdateDepth = 0;
    bool FChangedWhileBatching = false;
};

// Suspends the drawing of the main list's rows for a batch of changes, whatever ends the batch.
class TMainListUpdateGuard {
public:
    explicit TMainListUpdateGuard(TMainList& list) : FList(list) { FList.BeginUpdate(); }
    ~TMainListUpdateGuard() { FList.EndUpdate(); }
    TMainListUpdateGuard(const TMainListUpdateGuard&) = delete;
    TMainListUpdateGuard& operator=(const TMainListUpdateGuard&) = delete;

private:
    TMainList& FList;
};

// The first row of the list that refers to the record, or -1 when no row does.
int FindMP3ListItem(const TMainList& AKelmListView, const TMP3FileData* AMP3FileData);
