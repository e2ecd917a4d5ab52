#include "catalogue/FileAnalysis.h"
#include "refdata/ReferenceData.h"
#include "settings/OptionSet.h"
#include "support/LogFile.h"
#include "testsupport/Mp3Fixture.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/ScriptedUiPort.h"
#include "testsupport/TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

using Mp3Bytes::TID3v1Fields;

// The analysis as the main window runs it: a catalogue, the two tag components, reference data
// that knows a few slash artists and one learned genre, a log and the options.
class Analyser {
public:
    TempDir Music;
    TempDir Data;
    ScriptedUiPort Ui;
    TMP3FileDataList Catalogue;
    TReferenceData ReferenceData;
    TKelmLogFile Log{Data.File("state/Quenlor.log")};
    TOptionSet Options;
    TFileAnalysisContext Context{Catalogue, ReferenceData, Log, Options};

    Analyser() {
        Data.Write("MP3ArtistExceptions.def", "# slash artists\nAC/DC\nSun//Moon\n");
        Data.Write("MP3Genres.def", "Rock\nJazz\n");
        Data.Write("learned/~MyMP3ArtistGenre.def", "\xEF\xBB\xBF"
                                                    "Ana Bo\tJazz\r\nCy\tRock\r\n");
        ReferenceData.Load(Data.Path(), Data.File("learned"), Ui);
        Options.MP3NameComputing = nmFolded;
    }

    TMP3FileData* Analyse(const QString& path, bool enableFind = false) {
        return AddMP3FileToMP3FileDataList(path, enableFind, Context);
    }
    QString Write(const QString& name, const Mp3Fixture& file) {
        return Music.Write(name, file.Bytes());
    }
    QStringList LogLines() const {
        QFile file(Log.FileName());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }
};

// The eight values a case expects; unnamed ones are those of a file that has only
// TIT2 "Song" and TRCK "1" (see Song()).
struct TExpected {
    QString Artist = {};
    QString Title = QStringLiteral("Song");
    QString TrackNumber = QStringLiteral("1");
    QString AlbumTitle = {};
    QString Year = {};
    QString Genre = {};
    QString Comment = {};
    QString CoverArt = QStringLiteral("No");
};

Mp3Fixture Song(int version = 3) {
    return std::move(Mp3Fixture(version).Text("TIT2", "Song").Text("TRCK", "1"));
}

struct AnalysisCase {
    const char* Name;
    Mp3Fixture File;
    // Chosen equal to the computed name (Folded mode), so that Mismatch tells only whether a
    // value was corrected.
    QString FileName = QStringLiteral("01 - Song.mp3");
    TExpected Expected;
    bool Flagged = false;
    std::function<void(TOptionSet&)> SetOptions = {};
    const char* PictureFile = nullptr; // a picture put beside the MP3 file
};
void PrintTo(const AnalysisCase& c, std::ostream* os) {
    *os << c.Name;
}

class AnalysisStep : public testing::TestWithParam<AnalysisCase> {};

TEST_P(AnalysisStep, ValuesAndFlag) {
    const AnalysisCase& c = GetParam();
    Analyser a;
    if (c.SetOptions)
        c.SetOptions(a.Options);
    const QString path = a.Write(c.FileName, c.File);
    if (c.PictureFile)
        a.Music.Write(c.PictureFile, "\xFF\xD8\xFF\xE0");

    TMP3FileData* record = a.Analyse(path);
    ASSERT_NE(record, nullptr);
    const TMP3TagData& tag = record->MP3TagData;
    const TExpected& e = c.Expected;
    EXPECT_EQ(tag.Artist, e.Artist);
    EXPECT_EQ(tag.Title, e.Title);
    EXPECT_EQ(tag.TrackNumber, e.TrackNumber);
    EXPECT_EQ(tag.AlbumTitle, e.AlbumTitle);
    EXPECT_EQ(tag.Year, e.Year);
    EXPECT_EQ(tag.Genre, e.Genre);
    EXPECT_EQ(tag.Comment, e.Comment);
    EXPECT_EQ(tag.CoverArt, e.CoverArt);
    ASSERT_EQ(record->ComputedMP3Name, c.FileName);
    EXPECT_EQ(record->MP3Mismatch, c.Flagged);
    EXPECT_EQ(record->FileName, path);
    ASSERT_EQ(a.Catalogue.size(), 1u);
    EXPECT_EQ(a.Catalogue[0].get(), record);
}

