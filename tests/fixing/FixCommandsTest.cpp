// Fix through the main window on real files, read back with TagLib.
#include "MainWindowFixture.h"

#include "fixing/FileTimes.h"

#include <QFile>
#include <fcntl.h>
#include <functional>
#include <stdexcept>
#include <sys/file.h>
#include <unistd.h>

namespace {

using Kind = ScriptedUiPort::Kind;
using Fields = Mp3Bytes::TID3v1Fields;

// A file with the usual frames; each value once, so that the test's value is the one read.
struct TTagValues {
    int Version = 3;
    QString Title = QStringLiteral("Title");
    QString Artist = QStringLiteral("Artist");
    QString Album = QStringLiteral("Album");
    QString Date = QStringLiteral("1999");
};

Mp3Fixture Tagged(const TTagValues& v = {}) {
    return Mp3Fixture(v.Version)
        .Text("TPE1", v.Artist)
        .Text("TIT2", v.Title)
        .Text("TALB", v.Album)
        .Text("TRCK", "3")
        .Text(v.Version == 4 ? "TDRC" : "TYER", v.Date)
        .Text("TCON", "Rock");
}

Mp3Fixture Titled(const QString& title) {
    return Tagged({3, title});
}

// One fix of one file named a.mp3: the file, what the person changed in its row, the options,
// and what TagLib must read afterwards.
struct FixCase {
    const char* name;
    Mp3Fixture file;
    std::function<void(MainWindowFixture&)> prepare;
    std::function<void(const TTagLibView&, const QByteArray& bytes)> check;
    friend void PrintTo(const FixCase& c, std::ostream* os) { *os << c.name; }
};

class FixValues : public MainWindowFixture, public testing::WithParamInterface<FixCase> {};

TEST_P(FixValues, WritesTheRowIntoTheTags) {
    const FixCase& c = GetParam();
    Write("a.mp3", c.file);
    Load();
    if (c.prepare)
        c.prepare(*this);
    const QString newName = Cell("a.mp3", mcComputedName);
    state->FixToolButtonClick();

    EXPECT_TRUE(ui.Texts(Kind::Warning).isEmpty()) << LogText().toStdString();
    ASSERT_TRUE(QFile::exists(PathOf(newName)));
    EXPECT_EQ(Cell(newName, mcMismatch), "No");
    EXPECT_EQ(state->MismatchCount(), 0);
    QFile file(PathOf(newName));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    c.check(ReadWithTagLib(PathOf(newName)), file.readAll());
    ExpectAudioIntact();
    ExpectIdle();
}

const FixCase FixCases[] = {
    {"TrackNumberWithCount", Tagged().ID3v1({"Title", "Artist", "Album", "1999", "", 3, 17}),
     [](MainWindowFixture& f) { f.SetCell("a.mp3", mcTrackNumber, "3/12"); },
     [](const TTagLibView& v, const QByteArray&) {
         EXPECT_EQ(v.Text("TRCK"), "312");
         EXPECT_EQ(v.V1Track, 56);
     }},
    {"TrackNumberBeyondAnyInteger", Tagged().ID3v1({"Title", "Artist", "Album", "1999", "", 3, 17}),
     [](MainWindowFixture& f) {
         f.SetCell("a.mp3", mcTrackNumber, "123456789012345678901234567890");
     },
     [](const TTagLibView& v, const QByteArray&) {
         EXPECT_EQ(v.Text("TRCK"), "123456789012345678901234567890");
         EXPECT_EQ(v.V1Track, 210);
     }},
    {"EmptyTrackNumberIsZero", Tagged(),
     [](MainWindowFixture& f) { f.SetCell("a.mp3", mcTrackNumber, ""); },
     [](const TTagLibView& v, const QByteArray&) { EXPECT_EQ(v.Text("TRCK"), "0"); }},
    {"EmptyYearKeepsTYER", Tagged({3}),
     [](MainWindowFixture& f) { f.SetCell("a.mp3", mcYear, ""); },
     [](const TTagLibView& v, const QByteArray& bytes) {
         EXPECT_EQ(v.Version, 3);
         EXPECT_TRUE(bytes.contains("TYER"));
         EXPECT_EQ(v.Text("TDRC"), "1999"); // TagLib shows TYER as TDRC
     }},
    {"EmptyYearRemovesTDRC", Tagged({4}),
     [](MainWindowFixture& f) { f.SetCell("a.mp3", mcYear, ""); },
     [](const TTagLibView& v, const QByteArray&) { EXPECT_EQ(v.Count("TDRC"), 0); }},
    {"Version23YearIsTYER", Tagged({3}),
     [](MainWindowFixture& f) { f.SetCell("a.mp3", mcYear, "2001"); },
     [](const TTagLibView& v, const QByteArray& bytes) {
         EXPECT_EQ(v.Version, 3);
         EXPECT_TRUE(bytes.contains("TYER"));
         EXPECT_FALSE(bytes.contains("TDRC"));
         EXPECT_EQ(v.Text("TDRC"), "2001");
     }},
    {"Version24WithoutRecordingTime", Mp3Fixture(4).Text("TPE1", "Artist").Text("TIT2", "Title"),
     [](MainWindowFixture& f) { f.SetCell("a.mp3", mcYear, "2001"); },
     [](const TTagLibView& v, const QByteArray&) { EXPECT_EQ(v.Text("TDRC"), "2001-12-30"); }},
    {"Version24KeepsMonthAndDay", Tagged({4, "Title", "Artist", "Album", "1999-05-17T10:11:12"}),
     [](MainWindowFixture& f) { f.SetCell("a.mp3", mcYear, "2003"); },
     [](const TTagLibView& v, const QByteArray&) { EXPECT_EQ(v.Text("TDRC"), "2003-05-17"); }},
    {"LeapDayIntoAnOrdinaryYear", Mp3Fixture(4).Text("TPE1", "A").Text("TDRC", "2004-02-29"),
     [](MainWindowFixture& f) { f.SetCell("a.mp3", mcYear, "2001"); },
     [](const TTagLibView& v, const QByteArray&) { EXPECT_EQ(v.Text("TDRC"), "2001-02-28"); }},
    {"OneCommentFrameWithLanguageXXX", Tagged().Comment("first").Comment("loudness", "iTunNORM"),
     [](MainWindowFixture& f) { f.SetCell("a.mp3", mcComments, "Hello"); },
     [](const TTagLibView& v, const QByteArray&) {
         ASSERT_EQ(v.Comments.size(), 1);
         EXPECT_EQ(v.Comments[0].Language, "XXX");
         EXPECT_EQ(v.Comments[0].Description, "");
         EXPECT_EQ(v.Comments[0].Text, "Hello");
     }},
    {"EmptyCommentLeavesNoCommentFrame", Tagged().Comment("first"),
     [](MainWindowFixture& f) { f.SetCell("a.mp3", mcComments, ""); },
     [](const TTagLibView& v, const QByteArray&) { EXPECT_TRUE(v.Comments.isEmpty()); }},
    {"NoID3v1TagIsCreated", Tagged(), nullptr,
     [](const TTagLibView& v, const QByteArray&) { EXPECT_FALSE(v.HasID3v1); }},
    {"ID3v1TagTakesTheValues", Tagged().ID3v1({"Old", "Old", "Old", "1980", "old comment", 1, 0}),
     [](MainWindowFixture& f) {
         f.SetCell("a.mp3", mcComments, "New comment");
         f.SetCell("a.mp3", mcGenre, "Jazz");
     },
     [](const TTagLibView& v, const QByteArray&) {
         EXPECT_EQ(v.V1Title, "Title");
         EXPECT_EQ(v.V1Artist, "Artist");
         EXPECT_EQ(v.V1Album, "Album");
         EXPECT_EQ(v.V1Year, "1999");
         EXPECT_EQ(v.V1Comment, "New comment");
         EXPECT_EQ(v.V1Track, 3);
         EXPECT_EQ(v.V1Genre, 8); // Jazz
     }},
    {"GenreUnknownToID3v1", Tagged().ID3v1({"T", "A", "B", "1999", "", 3, 17}),
     [](MainWindowFixture& f) { f.SetCell("a.mp3", mcGenre, "Chillwave"); },
     [](const TTagLibView& v, const QByteArray&) {
         EXPECT_EQ(v.V1Genre, 255);
         EXPECT_EQ(v.Text("TCON"), "Chillwave");
     }},
    {"FileWithoutID3v2GetsVersion24", Mp3Fixture(0).ID3v1({"T", "A", "B", "1999", "", 3, 17}),
     nullptr,
     [](const TTagLibView& v, const QByteArray& bytes) {
         EXPECT_EQ(v.Version, 4);
         EXPECT_EQ(v.Text("TIT2"), "T");
         EXPECT_EQ(v.Text("TRCK"), "3");
         EXPECT_EQ(v.Text("TDRC"), "1999-12-30");
         // A new tag area is 4096 bytes at most for these few frames.
         EXPECT_EQ(bytes.size(), 4096 + Mp3Bytes::Audio(4).size() + 128);
     }},
    {"OnlyTheFirstGenreChanges", Mp3Fixture(4).Text("TPE1", "A").Text("TCON", {"Rock", "Pop"}),
     [](MainWindowFixture& f) { f.SetCell("a.mp3", mcGenre, "Jazz"); },
     [](const TTagLibView& v, const QByteArray&) {
         EXPECT_EQ(v.Texts.value("TCON"), QStringList({"Jazz", "Pop"}));
     }},
    {"OnlyTheFirstArtistChanges", Mp3Fixture(3).Text("TPE1", {"First", "Second"}),
     [](MainWindowFixture& f) { f.SetCell("a.mp3", mcArtist, "One/Two"); },
     [](const TTagLibView& v, const QByteArray&) {
         // A "/" inside a value is dropped on writing: the second value stays.
         EXPECT_EQ(v.Text("TPE1"), "OneTwo/Second");
     }},
    {"TrailingSpaceOfTheArtist", Tagged(),
     [](MainWindowFixture& f) { f.SetCell("a.mp3", mcArtist, "Someone "); },
     [](const TTagLibView& v, const QByteArray&) { EXPECT_EQ(v.Text("TPE1"), "Someone"); }},
    {"WideCharactersInUTF16", Tagged(),
     [](MainWindowFixture& f) { f.SetCell("a.mp3", mcTitle, QString::fromUtf8("Чайка ✓")); },
     [](const TTagLibView& v, const QByteArray&) {
         EXPECT_EQ(v.Text("TIT2"), QString::fromUtf8("Чайка ✓"));
     }},
};

INSTANTIATE_TEST_SUITE_P(Fix, FixValues, testing::ValuesIn(FixCases),
                         [](const auto& info) { return std::string(info.param.name); });

class FixTest : public MainWindowFixture {};

TEST_F(FixTest, ArtistExceptionKeepsItsSlashBetweenValues) {
    LoadReferenceData({}, {"AC/DC"});
    Write("a.mp3", Mp3Fixture(4).Text("TPE1", {"X", "Y", "Extra"}).Text("TIT2", "T"));
    Write("b.mp3", Mp3Fixture(3).Text("TPE1", "Foo").Text("TIT2", "U"));
    Write("c.mp3", Mp3Fixture(3).Text("TPE1", {"AC", "DC"}).Text("TIT2", "V"));
    Load();
    EXPECT_EQ(Cell("c.mp3", mcArtist), "AC/DC");
    SetCell("a.mp3", mcArtist, "AC/DC");
    SetCell("b.mp3", mcArtist, "Foo/Bar");
    state->FixToolButtonClick();
    QMap<QString, QString> artists;
    for (int row = 0; row < List().Count(); ++row)
        artists[List().Cell(row, mcTitle)] =
            ReadWithTagLib(PathOf(List().Cell(row, mcName))).Texts.value("TPE1").join(u'|');
    // The parts go over the values by position; the value beyond them stays.
    EXPECT_EQ(artists.value("T"), "AC/DC/Extra");
    // Any other name is one value, written without its "/".
    EXPECT_EQ(artists.value("U"), "FooBar");
    EXPECT_EQ(artists.value("V"), "AC/DC"); // TagLib keeps a 2.3 list as one text
    ExpectAudioIntact();
}

TEST_F(FixTest, LearnedGenreReplacesTheCell) {
    LoadReferenceData({"Artist\tBlues"});
    Write("a.mp3", Tagged());
    Load();
    EXPECT_EQ(Cell("a.mp3", mcGenre), "Rock");
    const QString newName = Cell("a.mp3", mcComputedName);
    state->FixToolButtonClick();
    EXPECT_EQ(Cell(newName, mcGenre), "Blues");
    EXPECT_EQ(List().Row(Row(newName)).Data->MP3TagData.Genre, "Blues");
    EXPECT_EQ(ReadWithTagLib(PathOf(newName)).Text("TCON"), "Blues");
}

TEST_F(FixTest, TitleIsCleanedAndFormattedWhenTheOptionsAsk) {
    state->Options().FormatTitleDuringFixingProcess = true;
    state->Options().CleanAttributesDuringReadingProcess = true;
    Write("a.mp3", Tagged());
    Load();
    SetCell("a.mp3", mcTitle, QString::fromUtf8("  the \u2018long\u2019  road  "));
    const QString newName = Cell("a.mp3", mcComputedName);
    state->FixToolButtonClick();
    const QString title = Cell(newName, mcTitle);
    EXPECT_EQ(title, "The 'long' Road");
    EXPECT_EQ(ReadWithTagLib(PathOf(newName)).Text("TIT2"), title);
    EXPECT_EQ(List().Row(Row(newName)).Data->MP3TagData.Title, title);
}

TEST_F(FixTest, RowAndRecordFollowTheRename) {
    Write("a.mp3", Tagged());
    Load();
    ASSERT_EQ(state->MismatchCount(), 1);
    const QString newName = Cell("a.mp3", mcComputedName);
    ASSERT_NE(newName, "a.mp3");
    const TMP3FileData* record = List().Row(Row("a.mp3")).Data;
    state->FixToolButtonClick();
    EXPECT_FALSE(QFile::exists(PathOf("a.mp3")));
    EXPECT_EQ(record->FileName, PathOf(newName));
    EXPECT_EQ(record->ComputedMP3Name, newName);
    EXPECT_FALSE(record->MP3Mismatch);
    EXPECT_EQ(record->MP3TagData.TrackNumber, "3");
    EXPECT_EQ(state->StatusText(), "1 file(s) - 0 mismatch(es)");
    EXPECT_FALSE(state->StatisticsValid());
    // Shown again from its record, the row reads the same.
    const auto cells = List().Row(0).Cells;
    state->RefreshToolButtonClick();
    EXPECT_EQ(List().Row(0).Cells, cells);
    EXPECT_EQ(state->MismatchCount(), 0);
}

TEST_F(FixTest, FileWithItsComputedNameIsRewrittenInPlace) {
    Write("x.mp3", Tagged().Comment("old"));
    Load();
    const QString name = Cell("x.mp3", mcComputedName);
    state->RefreshToolButtonClick(); // nothing changes for a listed file
    state->FixToolButtonClick();     // renames it
    ASSERT_TRUE(QFile::exists(PathOf(name)));
    // Flagged again by a changed value, it keeps its name and gets its new tags.
    SetCell(name, mcComments, "new");
    List().Row(Row(name)).Data->MP3Mismatch = true;
    state->FixToolButtonClick();
    EXPECT_EQ(ReadWithTagLib(PathOf(name)).Comments.value(0).Text, "new");
    EXPECT_EQ(Cell(name, mcMismatch), "No");
    ExpectAudioIntact();
}

TEST_F(FixTest, ExistingFileOfTheComputedNameIsNeverReplaced) {
    Write("a.mp3", Tagged().AudioFrames(5));
    Load();
    const QString newName = Cell("a.mp3", mcComputedName);
    const QByteArray other = Mp3Fixture(3).Text("TIT2", "Other").AudioFrames(7).Bytes();
    WriteBytes(newName, other);
    SetCell("a.mp3", mcComments, "written anyway");
    state->FixToolButtonClick();

    EXPECT_EQ(music.Read(newName), other);
    EXPECT_EQ(ReadWithTagLib(PathOf("a.mp3")).Comments.value(0).Text, "written anyway");
    EXPECT_EQ(Cell("a.mp3", mcMismatch), "Yes");
    EXPECT_EQ(state->MismatchCount(), 1);
    EXPECT_EQ(List().Row(Row("a.mp3")).Data->FileName, PathOf("a.mp3"));
    EXPECT_TRUE(LogText().contains("File not renamed // File=" + PathOf("a.mp3")));
    EXPECT_TRUE(ui.Texts(Kind::Warning).isEmpty());
    ExpectAudioIntact();
}

TEST_F(FixTest, UnflaggedRowIsLeftAloneUnlessFixingIsForced) {
    Write("a.mp3", Tagged());
    Load();
    const QString newName = Cell("a.mp3", mcComputedName);
    state->FixToolButtonClick();
    const QByteArray fixed = music.Read(newName);
    SetCell(newName, mcComments, "changed in the row only");

    state->FixToolButtonClick();
    EXPECT_EQ(music.Read(newName), fixed);

    state->Options().ForceFixStateToEnabled = true;
    state->FixToolButtonClick();
    EXPECT_EQ(ReadWithTagLib(PathOf(newName)).Comments.value(0).Text, "changed in the row only");
}

TEST_F(FixTest, SelectionFixesOnlyTheSelectedRows) {
    Write("a.mp3", Titled("One"));
    Write("b.mp3", Titled("Two"));
    Write("c.mp3", Titled("Three"));
    Load();
    Select({"a.mp3", "c.mp3"});
    state->Fix1Click();
    EXPECT_TRUE(QFile::exists(PathOf("b.mp3")));
    EXPECT_FALSE(QFile::exists(PathOf("a.mp3")));
    EXPECT_FALSE(QFile::exists(PathOf("c.mp3")));
    EXPECT_EQ(state->MismatchCount(), 1);
    EXPECT_EQ(ui.ProgressMaximum, 2);
    ExpectIdle();
}

TEST_F(FixTest, PreserveFileDateTimeKeepsTheTimeThroughTheRename) {
    state->Options().PreserveFileDateTime = true;
    const QString path = Write("a.mp3", Tagged());
    Write("b.mp3", Titled("Other"));
    const timespec old{1000000000, 123456789};
    ASSERT_TRUE(SetLastWriteTime(path, old));
    ASSERT_TRUE(SetLastWriteTime(PathOf("b.mp3"), old));
    Load();
    // b.mp3 cannot take its computed name: its time is kept all the same.
    WriteBytes(Cell("b.mp3", mcComputedName), Mp3Fixture(3).Bytes());
    const QString newName = Cell("a.mp3", mcComputedName);
    state->FixToolButtonClick();
    for (const QString& name : {newName, QStringLiteral("b.mp3")}) {
        const auto time = GetLastWriteTime(PathOf(name));
        ASSERT_TRUE(time) << name.toStdString();
        EXPECT_EQ(time->tv_sec, old.tv_sec);
        EXPECT_EQ(time->tv_nsec, old.tv_nsec);
    }
}

TEST_F(FixTest, WithoutPreserveFileDateTimeTheTimeMoves) {
    const QString path = Write("a.mp3", Tagged());
    ASSERT_TRUE(SetLastWriteTime(path, {1000000000, 0}));
    Load();
    const QString newName = Cell("a.mp3", mcComputedName);
    state->FixToolButtonClick();
    EXPECT_GT(GetLastWriteTime(PathOf(newName))->tv_sec, 1000000000);
}

// The cover picture the fix embeds, by the pictures in the folder.
struct CoverCase {
    const char* name;
    QStringList pictures; // each file holds its own name as bytes
    const char* embedded; // "" when none is
    friend void PrintTo(const CoverCase& c, std::ostream* os) { *os << c.name; }
};

class FixCover : public MainWindowFixture, public testing::WithParamInterface<CoverCase> {};

TEST_P(FixCover, PicksTheFolderPicture) {
    const CoverCase& c = GetParam();
    state->Options().EmbedCoverArtDuringFixingProcess = true;
    Write("album/a.mp3", Tagged());
    for (const QString& picture : c.pictures)
        music.Write("album/" + picture, picture.toLatin1());
    Load("album");
    const QString newName = Cell("a.mp3", mcComputedName);
    state->FixToolButtonClick();
    const TTagLibView v = ReadWithTagLib(music.File("album/" + newName));
    if (*c.embedded == 0) {
        EXPECT_TRUE(v.Pictures.isEmpty());
        EXPECT_EQ(Cell(newName, mcCoverArt), "No");
        return;
    }
    ASSERT_EQ(v.Pictures.size(), 1);
    EXPECT_EQ(v.Pictures[0].Type, 3);
    EXPECT_EQ(v.Pictures[0].MIMEType, "image/jpeg");
    EXPECT_EQ(v.Pictures[0].Description, "");
    EXPECT_EQ(v.Pictures[0].Data, QByteArray(c.embedded));
    EXPECT_EQ(Cell(newName, mcCoverArt), "Yes (image/jpeg)");
    EXPECT_EQ(List().Row(Row(newName)).Data->MP3TagData.CoverArt, "Yes (image/jpeg)");
}

const CoverCase CoverCases[] = {
    {"NoPicture", {}, ""},
    {"FolderOnly", {"Folder.jpg"}, "Folder.jpg"},
    {"FrontBeforeFolder", {"Folder.jpg", "Front.jpg"}, "Front.jpg"},
    {"CoverFirst", {"Folder.jpg", "Front.jpg", "Cover.jpg"}, "Cover.jpg"},
    {"NamesAreCaseSensitive", {"cover.jpg", "Folder.jpg"}, "Folder.jpg"},
};

INSTANTIATE_TEST_SUITE_P(Fix, FixCover, testing::ValuesIn(CoverCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FixTest, PictureInTheLibraryHomeFolderIsNotEmbedded) {
    state->Options().EmbedCoverArtDuringFixingProcess = true;
    state->Options().MusicLibraryHomePath = music.Path();
    Write("a.mp3", Tagged().Picture(3, "image/png", "PNGDATA"));
    music.Write("Cover.jpg", "JPEG");
    Load();
    const QString newName = Cell("a.mp3", mcComputedName);
    state->FixToolButtonClick();
    const TTagLibView v = ReadWithTagLib(PathOf(newName));
    ASSERT_EQ(v.Pictures.size(), 1);
    EXPECT_EQ(v.Pictures[0].Data, "PNGDATA");
    EXPECT_EQ(Cell(newName, mcCoverArt), "Yes (image/png)");
}

TEST_F(FixTest, EmbeddedPictureSurvivesAnEarlierFrontCover) {
    state->Options().EmbedCoverArtDuringFixingProcess = true;
    Write("album/a.mp3", Tagged().Picture(3, "image/png", "FIRST").Picture(3, "image/png", "2ND"));
    music.Write("album/Cover.jpg", "NEW");
    Load("album");
    const QString newName = Cell("a.mp3", mcComputedName);
    state->FixToolButtonClick();
    const TTagLibView v = ReadWithTagLib(music.File("album/" + newName));
    ASSERT_EQ(v.Pictures.size(), 1);
    EXPECT_EQ(v.Pictures[0].Data, "NEW");
    EXPECT_EQ(Cell(newName, mcCoverArt), "Yes (image/jpeg)");
}

// Holds the advisory lock that other programs writing a file take.
class TFileLock {
public:
    explicit TFileLock(const QString& path)
        : FFd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC)) {
        EXPECT_EQ(::flock(FFd, LOCK_EX), 0);
    }
    ~TFileLock() { ::close(FFd); }

private:
    int FFd;
};

