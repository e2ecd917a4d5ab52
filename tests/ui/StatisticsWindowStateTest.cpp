#include "ui/StatisticsWindowState.h"
#include "MainWindowFixture.h"

#include <QDir>
#include <QStandardPaths>

namespace {

using Kind = ScriptedUiPort::Kind;
using Page = TStatisticsWindowState::TPage;

class StatisticsWindow : public MainWindowFixture {
protected:
    TStatisticsWindowState Statistics{State};
    TempDir Out;
    int Shown = 0;
    int Closed = 0;

    StatisticsWindow() {
        Statistics.OnShow = [this] { ++Shown; };
        Statistics.OnClose = [this] { ++Closed; };
    }

    void AddRow(const QString& artist, const QString& album, const QString& year,
                const QString& genre) {
        std::array<QString, MainListColumnCount> cells;
        cells[mcName] = QString("%1.mp3").arg(State.MainList().Count());
        cells[mcArtist] = artist;
        cells[mcAlbumTitle] = album;
        cells[mcYear] = year;
        cells[mcGenre] = genre;
        State.MainList().Append(nullptr, cells);
    }
    // Eight rows: five of 2004 by Ana (two albums in two letter cases, one untitled row), three
    // without a year by "ana", Bo and no one.
    void EightRows() {
        AddRow("Ana", "First", "2004", "Jazz");
        AddRow("Ana", "first", "2004", "Jazz");
        AddRow("Ana", "Second", "2004", "Jazz");
        AddRow("Ana", "", "2004", "Rock");
        AddRow("Ana", "Second", "2004", "");
        AddRow("ana", "Other", "", "Jazz");
        AddRow("Bo", "B", "", "Rock");
        AddRow("", "B", "", "Rock");
        State.UpdateStatusBar();
    }
    QStringList Table(Page page) const {
        QStringList rows;
        const TKelmTextRows& table = Statistics.Table(page);
        for (int i = 0; i < table.RowCount(); ++i)
            rows.append(table.Cells(i).join(u'|'));
        return rows;
    }
};

TEST_F(StatisticsWindow, ComputesTotalsAndTablesSortedByTracks) {
    EXPECT_EQ(Statistics.StatusLabel(), "0 artist(s)");
    EXPECT_EQ(Statistics.TotalValue(TStatisticsWindowState::TotalTracks), "0");
    EightRows();
    Statistics.StatisticsToolButtonClick();
    EXPECT_EQ(Shown, 1);
    EXPECT_TRUE(State.StatisticsValid());
    EXPECT_EQ(Table(Page::Artists), QStringList({"Ana|3|5", "<Undefined>|1|1", "Bo|1|1"}));
    EXPECT_EQ(Table(Page::Years), QStringList({"2004|5|62.50", "<Undefined>|3|37.50"}));
    EXPECT_EQ(Table(Page::Genres),
              QStringList({"Jazz|4|50.00", "Rock|3|37.50", "<Undefined>|1|12.50"}));
    const char* totals[] = {"3", "5", "8", "2", "3"};
    for (int t = 0; t < TStatisticsWindowState::TotalCount; ++t)
        EXPECT_EQ(Statistics.TotalValue(TStatisticsWindowState::TTotal(t)), totals[t]) << t;
    EXPECT_EQ(Statistics.Page(), Page::Artists);
    EXPECT_EQ(Statistics.StatusLabel(), "3 artist(s)");
    Statistics.SetPage(Page::Years);
    EXPECT_EQ(Statistics.StatusLabel(), "2 year(s)");
    Statistics.SetPage(Page::Genres);
    EXPECT_EQ(Statistics.StatusLabel(), "3 genre(s)");
    EXPECT_FALSE(State.Busy());
    EXPECT_EQ(Ui.CurrentCursor, UiPort::Cursor::Normal);
    EXPECT_EQ(Ui.Cursors.first(), UiPort::Cursor::Background);
    EXPECT_EQ(Ui.ProgressMaximum, 8); // three artists, two years, three genres
    EXPECT_EQ(Ui.ProgressPosition, 8);
}

TEST_F(StatisticsWindow, ASecondCommandShowsTheKeptResultUntilTheListChanges) {
    EightRows();
    Statistics.StatisticsToolButtonClick();
    const int events = Ui.PendingEventCalls;
    Ui.ProgressPosition = 0;
    Statistics.StatisticsToolButtonClick();
    EXPECT_EQ(Shown, 2);
    EXPECT_EQ(Ui.PendingEventCalls, events);
    EXPECT_EQ(Ui.ProgressPosition, 0);

    State.ClearMainList();
    AddRow("Cy", "C", "1999", "Pop");
    State.UpdateStatusBar();
    Statistics.StatisticsToolButtonClick();
    EXPECT_EQ(Shown, 3);
    EXPECT_EQ(Table(Page::Artists), QStringList{"Cy|1|1"});
}

TEST_F(StatisticsWindow, AStopLeavesTheWindowUnshownAndTheFlagClear) {
    EightRows();
    // Eight rows, then three artists, two years and three genres.
    for (int stopAt : {1, 8, 9, 12, 14, 16}) {
        Ui.PendingEventCalls = 0;
        Ui.OnPendingEvents = [&] {
            if (Ui.PendingEventCalls == stopAt) {
                Ui.Answers.enqueue(true);
                State.ListClick();
            }
        };
        State.SetStatisticsValid(true);
        State.SetStatisticsValid(false);
        Statistics.StatisticsToolButtonClick();
        EXPECT_EQ(Shown, 0) << stopAt;
        EXPECT_FALSE(State.StatisticsValid()) << stopAt;
        EXPECT_FALSE(State.Busy()) << stopAt;
        EXPECT_FALSE(State.StopRequested()) << stopAt;
        EXPECT_TRUE(Table(Page::Genres).size() < 3) << stopAt;
    }
    Ui.OnPendingEvents = {};
    Statistics.StatisticsToolButtonClick();
    EXPECT_EQ(Shown, 1);
}

TEST_F(StatisticsWindow, SelectAssociatedItemsMatchesTheCaptionExactly) {
    EightRows();
    Statistics.StatisticsToolButtonClick();
    EXPECT_EQ(Statistics.SelectAssociatedItems(Page::Artists), 0); // nothing selected
    EXPECT_EQ(Closed, 0);

    Statistics.Table(Page::Artists).SelectOnly(0); // Ana
    EXPECT_EQ(Statistics.SelectAssociatedItems(Page::Artists), 5);
    EXPECT_EQ(Selected(), std::vector<int>({0, 1, 2, 3, 4}));
    EXPECT_EQ(Closed, 1);

    Statistics.Table(Page::Years).SelectOnly(1); // <Undefined>
    EXPECT_EQ(Statistics.SelectAssociatedItems(Page::Years), 0);
    EXPECT_TRUE(Selected().empty());
    EXPECT_EQ(Closed, 2);

    Statistics.Table(Page::Genres).SelectOnly(1); // Rock
    EXPECT_EQ(Statistics.SelectAssociatedItems(Page::Genres), 3);
    EXPECT_EQ(Selected(), std::vector<int>({3, 6, 7}));
}

TEST_F(StatisticsWindow, ExportsInTextOrderWithTheirHeaders) {
    AddRow("Ana", "A", "2004", "Jazz");
    AddRow("Ana", "A", "1999", "Jazz");
    AddRow("Ana", "A", "2004", "Jazz");
    AddRow("Ana", "A", "2010", "Jazz");
    State.UpdateStatusBar();
    // The totals of an empty computation read 0.
    Ui.SaveChoices.enqueue({Out.File("totals.csv"), 0});
    Statistics.ExportTotals();
    EXPECT_EQ(Out.Read("totals.csv"), "\"Statistic\",\"Items\",\"% Items\"\r\n"
                                      "\"Total number of artists\",\"0\",\"\"\r\n"
                                      "\"Total number of albums\",\"0\",\"\"\r\n"
                                      "\"Total number of tracks\",\"0\",\"\"\r\n"
                                      "\"Total number of years\",\"0\",\"\"\r\n"
                                      "\"Total number of genres\",\"0\",\"\"\r\n");
    Statistics.StatisticsToolButtonClick();
    EXPECT_EQ(Table(Page::Years).first(), "2004|2|50.00");
    Ui.SaveChoices.enqueue({Out.File("years.csv"), 1});
    Statistics.ExportKelmListView(Page::Years);
    EXPECT_EQ(Out.Read("years.csv"), "\"Year\",\"Tracks\",\"% Tracks\"\r\n"
                                     "\"1999\",\"1\",\"25.00\"\r\n"
                                     "\"2004\",\"2\",\"50.00\"\r\n"
                                     "\"2010\",\"1\",\"25.00\"\r\n");
    const TSaveFileRequest& request = Ui.SaveRequests.last();
    EXPECT_EQ(request.Caption, "Export");
    EXPECT_EQ(request.Filters, QStringList({"CSV files (*.csv)", "All files (*.*)"}));
    EXPECT_EQ(request.StartFolder,
              QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    // Again: a backup; any other extension writes nothing and says nothing.
    Ui.SaveChoices.enqueue({Out.File("years.csv"), 0});
    Statistics.ExportKelmListView(Page::Artists);
    EXPECT_TRUE(Out.Read("years.~csv").startsWith("\"Year\""));
    EXPECT_TRUE(Out.Read("years.csv").startsWith("\"Artist\",\"Albums\",\"Tracks\"\r\n"));
    for (const char* name : {"a.CSV", "a.txt", "a"}) {
        Ui.SaveChoices.enqueue({Out.File(name), 0});
        Statistics.ExportKelmListView(Page::Genres);
        EXPECT_FALSE(QFile::exists(Out.File(name))) << name;
    }
    EXPECT_TRUE(Ui.Messages.isEmpty());
    // A file that cannot be written is reported.
    Ui.SaveChoices.enqueue({Out.File("gone/genres.csv"), 0});
    Statistics.ExportKelmListView(Page::Genres);
    ASSERT_EQ(Ui.Texts(Kind::Error).size(), 1);
    EXPECT_TRUE(
        Ui.Texts(Kind::Error)[0].startsWith("Cannot write \"" + Out.File("gone/genres.csv")));
}

} // namespace
