#include "gui/MainWindow.h"

#include "gui/DataFileUpdateDialog.h"
#include "gui/FindDialog.h"
#include "gui/GuiUiPort.h"
#include "gui/MainListModel.h"
#include "gui/OptionsDialog.h"
#include "gui/PropertiesDialog.h"
#include "gui/StatisticsWindow.h"
#include "gui/UndoHistoryDialog.h"
#include "gui/UpdateNotificationWindow.h"
#include "refdata/DataFileNames.h"
#include "settings/StoreNames.h"
#include "support/PlatformFolders.h"
#include "ui/AppUpdateCheck.h"
#include "ui/DataFileUpdate.h"
#include "ui/ExportCommand.h"
#include "ui/ToolCommands.h"
#include "ui/Version.h"

#include <QAction>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {

// Commands whose work is built; the others stay disabled until theirs is.
bool Implemented(TCommand c) {
    switch (c) {
    case TCommand::Browse:
    case TCommand::Open:
    case TCommand::Export:
    case TCommand::Exit:
    case TCommand::Find:
    case TCommand::Fix:
    case TCommand::Refresh:
    case TCommand::UndoLastChanges:
    case TCommand::UndoHistory:
    case TCommand::MP3val:
    case TCommand::MP3Gain:
    case TCommand::Mp3tag:
    case TCommand::Statistics:
    case TCommand::Options:
    case TCommand::UpdateDataFiles:
    case TCommand::ReleaseNotes:
    case TCommand::CheckForUpdates:
    case TCommand::About:
        return true;
    default:
        return false;
    }
}

QStyle::StandardPixmap IconOf(TCommand c) {
    switch (c) {
    case TCommand::Browse:
        return QStyle::SP_DirOpenIcon;
    case TCommand::Open:
        return QStyle::SP_DialogOpenButton;
    case TCommand::Export:
        return QStyle::SP_DialogSaveButton;
    case TCommand::Find:
        return QStyle::SP_FileDialogContentsView;
    case TCommand::Fix:
        return QStyle::SP_DialogApplyButton;
    case TCommand::Refresh:
        return QStyle::SP_BrowserReload;
    case TCommand::MP3val:
        return QStyle::SP_DialogYesButton;
    case TCommand::MP3Gain:
        return QStyle::SP_MediaVolume;
    case TCommand::Mp3tag:
        return QStyle::SP_FileDialogDetailedView;
    case TCommand::Statistics:
        return QStyle::SP_FileDialogInfoView;
    case TCommand::UpdateDataFiles:
        return QStyle::SP_ArrowDown;
    case TCommand::Options:
        return QStyle::SP_FileDialogListView;
    case TCommand::About:
        return QStyle::SP_MessageBoxInformation;
    case TCommand::Exit:
        return QStyle::SP_DialogCloseButton;
    default:
        return QStyle::SP_CustomBase;
    }
}

// A path shown as a menu caption: "&" would become an accelerator.
QString MenuCaption(QString path) {
    return path.replace(u'&', QStringLiteral("&&"));
}

QStringList LocalPaths(const QMimeData* mime) {
    QStringList paths;
    if (mime)
        for (const QUrl& url : mime->urls())
            if (url.isLocalFile())
                paths.append(url.toLocalFile());
    return paths;
}

} // namespace

MainWindow::MainWindow(const TMainWindowPaths& paths, const UiFactory& uiFactory, QWidget* parent)
    : QMainWindow(parent) {
    setWindowTitle(QStringLiteral("Varnholm"));
    setObjectName(QStringLiteral("MainWindow"));
    setAcceptDrops(true);
    resize(957, 621);

    FProgressBar = new QProgressBar;
    FStatusLabel = new QLabel;
    FUi = uiFactory ? uiFactory(this, FProgressBar, FStatusLabel)
                    : std::make_unique<GuiUiPort>(this, FProgressBar, FStatusLabel);
    FState = std::make_unique<TMainWindowState>(*FUi, paths);
    FExport = std::make_unique<TExportCommand>(*FState);

    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateList();
    CreateContextMenu();
    statusBar()->addWidget(FStatusLabel, 1);
    ConnectState();

    FState->Startup();
    FOptionsDialog = new OptionsDialog(FState->OptionsDialog(), this);
    FPropertiesDialog = new PropertiesDialog(FState->PropertiesDialog(), this);
    FDataFileUpdate = std::make_unique<TDataFileUpdate>(FState->Ui(), FState->Options(),
                                                        FState->UpdateDataFilesKelmFlatFile(),
                                                        FState->ReferenceData());
    FDataFileUpdateDialog = new DataFileUpdateDialog(*FDataFileUpdate, this);
    FStatistics = new StatisticsWindow(*FState, this);
    FUndoHistory = new UndoHistoryDialog(*FState, this);
    FUndoHistory->Connect(Action(TCommand::UndoLastChanges), Action(TCommand::UndoHistory));
    FAppUpdate = std::make_unique<TAppUpdateCheck>(*FUi);
    ConnectToDesktop(*FAppUpdate, this);
    FState->UpdateStatusBar();
    RestorePlacement();
    ShowSortArrow();
    RefreshActions();
}

