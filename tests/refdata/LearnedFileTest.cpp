#include "refdata/LearnedFile.h"
#include "refdata/ReferenceData.h"
#include "support/LogFile.h"
#include "testsupport/ScriptedUiPort.h"
#include "testsupport/TempDir.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QString AlbumsInUse =
    QStringLiteral("The \"~MyMP3ArtistsAlbumsGenres.def\" file is in use. Please close it first.");
const QString ArtistsInUse =
    QStringLiteral("The \"~MyMP3ArtistGenre.def\" file is in use. Please close it first.");
const QString AlbumsFailed =
    QStringLiteral("Failed to save \"~MyMP3ArtistsAlbumsGenres.def\" file.");
const QString ArtistsFailed = QStringLiteral("Failed to save \"~MyMP3ArtistGenre.def\" file.");

// Holds a flock on a file through its own open file description, as another program would.
class TFlockHolder {
public:
    explicit TFlockHolder(const QString& path)
        : FFd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC)) {
        if (FFd < 0 || ::flock(FFd, LOCK_EX | LOCK_NB) != 0)
            throw std::runtime_error("cannot lock the test file");
    }
    ~TFlockHolder() { Release(); }
    void Release() {
        if (FFd >= 0)
            ::close(FFd);
        FFd = -1;
    }

private:
    int FFd;
};

// A child process holding an fcntl write lock on a file until it is destroyed. Record locks
// of the test's own process would not conflict with its own probe, hence the child.
class TRecordLockHolder {
public:
    explicit TRecordLockHolder(const QString& path) {
        int ready[2];
        if (::pipe(ready) != 0 || ::pipe(FRelease) != 0)
            throw std::runtime_error("pipe");
        const QByteArray name = QFile::encodeName(path);
        FChild = ::fork();
        if (FChild == 0) {
            const int fd = ::open(name.constData(), O_RDWR);
            struct flock lock {};
            lock.l_type = F_WRLCK;
            lock.l_whence = SEEK_SET;
            const char ok = fd >= 0 && ::fcntl(fd, F_SETLK, &lock) == 0 ? '1' : '0';
            (void)!::write(ready[1], &ok, 1);
            char wait;
            (void)!::read(FRelease[0], &wait, 1);
            ::_exit(0);
        }
        char ok = '0';
        (void)!::read(ready[0], &ok, 1);
        ::close(ready[0]);
        ::close(ready[1]);
        if (ok != '1')
            throw std::runtime_error("child could not lock");
    }
    ~TRecordLockHolder() {
        const char done = 'x';
        (void)!::write(FRelease[1], &done, 1);
        ::waitpid(FChild, nullptr, 0);
        ::close(FRelease[0]);
        ::close(FRelease[1]);
    }

private:
    pid_t FChild = -1;
    int FRelease[2] = {-1, -1};
};

QByteArray Bom(const QByteArray& crlfLines) {
    return QByteArray("\xEF\xBB\xBF") + crlfLines;
}

TEST(LearnedFileInUse, DecidedByLocksAndWritability) {
    TempDir dir;
    EXPECT_FALSE(LearnedFile::IsInUse(dir.File("absent.def")));
    EXPECT_FALSE(LearnedFile::IsInUse(dir.File("no-folder/absent.def")));
    const QString path = dir.Write("a.def", "x");
    EXPECT_FALSE(LearnedFile::IsInUse(path));
    {
        TFlockHolder holder(path);
        EXPECT_TRUE(LearnedFile::IsInUse(path));
    }
    EXPECT_FALSE(LearnedFile::IsInUse(path)) << "our probe leaves no lock behind";
    {
        TRecordLockHolder holder(path);
        EXPECT_TRUE(LearnedFile::IsInUse(path));
    }
    EXPECT_FALSE(LearnedFile::IsInUse(path));
    QDir().mkpath(dir.File("folder.def"));
    EXPECT_TRUE(LearnedFile::IsInUse(dir.File("folder.def")));
}

// A browse of a library learned before saves the very lines the file holds: the file is left as it
// is (same file, same time), while lines that differ replace it.
TEST(LearnedFileSave, AFileHoldingTheSameLinesIsLeftAsItIs) {
    TempDir dir;
    const QString path = dir.Write("~MyMP3ArtistGenre.def", Bom("A\tRock\r\nB\tPop\r\n"));
    const QDateTime past = QDateTime::currentDateTime().addDays(-3);
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        ASSERT_TRUE(file.setFileTime(past, QFileDevice::FileModificationTime));
    }
    const auto inode = [&path] {
        struct stat st {};
        return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
    };
    const ino_t before = inode();
    ScriptedUiPort ui;
    EXPECT_TRUE(LearnedFile::Save(path, {"A\tRock", "B\tPop"}, ui));
    EXPECT_EQ(inode(), before);
    EXPECT_EQ(QFileInfo(path).lastModified(), past);
    EXPECT_TRUE(LearnedFile::Save(path, {"A\tRock", "B\tJazz"}, ui));
    EXPECT_EQ(dir.Read("~MyMP3ArtistGenre.def"), Bom("A\tRock\r\nB\tJazz\r\n"));
    // A named pipe in the file's place is not read (that would wait for a writer): it is
    // replaced as before.
    const QString pipe = dir.File("~MyMP3ArtistsAlbumsGenres.def");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0644), 0);
    EXPECT_TRUE(LearnedFile::Save(pipe, {"A\tX|Rock"}, ui));
    EXPECT_EQ(dir.Read("~MyMP3ArtistsAlbumsGenres.def"), Bom("A\tX|Rock\r\n"));
    EXPECT_TRUE(ui.Messages.isEmpty());
}

