#include "MainWindowFixture.h"

#include "testsupport/ExecutableScript.h"
#include "testsupport/LameMp3.h"
#include "tools/ArgumentBatches.h"
#include "tools/ToolReports.h"
#include "ui/ToolCommands.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QThread>
#include <unistd.h>

namespace {

using Kind = ScriptedUiPort::Kind;

const QString NoNeedMP3val = QStringLiteral("No need to run MP3val against file(s).");
const QString NoNeedMP3Gain = QStringLiteral("No need to run MP3Gain against file(s).");
const QString ReFixQuestion = QStringLiteral(
    "MP3val has been run succesfully against file(s).\rDo you want to re-fix file(s)?");

// The folder a tool is found in on PATH.
QString ToolFolder(const char* name) {
    return QFileInfo(QStandardPaths::findExecutable(QString::fromLatin1(name))).path();
}

QDateTime Modified(const QString& path) {
    return QFileInfo(path).lastModified();
}

void SetModified(const QString& path, const QDateTime& when) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.setFileTime(when, QFileDevice::FileModificationTime));
}

class ToolCommands : public MainWindowFixture {
protected:
    void SetUp() override {
        State.Options().MP3valPath = ToolFolder("mp3val");
        State.Options().MP3GainPath = ToolFolder("mp3gain");
        State.Options().MusicLibraryHomePath = Home.Path();
        State.Options().MP3GainDefaultVolume = 89;
    }
    QString Lame(const QString& name, double amplitude = 0.3) {
        return LameMp3::Write(Music.File(name), amplitude, QFileInfo(name).baseName());
    }
    void Browse() {
        State.BrowseMP3Folder(Music.Path());
        Ui.Messages.clear();
    }
    TToolCommands& Tools() { return State.Tools(); }
    QStringList Backups() const {
        return QDir(Music.Path()).entryList({QStringLiteral("*.bak")}, QDir::Files);
    }
};

TEST_F(ToolCommands, MP3valOnACleanLibraryHasNothingToFix) {
    Lame("a.mp3");
    Lame("b.mp3");
    Browse();
    ASSERT_TRUE(State.CommandEnabled(TCommand::MP3val));
    Tools().MP3valToolButtonClick();
    EXPECT_EQ(Ui.Texts(Kind::Information), QStringList{NoNeedMP3val});
    EXPECT_TRUE(Ui.ToolOutputs.isEmpty());
    EXPECT_FALSE(Tools().Failed());
    EXPECT_FALSE(State.Busy());
    EXPECT_TRUE(State.CommandEnabled(TCommand::Browse));
}

TEST_F(ToolCommands, MP3valRepairsDamagedFilesWithAndWithoutBackups) {
    State.Options().PreserveFileDateTime = true;
    Lame("clean.mp3");
    LameMp3::InsertGarbage(Lame("garbage.mp3"));
    LameMp3::TruncateLastFrame(Lame("truncated.mp3"));
    const QDateTime old = QDateTime::currentDateTime().addYears(-3);
    SetModified(Music.File("garbage.mp3"), old);
    Browse();

    // First run: the report shows both damaged files; Close does nothing.
    Tools().MP3valToolButtonClick();
    ASSERT_EQ(Ui.ToolOutputs.size(), 1);
    const TToolOutput shown = Ui.ToolOutputs.first();
    EXPECT_EQ(shown.Caption, "MP3val Output");
    const int warnings =
        int(std::count_if(shown.Lines.begin(), shown.Lines.end(),
                          [](const QString& l) { return l.startsWith("WARNING"); }));
    EXPECT_GE(warnings, 2);
    EXPECT_EQ(shown.ErrorCountText, QStringLiteral("%1 error(s)").arg(warnings));
    EXPECT_TRUE(shown.Lines.filter("garbage.mp3").join(u'\n').contains("WARNING"));
    EXPECT_TRUE(shown.Lines.filter("truncated.mp3").join(u'\n').contains("WARNING"));
    EXPECT_FALSE(shown.Lines.filter("clean.mp3").join(u'\n').contains("WARNING"));
    EXPECT_TRUE(shown.DeleteBackupFilesShown);
    EXPECT_TRUE(shown.DeleteBackupFiles);
    EXPECT_TRUE(Ui.Texts(Kind::Question).isEmpty());

    // Fix, deleting the backups: the files are rebuilt, their times kept, the re-fix question
    // asked.
    Ui.ToolOutputAnswers.enqueue(true);
    Tools().MP3valToolButtonClick();
    EXPECT_EQ(Ui.Texts(Kind::Question), QStringList{ReFixQuestion});
    EXPECT_EQ(Backups().size(), 0) << Backups().join(u' ').toStdString();
    EXPECT_EQ(Modified(Music.File("garbage.mp3")).toSecsSinceEpoch(), old.toSecsSinceEpoch());

    // A second check finds nothing left to repair.
    Ui.Messages.clear();
    Tools().MP3valToolButtonClick();
    EXPECT_EQ(Ui.Texts(Kind::Information), QStringList{NoNeedMP3val});
    EXPECT_EQ(State.MainList().Count(), 3);
}