void Featuring(TOptionSet& o) {
    o.MoveFeaturingsFromTitleToComments = true;
}
void Embed(TOptionSet& o) {
    o.EmbedCoverArtDuringFixingProcess = true;
}

const AnalysisCase ArtistCases[] = {
    {"TPE1", Song().Text("TPE1", "Eve Ro"), "01 - Song.mp3", {.Artist = "Eve Ro"}},
    {"TOPE when no TPE1", Song().Text("TOPE", "Orig"), "01 - Song.mp3", {.Artist = "Orig"}},
    {"TPE1 over TOPE",
     Song().Text("TOPE", "Orig").Text("TPE1", "Lead"),
     "01 - Song.mp3",
     {.Artist = "Lead"}},
    {"ID3v1 artist flags",
     Song().ID3v1({.Artist = "Old"}),
     "01 - Song.mp3",
     {.Artist = "Old"},
     true},
    {"TPE1 over ID3v1",
     Song().Text("TPE1", "New").ID3v1({.Artist = "Old"}),
     "01 - Song.mp3",
     {.Artist = "New"}},
    {"2.3 slash list is the first artist",
     Song().Text("TPE1", "Ana/Bo"),
     "01 - Song.mp3",
     {.Artist = "Ana"}},
    {"2.3 AC/DC is an exception",
     Song().Text("TPE1", "AC/DC"),
     "01 - Song.mp3",
     {.Artist = "AC/DC"}},
    {"2.4 AC and DC as two values",
     Song(4).Text("TPE1", {"AC", "DC"}),
     "01 - Song.mp3",
     {.Artist = "AC/DC"}},
    {"2.2 AC/DC", Song(2).Text("TPE1", "AC/DC"), "01 - Song.mp3", {.Artist = "AC/DC"}},
    {"exception ignores case, keeps the tag's",
     Song().Text("TPE1", "ac/dc"),
     "01 - Song.mp3",
     {.Artist = "ac/dc"}},
    {"double slash exception",
     Song().Text("TPE1", "Sun//Moon"),
     "01 - Song.mp3",
     {.Artist = "Sun//Moon"}},
    {"three parts are no exception",
     Song().Text("TPE1", "AC/DC/X"),
     "01 - Song.mp3",
     {.Artist = "AC"}},
};
INSTANTIATE_TEST_SUITE_P(Artist, AnalysisStep, testing::ValuesIn(ArtistCases));

const AnalysisCase TitleCases[] = {
    {"ID3v1 title flags",
     Mp3Fixture().Text("TRCK", "1").ID3v1({.Title = "Song"}),
     "01 - Song.mp3",
     {},
     true},
    {"title from the file name flags",
     Mp3Fixture(0),
     "05 - My Song.mp3",
     {.Title = "My Song", .TrackNumber = "5"},
     true},
    // The name gives no title, and the file is flagged all the same.
    {"empty title from the name flags",
     Mp3Fixture().Text("TRCK", "7"),
     "07 -.mp3",
     {.Title = "", .TrackNumber = "7"},
     true},
};
INSTANTIATE_TEST_SUITE_P(Title, AnalysisStep, testing::ValuesIn(TitleCases));

AnalysisCase FeaturingCase(const char* name, const char* title, const char* comment,
                           const char* left = "Song", bool flagged = true,
                           std::function<void(TOptionSet&)> options = Featuring) {
    return {name,
            Mp3Fixture().Text("TIT2", title).Text("TRCK", "1").Comment("frame"),
            "01 - " + QString::fromUtf8(left) + ".mp3",
            {.Title = left, .Comment = comment},
            flagged,
            std::move(options)};
}

