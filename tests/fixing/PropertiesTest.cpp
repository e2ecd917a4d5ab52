// The properties dialog's state on real files: filled from the row, confirmed, read back with
// TagLib.
#include "MainWindowFixture.h"

#include "fixing/FileTimes.h"
#include "ui/PropertiesDialogState.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <fcntl.h>
#include <functional>
#include <sys/file.h>
#include <unistd.h>

namespace {

using Kind = ScriptedUiPort::Kind;
using TConfirmed = TPropertiesDialogState::TConfirmed;

QByteArray Encoded(const char* format, QSize size = {40, 30}) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format)) << format;
    return bytes;
}

// A 1x1 GIF, which the tag keeps whether or not a codec shows it.
const QByteArray Gif = QByteArray::fromHex("47494638396101000100800000000000ffffff21f90401000000"
                                           "002c00000000010001000002024401003b");

// An APIC frame's content with a description.
QByteArray PictureContent(const QByteArray& mime, int type, const QByteArray& description,
                          const QByteArray& data) {
    return QByteArray(1, '\0') + mime + '\0' + char(type) + description + '\0' + data;
}

Mp3Fixture Sample(int version = 3) {
    return Mp3Fixture(version)
        .Text("TPE1", "Artist")
        .Text("TIT2", "Song")
        .Text("TALB", "Album")
        .Text("TRCK", "5")
        .Text(version == 4 ? "TDRC" : "TYER", "1999")
        .Text("TCON", "Rock")
        .Comment("first")
        .Comment("second", "other")
        .ID3v1({"Song", "Artist", "Album", "1999", "v1 comment", 5, 17});
}

class PropertiesTest : public MainWindowFixture {
public:
    TPropertiesDialogState& Dialog() { return state->PropertiesDialog(); }

    // Loads the music folder and opens the dialog on the one file.
    void OpenOn(const QString& name) {
        Load();
        Select({name});
        ASSERT_TRUE(Dialog().Open());
    }
    TTagLibView Read(const QString& name) { return ReadWithTagLib(PathOf(name)); }
};

// One confirm of the dialog: the file it starts from, what is typed, what TagLib reads after.
struct ConfirmCase {
    const char* name;
    std::function<Mp3Fixture()> file;
    QStringList exceptions;
    std::function<void(TPropertiesValues&)> edit;
    std::function<void(const TTagLibView&)> check;
    friend void PrintTo(const ConfirmCase& c, std::ostream* os) { *os << c.name; }
};

class PropertiesConfirm : public PropertiesTest, public testing::WithParamInterface<ConfirmCase> {};

TEST_P(PropertiesConfirm, WritesBothTagsRecordAndRow) {
    const ConfirmCase& c = GetParam();
    LoadReferenceData({}, c.exceptions);
    Write("a.mp3", c.file());
    OpenOn("a.mp3");
    c.edit(Dialog().Values());
    const TPropertiesValues typed = Dialog().Values();
    state->SetStatisticsValid(true);

    ASSERT_EQ(Dialog().Confirm(), TConfirmed::Written)
        << ui.Texts(Kind::Error).join(" | ").toStdString();

    c.check(Read("a.mp3"));
    const TMP3TagData& record = List().Row(Row("a.mp3")).Data->MP3TagData;
    EXPECT_EQ(record.Artist, typed.Artist);
    EXPECT_EQ(record.Title, typed.Title);
    EXPECT_EQ(record.TrackNumber, typed.TrackNumber);
    EXPECT_EQ(record.Year, typed.Year);
    EXPECT_EQ(record.Genre, typed.Genre);
    EXPECT_EQ(record.Comment, typed.Comments);
    EXPECT_EQ(Cell("a.mp3", mcArtist), typed.Artist);
    EXPECT_EQ(Cell("a.mp3", mcTitle), typed.Title);
    // The row is shown again: the name the new values call for.
    EXPECT_TRUE(Cell("a.mp3", mcComputedName).contains(typed.Title))
        << Cell("a.mp3", mcComputedName).toStdString();
    EXPECT_FALSE(state->StatisticsValid());
    EXPECT_TRUE(QFile::exists(PathOf("a.mp3")));
    ExpectIdle();
    ExpectAudioIntact();
}

