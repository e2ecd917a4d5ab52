// quenlor-cli fix and edit over real files.
#include "CliRunner.h"
#include "testsupport/CsvLine.h"
#include "testsupport/Mp3Fixture.h"
#include "testsupport/Mp3Layout.h"
#include "testsupport/QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

// The rows of the printed list by their Name cell, each as its twelve cells.
QMap<QString, QStringList> Rows(const CliRunner::Result& r) {
    QMap<QString, QStringList> rows;
    const QStringList lines = r.OutLines();
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringList fields = CsvFields(lines[i]);
        rows[fields.value(0)] = fields;
    }
    return rows;
}

enum Column { Name, Location, Computed, Mismatch, Artist, Title, Track, Album, Year, Genre };

class FixEditCommand : public testing::Test {
protected:
    CliRunner cli;
    TempDir music;

    QString Write(const QString& name, const QString& title, const QString& extra = {}) {
        Mp3Fixture f(3);
        f.Text("TPE1", "Artist").Text("TIT2", title).Text("TALB", "Album").Text("TRCK", "4");
        if (!extra.isEmpty())
            f.Comment(extra);
        return music.Write(name, f.Bytes());
    }
    QStringList Files() const { return QDir(music.Path()).entryList(QDir::Files | QDir::Hidden); }
};

TEST_F(FixEditCommand, FixRenamesEveryFileAndPrintsTheList) {
    Write("a.mp3", "One");
    Write("b.mp3", "Two");
    const QByteArray audio = AudioBytesOf(music.File("a.mp3"));
    const CliRunner::Result r = cli.Run({"fix", music.Path()});
    ASSERT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    EXPECT_EQ(r.ErrLines(), QStringList("2 file(s) - 0 mismatch(es)"));
    const auto rows = Rows(r);
    ASSERT_EQ(rows.size(), 2);
    for (const QStringList& row : rows) {
        EXPECT_EQ(row[Name], row[Computed]);
        EXPECT_EQ(row[Mismatch], "No");
        EXPECT_TRUE(QFile::exists(music.File(row[Name])));
    }
    EXPECT_EQ(Files().size(), 2);
    EXPECT_FALSE(Files().contains("a.mp3"));
    const QString fixedA = rows.firstKey().contains("One") ? rows.firstKey() : rows.lastKey();
    EXPECT_EQ(AudioBytesOf(music.File(fixedA)), audio);

    // Fixed files read back as they were fixed: nothing is left to do.
    const CliRunner::Result again = cli.Run({"list", music.Path()});
    EXPECT_EQ(again.ErrLines(), QStringList("2 file(s) - 0 mismatch(es)"));
}

TEST_F(FixEditCommand, FixGoesOnPastAFileItCannotWrite) {
    Write("a.mp3", "One");
    const QByteArray damaged = Mp3Fixture(3).Raw("TIT2", "\x09odd").Bytes();
    music.Write("damaged.mp3", damaged);
    const CliRunner::Result r = cli.Run({"fix", music.Path()});
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_TRUE(r.Err.contains("Warning: 1 file(s) could not be fixed."));
    EXPECT_TRUE(r.Err.contains(cli.Home().File("state/Tessaly/Varnholm/Quenlor.log")));
    EXPECT_TRUE(r.Err.contains("2 file(s) - 1 mismatch(es)"));
    EXPECT_EQ(music.Read("damaged.mp3"), damaged);
    EXPECT_FALSE(QFile::exists(music.File("a.mp3")));
    QFile log(cli.Home().File("state/Tessaly/Varnholm/Quenlor.log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().contains(
        "File not fixed // File=" + music.File("damaged.mp3").toUtf8() + " // "));
}

