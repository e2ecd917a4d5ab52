#include "fixing/SafeRename.h"
#include "fixing/FileTimes.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
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
    // Everything in the folder, hidden temporary files and journals included.
    QStringList Entries() const {
        return QDir(dir.Path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    }
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
    EXPECT_EQ(Entries(), QStringList("b.mp3"));
}

// What a link-and-unlink move killed between its two steps leaves: two links of one file.
TEST_P(MoveFile, CompletesAMoveThatLeftTwoLinks) {
    const QString from = dir.Write("a.mp3", "audio");
    ASSERT_EQ(::link(QFile::encodeName(from).constData(),
                     QFile::encodeName(dir.File("b.mp3")).constData()),
              0);
    const TMoveResult result = MoveFileNoReplace(from, dir.File("b.mp3"), GetParam().method);
    EXPECT_TRUE(result.Moved) << result.Error.toStdString();
    EXPECT_EQ(Entries(), QStringList("b.mp3"));
    EXPECT_EQ(dir.Read("b.mp3"), "audio");
}

// One name spelt two ways is one entry, never two links: it must not go.
TEST_P(MoveFile, AFileMovedOntoItselfStays) {
    const QString from = dir.Write("a.mp3", "audio");
    dir.Write("sub/other.mp3", "x");
    ASSERT_EQ(::link(QFile::encodeName(from).constData(),
                     QFile::encodeName(dir.File("sub/link.mp3")).constData()),
              0);
    for (const QString& to : {from, dir.File("./a.mp3"), dir.File("sub/../a.mp3")}) {
        MoveFileNoReplace(from, to, GetParam().method);
        EXPECT_EQ(dir.Read("a.mp3"), "audio") << to.toStdString();
    }
    EXPECT_EQ(Entries(), QStringList({"a.mp3", "sub"}));
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
    EXPECT_EQ(Entries(), QStringList({"a.mp3", "b.mp3"}));
}

TEST_P(MoveFile, MissingSourceLeavesNothingBehind) {
    const TMoveResult result =
        MoveFileNoReplace(dir.File("gone.mp3"), dir.File("b.mp3"), GetParam().method);
    EXPECT_FALSE(result.Moved);
    EXPECT_FALSE(result.TargetExists);
    EXPECT_EQ(Entries(), QStringList());
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
                                         MoveCase{"CheckedRename", TMoveMethod::CheckedRename},
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

// Across file systems the file is copied: complete under its new name, nothing left beside it.
TEST(MoveFileCopy, MovesAcrossFileSystems) {
    TempDir dir;
    const QString other = QStringLiteral("/dev/shm");
    if (!QFileInfo(other).isDir() || QFileInfo(other).isWritable() == false)
        GTEST_SKIP() << "no second file system";
    QTemporaryDir source(other + QStringLiteral("/varnholm-test-XXXXXX"));
    struct stat a {};
    struct stat b {};
    if (!source.isValid() || ::stat(QFile::encodeName(source.path()).constData(), &a) != 0 ||
        ::stat(QFile::encodeName(dir.Path()).constData(), &b) != 0 || a.st_dev == b.st_dev)
        GTEST_SKIP() << "no second file system";
    const QString from = source.filePath("a.mp3");
    QFile file(from);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(300000, 'a'));
    file.close();
    const TMoveResult result = MoveFileNoReplace(from, dir.File("b.mp3"));
    EXPECT_TRUE(result.Moved) << result.Error.toStdString();
    EXPECT_FALSE(QFile::exists(from));
    EXPECT_EQ(dir.Read("b.mp3"), QByteArray(300000, 'a'));
    EXPECT_EQ(QDir(dir.Path()).entryList(QDir::Files | QDir::Hidden), QStringList("b.mp3"));
}

TEST(MoveFileRename, MovesALinkAsALink) {
    TempDir dir;
    dir.Write("target.mp3", "audio");
    ASSERT_EQ(::symlink("target.mp3", QFile::encodeName(dir.File("link.mp3")).constData()), 0);
    EXPECT_TRUE(MoveFileNoReplace(dir.File("link.mp3"), dir.File("b.mp3")).Moved);
    EXPECT_TRUE(QFileInfo(dir.File("b.mp3")).isSymLink());
}

} // namespace