const ConfirmCase ConfirmCases[] = {
    {"NoChangeWritesTheRowAndOneComment",
     [] { return Sample(); },
     {},
     [](TPropertiesValues&) {},
     [](const TTagLibView& v) {
         EXPECT_EQ(v.Text("TPE1"), "Artist");
         EXPECT_EQ(v.Text("TIT2"), "Song");
         EXPECT_EQ(v.Text("TRCK"), "5");
         EXPECT_EQ(v.Text("TCON"), "Rock");
         ASSERT_EQ(v.Comments.size(), 1);
         EXPECT_EQ(v.Comments[0].Text, "first");
         EXPECT_EQ(v.V1Comment, "first");
     }},
    {"EveryField",
     [] { return Sample(); },
     {},
     [](TPropertiesValues& d) {
         d = {"New Artist", "New Title", "300", "New Album", "2004", "Jazz", "note"};
     },
     [](const TTagLibView& v) {
         EXPECT_EQ(v.Version, 3);
         EXPECT_EQ(v.Text("TPE1"), "New Artist");
         EXPECT_EQ(v.Text("TIT2"), "New Title");
         EXPECT_EQ(v.Text("TRCK"), "300");
         EXPECT_EQ(v.Text("TALB"), "New Album");
         EXPECT_EQ(v.Text("TDRC"), "2004");
         EXPECT_EQ(v.Text("TCON"), "Jazz");
         ASSERT_EQ(v.Comments.size(), 1);
         EXPECT_EQ(v.Comments[0].Text, "note");
         EXPECT_EQ(v.V1Artist, "New Artist");
         EXPECT_EQ(v.V1Title, "New Title");
         EXPECT_EQ(v.V1Track, 300 % 256);
         EXPECT_EQ(v.V1Album, "New Album");
         EXPECT_EQ(v.V1Year, "2004");
         EXPECT_EQ(v.V1Genre, 8);
         EXPECT_EQ(v.V1Comment, "note");
     }},
    {"ExceptionSplitAtItsSlash",
     [] { return Sample(4); },
     {"AC/DC"},
     [](TPropertiesValues& d) { d.Artist = "AC/DC"; },
     [](const TTagLibView& v) {
         // Two values, which TPE1 joins with "/".
         EXPECT_EQ(v.Texts.value("TPE1"), QStringList({"AC/DC"}));
         EXPECT_EQ(v.V1Artist, "AC/DC");
     }},
    {"ExceptionSplitAtItsFirstSlashOnly",
     [] { return Sample(4); },
     {"A/B/C"},
     [](TPropertiesValues& d) { d.Artist = "A/B/C"; },
     [](const TTagLibView& v) { EXPECT_EQ(v.Texts.value("TPE1"), QStringList({"A/BC"})); }},
    {"SlashOutsideTheListDropped",
     [] { return Sample(4); },
     {"AC/DC"},
     [](TPropertiesValues& d) { d.Artist = "Me/You"; },
     [](const TTagLibView& v) {
         EXPECT_EQ(v.Texts.value("TPE1"), QStringList({"MeYou"}));
         EXPECT_EQ(v.V1Artist, "Me/You");
     }},
    {"EmptyYearKeepsTYER",
     [] { return Sample(3); },
     {},
     [](TPropertiesValues& d) { d.Year.clear(); },
     [](const TTagLibView& v) {
         EXPECT_EQ(v.Text("TDRC"), "1999");
         EXPECT_EQ(v.V1Year, "");
     }},
    {"EmptyYearRemovesTDRC",
     [] { return Sample(4); },
     {},
     [](TPropertiesValues& d) { d.Year.clear(); },
     [](const TTagLibView& v) { EXPECT_EQ(v.Count("TDRC"), 0); }},
    {"LeapDayToAnOrdinaryYear",
     [] {
         return Mp3Fixture(4)
             .Text("TPE1", "Artist")
             .Text("TIT2", "Song")
             .Text("TDRC", "2000-02-29");
     },
     {},
     [](TPropertiesValues& d) { d.Year = "2001"; },
     [](const TTagLibView& v) { EXPECT_EQ(v.Text("TDRC"), "2001-02-28"); }},
    {"NoID3v1TagStaysWithout",
     [] { return Mp3Fixture(3).Text("TPE1", "Artist").Text("TIT2", "Song"); },
     {},
     [](TPropertiesValues& d) { d.Title = "Other"; },
     [](const TTagLibView& v) {
         EXPECT_EQ(v.Text("TIT2"), "Other");
         EXPECT_FALSE(v.HasID3v1);
     }},
};

