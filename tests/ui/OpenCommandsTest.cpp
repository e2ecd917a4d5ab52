#include "MainWindowFixture.h"
#include "refdata/DataFileNames.h"
#include "settings/StoreNames.h"
#include "testsupport/ShellLinkBytes.h"

#include <QDir>

namespace {

using Kind = ScriptedUiPort::Kind;

class OpenCommands : public MainWindowFixture {
protected:
    // A file the Open dialog returns.
    void Choose(const QString& path) { Ui.PickerResults.enqueue({path}); }
};

TEST_F(OpenCommands, OpeningTheSameFileTwiceGivesOneRow) {
    const QString song = Song("01 - Song.mp3");
    State.Options().MP3NameComputing = nmFolded;
    Choose(song);
    State.OpenCommand();
    ASSERT_EQ(State.MainList().Count(), 1);
    TMP3FileData* record = State.MainList().Row(0).Data;
    Choose(song);
    State.OpenCommand();
    EXPECT_EQ(State.MainList().Count(), 1);
    EXPECT_EQ(State.Catalogue().size(), 1u);
    EXPECT_EQ(State.MainList().Row(0).Data, record);
    EXPECT_EQ(Selected(), std::vector<int>{0});
    EXPECT_EQ(State.OpenFileName(), song);
    EXPECT_EQ(State.OpenHistory(), QStringList{song});
    EXPECT_EQ(State.StatusText(), "1 file(s) - 0 mismatch(es)");
    EXPECT_EQ(Ui.PickerCaptions, QStringList({"Open", "Open"}));
}

TEST_F(OpenCommands, OpenKeepsTheCatalogueAndEmptiesTheList) {
    Song("a.mp3");
    Song("b.mp3");
    State.BrowseMP3Folder(Music.Path());
    State.SetStatisticsValid(true);
    Choose(Music.File("b.mp3"));
    State.OpenCommand();
    // The record of the browse is reused.
    EXPECT_EQ(RowPaths(), QStringList{"b.mp3"});
    EXPECT_EQ(State.Catalogue().size(), 2u);
    EXPECT_EQ(State.MainList().Row(0).Data, State.Catalogue()[1].get());
    EXPECT_FALSE(State.StatisticsValid());
    EXPECT_EQ(State.MismatchCount(), 1);
}

TEST_F(OpenCommands, OtherExtensionsEmptyTheListAndLoadNothing) {
    Song("a.mp3");
    State.BrowseMP3Folder(Music.Path());
    Choose(Music.Write("notes.txt", "x"));
    State.OpenCommand();
    EXPECT_EQ(State.MainList().Count(), 0);
    EXPECT_EQ(State.StatusText(), "0 file(s) - 0 mismatch(es)");
    EXPECT_TRUE(State.OpenHistory().isEmpty());
    EXPECT_EQ(State.OpenFileName(), Music.File("notes.txt"));
}

TEST_F(OpenCommands, CancelledOpenChangesNothing) {
    Song("a.mp3");
    State.BrowseMP3Folder(Music.Path());
    State.OpenCommand();
    EXPECT_EQ(State.MainList().Count(), 1);
    EXPECT_EQ(State.OpenFileName(), "");
    State.BrowseCommand();
    EXPECT_EQ(State.MainList().Count(), 1);
    EXPECT_EQ(State.PickerFolder(), "");
}

TEST_F(OpenCommands, BrowseCommandRemembersTheFolder) {
    Song("a.mp3");
    Ui.PickerResults.enqueue({Music.Path()});
    State.BrowseCommand();
    EXPECT_EQ(State.PickerFolder(), Music.Path());
    EXPECT_EQ(State.MainList().Count(), 1);
}

TEST_F(OpenCommands, PlaylistEntriesInfoLinesAndRepeats) {
    const QString a = Music.Write("a.mp3", Mp3Fixture().Text("TIT2", "Tag Title").Bytes());
    // "01.mp3" gives no title from its name, so the playlist's title fills the cell.
    const QString b = Music.Write("Sub/01.mp3", Mp3Fixture().Text("TPE1", "Tag Artist").Bytes());
    const QString playlist = Music.Write("Lists/p.m3u", "#EXTM3U\r\n"
                                                        "#EXTINF:100,List Artist - List Title\r\n"
                                                        "../a.mp3\r\n" +
                                                            b.toUtf8() +
                                                            "\r\n"
                                                            "http://example.com/a.mp3\r\n"
                                                            "#EXTINF:5,Only Artist\r\n"
                                                            "..\\Sub\\01.mp3\r\n"
                                                            "missing.mp3\r\n"
                                                            "\r\n"
                                                            "../a.mp3\n");
    Choose(playlist);
    State.OpenCommand();
    EXPECT_EQ(RowPaths(), QStringList({"a.mp3", "Sub/01.mp3", "Sub/01.mp3", "a.mp3"}));
    EXPECT_EQ(State.Catalogue().size(), 4u);
    const TMainList& list = State.MainList();
    const QStringList artists = {list.Cell(0, mcArtist), list.Cell(1, mcArtist),
                                 list.Cell(2, mcArtist), list.Cell(3, mcArtist)};
    const QStringList titles = {list.Cell(0, mcTitle), list.Cell(1, mcTitle), list.Cell(2, mcTitle),
                                list.Cell(3, mcTitle)};
    EXPECT_EQ(artists, QStringList({"List Artist", "Tag Artist", "Tag Artist", "Only Artist"}));
    EXPECT_EQ(titles, QStringList({"Tag Title", "List Title", "", "Tag Title"}));
    // Only the cells change: the records keep what the files hold.
    EXPECT_EQ(list.Row(0).Data->MP3TagData.Artist, "");
    EXPECT_EQ(list.Row(1).Data->MP3TagData.Title, "");
    EXPECT_NE(list.Row(0).Data, list.Row(3).Data);
    // Opening a playlist selects nothing.
    EXPECT_TRUE(Selected().empty());
    EXPECT_EQ(State.OpenHistory(), QStringList{playlist});
    EXPECT_EQ(Ui.Cursors.last(), UiPort::Cursor::Normal);
    EXPECT_TRUE(Ui.Cursors.contains(UiPort::Cursor::Background));
}

TEST_F(OpenCommands, UnreadablePlaylistLoadsNothingSilently) {
    QDir().mkpath(Music.File("folder.m3u"));
    for (const QString& playlist : {Music.File("missing.m3u"), Music.File("folder.m3u"),
                                    Music.Write("binary.m3u", QByteArray("\0\xFF\xFE\x01", 4))}) {
        State.OpenM3UFile(playlist);
        EXPECT_EQ(State.MainList().Count(), 0);
    }
    EXPECT_TRUE(Ui.Messages.isEmpty());
}

TEST_F(OpenCommands, HistoryKeepsTheNewestAndMovesKnownEntriesUp) {
    State.Options().RecentlyUsedFileList = 5;
    QStringList folders;
    for (int i = 0; i < 6; ++i) {
        folders.append(Music.File(QStringLiteral("F%1").arg(i)));
        QDir().mkpath(folders.last());
        State.BrowseMP3Folder(folders.last());
    }
    EXPECT_EQ(State.BrowseHistory(),
              QStringList({folders[5], folders[4], folders[3], folders[2], folders[1]}));
    // A known path, in other letters, moves up with its first spelling; nothing is removed.
    State.BrowseMP3Folder(folders[2].toUpper());
    EXPECT_EQ(State.BrowseHistory(),
              QStringList({folders[2], folders[5], folders[4], folders[3], folders[1]}));
    // An empty path is never added.
    State.OpenMP3File(QString());
    EXPECT_TRUE(State.OpenHistory().isEmpty());
}

TEST_F(OpenCommands, HistoryWithoutRoom) {
    State.Options().RecentlyUsedFileList = 0;
    State.BrowseMP3Folder(Music.Path());
    EXPECT_TRUE(State.BrowseHistory().isEmpty());
    // With one entry stored already, only one entry goes: the list keeps the newest.
    TempDir home;
    {
        TMainWindowState writer(Ui, Paths(home));
        writer.Store().SetMenu(StoreNames::BrowseHistory, {"/old"});
    }
    RecordingUiPort ui;
    TMainWindowState state(ui, Paths(home));
    state.Store().SetValue(StoreNames::DefFilesPath, home.File("data"));
    state.Startup();
    ASSERT_EQ(state.BrowseHistory(), QStringList{"/old"});
    state.Options().RecentlyUsedFileList = 0;
    state.BrowseMP3Folder(Music.Path());
    EXPECT_EQ(state.BrowseHistory(), QStringList{Music.Path()});
}

TEST_F(OpenCommands, HistoryEntryWhoseTargetIsGone) {
    const QString song = Song("a.mp3");
    const QString gone = Music.File("Gone");
    QDir().mkpath(gone);
    State.BrowseMP3Folder(gone);
    State.BrowseMP3Folder(Music.Path());
    const QString goneSong = Song("Gone/b.mp3");
    State.OpenMP3File(goneSong);
    State.OpenMP3File(song);
    ASSERT_TRUE(QDir(gone).removeRecursively());
    const int rows = State.MainList().Count();

    State.BrowseHistoryClick(1);
    State.OpenHistoryClick(1);
    EXPECT_EQ(
        Ui.Texts(Kind::Error),
        QStringList({"Cannot browse \"" + gone + "\".\rThe folder has been deleted or moved.",
                     "Cannot open \"" + goneSong + "\".\rThe file has been deleted or moved."}));
    EXPECT_EQ(State.BrowseHistory(), QStringList{Music.Path()});
    EXPECT_EQ(State.OpenHistory(), QStringList{song});
    EXPECT_EQ(State.MainList().Count(), rows);
    // Clicks past the end do nothing.
    State.BrowseHistoryClick(5);
    State.OpenHistoryClick(-1);
    EXPECT_EQ(Ui.Messages.size(), 2);
}

TEST_F(OpenCommands, HistoryEntriesOpenAndBrowse) {
    Song("a.mp3");
    const QString other = Song("Other/b.mp3");
    State.BrowseMP3Folder(Music.File("Other"));
    State.BrowseMP3Folder(Music.Path());
    // The browse's record and row of the file are reused.
    State.OpenMP3File(other);
    ASSERT_EQ(State.MainList().Count(), 2);
    EXPECT_EQ(Selected(), std::vector<int>({0, 1}));

    State.OpenHistoryClick(0);
    EXPECT_EQ(RowPaths(), QStringList{"Other/b.mp3"});
    EXPECT_EQ(State.OpenFileName(), other);
    EXPECT_EQ(State.StatusText(), "1 file(s) - 1 mismatch(es)");

    State.BrowseHistoryClick(1);
    EXPECT_EQ(RowPaths(), QStringList{"Other/b.mp3"});
    EXPECT_EQ(State.PickerFolder(), Music.File("Other"));
    EXPECT_EQ(State.BrowseHistory(), QStringList({Music.File("Other"), Music.Path()}));
}

TEST_F(OpenCommands, DropFolderThenFile) {
    Song("Album/a.mp3");
    Song("Album/b.mp3");
    const QString single = Song("single.mp3");
    State.HandleDrop({Music.File("Album"), single, Music.File("nothing.here"), QString()});
    EXPECT_EQ(RowPaths(), QStringList({"Album/a.mp3", "Album/b.mp3", "single.mp3"}));
    EXPECT_EQ(Selected(), std::vector<int>({0, 2}));
    EXPECT_EQ(State.PickerFolder(), Music.File("Album"));
    EXPECT_EQ(State.OpenFileName(), single);
    EXPECT_EQ(State.StatusText(), "3 file(s) - 3 mismatch(es)");

    // A folder after a file replaces what came before it.
    State.HandleDrop({single, Music.File("Album")});
    EXPECT_EQ(RowPaths(), QStringList({"Album/a.mp3", "Album/b.mp3"}));
}

TEST_F(OpenCommands, DroppedShortcutsAreFollowed) {
    const QString song = Song("Album/a.mp3");
    const QString link = Music.Write("links/a.lnk", MakeShellLink(song.toUtf8()));
    const QString folderLink =
        Music.Write("links/album.lnk", MakeShellLink("C:\\Music\\Album", "..\\Album"));
    State.HandleDrop({link});
    EXPECT_EQ(RowPaths(), QStringList{"Album/a.mp3"});
    EXPECT_EQ(State.OpenFileName(), song);
    EXPECT_EQ(State.OpenHistory(), QStringList{song});
    State.HandleDrop({folderLink});
    EXPECT_EQ(RowPaths(), QStringList{"Album/a.mp3"});
    EXPECT_EQ(State.BrowseHistory(), QStringList{Music.File("Album")});
    EXPECT_TRUE(Ui.Messages.isEmpty());
}

// A shortcut that leads nowhere ends the drop with its error: later paths are not handled and
// the status is not recomputed.
TEST_F(OpenCommands, UnresolvedShortcutEndsTheDrop) {
    const QString song = Song("a.mp3");
    const struct {
        const char* Name;
        QString Link;
        const char* Error;
    } cases[] = {
        {"missing", Music.File("missing.lnk"), "Link not found."},
        {"target gone", Music.Write("gone.lnk", MakeShellLink("/nowhere/x.mp3")), "Read error."},
        {"not a shortcut", Music.Write("junk.lnk", "junk"), "Read error."},
    };
    for (const auto& c : cases) {
        State.BrowseMP3Folder(Music.Path());
        Ui.Messages.clear();
        const QString status = State.StatusText();
        State.HandleDrop({c.Link, song});
        EXPECT_EQ(Ui.Texts(Kind::Error), QStringList{c.Error}) << c.Name;
        EXPECT_EQ(State.MainList().Count(), 0) << c.Name;
        EXPECT_EQ(State.StatusText(), status) << c.Name;
    }
}

TEST_F(OpenCommands, CommandLinePlaylistThenFolderEnds) {
    Song("Album/a.mp3");
    const QString single = Song("single.mp3");
    const QString playlist = Music.Write("list.m3u", "single.mp3\r\n");
    const QString later = Song("later.mp3");
    State.HandleCommandLine({playlist, Music.File("missing.mp3"), Music.File("Album"), later});
    EXPECT_EQ(RowPaths(), QStringList{"Album/a.mp3"});
    EXPECT_EQ(State.OpenHistory(), QStringList{playlist});
    EXPECT_EQ(State.BrowseHistory(), QStringList{Music.File("Album")});
    EXPECT_EQ(State.StatusText(), "1 file(s) - 1 mismatch(es)");
    // The command line leaves the dialogs' remembered names alone.
    EXPECT_EQ(State.OpenFileName(), "");
    EXPECT_EQ(State.PickerFolder(), "");
    Q_UNUSED(single);
}

TEST_F(OpenCommands, CommandLineFilesAndOddArguments) {
    const QString a = Song("a.mp3");
    const QString b = Song("b.MP3");
    State.HandleCommandLine({a, Music.Write("x.txt", "x"), b, Music.File("gone.mp3"), "-v"});
    EXPECT_EQ(RowPaths(), QStringList({"a.mp3", "b.MP3"}));
    EXPECT_EQ(Selected(), std::vector<int>({0, 1}));
    EXPECT_EQ(State.OpenHistory(), QStringList({b, a}));
    EXPECT_EQ(State.StatusText(), "2 file(s) - 2 mismatch(es)");
}

// Arguments relative to the working folder become full paths, so that rows show their folder
// and the Mixed naming sees the folder's name.
TEST_F(OpenCommands, RelativeArgumentsBecomeFullPaths) {
    Song("Ana - First/a.mp3");
    const QString working = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(Music.Path()));
    State.HandleCommandLine({"Ana - First/a.mp3", "./Ana - First/"});
    QDir::setCurrent(working);
    EXPECT_EQ(State.OpenHistory(), QStringList{Music.File("Ana - First/a.mp3")});
    EXPECT_EQ(State.BrowseHistory(), QStringList{Music.File("Ana - First")});
    ASSERT_EQ(State.MainList().Count(), 1);
    EXPECT_EQ(State.MainList().Row(0).Data->FileName, Music.File("Ana - First/a.mp3"));
    EXPECT_EQ(State.MainList().Cell(0, mcLocation), Music.File("Ana - First"));
}

