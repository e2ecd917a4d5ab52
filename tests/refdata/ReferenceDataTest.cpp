#include "refdata/ReferenceData.h"
#include "support/LogFile.h"
#include "testsupport/ScriptedUiPort.h"
#include "testsupport/TempDir.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <optional>

namespace {

const QString AlbumsFile = QStringLiteral("~MyMP3ArtistsAlbumsGenres.def");
const QString ArtistsFile = QStringLiteral("~MyMP3ArtistGenre.def");

QByteArray LearnedBytes(const QStringList& lines) {
    QByteArray bytes("\xEF\xBB\xBF");
    for (const QString& line : lines)
        bytes += line.toUtf8() + "\r\n";
    return bytes;
}

QByteArray LogBytes(const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += line.toUtf8() + "\r\n";
    return bytes;
}

QByteArray Utf16LeWithMark(const QString& text) {
    return QByteArray("\xFF\xFE") +
           QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
}

struct Note {
    QString artist, album, genre;
};

// One shut-down: what the learned-data folder held at start-up, what this run noted, and what
// the two learned files and the log hold afterwards. std::nullopt for an expected file means
// "exactly as it was before" (not written).
struct LearnCase {
    const char* name;
    std::optional<QByteArray> albumsFile;
    std::optional<QByteArray> artistsFile;
    std::vector<Note> notes;
    std::optional<QStringList> expectedAlbums;
    std::optional<QStringList> expectedArtists;
    QStringList expectedLog;
    friend void PrintTo(const LearnCase& c, std::ostream* os) { *os << c.name; }
};

class LearnedDataShutDown : public testing::TestWithParam<LearnCase> {};

TEST_P(LearnedDataShutDown, WritesFilesAndLog) {
    const LearnCase& c = GetParam();
    TempDir dir;
    dir.Write("defs/MP3Genres.def", "# genres\nRock\nPop\nJazz\nElectronic\n");
    if (c.albumsFile)
        dir.Write("learned/" + AlbumsFile, *c.albumsFile);
    if (c.artistsFile)
        dir.Write("learned/" + ArtistsFile, *c.artistsFile);
    QDir().mkpath(dir.File("learned"));

    ScriptedUiPort ui;
    TReferenceData data;
    data.Load(dir.File("defs"), dir.File("learned"), ui);
    ASSERT_TRUE(data.LearnedDataFolderPresent());
    for (const Note& n : c.notes)
        data.NoteArtistAlbumGenre(n.artist, n.album, n.genre);
    TKelmLogFile log(dir.File("state/Quenlor.log"));
    data.SaveLearnedData(log, ui);

    EXPECT_TRUE(ui.Messages.isEmpty()) << ui.Messages.first().Text.toStdString();
    const auto expectFile = [&](const QString& name, const std::optional<QByteArray>& before,
                                const std::optional<QStringList>& expected) {
        const QString path = dir.File("learned/" + name);
        if (expected) {
            EXPECT_EQ(dir.Read("learned/" + name), LearnedBytes(*expected)) << name.toStdString();
        } else if (before) {
            EXPECT_EQ(dir.Read("learned/" + name), *before) << name.toStdString();
        } else {
            EXPECT_FALSE(QFileInfo::exists(path)) << name.toStdString();
        }
    };
    expectFile(AlbumsFile, c.albumsFile, c.expectedAlbums);
    expectFile(ArtistsFile, c.artistsFile, c.expectedArtists);
    EXPECT_EQ(dir.Read("state/Quenlor.log"), LogBytes(c.expectedLog));
    if (c.expectedLog.isEmpty()) {
        EXPECT_FALSE(QFileInfo::exists(dir.File("state/Quenlor.log")));
    }
    // The learned artist list in memory is what was written.
    if (c.expectedArtists) {
        EXPECT_EQ(data.ArtistGenreList(), *c.expectedArtists);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Examples, LearnedDataShutDown,
    testing::Values(LearnCase{"SameGenreOnEveryAlbum",
                              LearnedBytes({"A\tX|Rock", "A\tY|Rock"}),
                              std::nullopt,
                              {},
                              std::nullopt,
                              QStringList{"A\tRock"},
                              {}},
                    LearnCase{"ConflictLoggedAndNotLearned",
                              LearnedBytes({"A\tX|Rock", "A\tY|Pop", "B\tZ|Jazz"}),
                              LearnedBytes({"A\tRock", "B\tJazz"}),
                              {},
                              std::nullopt,
                              QStringList{"B\tJazz"},
                              {"A // Rock <> Pop"}},
                    LearnCase{"EveryDisagreementLogged",
                              LearnedBytes({"A\tX|Rock", "A\tY|Pop", "A\tZ|Rock"}),
                              std::nullopt,
                              {},
                              std::nullopt,
                              QStringList{},
                              {"A // Rock <> Pop", "A // Pop <> Rock"}},
                    LearnCase{"UndefinedGenre",
                              LearnedBytes({"A\tX|", "B\tY|Pop"}),
                              std::nullopt,
                              {},
                              std::nullopt,
                              QStringList{"B\tPop"},
                              {"Undefined Genre // A"}},
                    LearnCase{"UnregisteredGenreStillLearned",
                              LearnedBytes({"A\tX|Polka Punk", "B\tY|pop"}),
                              std::nullopt,
                              {},
                              std::nullopt,
                              QStringList{"A\tPolka Punk", "B\tpop"},
                              {"Unregistered Genre \"Polka Punk\" // A"}},
                    LearnCase{"FirstAndLastArtistLearned",
                              LearnedBytes({"C\tZ|Jazz", "A\tX|Rock", "B\tY|Pop"}),
                              std::nullopt,
                              {},
                              std::nullopt,
                              QStringList{"A\tRock", "B\tPop", "C\tJazz"},
                              {}},
                    LearnCase{"SingleLine",
                              LearnedBytes({"Ana Bo\tFirst Light|Electronic"}),
                              std::nullopt,
                              {},
                              std::nullopt,
                              QStringList{"Ana Bo\tElectronic"},
                              {}},
                    LearnCase{"NewLineReplacesStoredByPrefix",
                              LearnedBytes({"A\tX Deluxe|Rock", "B\tY|Pop"}),
                              std::nullopt,
                              {{"A", "X", "Jazz"}},
                              QStringList{"A\tX|Jazz", "B\tY|Pop"},
                              QStringList{"A\tJazz", "B\tPop"},
                              {}},
                    LearnCase{"ExactAlbumReplacedBeforeLongerOne",
                              LearnedBytes({"A\tX Deluxe|Rock", "A\tX|Rock"}),
                              std::nullopt,
                              {{"A", "X", "Pop"}},
                              QStringList{"A\tX Deluxe|Rock", "A\tX|Pop"},
                              QStringList{},
                              {"A // Rock <> Pop"}},
                    LearnCase{"AlbumWithBarMatchedWhole",
                              LearnedBytes({"A\tX|rock hits|Rock", "A\tX|Pop"}),
                              std::nullopt,
                              {{"A", "X", "Rock"}},
                              QStringList{"A\tX|Rock", "A\tX|rock hits|Rock"},
                              QStringList{"A\tRock"},
                              {}},
                    LearnCase{"NewLinesAppendedAndSorted",
                              LearnedBytes({"b\tY|Pop", "D\tW|Jazz"}),
                              std::nullopt,
                              {{"C", "Z", "Jazz"}, {"A", "X", "Rock"}},
                              QStringList{"A\tX|Rock", "b\tY|Pop", "C\tZ|Jazz", "D\tW|Jazz"},
                              QStringList{"A\tRock", "b\tPop", "C\tJazz", "D\tJazz"},
                              {}},
                    LearnCase{"NewLinesNeverReplaceEachOther",
                              std::nullopt,
                              std::nullopt,
                              {{"A", "X Deluxe", "Rock"}, {"A", "X", "Rock"}},
                              QStringList{"A\tX Deluxe|Rock", "A\tX|Rock"},
                              QStringList{"A\tRock"},
                              {}},
                    LearnCase{"NotesEqualButForCaseKeptOnce",
                              std::nullopt,
                              std::nullopt,
                              {{"A", "X", "Rock"}, {"a", "x", "ROCK"}},
                              QStringList{"A\tX|Rock"},
                              QStringList{"A\tRock"},
                              {}},
                    LearnCase{"NoLearnedDataLeavesArtistFileAlone",
                              std::nullopt,
                              QByteArray("Hand\tEdited\r\n"),
                              {},
                              std::nullopt,
                              std::nullopt,
                              {}},
                    LearnCase{"ArtistFileRebuiltFromScratch",
                              LearnedBytes({"A\tX|Rock"}),
                              LearnedBytes({"Hand\tEdited", "A\tPop"}),
                              {},
                              std::nullopt,
                              QStringList{"A\tRock"},
                              {}},
                    // Read by its mark (UTF-16 here), written back as UTF-8 with a mark.
                    LearnCase{"EncodingByMark",
                              Utf16LeWithMark(QString::fromUtf8("Zoë\tX|Rock\r\n")),
                              std::nullopt,
                              {{QString::fromUtf8("Zoë"), QString::fromUtf8("Été"), "Rock"}},
                              QStringList{QString::fromUtf8("Zoë\tX|Rock"),
                                          QString::fromUtf8("Zoë\tÉté|Rock")},
                              QStringList{QString::fromUtf8("Zoë\tRock")},
                              {}},
                    // A value with a line break or tab must not break the file into stray lines.
                    LearnCase{"OddCharactersStayOnOneLine",
                              std::nullopt,
                              std::nullopt,
                              {{"A\tB", "X\r\nY", "Rock"}},
                              QStringList{"A B\tX  Y|Rock"},
                              QStringList{"A B\tRock"},
                              {}}),
    [](const auto& info) { return std::string(info.param.name); });

class ReferenceDataLoad : public testing::Test {
protected:
    TempDir dir;
    ScriptedUiPort ui;
    TReferenceData data;
};

TEST_F(ReferenceDataLoad, MyFilesWinAndAreNeverMerged) {
    dir.Write("defs/MP3Genres.def", "Rock\nPop\n");
    dir.Write("defs/MyMP3Genres.def", "Shoegaze\n");
    dir.Write("defs/MP3ArtistExceptions.def", "AC/DC\n");
    data.Load(dir.File("defs"), dir.File("nowhere"), ui);
    EXPECT_EQ(data.GenreNames(), QStringList({"Shoegaze"}));
    EXPECT_EQ(data.MP3GenresKelmFlatFile().FileName(), dir.File("defs/MyMP3Genres.def"));
    EXPECT_FALSE(data.IsGenreName("Rock"));
    EXPECT_TRUE(data.IsGenreName("SHOEGAZE"));
    EXPECT_TRUE(data.IsArtistException("ac/dc"));
    EXPECT_FALSE(data.IsArtistException("AC"));
    EXPECT_EQ(data.DataFolder(), dir.File("defs/"));
    EXPECT_TRUE(ui.Messages.isEmpty());

    dir.Write("defs/MyMP3ArtistExceptions.def", "Au/Ra\n");
    data.Load(dir.File("defs/"), dir.File("nowhere"), ui);
    EXPECT_FALSE(data.IsArtistException("AC/DC"));
    EXPECT_TRUE(data.IsArtistException("au/ra"));
}

TEST_F(ReferenceDataLoad, ReloadAfterUpdateReadsTheChosenFileAgain) {
    dir.Write("defs/MP3Genres.def", "Rock\n");
    data.Load(dir.File("defs"), dir.File("nowhere"), ui);
    dir.Write("defs/MP3Genres.def", "Rock\nGrime\n");
    data.MP3GenresKelmFlatFile().Initialize();
    EXPECT_TRUE(data.IsGenreName("grime"));
}

TEST_F(ReferenceDataLoad, MissingFilesGiveEmptyListsQuietly) {
    QDir().mkpath(dir.File("defs"));
    data.Load(dir.File("defs"), "", ui);
    EXPECT_TRUE(data.GenreNames().isEmpty());
    EXPECT_TRUE(data.ArtistExceptions().isEmpty());
    EXPECT_TRUE(ui.Messages.isEmpty());
    // An empty learned-data setting means the data folder, which exists: learning is on.
    EXPECT_EQ(data.LearnedDataFolder(), dir.File("defs/"));
    EXPECT_TRUE(data.LearnedDataFolderPresent());
}

TEST_F(ReferenceDataLoad, UnreadableSuppliedFileIsReportedAndTheRestLoads) {
    QDir().mkpath(dir.File("defs/MP3Genres.def")); // a folder cannot be read as a file
    dir.Write("defs/MP3ArtistExceptions.def", "AC/DC\n");
    data.Load(dir.File("defs"), "", ui);
    EXPECT_TRUE(data.GenreNames().isEmpty());
    EXPECT_TRUE(data.IsArtistException("AC/DC"));
    ASSERT_EQ(ui.Texts(ScriptedUiPort::Kind::Error).size(), 1);
    EXPECT_TRUE(ui.Texts(ScriptedUiPort::Kind::Error).first().contains("MP3Genres.def"));
}

TEST_F(ReferenceDataLoad, LearnedFilesReadFromTheLearnedFolder) {
    dir.Write("learned/" + ArtistsFile,
              LearnedBytes({"Zed\tPop", "Ana Bo\tElectronic", "ana bo\telectronic", "Ana\tJazz"}));
    dir.Write("learned/" + AlbumsFile, LearnedBytes({"B\tY|Pop", "", "A\tX|Rock"}));
    data.Load(dir.File("defs"), dir.File("learned"), ui);
    EXPECT_EQ(data.ArtistAlbumGenreList(), QStringList({"B\tY|Pop", "A\tX|Rock"}))
        << "file order, empty lines dropped";
    EXPECT_EQ(data.ArtistGenreList(), QStringList({"Ana\tJazz", "Ana Bo\tElectronic", "Zed\tPop"}))
        << "sorted, duplicates ignoring case dropped";
    EXPECT_EQ(data.GetGenreByArtist("Ana Bo"), "Electronic");
    EXPECT_EQ(data.GetGenreByArtist("Ana"), "Jazz");
    EXPECT_EQ(data.GetGenreByArtist("ana bo"), "") << "case-sensitive";
    EXPECT_EQ(data.GetGenreByArtist("An"), "");
    EXPECT_EQ(data.GetGenreByArtist(""), "");
}

TEST_F(ReferenceDataLoad, NotesOnlyWhenLearning) {
    dir.Write("learned/" + ArtistsFile, LearnedBytes({"A\tRock"}));
    data.Load(dir.File("defs"), dir.File("learned-missing"), ui);
    EXPECT_FALSE(data.LearnedDataFolderPresent());
    EXPECT_EQ(data.GetGenreByArtist("A"), "");
    data.NoteArtistAlbumGenre("A", "X", "Rock");
    EXPECT_TRUE(data.NewArtistAlbumGenreList().isEmpty());
    // Created after start-up: still off for this run, and nothing is written at shut-down.
    QDir().mkpath(dir.File("learned-missing"));
    TKelmLogFile log(dir.File("Quenlor.log"));
    data.SaveLearnedData(log, ui);
    EXPECT_TRUE(QDir(dir.File("learned-missing")).isEmpty());
}

TEST_F(ReferenceDataLoad, FixedRowsReplaceTheirNote) {
    QDir().mkpath(dir.File("learned"));
    data.Load(dir.File("defs"), dir.File("learned"), ui);
    data.NoteArtistAlbumGenre("A", "X Deluxe", "Rock");
    data.NoteArtistAlbumGenre("A", "X", "Rock");
    data.RemoveNotedArtistAlbum("A", "X");
    EXPECT_EQ(data.NewArtistAlbumGenreList(), QStringList({"A\tX Deluxe|Rock"}));
    data.RemoveNotedArtistAlbum("A", "X");
    EXPECT_TRUE(data.NewArtistAlbumGenreList().isEmpty()) << "a prefix stands in";
    data.NoteArtistAlbumGenre("A", "X", "Rock");
    data.ClearNewArtistAlbumGenreList();
    EXPECT_TRUE(data.NewArtistAlbumGenreList().isEmpty());
}

TEST_F(ReferenceDataLoad, UnreadableAlbumsFileTurnsLearningOffSoItIsNotOverwritten) {
    QDir().mkpath(dir.File("learned/" + AlbumsFile));
    data.Load(dir.File("defs"), dir.File("learned"), ui);
    EXPECT_FALSE(data.LearnedDataFolderPresent());
    EXPECT_EQ(ui.Texts(ScriptedUiPort::Kind::Error).size(), 1);
    data.NoteArtistAlbumGenre("A", "X", "Rock");
    TKelmLogFile log(dir.File("Quenlor.log"));
    data.SaveLearnedData(log, ui);
    EXPECT_FALSE(QFileInfo::exists(dir.File("learned/" + ArtistsFile)));
    EXPECT_EQ(ui.Messages.size(), 1);
}

} // namespace