INSTANTIATE_TEST_SUITE_P(Cases, PropertiesConfirm, testing::ValuesIn(ConfirmCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PropertiesTest, OpensOnlyOnOneSelectedRowWhoseFileExists) {
    Write("a.mp3", Sample());
    Write("b.mp3", Sample());
    Load();
    Select({"a.mp3", "b.mp3"});
    EXPECT_FALSE(Dialog().Open());
    Select({});
    EXPECT_FALSE(Dialog().Open());
    Select({"b.mp3"});
    QFile::remove(PathOf("b.mp3"));
    EXPECT_FALSE(Dialog().Open());
    EXPECT_TRUE(ui.Messages.isEmpty());
}

TEST_F(PropertiesTest, FieldsComeFromTheRowCells) {
    state->Options().Genres = {{"Rock", true}, {"ambient", true}, {"Jazz", false}, {"Blues", true}};
    Write("a.mp3", Sample());
    Load();
    SetCell("a.mp3", mcArtist, "Cell Artist");
    SetCell("a.mp3", mcTrackNumber, "");
    Select({"a.mp3"});
    ASSERT_TRUE(Dialog().Open());
    EXPECT_EQ(Dialog().Values(),
              (TPropertiesValues{"Cell Artist", "Song", "0", "Album", "1999", "Rock", "first"}));
    EXPECT_EQ(Dialog().GenreItems(), QStringList({"ambient", "Blues", "Rock"}));
    EXPECT_EQ(Dialog().FileName(), PathOf("a.mp3"));
}

// Values the dialog refuses: a message, the dialog stays open, nothing is written.
struct RefusedCase {
    const char* name;
    std::function<void(TPropertiesValues&)> edit;
    const char* message;
    friend void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.name; }
};

class PropertiesRefused : public PropertiesTest, public testing::WithParamInterface<RefusedCase> {};

TEST_P(PropertiesRefused, KeepsTheDialogOpenAndTheFile) {
    const QString path = Write("a.mp3", Sample());
    OpenOn("a.mp3");
    const QByteArray before = music.Read("a.mp3");
    const auto cells = List().Row(Row("a.mp3")).Cells;
    GetParam().edit(Dialog().Values());
    EXPECT_EQ(Dialog().Confirm(), TConfirmed::StayOpen);
    EXPECT_EQ(ui.Texts(Kind::Error), QStringList(GetParam().message));
    EXPECT_EQ(music.Read("a.mp3"), before);
    EXPECT_EQ(List().Row(Row("a.mp3")).Cells, cells);
    // Mended, the same dialog confirms.
    Dialog().Values().Artist = "Artist";
    Dialog().Values().TrackNumber = "7";
    Dialog().Values().Year = "2001";
    EXPECT_EQ(Dialog().Confirm(), TConfirmed::Written);
    EXPECT_EQ(ReadWithTagLib(path).Text("TRCK"), "7");
}