MainWindow::~MainWindow() {
    // The state goes before the widgets that follow it: nothing may reach them any more.
    FState->MainList().disconnect();
    FState->disconnect();
}

void MainWindow::CreateActions() {
    for (const TCommandInfo& info : CommandTable) {
        auto* action = new QAction(QString::fromLatin1(info.MenuText), this);
        if (*info.Shortcut)
            action->setShortcut(QKeySequence(QString::fromLatin1(info.Shortcut)));
        if (*info.ToolbarHint) {
            action->setIconText(QString::fromLatin1(info.ToolbarHint));
            action->setToolTip(QString::fromLatin1(info.ToolbarHint));
            action->setIcon(style()->standardIcon(IconOf(info.Command)));
        }
        action->setEnabled(false);
        FActions[static_cast<int>(info.Command)] = action;
    }
    connect(Action(TCommand::Browse), &QAction::triggered, this,
            [this] { FState->BrowseCommand(); });
    connect(Action(TCommand::Open), &QAction::triggered, this, [this] { FState->OpenCommand(); });
    connect(Action(TCommand::Export), &QAction::triggered, this,
            [this] { FExport->ExportToolButtonClick(); });
    connect(Action(TCommand::Statistics), &QAction::triggered, this,
            [this] { FStatistics->State().StatisticsToolButtonClick(); });
    connect(Action(TCommand::Exit), &QAction::triggered, this, &QWidget::close);
    connect(Action(TCommand::Fix), &QAction::triggered, this,
            [this] { FState->FixToolButtonClick(); });
    connect(Action(TCommand::Refresh), &QAction::triggered, this,
            [this] { FState->RefreshToolButtonClick(); });
    connect(Action(TCommand::MP3val), &QAction::triggered, this,
            [this] { FState->Tools().MP3valToolButtonClick(); });
    connect(Action(TCommand::MP3Gain), &QAction::triggered, this,
            [this] { FState->Tools().MP3GainToolButtonClick(); });
    connect(Action(TCommand::Mp3tag), &QAction::triggered, this,
            [this] { FState->Tools().Mp3tagToolButtonClick(); });
    connect(Action(TCommand::Find), &QAction::triggered, this, [this] {
        if (FState->MainList().Count() > 0)
            FState->ListView().Find();
    });
    connect(Action(TCommand::Options), &QAction::triggered, this,
            [this] { FOptionsDialog->Execute(); });
    connect(Action(TCommand::UpdateDataFiles), &QAction::triggered, this,
            [this] { FDataFileUpdateDialog->Execute(); });
    connect(Action(TCommand::ReleaseNotes), &QAction::triggered, this,
            &MainWindow::ShowReleaseNotes);
    connect(Action(TCommand::CheckForUpdates), &QAction::triggered, this,
            [this] { RunCheckForUpdates(*FAppUpdate, FState->Options(), this); });
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
    toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    for (TCommand command : ToolbarOrder) {
        if (CommandInfo(command).ToolbarSeparatorBefore)
            toolBar->addSeparator();
        toolBar->addAction(Action(command));
    }
    // A right click on Browse or Open offers the recently used folders or files.
    const std::pair<TCommand, QMenu* (MainWindow::*)()> histories[] = {
        {TCommand::Browse, &MainWindow::BuildBrowseHistoryMenu},
        {TCommand::Open, &MainWindow::BuildOpenHistoryMenu}};
    for (const auto& [command, build] : histories) {
        QWidget* button = toolBar->widgetForAction(Action(command));
        button->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(button, &QWidget::customContextMenuRequested, this,
                [this, button, build = build](const QPoint& pos) {
                    std::unique_ptr<QMenu> menu((this->*build)());
                    menu->exec(button->mapToGlobal(pos));
                });
    }
}