// Each case's name is the title it starts from.
const AnalysisCase FeaturingCases[] = {
    FeaturingCase(" feat. ", "Song feat. Someone", "Feat. Someone"),
    FeaturingCase(" (feat. ", "Song (feat. Someone)", "Feat. Someone"),
    FeaturingCase(" feat ", "Song feat Someone", "Feat. Someone"),
    FeaturingCase(" (feat ", "Song (feat Someone)", "Feat. Someone"),
    FeaturingCase(" ft. ", "Song ft. Someone", "Feat. Someone"),
    FeaturingCase(" (ft. ", "Song (ft. Someone)", "Feat. Someone"),
    FeaturingCase(" ft ", "Song ft Someone", "Feat. Someone"),
    FeaturingCase(" (ft ", "Song (ft Someone)", "Feat. Someone"),
    FeaturingCase(" featuring ", "Song featuring Someone", "Feat. Someone"),
    FeaturingCase(" (featuring ", "Song (featuring Someone)", "Feat. Someone"),
    FeaturingCase("upper case FT. ", "Song FT. Someone", "Feat. Someone"),
    FeaturingCase("mixed case (FeAt. ", "Song (FeAt. Someone)", "Feat. Someone"),
    // Only the markers with a parenthesis lose a closing one, and only at the very end.
    FeaturingCase("plain marker keeps )", "Song feat. Someone)", "Feat. Someone)"),
    FeaturingCase("( not at the end", "Song (feat. A) Live", "Feat. A) Live"),
    // " feat. " comes before " (feat. " in the order, wherever it stands.
    FeaturingCase("first marker in order wins", "Song (feat. A) feat. B", "Feat. B",
                  "Song (feat. A)"),
    FeaturingCase("no space before the marker", "Songfeat. X", "frame", "Songfeat. X", false),
    FeaturingCase("option off", "Song (feat. X)", "frame", "Song (feat. X)", false, nullptr),
};
INSTANTIATE_TEST_SUITE_P(Featuring, AnalysisStep, testing::ValuesIn(FeaturingCases),
                         [](const testing::TestParamInfo<AnalysisCase>& info) {
                             return "case" + std::to_string(info.index);
                         });

AnalysisCase TrackCase(const char* trck, const char* track, bool flagged,
                       const char* fileName = "01 - Song.mp3", TID3v1Fields v1 = {}) {
    Mp3Fixture file = std::move(Mp3Fixture().Text("TIT2", "Song"));
    if (trck)
        file.Text("TRCK", trck);
    if (!v1.Title.isNull() || v1.Track)
        file.ID3v1(v1);
    return {trck ? trck : "no TRCK", file, fileName, {.TrackNumber = track}, flagged};
}

const AnalysisCase TrackCases[] = {
    TrackCase("3/12", "3", false, "03 - Song.mp3"),
    TrackCase("05", "5", true, "05 - Song.mp3"),
    TrackCase("005", "05", true, "05 - Song.mp3"),
    TrackCase("00", "", true, "Song.mp3"),
    TrackCase("0", "", false, "Song.mp3"),
    TrackCase("A7", "7", false, "07 - Song.mp3"),
    TrackCase("3\\12", "3", false, "03 - Song.mp3"),
    TrackCase("3\\1/2", "3", false, "03 - Song.mp3"),
    TrackCase("2.1", "2", false, "02 - Song.mp3"),
    TrackCase("12", "12", false, "12 - Song.mp3"),
    TrackCase("123", "123", false, "123 - Song.mp3"),
    TrackCase("", "9", true, "09 - Song.mp3", {.Title = "Song", .Track = 9}),
    TrackCase("0/12", "9", true, "09 - Song.mp3", {.Title = "Song", .Track = 9}),
    // "00" is not "0", so the ID3v1 track number is not looked at.
    TrackCase("00", "", true, "Song.mp3", {.Title = "Song", .Track = 9}),
    TrackCase(nullptr, "4", true, "04 - Song.mp3"),
    TrackCase(nullptr, "", false, "Song.mp3"),
};
INSTANTIATE_TEST_SUITE_P(Track, AnalysisStep, testing::ValuesIn(TrackCases),
                         [](const testing::TestParamInfo<AnalysisCase>& info) {
                             return "case" + std::to_string(info.index);
                         });

AnalysisCase PrefixCase(const char* name, const char* title, const char* trck, const char* left,
                        const char* fileName) {
    return {name,
            Mp3Fixture().Text("TIT2", title).Text("TRCK", trck),
            fileName,
            {.Title = left, .TrackNumber = trck}};
}

