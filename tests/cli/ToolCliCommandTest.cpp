// quenlor-cli mp3val and mp3gain with the real tools over files made by lame.
#include "CliRunner.h"
#include "testsupport/LameMp3.h"
#include "testsupport/QtPrinters.h"

#include <QDir>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

const QString NoNeedMP3val = QStringLiteral("Information: No need to run MP3val against file(s).");
const QString NoNeedMP3Gain =
    QStringLiteral("Information: No need to run MP3Gain against file(s).");

QStringList Warnings(const CliRunner::Result& r) {
    return r.OutLines().filter(QRegularExpression(QStringLiteral("^WARNING")));
}

class ToolCliCommand : public testing::Test {
protected:
    CliRunner cli;
    TempDir root;
    // The library of the case at hand: each case of a table gets a fresh one.
    QString music;
    int libraries = 0;

    void SetUp() override { NewLibrary(); }
    void NewLibrary() {
        music = root.File(QStringLiteral("music%1").arg(++libraries));
        QDir().mkpath(music);
    }
    QString File(const QString& name) const { return music + u'/' + name; }
    void Lame(const QString& name, double amplitude = 0.3) {
        LameMp3::Write(File(name), amplitude, QFileInfo(name).baseName());
    }
    // A clean file, one with garbage between two frames and one whose last frame is cut.
    void DamagedLibrary() {
        Lame("clean.mp3");
        Lame("garbage.mp3");
        LameMp3::InsertGarbage(File("garbage.mp3"));
        Lame("truncated.mp3");
        LameMp3::TruncateLastFrame(File("truncated.mp3"));
    }
    void LoudAndQuiet() {
        Lame("loud.mp3", 0.9);
        Lame("quiet.mp3", 0.01);
    }
    QStringList Backups() const {
        return QDir(music).entryList({QStringLiteral("*.bak")}, QDir::Files, QDir::Name);
    }
};

TEST_F(ToolCliCommand, MP3valOnACleanLibraryReportsAndSaysThereIsNothingToFix) {
    Lame("a.mp3");
    Lame("b.mp3");
    const FileSnapshot before = SnapshotFiles(music);
    const CliRunner::Result r = cli.Run({"--yes", "mp3val", music});
    EXPECT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    EXPECT_EQ(r.OutLines().filter("INFO:").size(), 2) << r.Out.toStdString();
    EXPECT_TRUE(Warnings(r).isEmpty());
    EXPECT_TRUE(r.ErrLines().contains(NoNeedMP3val)) << r.Err.toStdString();
    EXPECT_TRUE(SnapshotFiles(music) == before);
}