QMenu* MainWindow::BuildBrowseHistoryMenu() {
    auto* menu = new QMenu(this);
    const QStringList& history = FState->BrowseHistory();
    for (int i = 0; i < history.size(); ++i)
        connect(menu->addAction(MenuCaption(history[i])), &QAction::triggered, this,
                [this, i] { FState->BrowseHistoryClick(i); });
    return menu;
}

QMenu* MainWindow::BuildOpenHistoryMenu() {
    auto* menu = new QMenu(this);
    const QStringList& history = FState->OpenHistory();
    for (int i = 0; i < history.size(); ++i)
        connect(menu->addAction(MenuCaption(history[i])), &QAction::triggered, this,
                [this, i] { FState->OpenHistoryClick(i); });
    return menu;
}

void MainWindow::CreateList() {
    FModel = new MainListModel(FState->MainList(), this);
    FListView = new QTableView;
    FListView->setModel(FModel);
    FListView->setSelectionBehavior(QAbstractItemView::SelectRows);
    FListView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    FListView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FListView->setShowGrid(false);
    FListView->setWordWrap(false);
    FListView->setAlternatingRowColors(false);
    FListView->verticalHeader()->hide();
    FListView->verticalHeader()->setDefaultSectionSize(FListView->fontMetrics().height() + 6);
    QHeaderView* header = FListView->horizontalHeader();
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (int c = 0; c < MainListColumnCount; ++c)
        FListView->setColumnWidth(c, MainListColumns[std::size_t(c)].DefaultWidth);
    // The selection of an unfocused list keeps the colours of a focused one.
    QPalette palette = FListView->palette();
    palette.setBrush(QPalette::Inactive, QPalette::Highlight,
                     palette.brush(QPalette::Active, QPalette::Highlight));
    palette.setBrush(QPalette::Inactive, QPalette::HighlightedText,
                     palette.brush(QPalette::Active, QPalette::HighlightedText));
    FListView->setPalette(palette);
    FListView->viewport()->installEventFilter(this);
    FListView->installEventFilter(this);
    FListView->setContextMenuPolicy(Qt::CustomContextMenu);

    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(FListView);
    FProgressBar->setRange(0, 32767);
    FProgressBar->setValue(0);
    FProgressBar->setTextVisible(false);
    layout->addWidget(FProgressBar);
    setCentralWidget(central);

    connect(header, &QHeaderView::sectionClicked, this, &MainWindow::HeaderClicked);
    connect(FListView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &MainWindow::SyncSelectionToList);
    connect(FModel, &MainListModel::RowsReplaced, this, &MainWindow::SyncSelectionFromList);
    connect(FListView, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            ShowProperties();
    });
    connect(FListView, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        PrepareContextMenu();
        FContextMenu->exec(FListView->viewport()->mapToGlobal(pos));
    });
}

void MainWindow::CreateContextMenu() {
    FContextMenu = new QMenu(this);
    PrepareContextMenu();
}