const AnalysisCase TitlePrefixCases[] = {
    PrefixCase("number prefix", "7 Seconds", "7", "Seconds", "07 - Seconds.mp3"),
    PrefixCase("zero and number", "07 Intro", "7", "Intro", "07 - Intro.mp3"),
    PrefixCase("separators", "07 -. Intro", "7", "Intro", "07 - Intro.mp3"),
    PrefixCase("two digits", "12. Twelve", "12", "Twelve", "12 - Twelve.mp3"),
    // The rule compares characters, not numbers.
    PrefixCase("1 in 10", "10 Years", "1", "0 Years", "01 - 0 Years.mp3"),
    PrefixCase("number at the end", "Song 5", "5", "Song 5", "05 - Song 5.mp3"),
};
INSTANTIATE_TEST_SUITE_P(TitlePrefix, AnalysisStep, testing::ValuesIn(TitlePrefixCases));

const AnalysisCase AlbumCases[] = {
    {"TALB", Song().Text("TALB", "First"), "01 - Song.mp3", {.AlbumTitle = "First"}},
    {"ID3v1 album flags",
     Song().ID3v1({.Album = "Old"}),
     "01 - Song.mp3",
     {.AlbumTitle = "Old"},
     true},
};
INSTANTIATE_TEST_SUITE_P(Album, AnalysisStep, testing::ValuesIn(AlbumCases));

const AnalysisCase YearCases[] = {
    {"2.4 TDRC", Song(4).Text("TDRC", "2003-05-01"), "01 - Song.mp3", {.Year = "2003"}},
    {"2.4 without TDRC takes ID3v1",
     Song(4).ID3v1({.Year = "1999"}),
     "01 - Song.mp3",
     {.Year = "1999"},
     true},
    {"2.4 without any year", Song(4), "01 - Song.mp3", {.Year = ""}},
    {"2.4 TDRC before 1900", Song(4).Text("TDRC", "1850"), "01 - Song.mp3", {.Year = ""}},
    {"2.4 TDRC 1899 takes ID3v1",
     Song(4).Text("TDRC", "1899").ID3v1({.Year = "1999"}),
     "01 - Song.mp3",
     {.Year = "1999"},
     true},
    {"2.3 TYER",
     Song(3).Text("TYER", "2001").ID3v1({.Year = "1999"}),
     "01 - Song.mp3",
     {.Year = "2001"}},
    {"2.3 without TYER takes ID3v1",
     Song(3).ID3v1({.Year = "1987"}),
     "01 - Song.mp3",
     {.Year = "1987"},
     true},
    {"2.3 without any year", Song(3), "01 - Song.mp3", {.Year = ""}},
    {"2.3 TYER 1899 takes ID3v1",
     Song(3).Text("TYER", "1899").ID3v1({.Year = "1990"}),
     "01 - Song.mp3",
     {.Year = "1990"},
     true},
    {"2.3 TYER 1899 without ID3v1",
     Song(3).Text("TYER", "1899"),
     "01 - Song.mp3",
     {.Year = "1899"}},
    {"2.3 TYER 1850 stays",
     Song(3).Text("TYER", "1850").ID3v1({.Year = "1990"}),
     "01 - Song.mp3",
     {.Year = "1850"}},
    {"2.2 TYE", Song(2).Text("TYER", "1995"), "01 - Song.mp3", {.Year = "1995"}},
    {"no ID3v2 tag takes ID3v1",
     Mp3Fixture(0).ID3v1({.Title = "Song", .Year = "1977", .Track = 1}),
     "01 - Song.mp3",
     {.Year = "1977"},
     true},
    {"ID3v1 year 0 is none", Song(3).ID3v1({.Year = "0"}), "01 - Song.mp3", {.Year = ""}},
};
INSTANTIATE_TEST_SUITE_P(Year, AnalysisStep, testing::ValuesIn(YearCases));

