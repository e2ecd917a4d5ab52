#pragma once

#include <QAbstractTableModel>

class TMainList;

// The main list as a table model: no item widgets, so that a library of 100,000 files scrolls
// smoothly. Rows whose Mismatch cell reads "Yes" are drawn in the disabled-text colour.
class MainListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit MainListModel(TMainList& list, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

signals:
    // After the rows were replaced as a whole (a browse, a sort): the view's selection must be
    // taken from the list again.
    void RowsReplaced();

private:
    TMainList& FList;
    int FRowCount; // the rows the views were told of
};