// Shut-down with the learned-data folder prepared by the test.
class LearnedSaveFailures : public testing::Test {
protected:
    void SetUp() override {
        dir.Write("defs/MP3Genres.def", "Rock\n");
        dir.Write("learned/~MyMP3ArtistsAlbumsGenres.def", Bom("A\tX|Rock\r\n"));
        dir.Write("learned/~MyMP3ArtistGenre.def", Bom("Old\tPop\r\n"));
        data.Load(dir.File("defs"), dir.File("learned"), ui);
        ASSERT_TRUE(data.LearnedDataFolderPresent());
        data.NoteArtistAlbumGenre("B", "Y", "Rock");
    }
    QString Albums() const { return dir.File("learned/~MyMP3ArtistsAlbumsGenres.def"); }
    QString Artists() const { return dir.File("learned/~MyMP3ArtistGenre.def"); }

    TempDir dir;
    ScriptedUiPort ui;
    TReferenceData data;
    TKelmLogFile log{dir.File("Quenlor.log")};
};

TEST_F(LearnedSaveFailures, StillLockedFileIsWarnedFailedAndKeptWhileTheNextStepRuns) {
    TFlockHolder holder(Albums());
    data.SaveLearnedData(log, ui);
    ASSERT_EQ(ui.Messages.size(), 2);
    EXPECT_EQ(ui.Messages[0].Kind, ScriptedUiPort::Kind::Warning);
    EXPECT_EQ(ui.Messages[0].Text, AlbumsInUse);
    EXPECT_EQ(ui.Messages[1].Kind, ScriptedUiPort::Kind::Error);
    EXPECT_EQ(ui.Messages[1].Text, AlbumsFailed);
    EXPECT_EQ(dir.Read("learned/~MyMP3ArtistsAlbumsGenres.def"), Bom("A\tX|Rock\r\n"));
    // The artist genres are still derived from the merged list and written.
    EXPECT_EQ(dir.Read("learned/~MyMP3ArtistGenre.def"), Bom("A\tRock\r\nB\tRock\r\n"));
}

// Closes the other program's hold when the warning is shown, as the person would.
class TClosingUiPort : public ScriptedUiPort {
public:
    std::function<void()> OnWarning;
    void ShowMessage(MessageKind kind, const QString& text, const QString& caption) override {
        ScriptedUiPort::ShowMessage(kind, text, caption);
        if (kind == MessageKind::Warning && OnWarning)
            OnWarning();
    }
};

TEST_F(LearnedSaveFailures, FileClosedAfterTheWarningIsWritten) {
    TFlockHolder holder(Artists());
    TClosingUiPort closing;
    closing.OnWarning = [&holder] { holder.Release(); };
    data.SaveLearnedData(log, closing);
    ASSERT_EQ(closing.Messages.size(), 1);
    EXPECT_EQ(closing.Messages[0].Kind, ScriptedUiPort::Kind::Warning);
    EXPECT_EQ(closing.Messages[0].Text, ArtistsInUse);
    EXPECT_EQ(dir.Read("learned/~MyMP3ArtistsAlbumsGenres.def"), Bom("A\tX|Rock\r\nB\tY|Rock\r\n"));
    EXPECT_EQ(dir.Read("learned/~MyMP3ArtistGenre.def"), Bom("A\tRock\r\nB\tRock\r\n"));
}

TEST_F(LearnedSaveFailures, RecordLockOfAnotherProcessCountsAsInUse) {
    TRecordLockHolder holder(Artists());
    data.SaveLearnedData(log, ui);
    EXPECT_EQ(ui.Texts(ScriptedUiPort::Kind::Warning), QStringList({ArtistsInUse}));
    EXPECT_EQ(ui.Texts(ScriptedUiPort::Kind::Error), QStringList({ArtistsFailed}));
    EXPECT_EQ(dir.Read("learned/~MyMP3ArtistGenre.def"), Bom("Old\tPop\r\n"));
}

TEST_F(LearnedSaveFailures, FolderGoneGivesBothFailureMessagesWithoutWarnings) {
    QDir(dir.File("learned")).removeRecursively();
    data.SaveLearnedData(log, ui);
    EXPECT_TRUE(ui.Texts(ScriptedUiPort::Kind::Warning).isEmpty());
    EXPECT_EQ(ui.Texts(ScriptedUiPort::Kind::Error), QStringList({AlbumsFailed, ArtistsFailed}));
    EXPECT_FALSE(QFileInfo::exists(dir.File("learned")));
}

TEST_F(LearnedSaveFailures, UnwritableFileIsReportedAndStaysAsItWas) {
    // A folder in the artist file's place exists and cannot be opened for writing, whoever
    // runs the test; a read-only file is checked too when permissions apply.
    QFile::remove(Artists());
    QDir().mkpath(Artists());
    const bool permissionsApply = ::geteuid() != 0;
    if (permissionsApply)
        QFile::setPermissions(Albums(), QFile::ReadOwner);
    data.SaveLearnedData(log, ui);
    QStringList warnings = {ArtistsInUse};
    QStringList errors = {ArtistsFailed};
    if (permissionsApply) {
        warnings.prepend(AlbumsInUse);
        errors.prepend(AlbumsFailed);
        EXPECT_EQ(dir.Read("learned/~MyMP3ArtistsAlbumsGenres.def"), Bom("A\tX|Rock\r\n"));
    }
    EXPECT_EQ(ui.Texts(ScriptedUiPort::Kind::Warning), warnings);
    EXPECT_EQ(ui.Texts(ScriptedUiPort::Kind::Error), errors);
    EXPECT_TRUE(QFileInfo(Artists()).isDir());
}

} // namespace
