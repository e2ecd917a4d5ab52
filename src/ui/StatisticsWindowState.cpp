#include "ui/StatisticsWindowState.h"

#include "export/CsvFormat.h"
#include "export/ExportFile.h"
#include "ui/MainWindowState.h"

#include <QCollator>
#include <QFileInfo>
#include <QLocale>
#include <QStandardPaths>
#include <algorithm>

namespace {

constexpr int MainColumnOf[] = {mcArtist, mcYear, mcGenre};
constexpr const char* RowNoun[] = {" artist(s)", " year(s)", " genre(s)"};
constexpr int TracksColumn[] = {2, 1, 1};

QString TotalText(int value) {
    return QLocale().toString(value);
}

// Two decimals and "." whatever the locale.
QString Percentage(int tracks, int rows) {
    return QString::number(rows > 0 ? tracks * 100.0 / rows : 0.0, 'f', 2);
}

} // namespace

TStatisticsWindowState::TStatisticsWindowState(TMainWindowState& state) : FState(state) {
    for (int page = 0; page < PageCount; ++page) {
        FTables[page] = std::make_unique<TKelmTextRows>(3);
        FSorts[page] = std::make_unique<TKelmListSort>(*FTables[page], QLocale());
    }
    Fill({});
}

QString TStatisticsWindowState::TotalTitle(TTotal total) {
    static const char* const titles[] = {
        "Total number of artists :", "Total number of albums :", "Total number of tracks :",
        "Total number of years :", "Total number of genres :"};
    return QString::fromLatin1(titles[total]);
}

QStringList TStatisticsWindowState::ColumnCaptions(TPage page) {
    switch (page) {
    case Artists:
        return {QStringLiteral("Artist"), QStringLiteral("Albums"), QStringLiteral("Tracks")};
    case Years:
        return {QStringLiteral("Year"), QStringLiteral("Tracks"), QStringLiteral("% Tracks")};
    default:
        return {QStringLiteral("Genre"), QStringLiteral("Tracks"), QStringLiteral("% Tracks")};
    }
}

void TStatisticsWindowState::StatisticsToolButtonClick() {
    if (!FState.StatisticsValid()) {
        if (!Compute())
            return;
    }
    if (OnShow)
        OnShow();
}

bool TStatisticsWindowState::Compute() {
    const TMainList& list = FState.MainList();
    QList<TStatisticsRow> rows;
    rows.reserve(list.Count());
    for (int i = 0; i < list.Count(); ++i)
        rows.append({list.Cell(i, mcArtist), list.Cell(i, mcAlbumTitle), list.Cell(i, mcYear),
                     list.Cell(i, mcGenre)});
    TStatistics statistics;
    {
        TLongOperation operation(FState, UiPort::Cursor::Background, {}, FState.StatusText(),
                                 list.Count());
        int steps = list.Count();
        statistics = ComputeStatistics(rows, {[&operation] { return operation.Step(); },
                                              [&](int entries) {
                                                  steps = entries;
                                                  operation.SetPhase(FState.StatusText(), entries);
                                              }});
        FState.Ui().SetProgressPosition(steps);
    }
    Fill(statistics);
    FState.SetStatisticsValid(!statistics.Stopped);
    return !statistics.Stopped;
}

void TStatisticsWindowState::Fill(const TStatistics& statistics) {
    const int values[] = {statistics.Artists, statistics.Albums, statistics.Tracks,
                          statistics.Years, statistics.Genres};
    for (int total = 0; total < TotalCount; ++total)
        FTotals[total] = TotalText(values[total]);
    const QList<TStatisticsEntry>* entries[] = {&statistics.ArtistEntries, &statistics.YearEntries,
                                                &statistics.GenreEntries};
    for (int page = 0; page < PageCount; ++page) {
        TKelmTextRows& table = *FTables[page];
        table.Clear();
        for (const TStatisticsEntry& entry : *entries[page]) {
            if (page == Artists)
                table.AddRow(
                    {entry.Caption, QString::number(entry.Albums), QString::number(entry.Tracks)});
            else
                table.AddRow({entry.Caption, QString::number(entry.Tracks),
                              Percentage(entry.Tracks, statistics.Tracks)});
        }
        FSorts[page]->Sort(TracksColumn[page], false);
    }
    SetPage(Artists);
}