void MainWindow::PrepareContextMenu() {
    // The items and their states are taken from the state each time the menu opens.
    const TContextMenuState menu = FState->PopupMenu1Popup();
    TMainWindowState* state = FState.get();
    FContextMenu->clear();
    auto add = [this](QMenu* into, const char* caption, bool enabled, auto handler) {
        QAction* action = into->addAction(QString::fromLatin1(caption));
        action->setEnabled(enabled);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    // Properties is the default item, shown in bold as a double click would run it.
    QAction* properties =
        add(FContextMenu, "Properties", menu.Properties, [this] { ShowProperties(); });
    QFont bold = properties->font();
    bold.setBold(true);
    properties->setFont(bold);
    FContextMenu->setDefaultAction(properties);
    FContextMenu->addSeparator();
    add(FContextMenu, "Fix", menu.Fix, [state] { state->Fix1Click(); });
    add(FContextMenu, "Refresh", menu.Refresh, [state] { state->Refresh1Click(); });
    FContextMenu->addSeparator();
    add(FContextMenu, "Explore", menu.Explore, [this] { Explore(); });
    FContextMenu->addSeparator();
    add(FContextMenu, "Mp3tag", menu.Mp3tag, [state] { state->Tools().Mp3tag2Click(); });
    FContextMenu->addSeparator();
    QMenu* clear = FContextMenu->addMenu(QStringLiteral("Clear"));
    clear->setEnabled(menu.Clear);
    add(clear, "Comments", true, [state] { state->Comments1Click(); });
    add(clear, "Cover Art", true, [state] { state->CoverArt1Click(); });
    add(clear, "Genre", true, [state] { state->Genre1Click(); });
    add(clear, "Title Suffix", true, [state] { state->TitleSuffix1Click(); });
    add(clear, "Track Number", true, [state] { state->TrackNumber1Click(); });
    FContextMenu->addSeparator();
    QMenu* suffixes = FContextMenu->addMenu(QStringLiteral("Add Suffix To Title"));
    suffixes->setEnabled(menu.AddSuffixToTitle);
    for (const QString& suffix : menu.AddSuffixToTitleItems)
        connect(suffixes->addAction(MenuCaption(suffix)), &QAction::triggered, this,
                [state, suffix] { state->AddSuffixToTitlePopupMenuClick(suffix); });
    add(FContextMenu, "Lowercase Title", menu.LowercaseTitle,
        [state] { state->LowercaseTitle1Click(); });
    add(FContextMenu, "Replace [] By () In Title", menu.ReplaceByInTitle,
        [state] { state->ReplaceByInTitle1Click(); });
    FContextMenu->addSeparator();
    QMenu* genres = FContextMenu->addMenu(QStringLiteral("Set Genre To"));
    genres->setEnabled(menu.SetGenreTo);
    for (const QString& genre : menu.SetGenreToItems)
        connect(genres->addAction(MenuCaption(genre)), &QAction::triggered, this,
                [state, genre] { state->SetGenreToPopupMenuClick(genre); });
    FContextMenu->addSeparator();
    add(FContextMenu, "Embed Cover Art", menu.EmbedCoverArt,
        [state] { state->EmbedCoverArt1Click(); });
}

void MainWindow::ConnectState() {
    TMainWindowState& state = *FState;
    connect(&state, &TMainWindowState::CommandStatesChanged, this, &MainWindow::RefreshActions);
    connect(&state, &TMainWindowState::ListToolTipChanged, this,
            [this](const QString& tip) { FListView->setToolTip(tip); });
    connect(&state.MainList(), &TMainList::SelectionChanged, this,
            &MainWindow::SyncSelectionFromList);
    connect(&state.MainList(), &TMainList::FocusRequested, this, [this](int row) {
        const QModelIndex index = FModel->index(row, 0);
        FListView->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
        FListView->scrollTo(index);
        FListView->setFocus();
    });
    state.MainListColumnWidths = [this] {
        QList<int> widths;
        for (int c = 0; c < MainListColumnCount; ++c)
            widths.append(FListView->columnWidth(c));
        return widths;
    };
    state.SetMainListColumnWidths = [this](const QList<int>& widths) {
        for (int c = 0; c < widths.size() && c < MainListColumnCount; ++c)
            FListView->setColumnWidth(c, widths[c]);
    };
    state.ListView().OnFindDialogChanged = [this] { UpdateFindDialog(); };
    state.ListView().OnFocusList = [this] { FListView->setFocus(); };
}

void MainWindow::RefreshActions() {
    for (const TCommandInfo& info : CommandTable)
        Action(info.Command)
            ->setEnabled(Implemented(info.Command) && FState->CommandEnabled(info.Command));
}

void MainWindow::SyncSelectionFromList() {
    if (FSyncingSelection)
        return;
    FSyncingSelection = true;
    QItemSelection selection;
    const TMainList& list = FState->MainList();
    int first = -1;
    for (int row = 0; row <= list.Count(); ++row) {
        const bool selected = row < list.Count() && list.Row(row).Selected;
        if (selected && first < 0)
            first = row;
        if (!selected && first >= 0) {
            selection.select(FModel->index(first, 0),
                             FModel->index(row - 1, MainListColumnCount - 1));
            first = -1;
        }
    }
    FListView->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    FSyncingSelection = false;
}

void MainWindow::SyncSelectionToList(const QItemSelection& selected,
                                     const QItemSelection& deselected) {
    if (FSyncingSelection)
        return;
    FSyncingSelection = true;
    TMainList& list = FState->MainList();
    for (const QItemSelectionRange& range : deselected)
        for (int row = range.top(); row <= range.bottom(); ++row)
            if (row < list.Count())
                list.SetSelected(row, false);
    for (const QItemSelectionRange& range : selected)
        for (int row = range.top(); row <= range.bottom(); ++row)
            if (row < list.Count())
                list.SetSelected(row, true);
    FSyncingSelection = false;
}

void MainWindow::HeaderClicked(int column) {
    // Reordering the rows under a running operation would move its rows away from it.
    if (!FState->CanChangeList())
        return;
    FState->ListView().ColumnClick(column);
    ShowSortArrow();
}

void MainWindow::ShowSortArrow() {
    QHeaderView* header = FListView->horizontalHeader();
    const TKelmListSort& sort = FState->ListView();
    if (sort.LastSortIndex() < 0) {
        header->setSortIndicatorShown(false);
        return;
    }
    header->setSortIndicatorShown(true);
    header->setSortIndicator(sort.LastSortIndex(),
                             sort.LastSortAscending() ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void MainWindow::UpdateFindDialog() {
    const auto& dialog = FState->ListView().FindDialog();
    if (!dialog || !dialog->Visible) {
        if (FFindDialog)
            FFindDialog->hide();
        return;
    }
    if (!FFindDialog) {
        FFindDialog = new FindDialog(this);
        connect(FFindDialog, &FindDialog::FindClicked, this,
                [this](const QString& text) { FState->ListView().FindDialogFind(text); });
        connect(FFindDialog, &FindDialog::Closed, this,
                [this] { FState->ListView().FindDialogClosed(); });
    }
    FFindDialog->SetText(dialog->Text);
    FFindDialog->show();
    FFindDialog->raise();
    FFindDialog->activateWindow();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == FListView->viewport() && event->type() == QEvent::MouseButtonRelease) {
        FState->ListClick();
    } else if (watched == FListView && event->type() == QEvent::KeyRelease) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down)
            FState->ListClick();
    } else if (watched == FListView && event->type() == QEvent::KeyPress &&
               FState->MainList().Count() > 0) {
        const auto* keyEvent = static_cast<QKeyEvent*>(event);
        if (keyEvent->key() == Qt::Key_F3 && keyEvent->modifiers() == Qt::NoModifier) {
            FState->ListView().FindNext();
            return true;
        }
        if (keyEvent->key() == Qt::Key_Return || keyEvent->key() == Qt::Key_Enter) {
            ShowProperties();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::ShowProperties() {
    FPropertiesDialog->Execute();
}

void MainWindow::HandleCommandLine(const QStringList& arguments) {
    FState->HandleCommandLine(arguments);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!LocalPaths(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QStringList paths = LocalPaths(event->mimeData());
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    FState->HandleDrop(paths);
}

void MainWindow::RestorePlacement() {
    TFormPlacement placement{height(), x(), y(), width(), TFormState::Normal};
    const QScreen* screen = this->screen();
    const QSize screenSize = screen ? screen->availableSize() : QSize(1280, 800);
    FState->Store().GetFormInfo(StoreNames::MainWindowFormInfo, placement, true, screenSize);
    if (placement.Width > 0 && placement.Height > 0)
        setGeometry(placement.Left, placement.Top, placement.Width, placement.Height);
    if (placement.State == TFormState::Maximized)
        setWindowState(windowState() | Qt::WindowMaximized);
}

void MainWindow::StorePlacement() {
    const QRect normal = isMaximized() || isMinimized() ? normalGeometry() : geometry();
    const TFormState state = isMaximized()   ? TFormState::Maximized
                             : isMinimized() ? TFormState::Minimized
                                             : TFormState::Normal;
    FState->Store().SetFormInfo(StoreNames::MainWindowFormInfo,
                                {normal.height(), normal.x(), normal.y(), normal.width(), state});
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // A running operation would go on over records that shut-down releases: ask it to stop.
    if (!FState->CanChangeList()) {
        FState->ListClick();
        event->ignore();
        return;
    }
    if (!FClosed) {
        FClosed = true;
        if (FFindDialog)
            FFindDialog->close();
        FState->Shutdown();
        StorePlacement();
    }
    event->accept();
}

void MainWindow::ShowReleaseNotes() {
    const QString notes =
        PlatformFolders::InstalledDataFolder() + u'/' + DataFileNames::ReleaseNotes;
    if (QFileInfo::exists(notes))
        QDesktopServices::openUrl(QUrl::fromLocalFile(notes));
}

void MainWindow::ShowAbout() {
    QMessageBox::about(
        this, QStringLiteral("About Varnholm"),
        QStringLiteral("Varnholm %1\nKeeps an MP3 library in order.").arg(VersionTextWithBuild()));
}

void MainWindow::Explore() {
    const int row = FState->MainList().FirstSelected();
    if (row >= 0)
        QDesktopServices::openUrl(QUrl::fromLocalFile(FState->MainList().Cell(row, mcLocation)));
}
