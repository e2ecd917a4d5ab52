#include "gui/MainWindow.h"

#include "support/PlatformFolders.h"
#include "ui/MainListColumns.h"
#include "ui/Version.h"

#include <QAction>
#include <QDesktopServices>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

namespace {

// Commands that work from the first start; the others are enabled as they are built.
bool AvailableFromStart(TCommand c) {
    return c == TCommand::Exit || c == TCommand::ReleaseNotes || c == TCommand::About;
}

} // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("Varnholm"));
    setObjectName(QStringLiteral("MainWindow"));
    resize(957, 621);
    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateList();
    CreateStatusArea();
}

void MainWindow::CreateActions() {
    for (const TCommandInfo& info : CommandTable) {
        auto* action = new QAction(QString::fromLatin1(info.MenuText), this);
        if (*info.Shortcut)
            action->setShortcut(QKeySequence(QString::fromLatin1(info.Shortcut)));
        if (*info.ToolbarHint) {
            action->setIconText(QString::fromLatin1(info.ToolbarHint));
            action->setToolTip(QString::fromLatin1(info.ToolbarHint));
        }
        action->setEnabled(AvailableFromStart(info.Command));
        FActions[static_cast<int>(info.Command)] = action;
    }
    connect(Action(TCommand::Exit), &QAction::triggered, this, &QWidget::close);
    connect(Action(TCommand::ReleaseNotes), &QAction::triggered, this,
            &MainWindow::ShowReleaseNotes);
    connect(Action(TCommand::About), &QAction::triggered, this, &MainWindow::ShowAbout);
}

void MainWindow::CreateMenus() {
    const std::pair<TMenu, const char*> menus[] = {
        {TMenu::File, "&File"}, {TMenu::Tools, "&Tools"}, {TMenu::Help, "&Help"}};
    for (const auto& [menuId, title] : menus) {
        QMenu* menu = menuBar()->addMenu(QString::fromLatin1(title));
        for (const TCommandInfo& info : CommandTable) {
            if (info.Menu != menuId)
                continue;
            if (info.SeparatorBefore)
                menu->addSeparator();
            menu->addAction(Action(info.Command));
        }
    }
}

void MainWindow::CreateToolBar() {
    QToolBar* toolBar = addToolBar(QStringLiteral("Toolbar"));
    toolBar->setObjectName(QStringLiteral("MainToolBar"));
    toolBar->setMovable(false);
    toolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    for (TCommand command : ToolbarOrder) {
        if (CommandInfo(command).ToolbarSeparatorBefore)
            toolBar->addSeparator();
        toolBar->addAction(Action(command));
    }
}

void MainWindow::CreateList() {
    FListModel = new QStandardItemModel(0, MainListColumnCount, this);
    for (int c = 0; c < MainListColumnCount; ++c)
        FListModel->setHeaderData(c, Qt::Horizontal,
                                  QString::fromLatin1(MainListColumns[c].Caption));
    FListView = new QTableView;
    FListView->setModel(FListModel);
    FListView->setSelectionBehavior(QAbstractItemView::SelectRows);
    FListView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    FListView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FListView->setShowGrid(false);
    FListView->verticalHeader()->hide();
    FListView->horizontalHeader()->setSortIndicatorShown(true);
    FListView->horizontalHeader()->setSortIndicator(mcName, Qt::AscendingOrder);
    FListView->horizontalHeader()->setHighlightSections(false);
    for (int c = 0; c < MainListColumnCount; ++c)
        FListView->setColumnWidth(c, MainListColumns[c].DefaultWidth);

    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(FListView);
    FProgressBar = new QProgressBar;
    FProgressBar->setRange(0, 32767);
    FProgressBar->setValue(0);
    FProgressBar->setTextVisible(false);
    layout->addWidget(FProgressBar);
    setCentralWidget(central);
}

void MainWindow::CreateStatusArea() {
    FStatusLabel = new QLabel;
    statusBar()->addWidget(FStatusLabel, 1);
}

void MainWindow::ShowReleaseNotes() {
    const QString notes = PlatformFolders::InstalledDataFolder() + QStringLiteral("/Quenlor.txt");
    if (QFileInfo::exists(notes))
        QDesktopServices::openUrl(QUrl::fromLocalFile(notes));
}

void MainWindow::ShowAbout() {
    QMessageBox::about(
        this, QStringLiteral("About Varnholm"),
        QStringLiteral("Varnholm %1\nKeeps an MP3 library in order.").arg(VersionTextWithBuild()));
}
