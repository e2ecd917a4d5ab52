#include "CliRunner.h"
#include "testsupport/Mp3Fixture.h"
#include "testsupport/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

TEST(StatsCommand, PrintsTheTotalsThenTheThreeTables) {
    CliRunner cli;
    TempDir music;
    const auto song = [&](const QString& name, const QString& artist, const QString& album,
                          const QString& year, const QString& genre) {
        music.Write(name, Mp3Fixture()
                              .Text("TPE1", artist)
                              .Text("TALB", album)
                              .Text("TIT2", name)
                              .Text("TYER", year)
                              .Text("TCON", genre)
                              .Bytes());
    };
    song("a.mp3", "Ana", "First", "2004", "Jazz");
    song("b.mp3", "Ana", "Second", "2004", "Jazz");
    song("c.mp3", "Bo", "Third", "1999", "Rock");
    song("d.mp3", "Ana", "First", "2004", "Rock");
    const auto before = SnapshotFiles(music.Path());
    const CliRunner::Result r = cli.Run({"stats", "--quiet", music.Path()});
    ASSERT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    EXPECT_EQ(r.OutBytes, QByteArray("\"Statistic\",\"Items\",\"% Items\"\r\n"
                                     "\"Total number of artists\",\"2\",\"\"\r\n"
                                     "\"Total number of albums\",\"3\",\"\"\r\n"
                                     "\"Total number of tracks\",\"4\",\"\"\r\n"
                                     "\"Total number of years\",\"2\",\"\"\r\n"
                                     "\"Total number of genres\",\"2\",\"\"\r\n"
                                     "\"Artist\",\"Albums\",\"Tracks\"\r\n"
                                     "\"Ana\",\"2\",\"3\"\r\n"
                                     "\"Bo\",\"1\",\"1\"\r\n"
                                     "\"Year\",\"Tracks\",\"% Tracks\"\r\n"
                                     "\"1999\",\"1\",\"25.00\"\r\n"
                                     "\"2004\",\"3\",\"75.00\"\r\n"
                                     "\"Genre\",\"Tracks\",\"% Tracks\"\r\n"
                                     "\"Jazz\",\"2\",\"50.00\"\r\n"
                                     "\"Rock\",\"2\",\"50.00\"\r\n"));
    EXPECT_TRUE(r.Err.isEmpty()) << r.Err.toStdString();
    EXPECT_TRUE(SnapshotFiles(music.Path()) == before);
    EXPECT_EQ(cli.Run({"stats"}).ExitCode, 2);
}

} // namespace
