// quenlor-cli history and undo: the kept runs listed, a run undone or only shown with --dry-run.
#include "CliRunner.h"
#include "testsupport/Mp3Fixture.h"
#include "testsupport/QtPrinters.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

class UndoCommand : public testing::Test {
protected:
    UndoCommand() {
        for (const char* title : {"One", "Two"})
            dir.Write(QStringLiteral("music/%1.mp3").arg(title),
                      Mp3Fixture(3).Text("TPE1", "Band").Text("TIT2", title).Bytes());
    }
    QString Music() const { return dir.File("music"); }

    TempDir dir;
    CliRunner cli;
};

TEST_F(UndoCommand, ListsRunsNewestFirstAndUndoesTheNewest) {
    const FileSnapshot start = SnapshotFiles(Music());
    EXPECT_EQ(cli.Run({"history"}).OutLines(), QStringList());
    ASSERT_EQ(cli.Run({"fix", Music()}).ExitCode, 0);
    const FileSnapshot fixed = SnapshotFiles(Music());
    ASSERT_NE(fixed, start);
    ASSERT_EQ(cli.Run({"edit", "set-genre", "Jazz", Music()}).ExitCode, 0);
    const FileSnapshot edited = SnapshotFiles(Music());

    const QStringList runs = cli.Run({"history"}).OutLines();
    ASSERT_EQ(runs.size(), 2);
    EXPECT_TRUE(runs[0].contains("\"Set Genre\",\"2\",\"Yes\"")) << runs[0].toStdString();
    EXPECT_TRUE(runs[1].contains("\"Fix\",\"2\",\"Yes\"")) << runs[1].toStdString();

    // A dry run shows what the undo would do and changes nothing.
    CliRunner::Result r = cli.Run({"undo", "--dry-run"});
    EXPECT_EQ(r.ExitCode, 3);
    EXPECT_EQ(r.OutLines().size(), 2);
    EXPECT_TRUE(r.OutLines().first().startsWith("\"Restored\","));
    EXPECT_EQ(SnapshotFiles(Music()), edited);
    EXPECT_EQ(cli.Run({"history"}).OutLines(), runs);

    ASSERT_EQ(cli.Run({"undo"}).ExitCode, 0);
    EXPECT_EQ(SnapshotFiles(Music()), fixed);
    // The fix, named by its run: the newer runs on its files are undone first.
    const QString fixRun = runs[1].section(u',', 0, 0).remove(u'"');
    r = cli.Run({"undo", fixRun});
    EXPECT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    EXPECT_EQ(SnapshotFiles(Music()), start);
    EXPECT_EQ(cli.Run({"history"}).OutLines().size(), 4);
}

TEST_F(UndoCommand, AFileChangedSinceTheRunIsLeftAloneWithExitStatusOne) {
    ASSERT_EQ(cli.Run({"fix", Music()}).ExitCode, 0);
    const QString changed = Music() + "/Band - One.mp3";
    QFile file(changed);
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("more");
    file.close();
    const CliRunner::Result r = cli.Run({"undo"});
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_TRUE(r.Out.contains("\"Changed since the run\",\"" + changed + "\",\"" + Music() +
                               "/One.mp3\"\r\n"))
        << r.Out.toStdString();
    EXPECT_TRUE(r.Err.contains("Warning: 1 file(s) could not be restored.")) << r.Err.toStdString();
    EXPECT_TRUE(QFile::exists(Music() + "/Two.mp3"));
}

TEST_F(UndoCommand, WrongCallsAreUsageErrorsAndAnUnknownRunFails) {
    EXPECT_EQ(cli.Run({"undo", "a", "b"}).ExitCode, 2);
    EXPECT_EQ(cli.Run({"undo", "--list"}).ExitCode, 2);
    EXPECT_EQ(cli.Run({"history", "a"}).ExitCode, 2);
    EXPECT_EQ(cli.Run({"history", "--dry-run"}).ExitCode, 2);
    const CliRunner::Result r = cli.Run({"undo", "19990101-000000-000-01"});
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_TRUE(r.Err.contains("no run '19990101-000000-000-01' is kept")) << r.Err.toStdString();
    EXPECT_EQ(cli.Run({"undo"}).ExitCode, 1);
}

} // namespace
