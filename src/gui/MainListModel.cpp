#include "gui/MainListModel.h"

#include "ui/MainList.h"

#include <QApplication>
#include <QPalette>

MainListModel::MainListModel(TMainList& list, QObject* parent)
    : QAbstractTableModel(parent), FList(list) {
    // The list reports its changes after making them; a batch or a removal resets the model.
    connect(&list, &TMainList::Reset, this, [this] {
        beginResetModel();
        endResetModel();
        emit RowsReplaced();
    });
    connect(&list, &TMainList::RowRemoved, this, [this](int) {
        beginResetModel();
        endResetModel();
        emit RowsReplaced();
    });
    connect(&list, &TMainList::RowsInserted, this, [this](int first, int last) {
        beginInsertRows({}, first, last);
        endInsertRows();
    });
    connect(&list, &TMainList::RowChanged, this, [this](int row) {
        emit dataChanged(index(row, 0), index(row, MainListColumnCount - 1));
    });
}

int MainListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : FList.Count();
}

int MainListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : MainListColumnCount;
}

QVariant MainListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= FList.Count())
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