const AnalysisCase GenreCases[] = {
    {"reference", Song().Text("TCON", "(17)"), "01 - Song.mp3", {.Genre = "Rock"}},
    {"reference and text",
     Song().Text("TCON", "(17)Classic"),
     "01 - Song.mp3",
     {.Genre = "Rock Classic"}},
    {"text", Song().Text("TCON", "Jazz"), "01 - Song.mp3", {.Genre = "Jazz"}},
    {"ID3v1 genre flags", Song().ID3v1({.Genre = 8}), "01 - Song.mp3", {.Genre = "Jazz"}, true},
    {"ID3v1 without genre", Song().ID3v1({.Genre = 255}), "01 - Song.mp3", {.Genre = ""}},
    {"learned genre differs: flagged, kept",
     Song().Text("TPE1", "Cy").Text("TCON", "Pop"),
     "01 - Song.mp3",
     {.Artist = "Cy", .Genre = "Pop"},
     true},
    {"learned genre agrees",
     Song().Text("TPE1", "Cy").Text("TCON", "Rock"),
     "01 - Song.mp3",
     {.Artist = "Cy", .Genre = "Rock"}},
    // Learned genres are looked up with the artist's exact spelling.
    {"learned genre of another case",
     Song().Text("TPE1", "cy").Text("TCON", "Pop"),
     "01 - Song.mp3",
     {.Artist = "cy", .Genre = "Pop"}},
};
INSTANTIATE_TEST_SUITE_P(Genre, AnalysisStep, testing::ValuesIn(GenreCases));

Mp3Fixture Comments(const QStringList& texts) {
    Mp3Fixture file = Song();
    for (const QString& text : texts)
        file.Comment(text, QStringLiteral("d"));
    return file;
}

const AnalysisCase CommentCases[] = {
    {"none", Comments({}), "01 - Song.mp3", {.Comment = ""}},
    {"one", Comments({"A"}), "01 - Song.mp3", {.Comment = "A"}},
    {"'', 'B'", Comments({"", "B"}), "01 - Song.mp3", {.Comment = "B"}},
    {"'A', 'B', 'C'", Comments({"A", "B", "C"}), "01 - Song.mp3", {.Comment = "A"}},
    {"'', 'B', 'C'", Comments({"", "B", "C"}), "01 - Song.mp3", {.Comment = "C"}},
    {"'', 'B', ''", Comments({"", "B", ""}), "01 - Song.mp3", {.Comment = "B"}},
    {"description is not text",
     Song().Comment("", "only a description"),
     "01 - Song.mp3",
     {.Comment = ""}},
    {"empty frames take ID3v1",
     Comments({"", ""}).ID3v1({.Comment = "Old"}),
     "01 - Song.mp3",
     {.Comment = "Old"},
     true},
    {"frame over ID3v1",
     Comments({"New"}).ID3v1({.Comment = "Old"}),
     "01 - Song.mp3",
     {.Comment = "New"}},
    {"2.4 UTF-8",
     Mp3Fixture(4).Text("TIT2", "Song").Text("TRCK", "1").Comment("Łódź"),
     "01 - Song.mp3",
     {.Comment = "Łódź"}},
};
INSTANTIATE_TEST_SUITE_P(Comment, AnalysisStep, testing::ValuesIn(CommentCases));

const AnalysisCase CoverCases[] = {
    {"front cover",
     Song().Picture(3, "image/jpeg"),
     "01 - Song.mp3",
     {.CoverArt = "Yes (image/jpeg)"}},
    {"two front covers: the last",
     Song().Picture(3, "image/jpeg").Picture(3, "image/png"),
     "01 - Song.mp3",
     {.CoverArt = "Yes (image/png)"}},
    {"front then back",
     Song().Picture(3, "image/jpeg").Picture(4, "image/png"),
     "01 - Song.mp3",
     {.CoverArt = "Yes (image/jpeg)"}},
    {"back cover only", Song().Picture(4, "image/png"), "01 - Song.mp3", {.CoverArt = "No"}},
    {"2.2 picture",
     Song(2).Picture(3, "image/png"),
     "01 - Song.mp3",
     {.CoverArt = "Yes (image/png)"}},
    {"picture file, embedding on: flagged", Song(), "01 - Song.mp3", {}, true, Embed, "Cover.jpg"},
    {"picture file, embedding off", Song(), "01 - Song.mp3", {}, false, nullptr, "Cover.jpg"},
    {"Folder.jpg counts too", Song(), "01 - Song.mp3", {}, true, Embed, "Folder.jpg"},
    // Linux file names keep their case: "cover.jpg" is not "Cover.jpg".
    {"cover.jpg is another name", Song(), "01 - Song.mp3", {}, false, Embed, "cover.jpg"},
    {"embedded cover needs no file",
     Song().Picture(3, "image/jpeg"),
     "01 - Song.mp3",
     {.CoverArt = "Yes (image/jpeg)"},
     false,
     Embed,
     "Cover.jpg"},
};
INSTANTIATE_TEST_SUITE_P(Cover, AnalysisStep, testing::ValuesIn(CoverCases));

