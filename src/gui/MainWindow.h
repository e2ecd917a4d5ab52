#pragma once

#include "ui/Commands.h"
#include "ui/MainWindowState.h"

#include <QItemSelection>
#include <QMainWindow>
#include <array>
#include <memory>

class DataFileUpdateDialog;
class FindDialog;
class GuiUiPort;
class MainListModel;
class OptionsDialog;
class PropertiesDialog;
class StatisticsWindow;
class UndoHistoryDialog;
class TExportCommand;
class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QTableView;
class TAppUpdateCheck;
class TDataFileUpdate;

// The program's one long-lived window: toolbar, main menu, the list, progress and status bar.
// It shows the headless main window state and forwards the person's gestures to it.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // Makes the window's UiPort over its progress bar and status line; tests give one whose
    // message boxes and pickers answer from a script.
    using UiFactory = std::function<std::unique_ptr<GuiUiPort>(QWidget*, QProgressBar*, QLabel*)>;

    explicit MainWindow(const TMainWindowPaths& paths = TMainWindowPaths::Defaults(),
                        const UiFactory& uiFactory = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    TMainWindowState& State() { return *FState; }
    QAction* Action(TCommand command) const { return FActions[static_cast<int>(command)]; }
    QTableView* ListView() const { return FListView; }
    QProgressBar* ProgressBar() const { return FProgressBar; }
    QLabel* StatusLabel() const { return FStatusLabel; }
    // The list's context menu as it opens now, for the current selection.
    QMenu* ListContextMenu() {
        PrepareContextMenu();
        return FContextMenu;
    }
    FindDialog* CurrentFindDialog() const { return FFindDialog; }
    OptionsDialog* Options() const { return FOptionsDialog; }
    StatisticsWindow* Statistics() const { return FStatistics; }
    UndoHistoryDialog* UndoHistory() const { return FUndoHistory; }
    PropertiesDialog* Properties() const { return FPropertiesDialog; }
    DataFileUpdateDialog* DataFileUpdateWindow() const { return FDataFileUpdateDialog; }
    TDataFileUpdate& DataFileUpdate() { return *FDataFileUpdate; }
    TAppUpdateCheck& AppUpdate() { return *FAppUpdate; }
    // The history menus as they open on a right click of the Browse and Open buttons.
    QMenu* BuildBrowseHistoryMenu();
    QMenu* BuildOpenHistoryMenu();

    // The program's arguments, handled once the window is up.
    void HandleCommandLine(const QStringList& arguments);

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateList();
    void CreateContextMenu();
    void PrepareContextMenu();
    void ConnectState();
    void RestorePlacement();
    void StorePlacement();
    void RefreshActions();
    void SyncSelectionFromList();
    void SyncSelectionToList(const QItemSelection& selected, const QItemSelection& deselected);
    void HeaderClicked(int column);
    void ShowSortArrow();
    void UpdateFindDialog();
    void ShowReleaseNotes();
    void ShowAbout();
    void Explore();
    void ShowProperties();

    std::array<QAction*, static_cast<int>(TCommand::Count)> FActions{};
    QTableView* FListView = nullptr;
    QProgressBar* FProgressBar = nullptr;
    QLabel* FStatusLabel = nullptr;
    QMenu* FContextMenu = nullptr;
    FindDialog* FFindDialog = nullptr;
    OptionsDialog* FOptionsDialog = nullptr;
    PropertiesDialog* FPropertiesDialog = nullptr;
    StatisticsWindow* FStatistics = nullptr;
    UndoHistoryDialog* FUndoHistory = nullptr;
    std::unique_ptr<GuiUiPort> FUi;
    std::unique_ptr<TMainWindowState> FState;
    std::unique_ptr<TExportCommand> FExport;
    std::unique_ptr<TDataFileUpdate> FDataFileUpdate;
    std::unique_ptr<TAppUpdateCheck> FAppUpdate;
    DataFileUpdateDialog* FDataFileUpdateDialog = nullptr;
    MainListModel* FModel = nullptr;
    bool FSyncingSelection = false;
    bool FClosed = false;
};