TEST_F(ToolCommands, MP3valKeepsBackupsWhenAskedAndTheCheckBoxKeepsItsState) {
    LameMp3::InsertGarbage(Lame("garbage.mp3"));
    Browse();
    Tools().SetDeleteBackupFiles(false);
    Ui.ToolOutputAnswers.enqueue(true);
    Ui.Answers.enqueue(false);
    Tools().MP3valToolButtonClick();
    ASSERT_EQ(Ui.ToolOutputs.size(), 1);
    EXPECT_FALSE(Ui.ToolOutputs.first().DeleteBackupFiles);
    EXPECT_EQ(Backups(), QStringList{"garbage.mp3.bak"});
}

TEST_F(ToolCommands, MP3GainLevelsALoudAndAQuietFile) {
    State.Options().PreserveFileDateTime = true;
    const QString loud = Lame("loud.mp3", 0.9);
    const QString quiet = Lame("quiet.mp3", 0.01);
    const QDateTime old = QDateTime::currentDateTime().addYears(-2);
    SetModified(loud, old);
    SetModified(quiet, old);
    Browse();
    ASSERT_TRUE(State.CommandEnabled(TCommand::MP3Gain));

    // The analysis alone changes no file.
    const QByteArray before = Music.Read("loud.mp3");
    Tools().MP3GainToolButtonClick();
    ASSERT_EQ(Ui.ToolOutputs.size(), 1);
    EXPECT_EQ(Ui.ToolOutputs.first().Caption, "MP3Gain Output");
    EXPECT_TRUE(Ui.ToolOutputs.first().ErrorCountText.isEmpty());
    EXPECT_FALSE(Ui.ToolOutputs.first().DeleteBackupFilesShown);
    EXPECT_EQ(Music.Read("loud.mp3"), before);
    EXPECT_EQ(Modified(loud).toSecsSinceEpoch(), old.toSecsSinceEpoch());
    EXPECT_TRUE(Ui.Messages.isEmpty());

    Ui.ToolOutputAnswers.enqueue(true);
    Tools().MP3GainToolButtonClick();
    EXPECT_EQ(Ui.Texts(Kind::Information),
              QStringList{"MP3Gain has been run succesfully against file(s)."});
    EXPECT_NE(Music.Read("loud.mp3"), before);
    EXPECT_EQ(Modified(loud).toSecsSinceEpoch(), old.toSecsSinceEpoch());
    EXPECT_EQ(Modified(quiet).toSecsSinceEpoch(), old.toSecsSinceEpoch());
    EXPECT_FALSE(Tools().Failed());

    // Levelled: the second analysis asks for no more than one decibel.
    Ui.Messages.clear();
    Tools().MP3GainToolButtonClick();
    EXPECT_EQ(Ui.Texts(Kind::Information), QStringList{NoNeedMP3Gain});
    EXPECT_EQ(Ui.ToolOutputs.size(), 2);
}