const RefusedCase RefusedCases[] = {
    {"EmptyArtist", [](TPropertiesValues& d) { d.Artist.clear(); },
     "The artist value must be non-empty."},
    {"EmptyTrackNumber", [](TPropertiesValues& d) { d.TrackNumber.clear(); },
     "The track number value must be a number."},
    {"TrackNumberNotANumber", [](TPropertiesValues& d) { d.TrackNumber = "3/12"; },
     "The track number value must be a number."},
    {"YearNotANumber", [](TPropertiesValues& d) { d.Year = "19x9"; },
     "The year value must be empty or a number of at most four digits."},
    {"YearTooLong", [](TPropertiesValues& d) { d.Year = "19999"; },
     "The year value must be empty or a number of at most four digits."},
};

INSTANTIATE_TEST_SUITE_P(Cases, PropertiesRefused, testing::ValuesIn(RefusedCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PropertiesTest, UntouchedCoversStayByteForByte) {
    const QByteArray jpeg = Encoded("JPEG");
    Write("jpeg.mp3", Sample().Raw("APIC", PictureContent("image/jpeg", 3, "front", jpeg)));
    Write("gif.mp3", Sample().Raw("APIC", PictureContent("image/gif", 3, "", Gif)));
    Write("damaged.mp3", Sample().Raw("APIC", PictureContent("image/jpeg", 3, "", "\xFF\xD8junk")));
    Load();
    for (const QString name : {"jpeg.mp3", "gif.mp3", "damaged.mp3"}) {
        SCOPED_TRACE(name.toStdString());
        const auto before = Read(name).Pictures;
        Select({name});
        ASSERT_TRUE(Dialog().Open());
        ASSERT_EQ(Dialog().Confirm(), TConfirmed::Written);
        const auto after = Read(name).Pictures;
        ASSERT_EQ(after.size(), 1);
        EXPECT_EQ(after[0].Data, before[0].Data);
        EXPECT_EQ(after[0].MIMEType, before[0].MIMEType);
        EXPECT_EQ(after[0].Description, before[0].Description);
        EXPECT_EQ(Cell(name, mcCoverArt), "Yes (" + before[0].MIMEType + ")");
    }
    EXPECT_EQ(Read("jpeg.mp3").Pictures[0].Data, jpeg);
    ExpectAudioIntact();
}

TEST_F(PropertiesTest, CoverThatCannotBeShownIsNamedInTheCoverArea) {
    Write("a.mp3", Sample().Picture(3, "image/jpeg", "\xFF\xD8junk"));
    OpenOn("a.mp3");
    EXPECT_TRUE(Dialog().CoverImage().isNull());
    EXPECT_EQ(Dialog().CoverNote(),
              "The front cover (image/jpeg, 6 bytes) cannot be shown. It is kept as it is.");
    Dialog().ClearButtonClick();
    EXPECT_EQ(Dialog().CoverNote(), "");
}

TEST_F(PropertiesTest, CoverThatCanBeShownIsDecoded) {
    Write("a.mp3", Sample().Picture(3, "image/png", Encoded("PNG", {64, 48})));
    OpenOn("a.mp3");
    EXPECT_EQ(Dialog().CoverImage().size(), QSize(64, 48));
    EXPECT_EQ(Dialog().CoverNote(), "");
}

// A picture chosen with Assign and what the file holds afterwards.
struct AssignCase {
    const char* name;
    const char* fileName;
    std::function<QByteArray()> bytes;
    const char* mime;
    bool asChosen; // the file's own bytes are embedded
    friend void PrintTo(const AssignCase& c, std::ostream* os) { *os << c.name; }
};

class PropertiesAssign : public PropertiesTest, public testing::WithParamInterface<AssignCase> {};

TEST_P(PropertiesAssign, BecomesTheOneFrontCover) {
    const AssignCase& c = GetParam();
    Write("a.mp3", Sample()
                       .Picture(3, "image/jpeg", "OLD1")
                       .Raw("APIC", PictureContent("image/jpeg", 3, "described", "OLD2"))
                       .Picture(4, "image/jpeg", "BACK"));
    const QByteArray chosen = c.bytes();
    const QString picture = music.Write(QString::fromLatin1(c.fileName), chosen);
    OpenOn("a.mp3");
    ASSERT_TRUE(Dialog().AssignPicture(picture));
    EXPECT_FALSE(Dialog().CoverImage().isNull());
    ASSERT_EQ(Dialog().Confirm(), TConfirmed::Written);

    const TTagLibView v = Read("a.mp3");
    ASSERT_EQ(v.Pictures.size(), 2);
    const auto front = std::find_if(v.Pictures.begin(), v.Pictures.end(),
                                    [](const auto& p) { return p.Type == 3; });
    ASSERT_NE(front, v.Pictures.end());
    EXPECT_EQ(front->MIMEType, c.mime);
    EXPECT_EQ(front->Description, "");
    if (c.asChosen)
        EXPECT_EQ(front->Data, chosen);
    else
        EXPECT_EQ(QImage::fromData(front->Data, "PNG").size(), QSize(40, 30));
    EXPECT_TRUE(std::any_of(v.Pictures.begin(), v.Pictures.end(),
                            [](const auto& p) { return p.Type == 4 && p.Data == "BACK"; }));
    EXPECT_EQ(Cell("a.mp3", mcCoverArt), QStringLiteral("Yes (%1)").arg(c.mime));
    EXPECT_EQ(List().Row(Row("a.mp3")).Data->MP3TagData.CoverArt,
              QStringLiteral("Yes (%1)").arg(c.mime));
    ExpectAudioIntact();
}

const AssignCase AssignCases[] = {
    {"Png", "cover.png", [] { return Encoded("PNG"); }, "image/png", true},
    {"Jpeg", "cover.jpg", [] { return Encoded("JPEG"); }, "image/jpeg", true},
    // The type follows the bytes, not the name.
    {"PngNamedJpg", "cover.jpg", [] { return Encoded("PNG"); }, "image/png", true},
    {"BitmapBecomesPng", "cover.bmp", [] { return Encoded("BMP"); }, "image/png", false},
};

INSTANTIATE_TEST_SUITE_P(Cases, PropertiesAssign, testing::ValuesIn(AssignCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PropertiesTest, AssignOfAFileThatHoldsNoPictureKeepsTheCoverArea) {
    Write("a.mp3", Sample().Picture(3, "image/png", Encoded("PNG")));
    const QString bad = music.Write("bad.jpg", "not a picture");
    OpenOn("a.mp3");
    EXPECT_FALSE(Dialog().AssignPicture(bad));
    EXPECT_EQ(ui.Texts(Kind::Error).size(), 1);
    EXPECT_TRUE(ui.Texts(Kind::Error).value(0).contains(bad));
    EXPECT_FALSE(Dialog().CoverImage().isNull());
    EXPECT_EQ(Dialog().CoverEdit().Change, TCoverEdit::TChange::Keep);
}

TEST_F(PropertiesTest, AssignButtonProposesTheFolderPicture) {
    Write("album/a.mp3", Sample());
    const QString cover = music.Write("album/Front.jpg", Encoded("JPEG"));
    Load();
    Select({"a.mp3"});
    ASSERT_TRUE(Dialog().Open());
    ui.PickerResults.enqueue({cover});
    Dialog().AssignButtonClick();
    EXPECT_EQ(ui.PickerStartFolders, QStringList(music.File("album/Front.jpg")));
    EXPECT_EQ(ui.PickerFilters.value(0),
              QStringList({"JPEG files (*.jpg)", "PNG files (*.png)", "All files (*)"}));
    EXPECT_EQ(Dialog().CoverEdit().Change, TCoverEdit::TChange::Assign);
    EXPECT_EQ(Dialog().CoverEdit().Data, music.Read("album/Front.jpg"));
    // A cancelled chooser changes nothing.
    Dialog().ClearButtonClick();
    Dialog().AssignButtonClick();
    EXPECT_EQ(Dialog().CoverEdit().Change, TCoverEdit::TChange::Clear);
}

TEST_F(PropertiesTest, ClearRemovesEveryFrontCoverAndKeepsTheOthers) {
    Write("a.mp3", Sample()
                       .Picture(3, "image/jpeg", "ONE")
                       .Raw("APIC", PictureContent("image/png", 3, "two", "TWO"))
                       .Picture(4, "image/jpeg", "BACK"));
    OpenOn("a.mp3");
    Dialog().ClearButtonClick();
    EXPECT_TRUE(Dialog().CoverImage().isNull());
    ASSERT_EQ(Dialog().Confirm(), TConfirmed::Written);
    const TTagLibView v = Read("a.mp3");
    ASSERT_EQ(v.Pictures.size(), 1);
    EXPECT_EQ(v.Pictures[0].Type, 4);
    EXPECT_EQ(v.Pictures[0].Data, "BACK");
    EXPECT_EQ(Cell("a.mp3", mcCoverArt), "No");
    ExpectAudioIntact();
}

TEST_F(PropertiesTest, PreserveFileDateTimeKeepsTheTime) {
    state->Options().PreserveFileDateTime = true;
    const QString path = Write("a.mp3", Sample());
    ASSERT_TRUE(SetLastWriteTime(path, {1000000000, 42}));
    OpenOn("a.mp3");
    Dialog().Values().Title = "Changed";
    ASSERT_EQ(Dialog().Confirm(), TConfirmed::Written);
    ASSERT_EQ(ReadWithTagLib(path).Text("TIT2"), "Changed");
    EXPECT_EQ(GetLastWriteTime(path)->tv_sec, 1000000000);
    EXPECT_EQ(GetLastWriteTime(path)->tv_nsec, 42);
}

TEST_F(PropertiesTest, FileThatCannotBeWrittenKeepsRecordRowAndFile) {
    const QString path = Write("a.mp3", Sample());
    OpenOn("a.mp3");
    const QByteArray before = music.Read("a.mp3");
    const auto cells = List().Row(Row("a.mp3")).Cells;
    const TMP3TagData record = List().Row(Row("a.mp3")).Data->MP3TagData;
    Dialog().Values().Title = "Changed";
    Dialog().ClearButtonClick();
    state->SetStatisticsValid(true);
    // Read-only, and locked, since the tests may run as root.
    QFile::setPermissions(path, QFile::ReadOwner);
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    EXPECT_EQ(Dialog().Confirm(), TConfirmed::Failed);
    ::close(fd);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);

    ASSERT_EQ(ui.Texts(Kind::Error).size(), 1);
    EXPECT_TRUE(ui.Texts(Kind::Error)[0].startsWith("\"" + path + "\" could not be written:\r"));
    EXPECT_EQ(music.Read("a.mp3"), before);
    EXPECT_EQ(List().Row(Row("a.mp3")).Cells, cells);
    EXPECT_EQ(List().Row(Row("a.mp3")).Data->MP3TagData, record);
    EXPECT_TRUE(state->StatisticsValid());
    EXPECT_TRUE(LogText().contains("File not changed // File=" + path + " // "));
}

TEST_F(PropertiesTest, FileGoneWhileTheDialogWasOpenIsReported) {
    Write("a.mp3", Sample());
    OpenOn("a.mp3");
    QFile::remove(PathOf("a.mp3"));
    EXPECT_EQ(Dialog().Confirm(), TConfirmed::Failed);
    EXPECT_EQ(ui.Texts(Kind::Error).size(), 1);
    EXPECT_FALSE(QFile::exists(PathOf("a.mp3")));
}

TEST_F(PropertiesTest, UnreadableTagsOpenNoDialog) {
    // A tag whose declared size runs past the end of the file.
    WriteBytes("a.mp3", QByteArray("ID3\x03\x00\x00\x00\x00\x7F\x7F", 10) + "TIT2");
    Load();
    ASSERT_EQ(List().Count(), 1);
    Select({"a.mp3"});
    const QByteArray before = music.Read("a.mp3");
    EXPECT_FALSE(Dialog().Open());
    EXPECT_EQ(ui.Texts(Kind::Error).size(), 1);
    EXPECT_EQ(music.Read("a.mp3"), before);
}

} // namespace