TEST_F(FixTest, FilesThatCannotBeWrittenAreSkippedAndCountedOnce) {
    Write("good1.mp3", Titled("One"));
    const QByteArray damaged = Mp3Fixture(3).Raw("TIT2", "\x07odd").AudioFrames(6).Bytes();
    WriteBytes("damaged.mp3", damaged);
    const QString lockedPath = Write("locked.mp3", Titled("Locked"));
    Write("good2.mp3", Titled("Two"));
    const QByteArray lockedBytes = music.Read("locked.mp3");
    Load();
    ASSERT_EQ(state->MismatchCount(), 4);
    const auto damagedCells = List().Row(Row("damaged.mp3")).Cells;
    SetCell("locked.mp3", mcArtist, "Changed ");
    const auto lockedCells = List().Row(Row("locked.mp3")).Cells;
    const TMP3TagData lockedValues = List().Row(Row("locked.mp3")).Data->MP3TagData;
    {
        TFileLock lock(lockedPath);
        state->FixToolButtonClick();
    }
    EXPECT_EQ(music.Read("damaged.mp3"), damaged);
    EXPECT_EQ(music.Read("locked.mp3"), lockedBytes);
    EXPECT_EQ(List().Row(Row("damaged.mp3")).Cells, damagedCells);
    EXPECT_EQ(List().Row(Row("locked.mp3")).Cells, lockedCells);
    EXPECT_EQ(List().Row(Row("locked.mp3")).Data->MP3TagData, lockedValues);
    EXPECT_FALSE(QFile::exists(PathOf("good1.mp3")));
    EXPECT_FALSE(QFile::exists(PathOf("good2.mp3")));
    EXPECT_EQ(state->MismatchCount(), 2);
    EXPECT_EQ(state->FailedFileCount(), 2);

    const QString log = LogText();
    EXPECT_TRUE(log.contains("File not fixed // File=" + PathOf("damaged.mp3") + " // "));
    EXPECT_TRUE(log.contains("File not fixed // File=" + lockedPath + " // "));
    EXPECT_TRUE(log.contains("in use by another process"));
    EXPECT_EQ(ui.Texts(Kind::Warning),
              QStringList("2 file(s) could not be fixed.\rThe activity log names each file and "
                          "the error:\r" +
                          state->Log().FileName()));
    EXPECT_TRUE(ui.Texts(Kind::Error).isEmpty());
    ExpectAudioIntact();
    ExpectIdle();
}