TEST(FileAnalysis, LearnedGenreMismatchIsLoggedOnce) {
    Analyser a;
    TMP3FileData* record =
        a.Analyse(a.Write("01 - Song.mp3", Song().Text("TPE1", "Ana Bo").Text("TCON", "(17)")));
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->MyMP3Genre, "Jazz");
    EXPECT_EQ(record->MP3TagData.Genre, "Rock");
    EXPECT_TRUE(record->MP3Mismatch);
    EXPECT_EQ(a.LogLines(), QStringList{"Genre mismatch for Ana Bo // OLD=Rock NEW=Jazz"});

    // Without any genre the old one is empty in the line.
    Analyser b;
    b.Analyse(b.Write("01 - Song.mp3", Song().Text("TPE1", "Ana Bo")));
    EXPECT_EQ(b.LogLines(), QStringList{"Genre mismatch for Ana Bo // OLD= NEW=Jazz"});
}

TEST(FileAnalysis, EachFileIsNotedForLearning) {
    Analyser a;
    a.Analyse(a.Write("01 - Song.mp3",
                      Song().Text("TPE1", "Ana Bo").Text("TALB", "First").Text("TCON", "(8)")));
    a.Analyse(a.Write("x/01 - Song.mp3", Song()));
    EXPECT_EQ(a.ReferenceData.NewArtistAlbumGenreList(),
              QStringList({"\t|", "Ana Bo\tFirst|Jazz"}));
}

TEST(FileAnalysis, NothingIsLearnedWithoutTheLearnedFolder) {
    Analyser a;
    a.ReferenceData.Load(a.Data.Path(), a.Data.File("missing"), a.Ui);
    a.Analyse(a.Write("01 - Song.mp3", Song().Text("TPE1", "Ana Bo")));
    EXPECT_TRUE(a.ReferenceData.NewArtistAlbumGenreList().isEmpty());
}

TEST(FileAnalysis, MixedNamingFollowsTheFolderName) {
    const struct {
        const char* Folder;
        const char* Album;
        const char* Computed;
    } cases[] = {
        {"Eve Ro - First Light", "First Light", "03 - Song.mp3"},
        {"ana bo - first light", "First Light", "Eve Ro - First Light - 03 - Song.mp3"},
        {"Eve Ro - Vol. 1", "Vol. 1.", "03 - Song.mp3"},
        {"Eve Ro - A B", "A: B", "03 - Song.mp3"},
        {"Eve Ro - A~B", "A~B", "03 - Song.mp3"},
        {"Other", "First Light", "Eve Ro - First Light - 03 - Song.mp3"},
    };
    for (const auto& c : cases) {
        Analyser a;
        a.Options.MP3NameComputing = nmMixed;
        const QString name = QString::fromUtf8(c.Folder) + "/" + QString::fromUtf8(c.Computed);
        TMP3FileData* record = a.Analyse(a.Write(name, Mp3Fixture()
                                                           .Text("TPE1", "Eve Ro")
                                                           .Text("TALB", QString::fromUtf8(c.Album))
                                                           .Text("TIT2", "Song")
                                                           .Text("TRCK", "3")));
        ASSERT_NE(record, nullptr) << c.Folder;
        EXPECT_EQ(record->ComputedMP3Name, c.Computed) << c.Folder;
        EXPECT_FALSE(record->MP3Mismatch) << c.Folder;
    }
}

