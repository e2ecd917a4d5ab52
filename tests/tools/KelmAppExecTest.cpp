#include "tools/KelmAppExec.h"
#include "testsupport/ExecutableScript.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/ScriptedUiPort.h"
#include "testsupport/TempDir.h"

#include <QDir>
#include <QFile>
#include <QThread>
#include <gtest/gtest.h>

namespace {

TEST(KelmAppExecTest, ExePathDropsATrailingSeparatorExceptFromTheRoot) {
    const struct {
        const char* Set;
        const char* Stored;
    } cases[] = {
        {"/usr/bin/", "/usr/bin"}, {"/usr/bin", "/usr/bin"}, {"/", "/"}, {"", ""}, {"/a/", "/a"}};
    for (const auto& c : cases) {
        TKelmAppExec exec;
        exec.SetExePath(QString::fromUtf8(c.Set));
        EXPECT_EQ(exec.ExePath(), QString::fromUtf8(c.Stored)) << c.Set;
    }
}

TEST(KelmAppExecTest, ErrorTextsByNumber) {
    const struct {
        int Number;
        const char* Text;
    } cases[] = {{2, "File was not found"},
                 {3, "Path was not found"},
                 {11, "Executable file was invalid. Either it was not a Windows application or "
                      "there was an error in the .EXE image"},
                 {21, "Application requires 32-bit extensions"},
                 {32, "No error"},
                 {255, "No error"},
                 {1, ""},
                 {31, ""},
                 {-1, ""}};
    for (const auto& c : cases)
        EXPECT_EQ(TKelmAppExec::ErrorString(c.Number), QString::fromUtf8(c.Text)) << c.Number;
}

TEST(KelmAppExecTest, CapturesStandardOutputAndExitCodeWithArgumentsPassedUnchanged) {
    TempDir dir;
    WriteExecutableScript(dir, QStringLiteral("echoargs"),
                          "printf 'first\\r\\nsecond\\n'\n"
                          "for a in \"$@\"; do printf '<%s>\\n' \"$a\"; done\n"
                          "echo problem >&2\nexit 3\n");
    TKelmAppExec exec;
    exec.SetExePath(dir.Path() + u'/');
    exec.SetExeName(QStringLiteral("echoargs"));
    exec.RedirectOutput = true;
    exec.Wait = true;
    exec.ExeParams = {QStringLiteral("/a folder/with space.mp3"), QStringLiteral("\"quoted\""),
                      QStringLiteral("C:\\x y"), QString(), QStringLiteral("$HOME;*")};
    exec.Execute();
    EXPECT_EQ(exec.Output(),
              (QStringList{QStringLiteral("first"), QStringLiteral("second"),
                           QStringLiteral("</a folder/with space.mp3>"),
                           QStringLiteral("<\"quoted\">"), QStringLiteral("<C:\\x y>"),
                           QStringLiteral("<>"), QStringLiteral("<$HOME;*>")}));
    EXPECT_EQ(exec.ErrorNumber(), 3);
    EXPECT_FALSE(exec.Crashed());
    EXPECT_EQ(exec.ErrorOutput(), QStringLiteral("problem\n"));

    // The next run starts with empty output; no parameters give the program alone.
    exec.ExeParams.clear();
    exec.RedirectOutput = false;
    exec.Execute();
    EXPECT_TRUE(exec.Output().isEmpty());
    EXPECT_EQ(exec.CommandLine(), QStringList{dir.File(QStringLiteral("echoargs"))});
}

TEST(KelmAppExecTest, ProgramsOnPathAndInAFolder) {
    for (const QString& folder : {QString(), QStringLiteral("/bin")}) {
        TKelmAppExec exec;
        exec.SetExePath(folder);
        exec.SetExeName(QStringLiteral("true"));
        exec.Wait = true;
        exec.Execute();
        EXPECT_EQ(exec.ErrorNumber(), 0) << folder.toStdString();
    }
}

TEST(KelmAppExecTest, TheChildRunsInExePathOnlyWhenChangeDirIsOn) {
    TempDir dir;
    WriteExecutableScript(dir, QStringLiteral("where"), "pwd\n");
    const QString ownFolder = QDir::currentPath();
    for (const bool change : {true, false}) {
        TKelmAppExec exec;
        exec.SetExePath(dir.Path());
        exec.SetExeName(QStringLiteral("where"));
        exec.ChangeDir = change;
        exec.RedirectOutput = true;
        exec.Wait = true;
        exec.Execute();
        ASSERT_EQ(exec.Output().size(), 1);
        EXPECT_EQ(QDir(exec.Output().first()).canonicalPath(),
                  QDir(change ? dir.Path() : ownFolder).canonicalPath());
        EXPECT_EQ(QDir::currentPath(), ownFolder);
    }
}

TEST(KelmAppExecTest, StartFailuresGiveTheNearestErrorText) {
    TempDir dir;
    dir.Write(QStringLiteral("plain"), "not a program\n");
    QDir(dir.Path()).mkdir(QStringLiteral("folder"));
    const struct {
        QString Path;
        const char* Name;
        int Number;
    } cases[] = {
        {dir.Path(), "missing", 2},
        {QString(), "no-such-program-anywhere", 2},
        {dir.File(QStringLiteral("gone")), "true", 3},
        {dir.Path(), "plain", 11},
        {dir.Path(), "folder", 11},
    };
    for (const auto& c : cases) {
        for (const bool wait : {true, false}) {
            TKelmAppExec exec;
            exec.SetExePath(c.Path);
            exec.SetExeName(QString::fromUtf8(c.Name));
            exec.Wait = wait;
            exec.RedirectOutput = wait;
            try {
                exec.Execute();
                ADD_FAILURE() << c.Name << " started";
            } catch (const EKelmAppExecWinExec& e) {
                EXPECT_EQ(exec.ErrorNumber(), c.Number) << c.Name;
                EXPECT_EQ(e.Message(), TKelmAppExec::ErrorString(c.Number)) << c.Name;
                EXPECT_TRUE(exec.Output().isEmpty());
            }
        }
    }
}

TEST(KelmAppExecTest, WaitingLetsTheWindowHandleEventsAndCanBeStopped) {
    TempDir dir;
    WriteExecutableScript(dir, QStringLiteral("slow"), "echo begun\nexec sleep 30\n");
    ScriptedUiPort ui;
    TKelmAppExec exec(&ui);
    exec.SetExePath(dir.Path());
    exec.SetExeName(QStringLiteral("slow"));
    exec.Wait = true;
    exec.RedirectOutput = true;
    exec.StopRequested = [&ui] { return ui.PendingEventCalls >= 3; };
    exec.Execute();
    EXPECT_GE(ui.PendingEventCalls, 3);
    EXPECT_TRUE(exec.Stopped());
    EXPECT_TRUE(exec.Crashed());
}

TEST(KelmAppExecTest, ARunWithoutWaitStartsTheProgramAndReturns) {
    TempDir dir;
    const QString mark = dir.File(QStringLiteral("mark"));
    WriteExecutableScript(dir, QStringLiteral("touchit"), "echo ran > \"$1\"\n");
    ScriptedUiPort ui;
    TKelmAppExec exec(&ui);
    exec.SetExePath(dir.Path());
    exec.SetExeName(QStringLiteral("touchit"));
    exec.ExeParams = {mark};
    exec.Execute();
    EXPECT_EQ(exec.ErrorNumber(), 32);
    EXPECT_EQ(exec.GetErrorString(), QStringLiteral("No error"));
    EXPECT_TRUE(ui.Messages.isEmpty());
    for (int i = 0; i < 500 && !QFile::exists(mark); ++i)
        QThread::msleep(10);
    EXPECT_TRUE(QFile::exists(mark));

    // Output cannot be captured from a program that is not waited for: a warning says so.
    exec.RedirectOutput = true;
    exec.Execute();
    EXPECT_EQ(ui.Texts(ScriptedUiPort::Kind::Warning),
              QStringList{QStringLiteral("This warning indicates that output will not be "
                                         "redirected properly as Wait property is equal to "
                                         "False.")});
}

TEST(KelmAppExecTest, AWindowsProgramRunsThroughWine) {
    TempDir dir;
    TempDir bin;
    WriteExecutableScript(bin, QStringLiteral("wine"), "printf '%s\\n' \"$@\"\n");
    dir.Write(QStringLiteral("Tool.exe"), "MZ");
    TKelmAppExec exec;
    exec.SetExePath(dir.Path());
    exec.SetExeName(QStringLiteral("Tool.exe"));
    exec.ExeParams = {QStringLiteral("/fn:Z:\\a b.mp3")};
    exec.Wait = true;
    exec.RedirectOutput = true;
    PathPrefix path(bin.Path());
    exec.Execute();
    EXPECT_EQ(exec.Output(), (QStringList{dir.File(QStringLiteral("Tool.exe")),
                                          QStringLiteral("/fn:Z:\\a b.mp3")}));
    // A name without extension also finds the tool's Windows build.
    exec.SetExeName(QStringLiteral("Tool"));
    EXPECT_EQ(exec.CommandLine().at(1), dir.File(QStringLiteral("Tool.exe")));
}

} // namespace