TEST_F(FixTest, StopRequestEndsTheRunWithItsClosingSteps) {
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3", "d.mp3"})
        Write(name, Titled(name));
    Load();
    StopAtEventCall(3);
    state->FixToolButtonClick();
    EXPECT_EQ(state->MismatchCount(), 2);
    EXPECT_FALSE(state->StopRequested());
    ExpectIdle();
}

TEST_F(FixTest, UnexpectedErrorStillRunsTheClosingSteps) {
    for (const char* name : {"a.mp3", "b.mp3", "c.mp3"})
        Write(name, Titled(name));
    Load();
    int calls = 0;
    ui.OnPendingEvents = [&] {
        if (++calls == 2)
            throw std::runtime_error("the window went away");
    };
    EXPECT_THROW(state->FixToolButtonClick(), std::runtime_error);
    ui.OnPendingEvents = nullptr;
    EXPECT_EQ(state->MismatchCount(), 2);
    ExpectIdle();
    EXPECT_THROW(
        {
            ui.OnPendingEvents = [] { throw std::runtime_error("again"); };
            state->RefreshToolButtonClick();
        },
        std::runtime_error);
    ExpectIdle();
}

TEST_F(FixTest, FixOfEveryRowNotesOnlyTheFixedRows) {
    LoadReferenceData({});
    Write("a.mp3", Tagged({3, "T", "Ann", "First"}));
    Write("b.mp3", Tagged({3, "T", "Bob", "Second"}));
    Load();
    const QString bName = Cell("b.mp3", mcComputedName);
    Select({"b.mp3"});
    state->Fix1Click();
    ASSERT_EQ(Cell(bName, mcMismatch), "No");
    EXPECT_EQ(state->ReferenceData().NewArtistAlbumGenreList().size(), 2);

    SetCell("a.mp3", mcGenre, "Jazz");
    state->FixToolButtonClick(); // b is no longer flagged
    EXPECT_EQ(state->ReferenceData().NewArtistAlbumGenreList(), QStringList("Ann\tFirst|Jazz"));
}