TEST(FileAnalysis, NameDifferingOnlyInCaseIsAMismatch) {
    Analyser a;
    TMP3FileData* record = a.Analyse(a.Write("01 - song.mp3", Song()));
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->ComputedMP3Name, "01 - Song.mp3");
    EXPECT_TRUE(record->MP3Mismatch);
    // The extension is part of the name.
    record = a.Analyse(a.Write("01 - Song.MP3", Song()));
    EXPECT_TRUE(record->MP3Mismatch);
}

TEST(FileAnalysis, ReuseFillsTheSameRecordAgain) {
    Analyser a;
    const QString path = a.Write("01 - Song.mp3", Song().Comment("first"));
    TMP3FileData* first = a.Analyse(path);
    ASSERT_NE(first, nullptr);
    first->MP3TagData.Genre = "stale";

    a.Write("01 - Song.mp3", Mp3Fixture().Text("TIT2", "Other").Text("TRCK", "2"));
    TMP3FileData* again = a.Analyse(path, true);
    EXPECT_EQ(again, first);
    ASSERT_EQ(a.Catalogue.size(), 1u);
    EXPECT_EQ(again->FileName, path);
    EXPECT_EQ(again->MP3TagData.Title, "Other");
    EXPECT_EQ(again->MP3TagData.TrackNumber, "2");
    EXPECT_EQ(again->MP3TagData.Genre, "");
    // The record shows what the file holds now, its comment included.
    EXPECT_EQ(again->MP3TagData.Comment, "");
    EXPECT_EQ(again->ComputedMP3Name, "02 - Other.mp3");
    EXPECT_TRUE(again->MP3Mismatch);

    // Without reuse, and for another spelling of the path, a new record is made.
    EXPECT_NE(a.Analyse(path, false), first);
    EXPECT_NE(a.Analyse(a.Music.Path() + "//01 - Song.mp3", true), first);
    EXPECT_EQ(a.Catalogue.size(), 3u);
}

TEST(FileAnalysis, NoFileNoRecord) {
    Analyser a;
    QDir().mkpath(a.Music.File("folder.mp3"));
    for (const QString& path : {a.Music.File("missing.mp3"), a.Music.File("folder.mp3"), QString(),
                                QStringLiteral("/dev/null")})
        EXPECT_EQ(a.Analyse(path), nullptr) << path.toStdString();
    EXPECT_TRUE(a.Catalogue.empty());
    EXPECT_TRUE(a.LogLines().isEmpty());
    EXPECT_TRUE(a.ReferenceData.NewArtistAlbumGenreList().isEmpty());
}

// A tag the reader cannot take is skipped: the ID3v1 tag and the name still count, the file
// is flagged and the log names it once.
TEST(FileAnalysis, UnreadableID3v2TagIsReadAsNone) {
    const QByteArray frames = Mp3Bytes::Frame23("TPE1", Mp3Bytes::Latin1("Lost"));
    const QByteArray rest =
        frames + Mp3Bytes::Audio(2) +
        Mp3Bytes::ID3v1({.Title = "", .Artist = "V1 Artist", .Year = "1990", .Comment = ""});
    // A header that declares more bytes than the file holds.
    const auto beyond = [&](char flags) {
        return QByteArray("ID3\x03\x00", 5) + flags + QByteArray("\x00\x01\x00\x00", 4) + rest;
    };
    const struct {
        const char* Name;
        QByteArray Bytes;
        const char* Error;
    } cases[] = {
        {"size beyond the file", beyond(0),
         "Cannot read file \"%1\". The file ends before its ID3v2 tag does."},
        {"unsynchronised beyond the file", beyond(char(0x80)), "Could not read data from stream"},
        {"unknown text encoding",
         Mp3Bytes::Tag(3, Mp3Bytes::Frame23("TIT2", Mp3Bytes::Encoded(9, "x"))) + rest,
         "Unknown encoding"},
    };
    for (const auto& c : cases) {
        Analyser a;
        const QString path = a.Music.Write("05 - Name Title.mp3", c.Bytes);
        TMP3FileData* record = a.Analyse(path);
        ASSERT_NE(record, nullptr) << c.Name;
        const TMP3TagData& t = record->MP3TagData;
        EXPECT_EQ(t.Artist, "V1 Artist") << c.Name;
        EXPECT_EQ(t.Title, "Name Title") << c.Name;
        EXPECT_EQ(t.TrackNumber, "5") << c.Name;
        EXPECT_EQ(t.Year, "1990") << c.Name;
        EXPECT_EQ(t.CoverArt, "No") << c.Name;
        EXPECT_TRUE(record->MP3Mismatch) << c.Name;
        EXPECT_EQ(a.LogLines(), QStringList{"Unreadable ID3v2 tag // File=" + path + " // " +
                                            QString::fromUtf8(c.Error).replace("%1", path)})
            << c.Name;
    }
}

