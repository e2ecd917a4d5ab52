#include "support/LogFile.h"
#include "testsupport/TempDir.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <memory>

namespace {

TEST(LogFile, PreviousRunsLogIsDeletedAndNothingLoggedLeavesNoFile) {
    TempDir dir;
    const QString path = dir.Write("Quenlor.log", "old run\r\n");
    TKelmLogFile log(path);
    EXPECT_FALSE(QFileInfo::exists(path));
    // Setting the same name again deletes nothing more and creates nothing.
    log.SetFileName(path);
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST(LogFile, ALogInUseByAnotherInstanceIsAppendedToNotDeleted) {
    TempDir dir;
    const QString path = dir.Write("Quenlor.log", "old run\r\n");
    auto first = std::make_unique<TKelmLogFile>(path);
    EXPECT_FALSE(QFileInfo::exists(path));
    first->SetLogText("first");
    {
        TKelmLogFile second(path);
        second.SetLogText("second");
        // Setting a name again, as start-up does, deletes nothing while the other one runs.
        second.SetFileName(path);
        first->SetLogText("first again");
    }
    EXPECT_EQ(dir.Read("Quenlor.log"), QByteArray("first\r\nsecond\r\nfirst again\r\n"));
    // Once it has stopped, the log is the next run's to empty.
    first.reset();
    TKelmLogFile third(path);
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST(LogFile, TwoMessagesGiveTwoLinesInOrder) {
    TempDir dir;
    TKelmLogFile log(dir.File("Quenlor.log"));
    log.SetLogText("Undefined Genre // A");
    log.SetLogText(QString::fromUtf8("Zoë // Rock <> Pop ✓"));
    EXPECT_EQ(dir.Read("Quenlor.log"), QByteArray("Undefined Genre // A\r\n"
                                                  "Zo\xC3\xAB // Rock <> Pop \xE2\x9C\x93\r\n"));
    EXPECT_EQ(log.LogText(), QString::fromUtf8("Zoë // Rock <> Pop ✓"));
}

TEST(LogFile, FolderCreatedWhenMissing) {
    TempDir dir;
    const QString path = dir.File("state/Tessaly/Varnholm/Quenlor.log");
    TKelmLogFile log(path);
    EXPECT_TRUE(QFileInfo(QFileInfo(path).absolutePath()).isDir());
    QDir(dir.File("state")).removeRecursively();
    log.SetLogText("x");
    EXPECT_EQ(dir.Read("state/Tessaly/Varnholm/Quenlor.log"), QByteArray("x\r\n"));
}

TEST(LogFile, KeepOldFileWhenDeleteOnChangeNameIsOff) {
    TempDir dir;
    const QString path = dir.Write("keep.log", "old\r\n");
    TKelmLogFile log(dir.File("other.log"));
    log.SetDeleteOnChangeName(false);
    log.SetFileName(path);
    log.SetLogText("new");
    EXPECT_EQ(dir.Read("keep.log"), QByteArray("old\r\nnew\r\n"));
}

TEST(LogFile, DisabledWritesNothingAndSettingNameHasNoSideEffects) {
    TempDir dir;
    const QString path = dir.Write("Quenlor.log", "old\r\n");
    TKelmLogFile log(dir.File("first.log"));
    log.SetEnabled(false);
    log.SetFileName(path);
    log.SetFileName(dir.File("sub/x.log"));
    EXPECT_EQ(dir.Read("Quenlor.log"), QByteArray("old\r\n"));
    EXPECT_FALSE(QFileInfo::exists(dir.File("sub")));
    log.SetLogText("lost");
    EXPECT_FALSE(QFileInfo::exists(dir.File("sub/x.log")));
    EXPECT_EQ(log.LogText(), "");
}

TEST(LogFile, UnwritablePlaceIsSilent) {
    TempDir dir;
    // A plain file where the folder should be: no folder can be made and nothing opened,
    // whoever runs the test.
    dir.Write("blocker", "x");
    TKelmLogFile log(dir.File("blocker/Quenlor.log"));
    log.SetLogText("lost");
    log.SetLogText("also lost");
    EXPECT_EQ(dir.Read("blocker"), QByteArray("x"));
    EXPECT_EQ(QDir(dir.Path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList({"blocker"}));
}

TEST(LogFile, EmptyNameStandsForQuenlorLogInStateFolder) {
    EXPECT_TRUE(TKelmLogFile::DefaultFileName().endsWith("/Tessaly/Varnholm/Quenlor.log"));
}

struct PrefixCase {
    const char* name;
    QString prefixText;
    bool userName;
    bool computerName;
    QString user;
    QString computer;
    QString expected;
    friend void PrintTo(const PrefixCase& c, std::ostream* os) { *os << c.name; }
};

class LogFilePrefix : public testing::TestWithParam<PrefixCase> {};

TEST_P(LogFilePrefix, BuildsPrefixFromTheSwitchedOnParts) {
    const PrefixCase& c = GetParam();
    TempDir dir;
    TKelmLogFile log(dir.File("p.log"));
    log.SetPrefixText(c.prefixText);
    log.SetUserName(c.userName);
    log.SetComputerName(c.computerName);
    EXPECT_EQ(log.BuildPrefix(c.user, c.computer), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, LogFilePrefix,
    testing::Values(PrefixCase{"Nothing", "", false, false, "u", "c", ""},
                    PrefixCase{"TextOnly", "Scan", false, false, "u", "c", "Scan -"},
                    PrefixCase{"UserAndComputer", "", true, true, "u", "c", "(u@c)"},
                    PrefixCase{"UserOnly", "", true, false, "u", "c", "(u)"},
                    PrefixCase{"ComputerOnly", "", false, true, "u", "c", "(c)"},
                    PrefixCase{"NoUserNameKnown", "", true, true, "", "c", "(c)"},
                    PrefixCase{"NoNamesKnown", "", true, true, "", "", ""},
                    PrefixCase{"TextAndNames", "Scan", true, true, "u", "c", "Scan - (u@c)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LogFile, LineIsPrefixSpaceMessage) {
    TempDir dir;
    TKelmLogFile log(dir.File("p.log"));
    log.SetPrefixText("Scan");
    log.SetLogText("msg");
    EXPECT_EQ(log.LogText(), "Scan - msg");
    log.SetTimeStamp(true);
    log.SetDateTimeFormat("'T'");
    log.SetLogText("msg");
    EXPECT_EQ(log.LogText(), "T : Scan - msg");
    EXPECT_EQ(dir.Read("p.log"), QByteArray("Scan - msg\r\nT : Scan - msg\r\n"));
}

} // namespace