// A stand-in tool that writes its arguments, one a line, to args.txt beside it and prints the
// given report.
QString RecordingTool(const TempDir& dir, const QString& name, const QByteArray& report) {
    return WriteExecutableScript(dir, name,
                                 "printf '%s\\n' \"$@\" >> \"$(dirname \"$0\")/args.txt\"\n"
                                 "echo ---- >> \"$(dirname \"$0\")/args.txt\"\n"
                                 "printf '" +
                                     report + "'\n");
}

QStringList RecordedRuns(const TempDir& dir) {
    return QString::fromUtf8(dir.Read("args.txt")).split("----\n", Qt::SkipEmptyParts);
}

// A program started without waiting records its run on its own time.
void WaitForRuns(const TempDir& dir, int count) {
    for (int i = 0; i < 1000 && RecordedRuns(dir).size() < count; ++i)
        QThread::msleep(10);
}

TEST_F(ToolCommands, ArgumentVectorsOfTheRepairAndTheAdjustment) {
    TempDir tools;
    RecordingTool(tools, "mp3val", "WARNING: bad\\n");
    RecordingTool(tools, "mp3gain",
                  "File\\tMP3 gain\\tdB gain\\na.mp3\\t2\\t3.1\\n\"Album\"\\t2\\t3.1\\t1\\n");
    State.Options().MP3valPath = tools.Path();
    State.Options().MP3GainPath = tools.Path();
    const QString a = Song("a.mp3");
    const QString b = Song("b b.mp3", "B");
    Browse();

    Ui.ToolOutputAnswers.enqueue(true);
    Ui.ToolOutputAnswers.enqueue(true);
    Ui.OnToolOutput = [](TToolOutput& output) { output.DeleteBackupFiles = true; };
    Tools().MP3valToolButtonClick();
    Tools().MP3GainToolButtonClick();
    const QStringList runs = RecordedRuns(tools);
    ASSERT_EQ(runs.size(), 4);
    EXPECT_EQ(runs[0], a + "\n" + b + "\n");
    EXPECT_EQ(runs[1], a + "\n" + b + "\n-f\n-nb\n");
    EXPECT_EQ(runs[2], "-o\n-s\ns\n" + a + "\n" + b + "\n");
    EXPECT_EQ(runs[3], "-a\n-d\n0\n-c\n" + a + "\n" + b + "\n");
    EXPECT_EQ(Ui.Texts(Kind::Question), QStringList{ReFixQuestion});
}

TEST_F(ToolCommands, OneRowIsAdjustedByItsTrackGain) {
    TempDir tools;
    RecordingTool(tools, "mp3gain",
                  "File\\tMP3 gain\\tdB gain\\na.mp3\\t2\\t3.1\\n\"Album\"\\t2\\t-1.6\\t1\\n");
    State.Options().MP3GainPath = tools.Path();
    State.Options().PreserveFileDateTime = true;
    const QString a = Song("a.mp3");
    Browse();
    // -1.6 rounds to -2, and a volume of 93 adds 4: two decibels up.
    State.Options().MP3GainDefaultVolume = 93;
    Ui.ToolOutputAnswers.enqueue(true);
    Tools().MP3GainToolButtonClick();
    const QStringList runs = RecordedRuns(tools);
    ASSERT_EQ(runs.size(), 2);
    EXPECT_EQ(runs[1], "-r\n-d\n4\n-c\n-p\n" + a + "\n");
}

