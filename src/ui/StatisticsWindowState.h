#pragma once

#include "export/Statistics.h"
#include "ui/ListRows.h"
#include "ui/ListSort.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <functional>
#include <memory>

class TMainWindowState;

// The statistics window without pixels: the totals, the three tables (artists, years, genres)
// and the page shown, kept from one Statistics command to the next while the list stays as it
// was (the main window's statistics-valid flag says so).
class TStatisticsWindowState {
public:
    enum TPage { Artists, Years, Genres, PageCount };
    enum TTotal { TotalArtists, TotalAlbums, TotalTracks, TotalYears, TotalGenres, TotalCount };

    explicit TStatisticsWindowState(TMainWindowState& state);

    // The Statistics command: the kept result at once while it is valid, otherwise the rows
    // counted again (progress, stop request) and the window shown unless stopped.
    void StatisticsToolButtonClick();
    // Counts the main list's rows into the totals and tables; false when stopped (the flag is
    // then clear and the tables are empty).
    bool Compute();

    // "Total number of artists :" and so on.
    static QString TotalTitle(TTotal total);
    // As shown: grouped in the user's locale, "0" for none.
    const QString& TotalValue(TTotal total) const { return FTotals[total]; }
    static QStringList ColumnCaptions(TPage page);
    TKelmTextRows& Table(TPage page) { return *FTables[page]; }
    const TKelmTextRows& Table(TPage page) const { return *FTables[page]; }
    TKelmListSort& Sorting(TPage page) { return *FSorts[page]; }

    TPage Page() const { return FPage; }
    // Shows a page: the status label counts its table's rows.
    void SetPage(TPage page);
    const QString& StatusLabel() const { return FStatusLabel; }

    // Selects the main rows whose Artist, Year or Genre cell equals the selected table row's
    // caption exactly, closes the window; answers the number of main rows selected.
    int SelectAssociatedItems(TPage page);

    // The save dialog, then the table or the totals written as CSV when the name ends in
    // ".csv"; a file that cannot be written is reported.
    void ExportKelmListView(TPage page);
    void ExportTotals();
    // What those write: the header line, then the table's lines in the locale's text order
    // without regard to case; or the totals, one line each.
    QByteArray TableCsv(TPage page) const;
    QByteArray TotalsCsv() const;

    std::function<void()> OnShow;    // shows the window modally
    std::function<void()> OnClose;   // closes it
    std::function<void()> OnChanged; // the totals, tables or page changed

private:
    void Fill(const TStatistics& statistics);
    // The save dialog of the exports; "" when cancelled or the name does not end in ".csv".
    QString PickCsvFile();
    void WriteCsv(const QString& fileName, const QByteArray& bytes);

    TMainWindowState& FState;
    std::array<std::unique_ptr<TKelmTextRows>, PageCount> FTables;
    std::array<std::unique_ptr<TKelmListSort>, PageCount> FSorts;
    std::array<QString, TotalCount> FTotals;
    TPage FPage = Artists;
    QString FStatusLabel;
};