// Even a file whose name matches and whose only fault is the unreadable tag is flagged.
TEST(FileAnalysis, UnreadableTagAloneFlagsTheFile) {
    Analyser a;
    const QByteArray tag = Song().TagBytes();
    const QString path = a.Music.Write("Song.mp3", tag.left(tag.size() - 1));
    TMP3FileData* record = a.Analyse(path);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->ComputedMP3Name, "Song.mp3");
    EXPECT_TRUE(record->MP3Mismatch);
}

TEST(FileAnalysis, UnreadableFileIsAnalysedByItsName) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    Analyser a;
    const QString path = a.Write("03 - Locked.mp3", Song().Text("TPE1", "Hidden"));
    QFile::setPermissions(path, QFileDevice::Permissions());
    TMP3FileData* record = a.Analyse(path);
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->MP3TagData.Artist, "");
    EXPECT_EQ(record->MP3TagData.Title, "Locked");
    EXPECT_TRUE(record->MP3Mismatch);
    ASSERT_EQ(a.LogLines().size(), 1);
    EXPECT_TRUE(a.LogLines()[0].startsWith("Unreadable ID3v2 tag // File=" + path + " // "));
}

TEST(FileAnalysis, PictureFileOrderAndReadOnlyNote) {
    TempDir dir;
    TKelmLogFile log(dir.File("log/Quenlor.log"));
    const QString mp3 = dir.File("a.mp3");
    EXPECT_EQ(GetPictureFileName(mp3, log), "");
    dir.Write("Folder.jpg", "f");
    EXPECT_EQ(GetPictureFileName(mp3, log), dir.File("Folder.jpg"));
    dir.Write("Front.jpg", "f");
    EXPECT_EQ(GetPictureFileName(mp3, log), dir.File("Front.jpg"));
    QDir().mkpath(dir.File("Cover.jpg")); // a folder is no picture
    EXPECT_EQ(GetPictureFileName(mp3, log), dir.File("Front.jpg"));
    QDir().rmdir(dir.File("Cover.jpg"));
    dir.Write("Cover.jpg", "c");
    EXPECT_EQ(GetPictureFileName(mp3, log), dir.File("Cover.jpg"));
    EXPECT_FALSE(QFileInfo::exists(log.FileName()));

    if (::geteuid() != 0) {
        QFile::setPermissions(dir.File("Cover.jpg"), QFileDevice::ReadOwner);
        EXPECT_EQ(GetPictureFileName(mp3, log), dir.File("Cover.jpg"));
        EXPECT_EQ(log.LogText(), "Covert art file is read-only // File=" + dir.File("Cover.jpg"));
    }
}

TEST(FileAnalysis, FileIsOnlyRead) {
    Analyser a;
    a.Options.MoveFeaturingsFromTitleToComments = true;
    a.Options.EmbedCoverArtDuringFixingProcess = true;
    a.Music.Write("Cover.jpg", "c");
    const QByteArray bytes = Mp3Fixture()
                                 .Text("TIT2", "Song (feat. X)")
                                 .Text("TRCK", "05")
                                 .ID3v1({.Year = "1999"})
                                 .Bytes();
    const QString path = a.Music.Write("x.mp3", bytes);
    const QDateTime before = QFileInfo(path).lastModified();
    ASSERT_NE(a.Analyse(path), nullptr);
    EXPECT_EQ(a.Music.Read("x.mp3"), bytes);
    EXPECT_EQ(QFileInfo(path).lastModified(), before);
}

} // namespace