TEST_F(ToolCommands, AnAlbumGainThatIsNotANumberIsReported) {
    TempDir tools;
    RecordingTool(tools, "mp3gain", "File\\n\"Album\"\\t2\\tloud\\t1\\n");
    State.Options().MP3GainPath = tools.Path();
    Song("a.mp3");
    Browse();
    Tools().MP3GainToolButtonClick();
    EXPECT_EQ(Ui.Texts(Kind::Error).size(), 1);
    EXPECT_TRUE(Ui.ToolOutputs.isEmpty());
    EXPECT_TRUE(Tools().Failed());
}

TEST_F(ToolCommands, AToolThatFailsOrCannotStartIsReported) {
    TempDir tools;
    WriteExecutableScript(tools, "mp3val", "echo 'cannot read' >&2\nexit 2\n");
    tools.Write("mp3gain", "not executable");
    State.Options().MP3valPath = tools.Path();
    State.Options().MP3GainPath = tools.Path();
    Song("a.mp3");
    Browse();
    Tools().MP3valToolButtonClick();
    EXPECT_EQ(Ui.Texts(Kind::Error), QStringList{"mp3val ended with exit code 2.\rcannot read"});
    EXPECT_TRUE(Tools().Failed());
    Ui.Messages.clear();
    Tools().MP3GainToolButtonClick();
    EXPECT_EQ(Ui.Texts(Kind::Error), QStringList{TKelmAppExec::ErrorString(11)});
    EXPECT_FALSE(State.Busy());
    EXPECT_TRUE(State.CommandEnabled(TCommand::Browse));
}

TEST_F(ToolCommands, TheAnalysisCanBeStoppedTheRepairCannot) {
    TempDir tools;
    // Checking sleeps until ended; repairing (-f) notes whether the window was busy meanwhile.
    WriteExecutableScript(tools, "mp3val",
                          "case \" $* \" in *' -f '*) sleep 0.3; echo fixed > \"$(dirname "
                          "\"$0\")/fixed\";; *) echo 'WARNING: x'; exec sleep 30;; esac\n");
    State.Options().MP3valPath = tools.Path();
    Song("a.mp3");
    Browse();

    // A click on the list during the check offers to stop it; Yes ends the tool.
    Ui.Answers.enqueue(true);
    Ui.OnPendingEvents = [this] { State.ListClick(); };
    Tools().MP3valToolButtonClick();
    EXPECT_EQ(Ui.Texts(Kind::Question), QStringList{"Do you want to stop processing?"});
    EXPECT_TRUE(Ui.ToolOutputs.isEmpty());
    EXPECT_FALSE(State.Busy());

    // During the repair the window is busy and a click offers nothing.
    Ui.OnPendingEvents = nullptr;
    WriteExecutableScript(tools, "mp3val",
                          "case \" $* \" in *' -f '*) sleep 0.3;; *) echo 'WARNING: x';; esac\n");
    Ui.Messages.clear();
    bool busyDuringRepair = false;
    Ui.ToolOutputAnswers.enqueue(true);
    Ui.OnToolOutput = [&](TToolOutput&) {
        Ui.OnPendingEvents = [&] {
            if (State.StatusText() != "Repairing files with MP3val")
                return;
            busyDuringRepair = busyDuringRepair || (State.Busy() && !State.CanChangeList());
            State.ListClick();
        };
    };
    Tools().MP3valToolButtonClick();
    EXPECT_TRUE(busyDuringRepair);
    EXPECT_EQ(Ui.Texts(Kind::Question), QStringList{ReFixQuestion});
}

// Mp3tag has no Linux build: it runs through wine, with Windows paths from winepath.
class Mp3tagCommand : public ToolCommands {
protected:
    TempDir Bin;
    TempDir Mp3tagFolder;
    std::unique_ptr<PathPrefix> Path;
    void SetUp() override {
        ToolCommands::SetUp();
        RecordingTool(Bin, "wine", "");
        WriteExecutableScript(Bin, "winepath",
                              "shift\nfor p in \"$@\"; do printf 'Z:%s\\n' \"$p\" | tr / "
                              "'\\\\\\\\'; done\n");
        Mp3tagFolder.Write("Mp3tag.exe", "MZ");
        State.Options().Mp3tagPath = Mp3tagFolder.Path();
        Path = std::make_unique<PathPrefix>(Bin.Path());
    }
    static QString Windows(QString path) { return "Z:" + path.replace(u'/', u'\\'); }
    QString Exe() const { return Mp3tagFolder.File("Mp3tag.exe"); }
};

