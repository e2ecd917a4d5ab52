#pragma once

#include "ui/StatisticsWindowState.h"

#include <QDialog>
#include <array>

class BarChart;
class QLabel;
class QTabWidget;
class QTableWidget;

// The statistics window: the totals of the group "MP3", the Artists, Years and Genres pages
// with their tables (and bar charts for years and genres), the status label and Close. It
// lives as long as the main window and shows the state it keeps.
class StatisticsWindow : public QDialog {
    Q_OBJECT
public:
    StatisticsWindow(TMainWindowState& mainState, QWidget* parent);

    TStatisticsWindowState& State() { return FState; }
    QTableWidget* Table(TStatisticsWindowState::TPage page) const { return FTables[page]; }
    BarChart* Chart(TStatisticsWindowState::TPage page) const { return FCharts[page]; }
    QTabWidget* Pages() const { return FPages; }
    QLabel* StatusLabel() const { return FStatusLabel; }
    QLabel* TotalLabel(TStatisticsWindowState::TTotal total) const { return FTotals[total]; }

private:
    QWidget* CreateTotals();
    QWidget* CreatePage(TStatisticsWindowState::TPage page);
    void ShowTable(TStatisticsWindowState::TPage page);
    void ShowState();
    void SelectEntry(TStatisticsWindowState::TPage page, int row);

    TStatisticsWindowState FState;
    std::array<QTableWidget*, TStatisticsWindowState::PageCount> FTables{};
    std::array<BarChart*, TStatisticsWindowState::PageCount> FCharts{};
    std::array<QLabel*, TStatisticsWindowState::TotalCount> FTotals{};
    QTabWidget* FPages = nullptr;
    QLabel* FStatusLabel = nullptr;
};
