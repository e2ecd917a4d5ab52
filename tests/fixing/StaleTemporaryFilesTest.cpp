#include "fixing/StaleTemporaryFiles.h"
#include "tags/ID3v2Tag.h"
#include "testsupport/Mp3Fixture.h"
#include "testsupport/TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

TEST(StaleTemporaryFiles, RecognisesOnlyTheTagWritersNames) {
    EXPECT_TRUE(IsTagTemporaryFileName(".varnholm-a1B2c3.tmp"));
    for (const char* name : {"varnholm-a1B2c3.tmp", ".varnholm-a1B2c.tmp", ".varnholm-a1B2c3.mp3",
                             ".varnholm-a1B2c34.tmp", "song.mp3", ".tmp"})
        EXPECT_FALSE(IsTagTemporaryFileName(name)) << name;
}

TEST(StaleTemporaryFiles, RemovesUnlockedOnesAndKeepsTheRest) {
    TempDir dir;
    dir.Write(".varnholm-AAAAAA.tmp", "left by a killed run");
    dir.Write(".varnholm-BBBBBB.tmp", "being written");
    dir.Write("song.mp3", "music");
    dir.Write("other.tmp", "not ours");
    QDir().mkpath(dir.File(".varnholm-CCCCCC.tmp"));
    const int fd =
        ::open(QFile::encodeName(dir.File(".varnholm-BBBBBB.tmp")).constData(), O_RDONLY);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);

    EXPECT_EQ(RemoveStaleTemporaryFiles(dir.Path()), 1);
    ::close(fd);
    EXPECT_FALSE(QFile::exists(dir.File(".varnholm-AAAAAA.tmp")));
    EXPECT_TRUE(QFile::exists(dir.File(".varnholm-BBBBBB.tmp")));
    EXPECT_TRUE(QFile::exists(dir.File("song.mp3")));
    EXPECT_TRUE(QFile::exists(dir.File("other.tmp")));
    EXPECT_TRUE(QFileInfo(dir.File(".varnholm-CCCCCC.tmp")).isDir());
}

TEST(StaleTemporaryFiles, TheTagWritersOwnFileIsKeptWhileItWrites) {
    TempDir dir;
    const QByteArray original = Mp3Fixture(3).Text("TIT2", "Short").Bytes();
    const QString path = dir.Write("a.mp3", original);
    TID3v2Tag tag;
    tag.SetFileName(path);
    tag.Open();
    tag.Texts().SetTitle(QString(5000, u'x')); // no longer fits: the file is rebuilt
    int removedWhileWriting = -1;
    tag.SetCommitObserver([&](TID3CommitStage stage, const QString& temporary) {
        if (stage != TID3CommitStage::AudioCopied)
            return;
        EXPECT_TRUE(IsTagTemporaryFileName(QFileInfo(temporary).fileName()));
        removedWhileWriting = RemoveStaleTemporaryFiles(dir.Path());
    });
    tag.Commit();
    EXPECT_EQ(removedWhileWriting, 0);
    TID3v2Tag check;
    check.SetFileName(path);
    check.Open();
    EXPECT_EQ(check.Texts().Title(), QString(5000, u'x'));
    EXPECT_EQ(QDir(dir.Path()).entryList(QDir::Files | QDir::Hidden), QStringList("a.mp3"));
}

TEST(StaleTemporaryFiles, EachFolderIsCleanedOncePerRun) {
    TempDir dir;
    TStaleTemporaryFiles run;
    dir.Write(".varnholm-AAAAAA.tmp", "");
    run.CleanFolder(dir.Path());
    EXPECT_FALSE(QFile::exists(dir.File(".varnholm-AAAAAA.tmp")));
    dir.Write(".varnholm-BBBBBB.tmp", "");
    run.CleanFolder(dir.Path());
    EXPECT_TRUE(QFile::exists(dir.File(".varnholm-BBBBBB.tmp")));
}

} // namespace
