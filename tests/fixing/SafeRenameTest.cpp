#include "fixing/SafeRename.h"
#include "fixing/FileTimes.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/TempDir.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

struct MoveCase {
    const char* name;
    TMoveMethod method;
    friend void PrintTo(const MoveCase& c, std::ostream* os) { *os << c.name; }
};

class MoveFile : public testing::TestWithParam<MoveCase> {
protected:
    TempDir dir;
};

TEST_P(MoveFile, MovesTheFileWithItsTime) {
    const QString from = dir.Write("a.mp3", "audio");
    const timespec time{1000000000, 5};
    ASSERT_TRUE(SetLastWriteTime(from, time));
    const TMoveResult result = MoveFileNoReplace(from, dir.File("b.mp3"), GetParam().method);
    EXPECT_TRUE(result.Moved) << result.Error.toStdString();
    EXPECT_TRUE(result.Error.isEmpty());
    EXPECT_FALSE(QFile::exists(from));
    EXPECT_EQ(dir.Read("b.mp3"), "audio");
    EXPECT_EQ(GetLastWriteTime(dir.File("b.mp3"))->tv_sec, time.tv_sec);
}

TEST_P(MoveFile, NeverReplacesAnExistingFile) {
    const QString from = dir.Write("a.mp3", "mine");
    dir.Write("b.mp3", "theirs");
    const TMoveResult result = MoveFileNoReplace(from, dir.File("b.mp3"), GetParam().method);
    EXPECT_FALSE(result.Moved);
    EXPECT_TRUE(result.TargetExists);
    EXPECT_FALSE(result.Error.isEmpty());
    EXPECT_EQ(dir.Read("a.mp3"), "mine");
    EXPECT_EQ(dir.Read("b.mp3"), "theirs");
}

TEST_P(MoveFile, MissingSourceLeavesNothingBehind) {
    const TMoveResult result =
        MoveFileNoReplace(dir.File("gone.mp3"), dir.File("b.mp3"), GetParam().method);
    EXPECT_FALSE(result.Moved);
    EXPECT_FALSE(result.TargetExists);
    EXPECT_FALSE(QFile::exists(dir.File("b.mp3")));
}

TEST_P(MoveFile, TargetInAMissingFolderFails) {
    const QString from = dir.Write("a.mp3", "mine");
    const TMoveResult result =
        MoveFileNoReplace(from, dir.File("no/such/b.mp3"), GetParam().method);
    EXPECT_FALSE(result.Moved);
    EXPECT_EQ(dir.Read("a.mp3"), "mine");
}

INSTANTIATE_TEST_SUITE_P(Methods, MoveFile,
                         testing::Values(MoveCase{"Rename", TMoveMethod::Rename},
                                         MoveCase{"Link", TMoveMethod::Link},
                                         MoveCase{"Copy", TMoveMethod::Copy}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MoveFileCopy, LeavesALinkAlone) {
    TempDir dir;
    dir.Write("target.mp3", "audio");
    ASSERT_EQ(::symlink("target.mp3", QFile::encodeName(dir.File("link.mp3")).constData()), 0);
    const TMoveResult result =
        MoveFileNoReplace(dir.File("link.mp3"), dir.File("b.mp3"), TMoveMethod::Copy);
    EXPECT_FALSE(result.Moved);
    EXPECT_TRUE(QFileInfo(dir.File("link.mp3")).isSymLink());
    EXPECT_FALSE(QFile::exists(dir.File("b.mp3")));
}

TEST(MoveFileRename, MovesALinkAsALink) {
    TempDir dir;
    dir.Write("target.mp3", "audio");
    ASSERT_EQ(::symlink("target.mp3", QFile::encodeName(dir.File("link.mp3")).constData()), 0);
    EXPECT_TRUE(MoveFileNoReplace(dir.File("link.mp3"), dir.File("b.mp3")).Moved);
    EXPECT_TRUE(QFileInfo(dir.File("b.mp3")).isSymLink());
}

} // namespace
