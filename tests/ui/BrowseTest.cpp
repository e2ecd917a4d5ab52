#include "MainWindowFixture.h"

#include <QDir>

namespace {

using Kind = ScriptedUiPort::Kind;

class Browse : public MainWindowFixture {};

TEST_F(Browse, ThreeFilesWalkedThenProcessedFirstRowSelected) {
    State.Options().MP3NameComputing = nmFolded;
    Song("01 - Song.mp3");
    Song("b.mp3");
    Song("c.mp3", "C");
    Music.Write("notes.txt", "x");

    struct Seen {
        QString Status;
        bool Busy;
        bool Browse, Open, Export, Fix, Refresh, Find, Options;
        UiPort::Cursor Cursor;
    };
    std::vector<Seen> seen;
    Ui.OnPendingEvents = [&] {
        seen.push_back({State.StatusText(), State.Busy(), State.CommandEnabled(TCommand::Browse),
                        State.CommandEnabled(TCommand::Open),
                        State.CommandEnabled(TCommand::Export), State.CommandEnabled(TCommand::Fix),
                        State.CommandEnabled(TCommand::Refresh),
                        State.CommandEnabled(TCommand::Find),
                        State.CommandEnabled(TCommand::Options), Ui.CurrentCursor});
    };
    State.BrowseMP3Folder(Music.Path());

    // One step per file: each file's row is made with its record.
    EXPECT_EQ(Ui.ProgressMaximum, 3);
    EXPECT_EQ(Ui.ProgressPosition, 3);
    // At least once before each file; more often while the walk or the readers are waited for.
    ASSERT_GE(seen.size(), 3u);
    for (const Seen& s : seen) {
        EXPECT_TRUE(s.Status == "Searching files" || s.Status == "Processing files");
        EXPECT_TRUE(s.Busy);
        EXPECT_FALSE(s.Browse || s.Open || s.Export || s.Fix || s.Refresh);
        EXPECT_TRUE(s.Options);
        EXPECT_EQ(s.Cursor, UiPort::Cursor::Busy);
    }
    EXPECT_EQ(Ui.StatusTexts,
              QStringList({"Searching files", "Processing files", "3 file(s) - 2 mismatch(es)"}));
    EXPECT_EQ(RowPaths(), QStringList({"01 - Song.mp3", "b.mp3", "c.mp3"}));
    EXPECT_EQ(State.Catalogue().size(), 3u);
    EXPECT_EQ(Selected(), std::vector<int>{0});
    EXPECT_EQ(State.MismatchCount(), 2);
    EXPECT_FALSE(State.Busy());
    EXPECT_EQ(Ui.CurrentCursor, UiPort::Cursor::Normal);
    for (TCommand c : {TCommand::Browse, TCommand::Open, TCommand::Export, TCommand::Fix,
                       TCommand::Refresh, TCommand::Find, TCommand::Statistics})
        EXPECT_TRUE(State.CommandEnabled(c)) << int(c);
    EXPECT_EQ(State.BrowseHistory(), QStringList{Music.Path()});
    // Each row refers to the record analysed for it, in catalogue order.
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(State.MainList().Row(i).Data, State.Catalogue()[std::size_t(i)].get());
}

TEST_F(Browse, FolderWithoutMP3FilesEmptiesEverything) {
    Song("a.mp3");
    State.BrowseMP3Folder(Music.Path());
    ASSERT_EQ(State.MainList().Count(), 1);
    State.SetStatisticsValid(true);

    TempDir empty;
    empty.Write("readme.txt", "x");
    State.BrowseMP3Folder(empty.Path());
    EXPECT_EQ(State.MainList().Count(), 0);
    EXPECT_TRUE(State.Catalogue().empty());
    EXPECT_TRUE(Selected().empty());
    EXPECT_EQ(State.MismatchCount(), 0);
    EXPECT_FALSE(State.StatisticsValid());
    EXPECT_EQ(Ui.ProgressMaximum, 0);
    EXPECT_EQ(State.StatusText(), "0 file(s) - 0 mismatch(es)");
    EXPECT_FALSE(State.CommandEnabled(TCommand::Export));
    EXPECT_FALSE(State.CommandEnabled(TCommand::Fix));
    EXPECT_TRUE(State.CommandEnabled(TCommand::Browse));
    EXPECT_EQ(State.BrowseHistory(), QStringList({empty.Path(), Music.Path()}));
}

TEST_F(Browse, FolderThatIsGoneBrowsesNothing) {
    Song("a.mp3");
    State.BrowseMP3Folder(Music.Path());
    State.BrowseMP3Folder(Music.File("missing"));
    EXPECT_EQ(State.MainList().Count(), 0);
    EXPECT_TRUE(State.Catalogue().empty());
    EXPECT_TRUE(Ui.Messages.isEmpty());
}

// A folder's own files, sorted without regard to case, then each subfolder's whole tree;
// hidden files are listed, hidden folders are not.
TEST_F(Browse, WalkOrder) {
    for (const char* name : {"b.mp3", "A.mp3", "c.MP3", ".hidden.mp3", "sub2/x.mp3", "Sub1/y.mp3",
                             "Sub1/deep/z.mp3", ".hiddendir/h.mp3", "Sub1/a.Mp3"})
        Song(name);
    Music.Write("Sub1/cover.jpg", "x");
    State.BrowseMP3Folder(Music.Path());
    EXPECT_EQ(RowPaths(), QStringList({".hidden.mp3", "A.mp3", "b.mp3", "c.MP3", "Sub1/a.Mp3",
                                       "Sub1/y.mp3", "Sub1/deep/z.mp3", "sub2/x.mp3"}));
    // The folder may be given with a trailing separator.
    State.BrowseMP3Folder(Music.Path() + u'/');
    EXPECT_EQ(State.MainList().Count(), 8);
}

TEST_F(Browse, DepthFilterAndRecursion) {
    for (const char* name : {"a.mp3", "One/b.mp3", "One/Two/c.mp3", "One/Two/Three/d.mp3"})
        Song(name);
    const struct {
        bool Recursive;
        bool Limit;
        int Depth;
        QStringList Rows;
    } cases[] = {
        {true, false, 0, {"a.mp3", "One/b.mp3", "One/Two/c.mp3", "One/Two/Three/d.mp3"}},
        {true, true, 0, {"a.mp3"}},
        {true, true, 1, {"a.mp3", "One/b.mp3"}},
        {true, true, 2, {"a.mp3", "One/b.mp3", "One/Two/c.mp3"}},
        {false, true, 5, {"a.mp3"}},
        {false, false, 0, {"a.mp3"}},
    };
    for (const auto& c : cases) {
        State.Options().Recursive = c.Recursive;
        State.Options().LimitSearchDepth = c.Limit;
        State.Options().MaxSearchDepth = c.Depth;
        State.BrowseMP3Folder(Music.Path());
        EXPECT_EQ(RowPaths(), c.Rows) << c.Recursive << c.Limit << c.Depth;
        EXPECT_EQ(Ui.ProgressMaximum, c.Rows.size());
    }
    // The depth counts from the folder browsed.
    State.Options().Recursive = true;
    State.Options().LimitSearchDepth = true;
    State.Options().MaxSearchDepth = 0;
    State.BrowseMP3Folder(Music.File("One"));
    EXPECT_EQ(RowPaths(), QStringList{"One/b.mp3"});
}

TEST_F(Browse, LinkLoopsEndAndLinkedTreesCount) {
    Song("a.mp3");
    Song("Album/b.mp3");
    ASSERT_TRUE(QFile::link(Music.Path(), Music.File("Album/loop")));
    ASSERT_TRUE(QFile::link(Music.File("Album"), Music.File("Linked")));
    State.BrowseMP3Folder(Music.Path());
    // The linked album is the same folder: it is walked once.
    EXPECT_EQ(RowPaths(), QStringList({"a.mp3", "Album/b.mp3"}));
}

// The stop request ends the browse at the next file: every record made so far is shown, and no
// row is selected.
TEST_F(Browse, StopRequestAtEachFile) {
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3"})
        Song(name);
    const struct {
        const char* Name;
        int ClickAfter; // the records made when the click comes
        std::vector<bool> Answers;
        int Records;
        int Rows;
        bool Selected;
    } cases[] = {
        {"before the first file", 0, {true}, 0, 0, false},
        {"during the analysis", 2, {true}, 2, 2, false},
        {"after the first file", 1, {true}, 1, 1, false},
        {"answered No", 1, {false}, 3, 3, true},
    };
    for (const auto& c : cases) {
        RecordingUiPort ui;
        TempDir home;
        TMainWindowState state(ui, Paths(home));
        for (bool a : c.Answers)
            ui.Answers.enqueue(a);
        // The window handles its events before each file, and also whenever a file is slow to
        // come: the click comes at the first chance after that many records, however many
        // chances the readers' pace gave before.
        bool clicked = false;
        ui.OnPendingEvents = [&] {
            if (!clicked && int(state.Catalogue().size()) == c.ClickAfter) {
                clicked = true;
                state.ListClick();
            }
        };
        state.BrowseMP3Folder(Music.Path());
        EXPECT_TRUE(clicked) << c.Name;
        EXPECT_EQ(int(state.Catalogue().size()), c.Records) << c.Name;
        EXPECT_EQ(state.MainList().Count(), c.Rows) << c.Name;
        EXPECT_EQ(state.MainList().SelectedCount() > 0, c.Selected) << c.Name;
        EXPECT_EQ(ui.Texts(Kind::Question), QStringList{"Do you want to stop processing?"})
            << c.Name;
        EXPECT_FALSE(state.Busy()) << c.Name;
        EXPECT_FALSE(state.StopRequested()) << c.Name;
        EXPECT_TRUE(state.CanChangeList()) << c.Name;
        EXPECT_TRUE(state.CommandEnabled(TCommand::Browse)) << c.Name;
        EXPECT_EQ(
            state.StatusText(),
            QStringLiteral("%1 file(s) - %2 mismatch(es)").arg(c.Rows).arg(state.MismatchCount()))
            << c.Name;
        EXPECT_EQ(ui.CurrentCursor, UiPort::Cursor::Normal) << c.Name;
        // Every row refers to a live record.
        for (int i = 0; i < state.MainList().Count(); ++i)
            EXPECT_EQ(state.MainList().Row(i).Data, state.Catalogue()[std::size_t(i)].get());
    }
}

// Each record gets its row as it is made, so a stop leaves nothing to show afterwards: the browse
// ends without handling events again, and what a later click asks for comes after it.
TEST_F(Browse, AStopEndsTheBrowseWithTheRowsSoFarAtOnce) {
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3"})
        Song(name);
    int callsAfterTheClick = -1;
    Ui.Answers.enqueue(true);
    Ui.OnPendingEvents = [&] {
        if (callsAfterTheClick >= 0)
            ++callsAfterTheClick;
        else if (State.Catalogue().size() == 1) {
            callsAfterTheClick = 0;
            State.ListClick();
        }
    };
    State.BrowseMP3Folder(Music.Path());
    EXPECT_EQ(callsAfterTheClick, 0);
    EXPECT_EQ(Ui.Texts(Kind::Question).size(), 1);
    EXPECT_EQ(State.MainList().Count(), 1);
    EXPECT_EQ(State.Catalogue().size(), 1u);
    EXPECT_EQ(State.BrowseHistory(), QStringList{Music.Path()});
}

// While a browse runs, every command that would empty or change the list or the catalogue
// does nothing, whatever way it is reached.
TEST_F(Browse, NoListCommandStartsWhileABrowseRuns) {
    Song("a.mp3");
    Song("b.mp3");
    TempDir other;
    const QString otherSong = other.Write("o.mp3", Mp3Fixture().Bytes());
    const QString playlist = other.Write("p.m3u", "o.mp3\r\n");
    State.Options().RecentlyUsedFileList = 5;
    State.OpenMP3File(otherSong); // an Open history entry to click
    State.BrowseMP3Folder(other.Path());
    const QStringList browseHistory = State.BrowseHistory();
    const QStringList openHistory = State.OpenHistory();

    bool tried = false;
    Ui.OnPendingEvents = [&] {
        if (tried)
            return;
        tried = true;
        Ui.PickerResults.enqueue({other.Path()});
        Ui.PickerResults.enqueue({otherSong});
        State.BrowseCommand();
        State.OpenCommand();
        State.BrowseHistoryClick(1);
        State.OpenHistoryClick(0);
        State.HandleDrop({other.Path(), otherSong, playlist});
        State.HandleCommandLine({otherSong, other.Path()});
        State.BrowseMP3Folder(other.Path());
        EXPECT_FALSE(State.CanChangeList());
    };
    State.BrowseMP3Folder(Music.Path());
    EXPECT_TRUE(tried);
    EXPECT_EQ(RowPaths(), QStringList({"a.mp3", "b.mp3"}));
    EXPECT_EQ(State.Catalogue().size(), 2u);
    EXPECT_TRUE(Ui.PickerCaptions.isEmpty());
    EXPECT_EQ(Ui.PickerResults.size(), 2);
    EXPECT_TRUE(Ui.Messages.isEmpty());
    EXPECT_EQ(State.BrowseHistory(), QStringList({Music.Path(), other.Path()}));
    EXPECT_EQ(State.OpenHistory(), openHistory);
    EXPECT_EQ(browseHistory, QStringList{other.Path()});
}

} // namespace
