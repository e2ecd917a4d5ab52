#pragma once

#include "ui/Commands.h"

#include <QMainWindow>
#include <array>

class QAction;
class QLabel;
class QProgressBar;
class QTableView;
class QStandardItemModel;

// The program's one long-lived window: toolbar, main menu, the list, progress and status bar.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);

    QAction* Action(TCommand command) const { return FActions[static_cast<int>(command)]; }
    QTableView* ListView() const { return FListView; }
    QProgressBar* ProgressBar() const { return FProgressBar; }
    QLabel* StatusLabel() const { return FStatusLabel; }

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateList();
    void CreateStatusArea();
    void ShowReleaseNotes();
    void ShowAbout();

    std::array<QAction*, static_cast<int>(TCommand::Count)> FActions{};
    QTableView* FListView = nullptr;
    QStandardItemModel* FListModel = nullptr;
    QProgressBar* FProgressBar = nullptr;
    QLabel* FStatusLabel = nullptr;
};
