// The context menu's edits through the main window on real files, read back with TagLib.
#include "MainWindowFixture.h"

#include "fixing/BulkTagEdits.h"
#include "fixing/FileTimes.h"
#include "fixing/FileWriter.h"

#include <QFile>
#include <fcntl.h>
#include <functional>
#include <sys/file.h>
#include <unistd.h>

namespace {

using Kind = ScriptedUiPort::Kind;

const QByteArray FrontPicture = "FRONT";

Mp3Fixture Sample(const QString& title = QStringLiteral("Song [Live]")) {
    return Mp3Fixture(3)
        .Text("TPE1", "Artist")
        .Text("TIT2", title)
        .Text("TALB", "Album")
        .Text("TRCK", "5")
        .Text("TYER", "1999")
        .Text("TCON", "Rock")
        .Comment("comment")
        .Picture(3, "image/png", FrontPicture)
        .ID3v1({title.toLatin1(), "Artist", "Album", "1999", "v1 comment", 5, 17});
}

enum class After { Nothing, Refresh, Statistics };

// One edit over one selected row: the cell it changes, the value the cell and the record take,
// and what TagLib must read in the file afterwards.
struct EditCase {
    const char* name;
    std::function<void(TMainWindowState&)> run;
    int column;
    const char* cell;
    std::function<void(const TTagLibView&)> check;
    After after;
    friend void PrintTo(const EditCase& c, std::ostream* os) { *os << c.name; }
};

class BulkEdit : public MainWindowFixture, public testing::WithParamInterface<EditCase> {};

TEST_P(BulkEdit, ChangesFileCellAndRecord) {
    const EditCase& c = GetParam();
    state->Options().Suffixes = {{"[Live]", true}, {"(Remix)", true}};
    Write("album/a.mp3", Sample());
    Write("album/b.mp3", Sample("Untouched"));
    music.Write("album/Cover.jpg", "JPEGDATA");
    Load("album");
    const QByteArray untouched = music.Read("album/b.mp3");
    Select({"a.mp3"});
    const int row = Row("a.mp3");
    const TMP3FileData* record = List().Row(row).Data;
    const auto before = List().Row(row).Cells;
    const int mismatches = state->MismatchCount();
    state->SetStatisticsValid(true);

    c.run(*state);

    EXPECT_TRUE(ui.Texts(Kind::Warning).isEmpty()) << LogText().toStdString();
    EXPECT_EQ(List().Cell(row, c.column), QString::fromUtf8(c.cell));
    const TMP3TagData& values = record->MP3TagData;
    const QString recorded = c.column == mcTitle         ? values.Title
                             : c.column == mcGenre       ? values.Genre
                             : c.column == mcComments    ? values.Comment
                             : c.column == mcCoverArt    ? values.CoverArt
                             : c.column == mcTrackNumber ? values.TrackNumber
                                                         : QStringLiteral("?");
    EXPECT_EQ(recorded, QString::fromUtf8(c.cell));
    c.check(ReadWithTagLib(music.File("album/a.mp3")));
    EXPECT_EQ(music.Read("album/b.mp3"), untouched);
    // No edit renames; only the refresh after title and track edits computes the name afresh.
    EXPECT_TRUE(QFile::exists(music.File("album/a.mp3")));
    if (c.after == After::Refresh) {
        // The title and the track number enter the name: the refresh shows the new one.
        EXPECT_NE(List().Cell(row, mcComputedName), before[mcComputedName]);
    } else {
        EXPECT_EQ(List().Cell(row, mcComputedName), before[mcComputedName]);
        EXPECT_EQ(List().Cell(row, mcMismatch), before[mcMismatch]);
        EXPECT_EQ(state->MismatchCount(), mismatches);
    }
    // A refresh makes the statistics stale as well.
    EXPECT_EQ(state->StatisticsValid(), c.after == After::Nothing);
    ExpectAudioIntact();
}

const EditCase EditCases[] = {
    {"ReplaceBrackets", [](TMainWindowState& s) { s.ReplaceByInTitle1Click(); }, mcTitle,
     "Song (Live)",
     [](const TTagLibView& v) {
         EXPECT_EQ(v.Text("TIT2"), "Song (Live)");
         EXPECT_EQ(v.V1Title, "Song (Live)");
     },
     After::Refresh},
    {"AddSuffix", [](TMainWindowState& s) { s.AddSuffixToTitlePopupMenuClick("(Remix)"); }, mcTitle,
     "Song [Live] (Remix)",
     [](const TTagLibView& v) {
         EXPECT_EQ(v.Text("TIT2"), "Song [Live] (Remix)");
         EXPECT_EQ(v.V1Title, "Song [Live] (Remix)");
     },
     After::Refresh},
    {"LowercaseTitle", [](TMainWindowState& s) { s.LowercaseTitle1Click(); }, mcTitle,
     "song [live]",
     [](const TTagLibView& v) {
         EXPECT_EQ(v.Text("TIT2"), "song [live]");
         EXPECT_EQ(v.V1Title, "song [live]");
     },
     After::Refresh},
    {"ClearTitleSuffix", [](TMainWindowState& s) { s.TitleSuffix1Click(); }, mcTitle, "Song",
     [](const TTagLibView& v) {
         EXPECT_EQ(v.Text("TIT2"), "Song");
         EXPECT_EQ(v.V1Title, "Song");
     },
     After::Refresh},
    {"SetGenre", [](TMainWindowState& s) { s.SetGenreToPopupMenuClick("Jazz"); }, mcGenre, "Jazz",
     [](const TTagLibView& v) {
         EXPECT_EQ(v.Text("TCON"), "Jazz");
         EXPECT_EQ(v.V1Genre, 8);
     },
     After::Statistics},
    {"SetGenreUnknownToID3v1", [](TMainWindowState& s) { s.SetGenreToPopupMenuClick("Chillwave"); },
     mcGenre, "Chillwave",
     [](const TTagLibView& v) {
         EXPECT_EQ(v.Text("TCON"), "Chillwave");
         EXPECT_EQ(v.V1Genre, 255);
     },
     After::Statistics},
    {"ClearGenre", [](TMainWindowState& s) { s.Genre1Click(); }, mcGenre, "",
     [](const TTagLibView& v) {
         EXPECT_EQ(v.Text("TCON"), "");
         EXPECT_EQ(v.V1Genre, 255);
     },
     After::Statistics},
    {"ClearComments", [](TMainWindowState& s) { s.Comments1Click(); }, mcComments, "",
     [](const TTagLibView& v) {
         EXPECT_TRUE(v.Comments.isEmpty());
         EXPECT_EQ(v.V1Comment, "");
     },
     After::Nothing},
    {"ClearCoverArt", [](TMainWindowState& s) { s.CoverArt1Click(); }, mcCoverArt, "No",
     [](const TTagLibView& v) {
         EXPECT_TRUE(v.Pictures.isEmpty());
         EXPECT_EQ(v.V1Comment, "v1 comment");
     },
     After::Nothing},
    {"ClearTrackNumber", [](TMainWindowState& s) { s.TrackNumber1Click(); }, mcTrackNumber, "",
     [](const TTagLibView& v) {
         EXPECT_EQ(v.Text("TRCK"), "0");
         EXPECT_EQ(v.V1Track, 0);
     },
     After::Refresh},
    {"EmbedCoverArt", [](TMainWindowState& s) { s.EmbedCoverArt1Click(); }, mcCoverArt,
     "Yes (image/jpeg)",
     [](const TTagLibView& v) {
         ASSERT_EQ(v.Pictures.size(), 1);
         EXPECT_EQ(v.Pictures[0].Data, "JPEGDATA");
         EXPECT_EQ(v.Pictures[0].MIMEType, "image/jpeg");
     },
     After::Nothing},
};

INSTANTIATE_TEST_SUITE_P(Edits, BulkEdit, testing::ValuesIn(EditCases),
                         [](const auto& info) { return std::string(info.param.name); });

class BulkEditTest : public MainWindowFixture {};

TEST_F(BulkEditTest, LowercaseKnowsItsAccentedCapitals) {
    Write("a.mp3", Sample(QString::fromUtf8("ÉCOLE")));
    Write("b.mp3", Sample(QString::fromUtf8("ÚLTIMO")));
    Load();
    SelectAll();
    state->LowercaseTitle1Click();
    QStringList titles;
    for (int row = 0; row < List().Count(); ++row) {
        const TTagLibView v = ReadWithTagLib(PathOf(List().Cell(row, mcName)));
        EXPECT_EQ(v.Text("TIT2"), List().Cell(row, mcTitle));
        EXPECT_EQ(v.V1Title, List().Cell(row, mcTitle));
        titles.append(List().Cell(row, mcTitle));
    }
    titles.sort();
    EXPECT_EQ(titles, QStringList({QString::fromUtf8("Último"), QString::fromUtf8("école")}));
}

TEST_F(BulkEditTest, TitleSuffixesAreCutInTheirListOrder) {
    const struct {
        const char* title;
        QStringList checked;
        const char* expected;
    } cases[] = {
        {"Song (Remix) (Live)", {"(Live)", "(Remix)"}, "Song"},
        {"Song (Live) (Remix)", {"(Live)", "(Remix)"}, "Song"},
        {"Song (Remix) (Live)", {"(Remix)"}, "Song"},
        {"Song (live)", {"(Live)"}, "Song (live)"},
        {"Song(Live)", {"(Live)"}, "Song(Live)"},
        {"A (Live) B (Live)", {"(Live)"}, "A"},
    };
    for (const auto& c : cases) {
        state->Options().Suffixes.clear();
        for (const QString& s : c.checked)
            state->Options().Suffixes.append({s, true});
        state->Options().Suffixes.append({"(Remix) (Live)x", false}); // unchecked: ignored
        TFixRow row;
        row.Title = c.title;
        TDiskWriter writer;
        TFixContext context{state->ID3v2Tag1(), state->ID3v1Tag1(), state->ReferenceData(),
                            state->Log(),       state->Options(),   writer};
        EXPECT_EQ(TitleWithoutSuffixes(row.Title, context), c.expected) << c.title;
    }
}

TEST_F(BulkEditTest, SuffixOnAnEmptyTitleFollowsASpace) {
    Write("a.mp3", Mp3Fixture(3).Text("TPE1", "A"));
    Load();
    SetCell("a.mp3", mcTitle, "");
    Select({"a.mp3"});
    state->AddSuffixToTitlePopupMenuClick("Live");
    EXPECT_EQ(Cell("a.mp3", mcTitle), " Live");
    EXPECT_EQ(ReadWithTagLib(PathOf("a.mp3")).Text("TIT2"), " Live");
    EXPECT_FALSE(ReadWithTagLib(PathOf("a.mp3")).HasID3v1);
}

TEST_F(BulkEditTest, TitleWithoutSuffixLeavesTheFileAndItsTimeAlone) {
    state->Options().Suffixes = {{"(Live)", true}};
    const QString path = Write("a.mp3", Sample("Plain"));
    ASSERT_TRUE(SetLastWriteTime(path, {1000000000, 0}));
    const QByteArray before = music.Read("a.mp3");
    Load();
    SelectAll();
    state->TitleSuffix1Click();
    EXPECT_EQ(music.Read("a.mp3"), before);
    EXPECT_EQ(GetLastWriteTime(path)->tv_sec, 1000000000);
}

TEST_F(BulkEditTest, ClearGenreChangesOnlyTheFirstValue) {
    Write("a.mp3", Mp3Fixture(4).Text("TIT2", "T").Text("TCON", {"Rock", "Pop"}));
    Load();
    SelectAll();
    state->Genre1Click();
    // TagLib leaves empty values out; our own reader shows the list as written.
    EXPECT_EQ(ReadWithTagLib(PathOf("a.mp3")).Texts.value("TCON"), QStringList({"Pop"}));
    TID3v2Tag tag;
    tag.SetFileName(PathOf("a.mp3"));
    tag.Open();
    EXPECT_EQ(tag.Texts().ContentType(), QStringList({"", "Pop"}));
}

TEST_F(BulkEditTest, ClearCoverArtRemovesEveryFrontCover) {
    Write("a.mp3", Mp3Fixture(3)
                       .Text("TIT2", "T")
                       .Picture(3, "image/png", "ONE")
                       .Picture(4, "image/png", "BACK")
                       .Picture(3, "image/jpeg", "TWO"));
    Load();
    SelectAll();
    state->CoverArt1Click();
    const TTagLibView v = ReadWithTagLib(PathOf("a.mp3"));
    ASSERT_EQ(v.Pictures.size(), 1);
    EXPECT_EQ(v.Pictures[0].Type, 4);
    EXPECT_EQ(Cell("a.mp3", mcCoverArt), "No");
    ExpectAudioIntact();
}

TEST_F(BulkEditTest, EmbedWithoutPictureOnlyDropsEmptyFrames) {
    Write("a.mp3", Mp3Fixture(3).Text("TIT2", "T").Text("TALB", "").Padding(100));
    Load();
    SelectAll();
    const QString cell = Cell("a.mp3", mcCoverArt);
    state->EmbedCoverArt1Click();
    const TTagLibView v = ReadWithTagLib(PathOf("a.mp3"));
    EXPECT_EQ(v.Count("TALB"), 0);
    EXPECT_EQ(v.Text("TIT2"), "T");
    EXPECT_EQ(Cell("a.mp3", mcCoverArt), cell);
    ExpectAudioIntact();
}

TEST_F(BulkEditTest, EmbedAlsoTakesThePictureOfTheLibraryHome) {
    state->Options().MusicLibraryHomePath = music.Path();
    Write("a.mp3", Sample());
    music.Write("Folder.jpg", "HOME");
    Load();
    SelectAll();
    state->EmbedCoverArt1Click();
    const TTagLibView v = ReadWithTagLib(PathOf("a.mp3"));
    ASSERT_EQ(v.Pictures.size(), 1);
    EXPECT_EQ(v.Pictures[0].Data, "HOME");
}

TEST_F(BulkEditTest, FileThatCannotBeWrittenKeepsItsRowAndIsCounted) {
    Write("a.mp3", Sample("One"));
    const QString locked = Write("b.mp3", Sample("Two"));
    Write("c.mp3", Sample("Three"));
    Write("gone.mp3", Sample("Four"));
    Load();
    SelectAll();
    QFile::remove(PathOf("gone.mp3"));
    const auto lockedCells = List().Row(Row("b.mp3")).Cells;
    const auto goneCells = List().Row(Row("gone.mp3")).Cells;
    const QByteArray lockedBytes = music.Read("b.mp3");
    {
        const int fd = ::open(QFile::encodeName(locked).constData(), O_RDONLY | O_CLOEXEC);
        ASSERT_EQ(::flock(fd, LOCK_EX), 0);
        state->Comments1Click();
        ::close(fd);
    }
    EXPECT_EQ(List().Row(Row("b.mp3")).Cells, lockedCells);
    EXPECT_EQ(List().Row(Row("b.mp3")).Data->MP3TagData.Comment, "comment");
    EXPECT_EQ(music.Read("b.mp3"), lockedBytes);
    EXPECT_EQ(List().Row(Row("gone.mp3")).Cells, goneCells);
    EXPECT_EQ(Cell("a.mp3", mcComments), "");
    EXPECT_EQ(Cell("c.mp3", mcComments), "");
    EXPECT_TRUE(ReadWithTagLib(PathOf("c.mp3")).Comments.isEmpty());
    EXPECT_EQ(state->FailedFileCount(), 1);
    EXPECT_TRUE(LogText().contains("File not changed // File=" + locked + " // "));
    EXPECT_EQ(ui.Texts(Kind::Warning),
              QStringList("1 file(s) could not be changed.\rThe activity log names each file "
                          "and the error:\r" +
                          state->Log().FileName()));
}

TEST_F(BulkEditTest, PreserveFileDateTimePutsTheTimeBack) {
    state->Options().PreserveFileDateTime = true;
    const QString path = Write("a.mp3", Sample());
    ASSERT_TRUE(SetLastWriteTime(path, {1000000000, 42}));
    Load();
    SelectAll();
    state->SetGenreToPopupMenuClick("Jazz");
    ASSERT_EQ(ReadWithTagLib(path).Text("TCON"), "Jazz");
    EXPECT_EQ(GetLastWriteTime(path)->tv_sec, 1000000000);
    EXPECT_EQ(GetLastWriteTime(path)->tv_nsec, 42);
}

TEST_F(BulkEditTest, ContextMenuFollowsTheSelection) {
    Write("a.mp3", Sample("One"));
    Write("b.mp3", Sample("Two"));
    Load();
    state->Options().Suffixes = {{"(Live)", true}, {"(Demo)", false}, {"&Remix", true}};
    state->Options().Genres = {{"Rock", false}, {"Jazz", true}};

    List().ClearSelection();
    TContextMenuState none = state->PopupMenu1Popup();
    EXPECT_EQ(none.AddSuffixToTitleItems, QStringList({"(Live)", "&Remix"}));
    EXPECT_EQ(none.SetGenreToItems, QStringList({"Jazz"}));
    none.AddSuffixToTitleItems.clear();
    none.SetGenreToItems.clear();
    EXPECT_EQ(none, TContextMenuState());

    Select({"a.mp3"});
    const TContextMenuState one = state->PopupMenu1Popup();
    // Mp3tag also needs the program and wine: its rule is tested with the tool commands.
    EXPECT_TRUE(one.Properties && one.Explore && one.Fix && one.Refresh && one.Clear &&
                one.AddSuffixToTitle && one.LowercaseTitle && one.ReplaceByInTitle &&
                one.SetGenreTo && one.EmbedCoverArt);

    SelectAll();
    const TContextMenuState two = state->PopupMenu1Popup();
    EXPECT_FALSE(two.Properties || two.Explore || two.Mp3tag);
    EXPECT_TRUE(two.Fix && two.Refresh && two.Clear && two.AddSuffixToTitle && two.LowercaseTitle &&
                two.ReplaceByInTitle && two.SetGenreTo && two.EmbedCoverArt);

    // Fix follows the mismatches, or the option that forces it.
    state->FixToolButtonClick();
    ASSERT_EQ(state->MismatchCount(), 0);
    SelectAll();
    EXPECT_FALSE(state->PopupMenu1Popup().Fix);
    state->Options().ForceFixStateToEnabled = true;
    EXPECT_TRUE(state->PopupMenu1Popup().Fix);
}

} // namespace