TEST_F(FixTest, FixOfTheSelectionReplacesTheRowsNote) {
    LoadReferenceData({});
    Write("a.mp3", Tagged({3, "T", "Ann", "First"}));
    Write("b.mp3", Tagged({3, "T", "Bob", "Second"}));
    Load();
    const QStringList before = state->ReferenceData().NewArtistAlbumGenreList();
    ASSERT_TRUE(before.contains("Ann\tFirst|Rock"));
    SetCell("a.mp3", mcGenre, "Jazz");
    Select({"a.mp3"});
    state->Fix1Click();
    const QStringList after = state->ReferenceData().NewArtistAlbumGenreList();
    EXPECT_TRUE(after.contains("Ann\tFirst|Jazz"));
    EXPECT_FALSE(after.contains("Ann\tFirst|Rock"));
    EXPECT_TRUE(after.contains("Bob\tSecond|Rock"));
}

TEST_F(FixTest, RefreshRemovesRowsWhoseFileIsGone) {
    Write("a.mp3", Titled("One"));
    Write("b.mp3", Titled("Two"));
    Write("c.mp3", Titled("Three"));
    Load();
    ASSERT_EQ(state->MismatchCount(), 3);
    const int catalogued = int(state->Catalogue().size());
    QFile::remove(PathOf("a.mp3"));
    QFile::remove(PathOf("c.mp3"));
    Select({"a.mp3", "b.mp3", "c.mp3"});
    state->Refresh1Click();
    EXPECT_EQ(List().Count(), 1);
    EXPECT_EQ(List().Cell(0, mcName), "b.mp3");
    EXPECT_EQ(state->MismatchCount(), 1);
    EXPECT_EQ(int(state->Catalogue().size()), catalogued);
    ExpectIdle();

    state->RefreshToolButtonClick();
    state->RefreshToolButtonClick();
    EXPECT_EQ(state->MismatchCount(), 1);
    QFile::remove(PathOf("b.mp3"));
    state->RefreshToolButtonClick();
    EXPECT_EQ(List().Count(), 0);
    EXPECT_EQ(state->MismatchCount(), 0);
    EXPECT_EQ(state->StatusText(), "0 file(s) - 0 mismatch(es)");
}

TEST_F(FixTest, CommandsWaitForARunningOperation) {
    Write("a.mp3", Tagged());
    Load();
    const QByteArray before = music.Read("a.mp3");
    bool tried = false;
    ui.OnPendingEvents = [&] {
        if (tried)
            return;
        tried = true;
        // Gestures that reach the window between two rows of a refresh.
        SelectAll();
        EXPECT_FALSE(state->PopupMenu1Popup().Fix);
        state->Fix1Click();
        state->Comments1Click();
    };
    state->RefreshToolButtonClick();
    EXPECT_TRUE(tried);
    EXPECT_EQ(music.Read("a.mp3"), before);
}

} // namespace