TEST_F(Mp3tagCommand, ParametersByCommonFolderAndRowCount) {
    const QString a = Song("a.mp3");
    Browse();
    ASSERT_TRUE(State.CommandEnabled(TCommand::Mp3tag));
    // A folder of its own: the folder.
    Tools().Mp3tagToolButtonClick();
    WaitForRuns(Bin, 1);
    // The same folder as the music library home: the one file.
    State.Options().MusicLibraryHomePath = Music.Path();
    Tools().Mp3tagToolButtonClick();
    WaitForRuns(Bin, 2);
    // Two files in the home folder: the files.
    const QString b = Song("b.mp3", "B");
    Browse();
    Tools().Mp3tagToolButtonClick();
    WaitForRuns(Bin, 3);
    // The selected row, from the context menu.
    State.MainList().ClearSelection();
    State.MainList().SetSelected(1, true);
    Tools().Mp3tag2Click();
    WaitForRuns(Bin, 4);
    EXPECT_TRUE(Ui.Messages.isEmpty()) << Ui.Messages.first().Text.toStdString();
    const QStringList runs = RecordedRuns(Bin);
    ASSERT_EQ(runs.size(), 4) << runs.join(u'|').toStdString();
    EXPECT_EQ(runs[0], Exe() + "\n/fp:" + Windows(Music.Path()) + "\n");
    EXPECT_EQ(runs[1], Exe() + "\n/fn:" + Windows(a) + "\n");
    EXPECT_EQ(runs[2], Exe() + "\n" + Windows(a) + "\n" + Windows(b) + "\n");
    EXPECT_EQ(runs[3], Exe() + "\n/fn:" +
                           Windows(State.MainList().Cell(1, mcLocation) + "/" +
                                   State.MainList().Cell(1, mcName)) +
                           "\n");
}

TEST_F(Mp3tagCommand, WithoutWineTheCommandIsDisabled) {
    Song("a.mp3");
    Browse();
    EXPECT_TRUE(State.CommandEnabled(TCommand::Mp3tag));
    Path.reset();
    if (!QStandardPaths::findExecutable("wine").isEmpty())
        GTEST_SKIP() << "wine is installed here";
    State.UpdateStatusBar();
    EXPECT_FALSE(State.CommandEnabled(TCommand::Mp3tag));
}

TEST_F(Mp3tagCommand, TheContextMenuItemFollowsTheToolbarRule) {
    Song("a.mp3");
    Song("b.mp3", "B");
    Browse();
    TempDir noWine;
    const QByteArray path = qgetenv("PATH");
    const struct {
        const char* Case;
        bool Program; // Mp3tag.exe in its folder
        bool Wine;    // wine on PATH
        int Selected;
        bool Enabled;
    } cases[] = {
        {"everything there, one row", true, true, 1, true},
        {"two rows", true, true, 2, false},
        {"no row", true, true, 0, false},
        {"no Mp3tag.exe", false, true, 1, false},
        {"no wine", true, false, 1, false},
    };
    for (const auto& c : cases) {
        State.Options().Mp3tagPath = c.Program ? Mp3tagFolder.Path() : Home.Path();
        // Only the recording wine's folder, or a folder without any wine.
        qputenv("PATH", (c.Wine ? Bin.Path() : noWine.Path()).toLocal8Bit());
        State.MainList().ClearSelection();
        for (int row = 0; row < c.Selected; ++row)
            State.MainList().SetSelected(row, true);
        EXPECT_EQ(State.PopupMenu1Popup().Mp3tag, c.Enabled) << c.Case;
        State.UpdateStatusBar();
        EXPECT_EQ(State.CommandEnabled(TCommand::Mp3tag), c.Program && c.Wine) << c.Case;
    }
    qputenv("PATH", path);
}