TEST_F(OpenCommands, EmptyCommandLineDoesNothing) {
    State.HandleCommandLine({});
    EXPECT_TRUE(Ui.StatusTexts.isEmpty());
    EXPECT_FALSE(State.CommandEnabled(TCommand::Export));
}

TEST_F(OpenCommands, CommandLineShortcutError) {
    const QString a = Song("a.mp3");
    State.HandleCommandLine({Music.File("none.lnk"), a});
    EXPECT_EQ(Ui.Texts(Kind::Error), QStringList{"Link not found."});
    EXPECT_EQ(State.MainList().Count(), 0);
    EXPECT_TRUE(Ui.StatusTexts.isEmpty());
}

TEST_F(OpenCommands, StartupAndShutdownKeepHistoriesAndLearnedData) {
    const QString learned = Home.File("learned");
    QDir().mkpath(learned);
    Music.Write("Ana - First/01 - Song.mp3", Mp3Fixture()
                                                 .Text("TPE1", "Ana")
                                                 .Text("TALB", "First")
                                                 .Text("TCON", "(8)")
                                                 .Text("TIT2", "Song")
                                                 .Text("TRCK", "1")
                                                 .Bytes());
    {
        RecordingUiPort ui;
        TMainWindowState state(ui, Paths(Home));
        state.Store().SetValue(StoreNames::DefFilesPath, Home.File("data"));
        state.Store().SetValue(StoreNames::AdvancedLibraryFilesPath, learned);
        state.Startup();
        state.HandleCommandLine({Music.Path()});
        ASSERT_EQ(state.MainList().Count(), 1);
        EXPECT_EQ(state.MainList().Cell(0, mcMismatch), "No");
        state.Shutdown();
        EXPECT_EQ(state.MainList().Count(), 0);
        EXPECT_TRUE(state.Catalogue().empty());
        EXPECT_TRUE(ui.Messages.isEmpty());
    }
    TempDir check;
    QFile albums(learned + "/" + DataFileNames::ArtistsAlbumsGenres);
    ASSERT_TRUE(albums.open(QIODevice::ReadOnly));
    EXPECT_EQ(albums.readAll(), "\xEF\xBB\xBF"
                                "Ana\tFirst|Jazz\r\n");
    QFile artists(learned + "/" + DataFileNames::ArtistGenre);
    ASSERT_TRUE(artists.open(QIODevice::ReadOnly));
    EXPECT_EQ(artists.readAll(), "\xEF\xBB\xBF"
                                 "Ana\tJazz\r\n");

    // The next run finds its history and the learned genre.
    RecordingUiPort ui;
    TMainWindowState state(ui, Paths(Home));
    state.Startup();
    EXPECT_EQ(state.BrowseHistory(), QStringList{Music.Path()});
    EXPECT_EQ(state.ReferenceData().GetGenreByArtist("Ana"), "Jazz");
}

} // namespace
