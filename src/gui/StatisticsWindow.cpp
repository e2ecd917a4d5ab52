#include "gui/StatisticsWindow.h"

#include "gui/BarChart.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

using TPage = TStatisticsWindowState::TPage;

namespace {

constexpr const char* PageCaptions[] = {"Artists", "Years", "Genres"};
constexpr int ColumnWidths[] = {200, 150, 150};

} // namespace

StatisticsWindow::StatisticsWindow(TMainWindowState& mainState, QWidget* parent)
    : QDialog(parent), FState(mainState) {
    setWindowTitle(QStringLiteral("Statistics"));
    setObjectName(QStringLiteral("StatisticsWindow"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CreateTotals());
    FPages = new QTabWidget;
    for (int page = 0; page < TStatisticsWindowState::PageCount; ++page)
        FPages->addTab(CreatePage(TPage(page)), QString::fromLatin1(PageCaptions[page]));
    layout->addWidget(FPages, 1);
    FStatusLabel = new QLabel;
    layout->addWidget(FStatusLabel);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    buttons->button(QDialogButtonBox::Close)->setDefault(true);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    connect(FPages, &QTabWidget::currentChanged, this,
            [this](int page) { FState.SetPage(TPage(page)); });

    FState.OnShow = [this] { exec(); };
    FState.OnClose = [this] { accept(); };
    FState.OnChanged = [this] { ShowState(); };
    ShowState();
    resize(640, 620);
}

QWidget* StatisticsWindow::CreateTotals() {
    auto* group = new QGroupBox(QStringLiteral("MP3"));
    auto* grid = new QGridLayout(group);
    for (int total = 0; total < TStatisticsWindowState::TotalCount; ++total) {
        grid->addWidget(
            new QLabel(TStatisticsWindowState::TotalTitle(TStatisticsWindowState::TTotal(total))),
            total, 0);
        FTotals[total] = new QLabel;
        grid->addWidget(FTotals[total], total, 1, Qt::AlignRight);
    }
    group->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(group, &QWidget::customContextMenuRequested, this, [this, group](const QPoint& pos) {
        QMenu menu;
        connect(menu.addAction(QStringLiteral("Export...")), &QAction::triggered, this,
                [this] { FState.ExportTotals(); });
        menu.exec(group->mapToGlobal(pos));
    });
    return group;
}

QWidget* StatisticsWindow::CreatePage(TPage page) {
    auto* widget = new QWidget;
    auto* layout = new QVBoxLayout(widget);
    auto* table = new QTableWidget(0, 3);
    table->setHorizontalHeaderLabels(TStatisticsWindowState::ColumnCaptions(page));
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->verticalHeader()->hide();
    table->setShowGrid(false);
    table->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (int c = 0; c < 3; ++c)
        table->setColumnWidth(c, ColumnWidths[c]);
    // The selection stays visible when the table loses the focus.
    QPalette palette = table->palette();
    palette.setBrush(QPalette::Inactive, QPalette::Highlight,
                     palette.brush(QPalette::Active, QPalette::Highlight));
    palette.setBrush(QPalette::Inactive, QPalette::HighlightedText,
                     palette.brush(QPalette::Active, QPalette::HighlightedText));
    table->setPalette(palette);
    FTables[page] = table;
    layout->addWidget(table, 2);

    connect(table, &QTableWidget::itemSelectionChanged, this, [this, page, table] {
        const QList<QTableWidgetItem*> items = table->selectedItems();
        FState.Table(page).SelectOnly(items.isEmpty() ? -1 : items.first()->row());
    });
    connect(table, &QTableWidget::cellDoubleClicked, this,
            [this, page] { FState.SelectAssociatedItems(page); });
    connect(table->horizontalHeader(), &QHeaderView::sectionClicked, this, [this, page](int c) {
        FState.Sorting(page).ColumnClick(c);
        ShowTable(page);
    });
    table->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(table, &QWidget::customContextMenuRequested, this,
            [this, page, table](const QPoint& pos) {
                QMenu menu;
                QAction* select = menu.addAction(QStringLiteral("Select Associated Item(s)"));
                QFont bold = select->font();
                bold.setBold(true);
                select->setFont(bold);
                connect(select, &QAction::triggered, this,
                        [this, page] { FState.SelectAssociatedItems(page); });
                menu.addSeparator();
                connect(menu.addAction(QStringLiteral("Export...")), &QAction::triggered, this,
                        [this, page] { FState.ExportKelmListView(page); });
                menu.exec(table->viewport()->mapToGlobal(pos));
            });

    if (page != TStatisticsWindowState::Artists) {
        auto* chart = new BarChart;
        FCharts[page] = chart;
        layout->addWidget(chart, 1);
        connect(chart, &BarChart::EntryClicked, this,
                [this, page](int row) { SelectEntry(page, row); });
    }
    return widget;
}

void StatisticsWindow::ShowTable(TPage page) {
    const TKelmTextRows& rows = FState.Table(page);
    QTableWidget* table = FTables[page];
    table->setUpdatesEnabled(false);
    table->clearSelection();
    table->setRowCount(rows.RowCount());
    QList<std::pair<QString, int>> entries;
    for (int row = 0; row < rows.RowCount(); ++row) {
        for (int c = 0; c < 3; ++c)
            table->setItem(row, c, new QTableWidgetItem(rows.CellText(row, c)));
        entries.append({rows.CellText(row, 0), rows.CellText(row, 1).toInt()});
    }
    table->setUpdatesEnabled(true);
    const TKelmListSort& sort = FState.Sorting(page);
    table->horizontalHeader()->setSortIndicatorShown(sort.LastSortIndex() >= 0);
    table->horizontalHeader()->setSortIndicator(
        sort.LastSortIndex(), sort.LastSortAscending() ? Qt::AscendingOrder : Qt::DescendingOrder);
    if (FCharts[page])
        FCharts[page]->SetBars(page == TStatisticsWindowState::Years ? YearBars(entries)
                                                                     : BiggestFirstBars(entries));
}

void StatisticsWindow::ShowState() {
    for (int total = 0; total < TStatisticsWindowState::TotalCount; ++total)
        FTotals[total]->setText(FState.TotalValue(TStatisticsWindowState::TTotal(total)));
    for (int page = 0; page < TStatisticsWindowState::PageCount; ++page)
        ShowTable(TPage(page));
    if (FPages->currentIndex() != FState.Page()) {
        const QSignalBlocker block(FPages);
        FPages->setCurrentIndex(FState.Page());
    }
    FStatusLabel->setText(FState.StatusLabel());
}

void StatisticsWindow::SelectEntry(TPage page, int row) {
    QTableWidget* table = FTables[page];
    table->selectRow(row);
    table->scrollToItem(table->item(row, 0));
}
