#include "gui/MainListModel.h"

#include "ui/MainList.h"

#include <QApplication>
#include <QPalette>

MainListModel::MainListModel(TMainList& list, QObject* parent)
    : QAbstractTableModel(parent), FList(list), FRowCount(list.Count()) {
    // The list reports its changes after making them; a batch or a removal resets the model.
    // Until it reports them the view goes on seeing the rows it was told of: a batch (a browse)
    // adds rows for a long time while the window handles its events.
    const auto reset = [this] {
        beginResetModel();
        FRowCount = FList.Count();
        endResetModel();
        emit RowsReplaced();
    };
    connect(&list, &TMainList::Reset, this, reset);
    connect(&list, &TMainList::RowRemoved, this, reset);
    connect(&list, &TMainList::RowsInserted, this, [this](int first, int last) {
        beginInsertRows({}, first, last);
        FRowCount = FList.Count();
        endInsertRows();
    });
    connect(&list, &TMainList::RowChanged, this, [this](int row) {
        emit dataChanged(index(row, 0), index(row, MainListColumnCount - 1));
    });
}

int MainListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : FRowCount;
}

int MainListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : MainListColumnCount;
}

QVariant MainListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= FRowCount || index.row() >= FList.Count())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return FList.Cell(index.row(), index.column());
    case Qt::ForegroundRole:
        if (FList.Cell(index.row(), mcMismatch) == u"Yes")
            return QApplication::palette().brush(QPalette::Disabled, QPalette::Text);
        return {};
    default:
        return {};
    }
}

QVariant MainListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < MainListColumnCount)
        return QString::fromLatin1(MainListColumns[std::size_t(section)].Caption);
    return QAbstractTableModel::headerData(section, orientation, role);
}
