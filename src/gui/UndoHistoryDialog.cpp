#include "gui/UndoHistoryDialog.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

UndoHistoryDialog::UndoHistoryDialog(TMainWindowState& state, QWidget* parent)
    : QDialog(parent), FUndoRuns(state) {
    setObjectName(QStringLiteral("UndoHistoryDialog"));
    setWindowTitle(QStringLiteral("Undo History"));
    resize(560, 360);
    FList = new QTreeWidget;
    FList->setRootIsDecorated(false);
    FList->setUniformRowHeights(true);
    FList->setHeaderLabels({QStringLiteral("Date"), QStringLiteral("Operation"),
                            QStringLiteral("Files"), QStringLiteral("Undoable")});
    FList->header()->setStretchLastSection(false);
    FList->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    auto* buttons = new QDialogButtonBox;
    FUndo = buttons->addButton(QStringLiteral("Undo"), QDialogButtonBox::ActionRole);
    buttons->addButton(QDialogButtonBox::Close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(FList);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(FUndo, &QPushButton::clicked, this, &UndoHistoryDialog::UndoChosen);
    connect(FList, &QTreeWidget::currentItemChanged, this,
            [this] { FUndo->setEnabled(FList->currentItem() != nullptr); });
}

void UndoHistoryDialog::Connect(QAction* undoLastChanges, QAction* undoHistory) {
    connect(undoLastChanges, &QAction::triggered, this,
            [this] { FUndoRuns.UndoLastChangesClick(); });
    connect(undoHistory, &QAction::triggered, this, &UndoHistoryDialog::Execute);
}

void UndoHistoryDialog::Execute() {
    ShowRuns();
    // Modal to the window, without an event loop of its own.
    setModal(true);
    show();
    raise();
}

void UndoHistoryDialog::ShowRuns() {
    FRuns = FUndoRuns.Runs();
    FList->clear();
    for (qsizetype i = 0; i < FRuns.size(); ++i) {
        auto* item = new QTreeWidgetItem(FList, TUndoRuns::HistoryCells(FRuns, i));
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
    }
    for (int c = 0; c < FList->columnCount(); ++c)
        if (c != 1)
            FList->resizeColumnToContents(c);
    if (FList->topLevelItemCount() > 0)
        FList->setCurrentItem(FList->topLevelItem(0));
    FUndo->setEnabled(FList->currentItem() != nullptr);
}

void UndoHistoryDialog::UndoChosen() {
    const int index = FList->indexOfTopLevelItem(FList->currentItem());
    if (FUndoRuns.UndoRunClick(FRuns, index))
        ShowRuns();
}