// The window's warning points to the log: a command-line run while the window is open must not
// erase it. The window is stood in for by a helper process that holds the log as it does.
TEST_F(FixEditCommand, ARunDoesNotEraseTheLogOfAnInstanceStillRunning) {
    const QString logFile = "state/Tessaly/Varnholm/Quenlor.log";
    QProcess window;
    window.setProcessEnvironment(cli.Environment());
    window.start(QStringLiteral(LOG_HOLDER_PATH), {"window line"});
    ASSERT_TRUE(window.waitForReadyRead(30000));
    ASSERT_EQ(window.readLine(), "ready\n");

    music.Write("damaged.mp3", Mp3Fixture(3).Raw("TIT2", "\x09odd").Bytes());
    EXPECT_EQ(cli.Run({"fix", music.Path()}).ExitCode, 1);
    QByteArray log = cli.Home().Read(logFile);
    EXPECT_TRUE(log.startsWith("window line\r\n")) << log.toStdString();
    EXPECT_TRUE(log.contains("\r\nFile not fixed // File=")) << log.toStdString();

    window.closeWriteChannel();
    ASSERT_TRUE(window.waitForFinished(30000));
    log = cli.Home().Read(logFile);
    EXPECT_TRUE(log.endsWith("\r\nwindow line again\r\n")) << log.toStdString();

    // Alone, a run starts a log of its own.
    cli.Run({"list", music.Path()});
    EXPECT_FALSE(cli.Home().Read(logFile).contains("window line"));
}

TEST_F(FixEditCommand, EditRunsOneOperationOverEveryRow) {
    Write("a.mp3", "One (Live)", "remove me");
    Write("b.mp3", "Two", "remove me too");
    struct {
        QStringList args;
        int column;
        QStringList expected; // the cells of a.mp3 and b.mp3
    } cases[] = {
        {{"set-genre", "Jazz"}, Genre, {"Jazz", "Jazz"}},
        {{"add-suffix", "(Demo)"}, Title, {"One (Live) (Demo)", "Two (Demo)"}},
        {{"clear-title-suffix"}, Title, {"One", "Two"}},
        {{"replace-brackets"}, Title, {"One", "Two"}},
        {{"lowercase-title"}, Title, {"one", "two"}},
        {{"clear-track-number"}, Track, {"", ""}},
        {{"clear-genre"}, Genre, {"", ""}},
        {{"clear-comments"}, 10, {"", ""}},
        {{"clear-cover-art"}, 11, {"No", "No"}},
        {{"embed-cover-art"}, 11, {"No", "No"}},
    };
    for (const auto& c : cases) {
        const CliRunner::Result r =
            cli.Run(QStringList{"edit"} + c.args + QStringList{music.Path()});
        ASSERT_EQ(r.ExitCode, 0) << c.args.join(' ').toStdString() << r.Err.toStdString();
        const auto rows = Rows(r);
        EXPECT_EQ(rows.value("a.mp3").value(c.column), c.expected[0])
            << c.args.join(' ').toStdString();
        EXPECT_EQ(rows.value("b.mp3").value(c.column), c.expected[1])
            << c.args.join(' ').toStdString();
        // What the edit wrote is what the files hold.
        const auto listed = Rows(cli.Run({"list", music.Path()}));
        EXPECT_EQ(listed.value("a.mp3").value(c.column), c.expected[0])
            << c.args.join(' ').toStdString();
    }
    // Edits never rename.
    EXPECT_EQ(Files(), QStringList({"a.mp3", "b.mp3"}));
}

TEST_F(FixEditCommand, UsageErrorsChangeNothing) {
    const QString path = Write("a.mp3", "One");
    const QByteArray before = music.Read("a.mp3");
    const struct {
        QStringList args;
        const char* message;
    } cases[] = {
        {{"fix"}, "fix needs at least one PATH"},
        {{"edit"}, "edit needs an OPERATION"},
        {{"edit", "paint-it-black", path}, "edit needs an OPERATION"},
        {{"edit", "clear-genre"}, "edit clear-genre needs at least one PATH"},
        {{"edit", "set-genre", "Jazz"}, "edit set-genre needs a VALUE and at least one PATH"},
    };
    for (const auto& c : cases) {
        const CliRunner::Result r = cli.Run(c.args);
        EXPECT_EQ(r.ExitCode, 2) << c.message;
        EXPECT_TRUE(r.Err.contains(c.message)) << r.Err.toStdString();
        EXPECT_EQ(r.Out, "");
    }
    EXPECT_EQ(music.Read("a.mp3"), before);
    // A command that fails on its arguments never starts the program: no data folder appears.
    EXPECT_FALSE(QFileInfo::exists(cli.DataFolder()));
}

} // namespace