void TStatisticsWindowState::SetPage(TPage page) {
    FPage = page;
    FStatusLabel = QString::number(FTables[page]->RowCount()) + QString::fromLatin1(RowNoun[page]);
    if (OnChanged)
        OnChanged();
}

int TStatisticsWindowState::SelectAssociatedItems(TPage page) {
    const int selected = FTables[page]->SelectedRow();
    if (selected < 0) {
        FState.UpdateStatusBar();
        return 0;
    }
    const QString caption = FTables[page]->CellText(selected, 0);
    TMainList& list = FState.MainList();
    int count = 0;
    int first = -1;
    {
        TMainListUpdateGuard batch(list);
        for (int i = 0; i < list.Count(); ++i) {
            const bool match = list.Cell(i, MainColumnOf[page]) == caption;
            list.SetSelected(i, match);
            if (match && count++ == 0)
                first = i;
        }
    }
    if (first >= 0)
        list.FocusRow(first);
    if (OnClose)
        OnClose();
    FState.UpdateStatusBar();
    return count;
}

QByteArray TStatisticsWindowState::TableCsv(TPage page) const {
    const TKelmTextRows& table = *FTables[page];
    QStringList lines;
    lines.reserve(table.RowCount());
    for (int row = 0; row < table.RowCount(); ++row)
        lines.append(CsvFormat::Line(table.Cells(row)));
    QCollator collator{QLocale()};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(lines.begin(), lines.end(), [&collator](const QString& a, const QString& b) {
        return collator.compare(a, b) < 0;
    });
    return (CsvFormat::Line(ColumnCaptions(page)) + lines.join(QString())).toUtf8();
}

QByteArray TStatisticsWindowState::TotalsCsv() const {
    QList<QStringList> rows;
    for (int total = 0; total < TotalCount; ++total) {
        QString title = TotalTitle(TTotal(total));
        title.chop(2); // " :"
        rows.append({title, FTotals[total], QString()});
    }
    return CsvFormat::Document(
        {QStringLiteral("Statistic"), QStringLiteral("Items"), QStringLiteral("% Items")}, rows);
}

QString TStatisticsWindowState::PickCsvFile() {
    QString start = QFileInfo(FState.OpenFileName()).path();
    if (FState.OpenFileName().isEmpty())
        start = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const TSaveFileChoice choice = FState.Ui().PickSaveFile(
        {QStringLiteral("Export"),
         start,
         {QStringLiteral("CSV files (*.csv)"), QStringLiteral("All files (*.*)")},
         0,
         QStringLiteral("csv"),
         FState.Options().PromptBeforeOverwritingFiles});
    // Any other extension, in any letter case, writes nothing and says nothing.
    return ExportFile::Extension(choice.FileName) == u".csv" ? choice.FileName : QString();
}

void TStatisticsWindowState::WriteCsv(const QString& fileName, const QByteArray& bytes) {
    QString error;
    if (!ExportFile::Write(fileName, bytes, ExportFile::TBackup::Keep, error))
        FState.Ui().ShowMessage(UiPort::MessageKind::Error,
                                ExportFile::WriteErrorMessage(fileName, error));
}

void TStatisticsWindowState::ExportKelmListView(TPage page) {
    const QString fileName = PickCsvFile();
    if (!fileName.isEmpty())
        WriteCsv(fileName, TableCsv(page));
}

void TStatisticsWindowState::ExportTotals() {
    const QString fileName = PickCsvFile();
    if (!fileName.isEmpty())
        WriteCsv(fileName, TotalsCsv());
}