// The answers and --dry-run over a damaged library: only --yes without --dry-run repairs.
TEST_F(ToolCliCommand, MP3valRepairsOnlyWithYes) {
    const struct {
        const char* Case;
        QStringList Args;
        int Exit;
        bool Repaired;
        QStringList Backups;
    } cases[] = {
        {"default", {"mp3val"}, 0, false, {}},
        {"no", {"--no", "mp3val"}, 0, false, {}},
        {"dry run", {"mp3val", "--dry-run"}, 3, false, {}},
        {"dry run wins over yes", {"--yes", "mp3val", "--dry-run"}, 3, false, {}},
        {"yes", {"--yes", "mp3val"}, 0, true, {}},
        {"yes keeping backups",
         {"--yes", "mp3val", "--keep-backups"},
         0,
         true,
         {"garbage.mp3.bak", "truncated.mp3.bak"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Case);
        NewLibrary();
        DamagedLibrary();
        const FileSnapshot before = SnapshotFiles(music);
        const CliRunner::Result r = cli.Run(c.Args + QStringList{music});
        EXPECT_EQ(r.ExitCode, c.Exit) << r.Err.toStdString();

        // The report on stdout, the question on stderr.
        const QStringList warnings = Warnings(r);
        EXPECT_FALSE(warnings.filter("garbage.mp3").isEmpty()) << r.Out.toStdString();
        EXPECT_FALSE(warnings.filter("truncated.mp3").isEmpty());
        EXPECT_TRUE(warnings.filter("clean.mp3").isEmpty());
        EXPECT_FALSE(r.Out.contains("Fix?"));
        const QString question =
            QStringLiteral("MP3val Output: %1 error(s). Fix? ").arg(warnings.size());
        EXPECT_TRUE(r.ErrLines().contains(question + (c.Repaired ? "[yes]" : "[no]")))
            << r.Err.toStdString();
        EXPECT_EQ(Backups(), c.Backups);

        if (!c.Repaired) {
            EXPECT_TRUE(SnapshotFiles(music) == before);
            continue;
        }
        // Repaired, the rows fixed again: a second check finds nothing.
        EXPECT_TRUE(r.Err.contains("Do you want to re-fix file(s)? [yes]")) << r.Err.toStdString();
        const CliRunner::Result again = cli.Run({"mp3val", music});
        EXPECT_EQ(again.ExitCode, 0);
        EXPECT_TRUE(Warnings(again).isEmpty()) << again.Out.toStdString();
        EXPECT_TRUE(again.ErrLines().contains(NoNeedMP3val)) << again.Err.toStdString();
    }
}

TEST_F(ToolCliCommand, MP3GainLevelsOnlyWithYes) {
    const struct {
        const char* Case;
        QStringList Args;
        int Exit;
        bool Levelled;
    } cases[] = {
        {"default", {"mp3gain"}, 0, false},
        {"dry run", {"mp3gain", "--dry-run"}, 3, false},
        {"dry run wins over yes", {"--yes", "mp3gain", "--dry-run"}, 3, false},
        {"yes", {"--yes", "mp3gain"}, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Case);
        NewLibrary();
        LoudAndQuiet();
        const FileSnapshot before = SnapshotFiles(music);
        const CliRunner::Result r = cli.Run(c.Args + QStringList{music});
        EXPECT_EQ(r.ExitCode, c.Exit) << r.Err.toStdString();
        EXPECT_EQ(r.OutLines().filter("loud.mp3").size(), 1) << r.Out.toStdString();
        EXPECT_EQ(r.OutLines().filter("quiet.mp3").size(), 1);
        EXPECT_EQ(r.OutLines().filter("\"Album\"").size(), 1);
        EXPECT_TRUE(r.ErrLines().contains(QString("MP3Gain Output. Fix? ") +
                                          (c.Levelled ? "[yes]" : "[no]")))
            << r.Err.toStdString();
        if (!c.Levelled) {
            EXPECT_TRUE(SnapshotFiles(music) == before);
            continue;
        }
        EXPECT_FALSE(SnapshotFiles(music) == before);
        EXPECT_TRUE(
            r.ErrLines().contains("Information: MP3Gain has been run succesfully against file(s)."))
            << r.Err.toStdString();
        const CliRunner::Result again = cli.Run({"mp3gain", music});
        EXPECT_EQ(again.ExitCode, 0);
        EXPECT_TRUE(again.ErrLines().contains(NoNeedMP3Gain)) << again.Err.toStdString();
    }
}

// A tool folder without the tool: the start failure is the error and exit status 1.
TEST_F(ToolCliCommand, AMissingToolIsAnErrorWithExitOne) {
    const TempDir empty;
    LoudAndQuiet();
    const FileSnapshot before = SnapshotFiles(music);
    for (const auto& [command, option] :
         {std::pair{"mp3val", "MP3valPath"}, std::pair{"mp3gain", "MP3GainPath"}}) {
        SCOPED_TRACE(command);
        ASSERT_EQ(cli.Run({"options", "set", option, empty.Path()}).ExitCode, 0);
        for (const QStringList& answer : {QStringList{"--yes"}, QStringList{"--no"}}) {
            const CliRunner::Result r = cli.Run(answer + QStringList{command, music});
            EXPECT_EQ(r.ExitCode, 1);
            EXPECT_TRUE(r.ErrLines().contains("Error: File was not found")) << r.Err.toStdString();
            EXPECT_TRUE(r.Out.isEmpty()) << r.Out.toStdString();
        }
        const CliRunner::Result dry = cli.Run({command, "--dry-run", music});
        EXPECT_EQ(dry.ExitCode, 1);
    }
    EXPECT_TRUE(SnapshotFiles(music) == before);
}

} // namespace