TEST_F(ToolCommands, CommonFolder) {
    TempDir other;
    const struct {
        const char* Case;
        QStringList Files; // relative to the music folder
        QStringList Extra; // MP3 files in the folders that are not listed
        bool Home;         // the folder is the music library home
        bool Common;
    } cases[] = {
        {"one folder of its own", {"a.mp3", "b.mp3"}, {}, false, true},
        {"the music library home", {"a.mp3", "b.mp3"}, {}, true, false},
        {"a file not in the list", {"a.mp3"}, {"c.mp3"}, false, false},
        {"two folders", {"a.mp3", "sub/b.mp3"}, {}, false, false},
    };
    for (const auto& c : cases) {
        TempDir folder;
        for (const QString& f : c.Files + c.Extra)
            folder.Write(f, Mp3Fixture().Text("TIT2", f).Bytes());
        State.Options().MusicLibraryHomePath = c.Home ? folder.Path() : Home.Path();
        State.Options().Recursive = false;
        State.ClearMainList();
        for (const QString& f : c.Files)
            State.OpenMP3File(folder.File(f));
        ASSERT_EQ(State.MainList().Count(), c.Files.size()) << c.Case;
        EXPECT_EQ(Tools().GetCommonPath(), c.Common ? folder.Path() : QString()) << c.Case;
    }
}

TEST_F(ToolCommands, ALargeLibraryWithLongNamesIsCheckedInBatchesAndReportedWhole) {
    // Hard links to one small file: 30,000 files whose names together are far beyond what one
    // start of a program can take.
    const QString source = LameMp3::Write(Home.File("source.mp3"), 0.3, "Source");
    LameMp3::InsertGarbage(Lame("damaged.mp3"));
    constexpr int Count = 30000;
    const QString padding(180, u'n');
    QStringList names;
    for (int i = 0; i < Count; ++i) {
        const QString name = QStringLiteral("%1 %2.mp3").arg(i, 5, 10, QChar(u'0')).arg(padding);
        ASSERT_EQ(::link(QFile::encodeName(source).constData(),
                         QFile::encodeName(Music.File(name)).constData()),
                  0);
        names << name;
    }
    // The rows are put in the list directly: reading the tags of every file is not the point.
    std::array<QString, MainListColumnCount> cells;
    cells[mcLocation] = Music.Path();
    for (const QString& name : names + QStringList{"damaged.mp3"}) {
        cells[mcName] = name;
        State.MainList().Append(nullptr, cells);
    }
    qsizetype bytes = 0;
    for (const QString& name : names)
        bytes += ArgumentBatches::Cost(Music.File(name));
    ASSERT_GT(bytes, 2 * ArgumentBatches::Budget());

    Tools().MP3valToolButtonClick();
    ASSERT_EQ(Ui.ToolOutputs.size(), 1);
    const QStringList& report = Ui.ToolOutputs.first().Lines;
    const QStringList analysed = report.filter(QRegularExpression("^Analyzing file"));
    EXPECT_EQ(analysed.size(), Count + 1);
    EXPECT_EQ(report.filter(QRegularExpression("^INFO: ")).size(), Count + 1);
    const int warnings = ToolReports::MP3valWarningCount(report);
    EXPECT_GE(warnings, 1);
    EXPECT_EQ(report.filter(QRegularExpression("^WARNING: .*damaged\\.mp3")).size(), warnings);
    EXPECT_EQ(Ui.ToolOutputs.first().ErrorCountText, QStringLiteral("%1 error(s)").arg(warnings));
    EXPECT_FALSE(Tools().Failed());
}

} // namespace
