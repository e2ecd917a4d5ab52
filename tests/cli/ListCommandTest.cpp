#include "CliRunner.h"
#include "testsupport/Mp3Fixture.h"
#include "testsupport/QtPrinters.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

const QByteArray Header = "\"Name\",\"Location\",\"MP3 Name (Computed)\",\"Mismatch\",\"Artist\","
                          "\"Title\",\"Track Number\",\"Album Title\",\"Year\",\"Genre\","
                          "\"Comments\",\"Cover Art\"\r\n";

QByteArray Row(const QStringList& cells) {
    QStringList quoted;
    for (const QString& cell : cells)
        quoted.append(u'"' + cell + u'"');
    return quoted.join(u',').toUtf8() + "\r\n";
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class ListCommand : public testing::Test {
protected:
    CliRunner Cli;
    TempDir Music;
    QString Album; // "Ana - First", the files' own folder

    ListCommand() {
        Album = Music.File("Ana - First");
        Music.Write("Ana - First/01 - Song.mp3", Mp3Fixture()
                                                     .Text("TPE1", "Ana")
                                                     .Text("TALB", "First")
                                                     .Text("TIT2", "Song")
                                                     .Text("TRCK", "1")
                                                     .Text("TCON", "(8)")
                                                     .Text("TYER", "2001")
                                                     .Picture(3, "image/png")
                                                     .Bytes());
        // Non-ASCII text, a quote and a comma stay as they are.
        Music.Write("Ana - First/łódź.mp3", Mp3Fixture(4)
                                                .Text("TPE1", "Ana")
                                                .Text("TALB", "First")
                                                .Text("TIT2", "Łódź \"Live\", Take")
                                                .Text("TRCK", "02")
                                                .Comment("Zoë")
                                                .Bytes());
    }

    QByteArray ExpectedRows() const {
        return Row({"01 - Song.mp3", Album, "01 - Song.mp3", "No", "Ana", "Song", "1", "First",
                    "2001", "Jazz", "", "Yes (image/png)"}) +
               Row({"łódź.mp3", Album, "02 - Łódź Live , Take.mp3", "Yes", "Ana",
                    "Łódź \"Live\", Take", "2", "First", "", "", "Zoë", "No"});
    }
};

TEST_F(ListCommand, PrintsTheListAsCsvAndTheStatusOnStderr) {
    const auto before = SnapshotFiles(Music.Path());
    const CliRunner::Result r = Cli.Run({"list", Album});
    ASSERT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    EXPECT_EQ(r.OutBytes, Header + ExpectedRows());
    EXPECT_EQ(r.Err, "2 file(s) - 1 mismatch(es)\n");
    EXPECT_TRUE(SnapshotFiles(Music.Path()) == before);
}

// Relative paths name the same files as absolute ones: the rows show full folders, and the
// Mixed naming sees the folder's real name.
TEST_F(ListCommand, RelativePathsAreTakenFromTheWorkingFolder) {
    CliRunner::Result r = Cli.Run({"list", "."}, Album);
    ASSERT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    EXPECT_EQ(r.OutBytes, Header + ExpectedRows());
    r = Cli.Run({"list", "01 - Song.mp3"}, Album);
    EXPECT_EQ(r.OutBytes, Header + ExpectedRows().split('\n').first() + '\n');
    r = Cli.Run({"list", "Ana - First/../Ana - First"}, Music.Path());
    EXPECT_EQ(r.OutBytes, Header + ExpectedRows());
}

TEST_F(ListCommand, PlaylistFilesAndFolderInOrder) {
    const QString playlist = Music.Write("list.m3u", "#EXTINF:1,Other - Title\r\n"
                                                     "Ana - First/01 - Song.mp3\r\n");
    // Files and playlists add up; the folder ends the paths.
    CliRunner::Result r = Cli.Run({"list", playlist, Album + "/łódź.mp3"});
    ASSERT_EQ(r.ExitCode, 0);
    EXPECT_EQ(r.OutBytes, Header + ExpectedRows());
    r = Cli.Run({"list", playlist, Music.File("missing"), Album, playlist});
    EXPECT_EQ(r.OutBytes, Header + ExpectedRows());
    EXPECT_EQ(r.Err, "2 file(s) - 1 mismatch(es)\n");
}

// A file given more than once is one row, counted once: a mismatched one (łódź.mp3) too, so
// that Fix is not offered with nothing left to fix.
TEST_F(ListCommand, AFileGivenTwiceIsCountedOnce) {
    const QString mismatched = Album + "/łódź.mp3";
    const QString playlist = Music.Write("once.m3u", "Ana - First/łódź.mp3\r\n");
    for (const QStringList& args :
         {QStringList{"list", mismatched, mismatched}, QStringList{"list", playlist, mismatched}}) {
        const CliRunner::Result r = Cli.Run(args);
        ASSERT_EQ(r.ExitCode, 0) << r.Err.toStdString();
        EXPECT_EQ(r.OutBytes, Header + ExpectedRows().split('\n')[1] + '\n');
        EXPECT_EQ(r.Err, "1 file(s) - 1 mismatch(es)\n");
    }
}

TEST_F(ListCommand, NothingFound) {
    const CliRunner::Result r = Cli.Run({"list", Music.File("missing")});
    EXPECT_EQ(r.ExitCode, 0);
    EXPECT_EQ(r.OutBytes, Header);
    EXPECT_EQ(r.Err, "0 file(s) - 0 mismatch(es)\n");
}

TEST_F(ListCommand, WithoutPathNothingRunsAndNothingIsWritten) {
    const CliRunner::Result r = Cli.Run({"list"});
    EXPECT_EQ(r.ExitCode, 2);
    EXPECT_EQ(r.OutBytes, "");
    EXPECT_TRUE(r.Err.contains("PATH")) << r.Err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(Cli.ConfigFolder()));
    EXPECT_FALSE(QFileInfo::exists(Cli.DataFolder()));
}

