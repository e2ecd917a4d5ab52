#include "export/ExportFile.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/TempDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

TEST(ExportFile, BackupNameAndExtension) {
    const struct {
        const char* Path;
        const char* Backup;
        const char* Extension;
    } cases[] = {
        {"/music/list.csv", "/music/list.~csv", ".csv"},
        {"/music/list", "/music/list.~", ""},
        {"/music/list.tar.gz", "/music/list.tar.~gz", ".gz"},
        {"/music.d/list", "/music.d/list.~", ""}, // a dot in a folder is no extension
        {"/music/.csv", "/music/.~csv", ".csv"},
        {"/music/list.CSV", "/music/list.~CSV", ".CSV"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ExportFile::BackupName(c.Path), c.Backup) << c.Path;
        EXPECT_EQ(ExportFile::Extension(c.Path), c.Extension) << c.Path;
    }
}

TEST(ExportFile, ReplacingKeepsTheOldFileAsBackupWhenAsked) {
    TempDir dir;
    const QString list = dir.Write("list.csv", "first");
    dir.Write("list.~csv", "older backup");
    QString error;
    ASSERT_TRUE(ExportFile::Write(list, "second", ExportFile::TBackup::Keep, error));
    EXPECT_EQ(dir.Read("list.csv"), "second");
    EXPECT_EQ(dir.Read("list.~csv"), "first");

    ASSERT_TRUE(ExportFile::Write(dir.File("new.csv"), "x", ExportFile::TBackup::Keep, error));
    EXPECT_FALSE(QFile::exists(dir.File("new.~csv"))); // nothing to keep

    const QString playlist = dir.Write("list.m3u", "old");
    ASSERT_TRUE(ExportFile::Write(playlist, "new", ExportFile::TBackup::None, error));
    EXPECT_EQ(dir.Read("list.m3u"), "new");
    EXPECT_FALSE(QFile::exists(dir.File("list.~m3u")));
}

TEST(ExportFile, AFailedWriteSaysWhyAndLeavesTheOldFileWhole) {
    TempDir dir;
    QString error;
    EXPECT_FALSE(
        ExportFile::Write(dir.File("gone/list.csv"), "x", ExportFile::TBackup::Keep, error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(ExportFile::WriteErrorMessage("/x/list.csv", "No such file or directory"),
              "Cannot write \"/x/list.csv\": No such file or directory");

    // A folder in the file's place cannot be replaced.
    QDir(dir.Path()).mkdir("taken.csv");
    error.clear();
    EXPECT_FALSE(ExportFile::Write(dir.File("taken.csv"), "x", ExportFile::TBackup::Keep, error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(ExportFile, AReadOnlyFolderKeepsItsFileAndItsBackup) {
    TempDir dir;
    const QString list = dir.Write("ro/list.csv", "first");
    const QString folder = dir.File("ro");
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    QFile probe(dir.File("ro/probe"));
    if (probe.open(QIODevice::WriteOnly)) {
        probe.remove();
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        GTEST_SKIP() << "this user writes into read-only folders (root)";
    }
    QString error;
    EXPECT_FALSE(ExportFile::Write(list, "second", ExportFile::TBackup::Keep, error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(dir.Read("ro/list.csv"), "first");
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList{"list.csv"});
}

} // namespace
