#include "CliRunner.h"
#include "testsupport/Mp3Fixture.h"
#include "testsupport/QtPrinters.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

class ExportCommand : public testing::Test {
protected:
    CliRunner Cli;
    TempDir Music;
    TempDir Out;

    ExportCommand() {
        Music.Write(
            "Ana/01 - Song.mp3",
            Mp3Fixture().Text("TPE1", "Ana").Text("TIT2", "Song").Text("TRCK", "1").Bytes());
        Music.Write("Ana/łódź.mp3", Mp3Fixture(4)
                                        .Text("TPE1", "Ana")
                                        .Text("TIT2", "Łódź \"Live\", Take")
                                        .Text("TLEN", "61500")
                                        .Bytes());
    }
};

TEST_F(ExportCommand, CsvIsByteForByteWhatListPrints) {
    const CliRunner::Result list = Cli.Run({"list", Music.Path()});
    ASSERT_EQ(list.ExitCode, 0);
    const auto before = SnapshotFiles(Music.Path());
    CliRunner::Result r = Cli.Run({"export", Out.File("list.csv"), Music.Path()});
    ASSERT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    EXPECT_EQ(Out.Read("list.csv"), list.OutBytes);
    EXPECT_EQ(r.Err, "Information: 2 items have been exported.\n");
    EXPECT_TRUE(r.Out.isEmpty());
    EXPECT_TRUE(SnapshotFiles(Music.Path()) == before);

    // Again: the first file is kept as the backup.
    QFile::remove(Music.File("Ana/01 - Song.mp3"));
    r = Cli.Run({"export", Out.File("list.csv"), Music.Path()});
    EXPECT_EQ(Out.Read("list.~csv"), list.OutBytes);
    EXPECT_EQ(Out.Read("list.csv"), Cli.Run({"list", Music.Path()}).OutBytes);
    EXPECT_EQ(r.Err, "Information: 1 items have been exported.\n");
}

TEST_F(ExportCommand, PlaylistInTheFormTheOptionsAskFor) {
    CliRunner::Result r = Cli.Run({"export", "list.m3u", "."}, Music.Path());
    ASSERT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    EXPECT_EQ(Music.Read("list.m3u"),
              QByteArray("#EXTM3U\r\n#EXTINF:0,Ana - Song\r\nAna/01 - Song.mp3\r\n"
                         "#EXTINF:61,Ana - Łódź \"Live\", Take\r\nAna/łódź.mp3\r\n"));
    ASSERT_EQ(Cli.Run({"options", "set", "ExportPlaylistUsingExtendedM3UFormat", "0"}).ExitCode, 0);
    r = Cli.Run({"export", Out.File("list.m3u"), Music.File("Ana")});
    // Plain entries, relative to the playlist's folder.
    const QList<QByteArray> lines = Out.Read("list.m3u").split('\n');
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0],
              QDir(Out.Path()).relativeFilePath(Music.File("Ana/01 - Song.mp3")).toUtf8() + '\r');
    EXPECT_TRUE(lines[0].startsWith("../"));
}

TEST_F(ExportCommand, ArgumentsAndFailures) {
    const struct {
        QStringList Args;
        int ExitCode;
        const char* ErrStart;
    } cases[] = {
        {{"export", "list.txt", "."}, 2, "quenlor-cli: export writes a .csv or an .m3u FILE"},
        {{"export", "list.csv"}, 2, "quenlor-cli: export needs a FILE and at least one PATH"},
        {{"export", "--frob", "list.csv", "."}, 2, "quenlor-cli: "},
        {{"export", "gone/list.csv", "."}, 1, "Error: Cannot write \""},
    };
    for (const auto& c : cases) {
        const CliRunner::Result r = Cli.Run(c.Args, Music.Path());
        EXPECT_EQ(r.ExitCode, c.ExitCode) << c.Args.join(' ').toStdString();
        EXPECT_TRUE(r.Err.startsWith(c.ErrStart)) << r.Err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(Music.File("list.txt")));
    EXPECT_FALSE(QFile::exists(Music.File("list.csv")));
    // Nothing found: the warning, and an empty table is still written.
    const CliRunner::Result r = Cli.Run({"export", Out.File("none.csv"), Out.Path()});
    EXPECT_EQ(r.ExitCode, 0);
    EXPECT_EQ(r.Err, "Warning: No item has been exported.\n");
}

} // namespace