TEST_F(ListCommand, UnresolvedShortcutIsReported) {
    const CliRunner::Result r = Cli.Run({"list", Music.File("none.lnk"), Album});
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_EQ(r.OutBytes, Header);
    EXPECT_EQ(r.Err, "Error: Link not found.\n");
}

// Each run learns the genres of what it listed, written when it shuts down; the next run flags
// and logs an artist whose genre differs.
TEST_F(ListCommand, LearnedDataAndLogAreWrittenAtShutDown) {
    ASSERT_EQ(Cli.Run({"list", Album}).ExitCode, 0);
    EXPECT_EQ(ReadFile(Cli.DataFolder() + "/~MyMP3ArtistsAlbumsGenres.def"), "\xEF\xBB\xBF"
                                                                             "Ana\tFirst|Jazz\r\n");
    EXPECT_EQ(ReadFile(Cli.DataFolder() + "/~MyMP3ArtistGenre.def"), "\xEF\xBB\xBF"
                                                                     "Ana\tJazz\r\n");

    Music.Write("Ana - First/01 - Song.mp3", Mp3Fixture()
                                                 .Text("TPE1", "Ana")
                                                 .Text("TALB", "First")
                                                 .Text("TIT2", "Song")
                                                 .Text("TRCK", "1")
                                                 .Text("TCON", "Rock")
                                                 .Bytes());
    const CliRunner::Result r = Cli.Run({"list", Album + "/01 - Song.mp3"});
    EXPECT_TRUE(r.Out.contains("\"Rock\",\"\",\"No\"\r\n")) << r.Out.toStdString();
    EXPECT_TRUE(r.Out.contains("\"01 - Song.mp3\",\"Yes\",")) << r.Out.toStdString();
    EXPECT_EQ(ReadFile(Cli.Home().File("state/Tessaly/Varnholm/Quenlor.log")),
              "Genre mismatch for Ana // OLD=Rock NEW=Jazz\r\n");
    // The album's learned line takes the genre the file holds now.
    EXPECT_EQ(ReadFile(Cli.DataFolder() + "/~MyMP3ArtistsAlbumsGenres.def"), "\xEF\xBB\xBF"
                                                                             "Ana\tFirst|Rock\r\n");
}

} // namespace
