#include "CliRunner.h"
#include "testsupport/HostileLibrary.h"
#include "testsupport/QtPrinters.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Everything a list run leaves behind: the CSV, the messages, the activity log and both
// learned files.
struct Outcome {
    int ExitCode = -1;
    QByteArray Out;
    QString Err;
    QByteArray Log;
    QByteArray LearnedAlbums;
    QByteArray LearnedArtists;
};

// The readers take the files of a browse or a playlist in parallel; whatever their number, a run
// must leave exactly what one reader leaves. The library mixes in every kind of file a reader
// can stumble on, and the learned genres make the order of the analysis show in the log.
class ParallelList : public testing::Test {
protected:
    TempDir Music;
    TempDir Lists;
    HostileLibrary Library{Music.Path(), 2400, 18};
    QString Playlist;

    ParallelList() {
        QByteArray m3u = "#EXTM3U\r\n";
        for (const QString& entry : Library.PlaylistEntries())
            m3u += "#EXTINF:1,Someone - Something\r\n" + entry.toUtf8() + "\r\n";
        Playlist = Lists.Write("list.m3u", m3u);
    }

    static void SeedLearnedGenres(const CliRunner& cli) {
        QByteArray lines = "\xEF\xBB\xBF";
        int i = 0;
        for (const QString& artist : HostileLibrary::Artists())
            lines += artist.toUtf8() + "\tGenre " + QByteArray::number(i++ % 9) + "\r\n";
        QDir().mkpath(cli.DataFolder());
        QFile file(cli.DataFolder() + QStringLiteral("/~MyMP3ArtistGenre.def"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(lines);
    }

    static Outcome Run(int readers, const QStringList& options, const QStringList& args) {
        CliRunner cli;
        cli.Environment().insert(QStringLiteral("VARNHOLM_READERS"), QString::number(readers));
        SeedLearnedGenres(cli);
        for (qsizetype i = 0; i + 1 < options.size(); i += 2)
            EXPECT_EQ(cli.Run({"options", "set", options[i], options[i + 1]}).ExitCode, 0);
        const CliRunner::Result r = cli.Run(args);
        return {r.ExitCode,
                r.OutBytes,
                r.Err,
                ReadAll(cli.Home().File("state/Tessaly/Varnholm/Quenlor.log")),
                ReadAll(cli.DataFolder() + QStringLiteral("/~MyMP3ArtistsAlbumsGenres.def")),
                ReadAll(cli.DataFolder() + QStringLiteral("/~MyMP3ArtistGenre.def"))};
    }
};

TEST_F(ParallelList, OneReaderAndManyLeaveTheSameBytes) {
    const struct {
        const char* Name;
        QStringList Options;
        QStringList Args;
    } cases[] = {
        {"folder", {}, {"list", Music.Path()}},
        {"playlist", {}, {"list", Playlist}},
        {"folder limited to depth 2, featurings moved",
         {"LimitSearchDepth", "1", "MaxSearchDepth", "2", "MoveFeaturingsFromTitleToComments", "1"},
         {"list", Music.Path()}},
        {"not recursive", {"Recursive", "0"}, {"list", Music.Path() + "/Odd"}},
    };
    for (const auto& c : cases) {
        const Outcome one = Run(1, c.Options, c.Args);
        ASSERT_EQ(one.ExitCode, 0) << c.Name << one.Err.toStdString();
        for (int readers : {4, 48}) {
            const Outcome many = Run(readers, c.Options, c.Args);
            EXPECT_EQ(many.ExitCode, one.ExitCode) << c.Name << readers;
            EXPECT_TRUE(many.Out == one.Out) << c.Name << readers;
            EXPECT_EQ(many.Err, one.Err) << c.Name << readers;
            EXPECT_TRUE(many.Log == one.Log) << c.Name << readers;
            EXPECT_EQ(many.LearnedAlbums, one.LearnedAlbums) << c.Name << readers;
            EXPECT_EQ(many.LearnedArtists, one.LearnedArtists) << c.Name << readers;
        }
    }
}

// The comparison above means something only when the runs meet what the library holds: rows
// with learned-genre mismatches, damaged tags, left-out names and the playlist's odd entries.
TEST_F(ParallelList, TheLibraryReachesEveryPath) {
    const Outcome run = Run(16, {}, {"list", Music.Path()});
    ASSERT_EQ(run.ExitCode, 0) << run.Err.toStdString();
    const Outcome playlist = Run(16, {}, {"list", Playlist});
    ASSERT_EQ(playlist.ExitCode, 0) << playlist.Err.toStdString();
    const QString log = QString::fromUtf8(run.Log);
    for (const char* expected : {"Genre mismatch for Artist", "Unreadable ID3v2 tag // File=",
                                 "Unreadable file name // File=", "bad \xEF\xBF\xBD"})
        EXPECT_TRUE(log.contains(QString::fromUtf8(expected))) << expected;
    const QString out = QString::fromUtf8(run.Out);
    EXPECT_TRUE(out.contains("\"Hidden\"")) << "hidden file listed";
    EXPECT_TRUE(out.contains("\"unreadable.mp3\"")) << "an unreadable file has its row";
    EXPECT_FALSE(out.contains("pipe 0.mp3")) << "a pipe is no file";
    const QString listed = QString::fromUtf8(playlist.Out);
    EXPECT_TRUE(listed.contains("\"unreadable.mp3\""));
    for (const char* absent : {"pipe 0.mp3", "missing.mp3", "folder.mp3"})
        EXPECT_FALSE(listed.contains(absent)) << absent;
    EXPECT_TRUE(listed.contains("\"Someone\"")) << "playlist artist fills an empty cell";
}

} // namespace
