// Writing a tag never harms the rest of the file: the audio bytes (and an ID3v1 tag) come out
// unchanged after every kind of commit, and a commit that fails part-way leaves the file as it
// was and no temporary file behind.
#include "ID3v2TestBytes.h"
#include "support/Error.h"
#include "tags/ID3FileIO.h"
#include "tags/ID3v1Tag.h"
#include "tags/ID3v2Tag.h"
#include "testsupport/TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace ID3v2TestBytes;

namespace {

QByteArray ID3v1Block() {
    QByteArray block("TAG", 3);
    block.append(QByteArray(30, 'T'));
    block.append(QByteArray(94, '\0'));
    block.append('\x11');
    return block;
}

QStringList FolderEntries(const QString& path) {
    return QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

struct CommitCase {
    const char* name;
    QByteArray tag;
    std::function<void(TID3v2Tag&)> change;
    bool rebuilt;
    friend void PrintTo(const CommitCase& c, std::ostream* os) { *os << c.name; }
};

class ID3v2CommitSafetyTest : public testing::TestWithParam<CommitCase> {};

TEST_P(ID3v2CommitSafetyTest, AudioAfterTheTagAreaIsUnchanged) {
    for (const bool withID3v1 : {false, true}) {
        TempDir dir;
        const QByteArray rest = Audio(20) + (withID3v1 ? ID3v1Block() : QByteArray());
        const QString path = dir.Write("a.mp3", GetParam().tag + rest);
        TID3v2Tag tag;
        tag.SetFileName(path);
        tag.Open();
        GetParam().change(tag);
        tag.Commit();
        const QByteArray after = dir.Read("a.mp3");
        const WrittenTag written = ParseWritten(after);
        ASSERT_GT(written.areaSize, 0);
        EXPECT_EQ(after.size(), written.areaSize + rest.size());
        EXPECT_TRUE(after.mid(int(written.areaSize)) == rest) << "audio bytes changed";
        EXPECT_EQ(written.areaSize != GetParam().tag.size(), GetParam().rebuilt);
        EXPECT_EQ(FolderEntries(dir.Path()), QStringList({"a.mp3"}));
    }
}

// Both tags through one commit: in place or rebuilt, the ID3v1 tag at the end is replaced and
// the audio between the tags is kept.
TEST_P(ID3v2CommitSafetyTest, CommitWithID3v1WritesBothTags) {
    TempDir dir;
    const QByteArray audio = Audio(20);
    const QString path = dir.Write("a.mp3", GetParam().tag + audio + ID3v1Block());
    TID3v2Tag tag;
    tag.SetFileName(path);
    tag.Open();
    TID3v1Tag v1;
    v1.SetFileName(path);
    v1.Open();
    v1.SongName = QStringLiteral("New title");
    GetParam().change(tag);
    EXPECT_TRUE(tag.Commit(&v1));
    const QByteArray after = dir.Read("a.mp3");
    const WrittenTag written = ParseWritten(after);
    ASSERT_GT(written.areaSize, 0);
    EXPECT_EQ(after.size(), written.areaSize + audio.size() + TID3v1Tag::TagSize);
    EXPECT_TRUE(after.mid(int(written.areaSize), audio.size()) == audio) << "audio bytes changed";
    EXPECT_TRUE(after.right(TID3v1Tag::TagSize) == v1.TagBytes()) << "ID3v1 tag not written";
    EXPECT_EQ(written.areaSize != GetParam().tag.size(), GetParam().rebuilt);
    EXPECT_TRUE(v1.HasTag());
    EXPECT_EQ(FolderEntries(dir.Path()), QStringList({"a.mp3"}));
}

QByteArray Padded(int major, const QByteArray& frames, int area, quint8 flags = 0) {
    return Tag(major, frames, flags, area - 10 - int(frames.size()));
}

const CommitCase KindsCases[] = {
    // Every kind of commit.
    {"shrink", Padded(3, Frame23("TIT2", Latin1(QByteArray(1500, 'x'))), 2048),
     [](TID3v2Tag& tag) { tag.Texts().SetTitle("short"); }, false},
    {"same_content",
     Padded(4, Frame24("TIT2", Latin1("same")) + Frame24("TALB", Latin1("a")), 2048),
     [](TID3v2Tag&) {}, false},
    {"grow_rebuilds", Padded(3, Frame23("TIT2", Latin1("t")), 2048),
     [](TID3v2Tag& tag) {
         auto* picture = tag.AddFrameAs<TID3PictureFrame>(fiPicture);
         picture->SetMIMEType("image/jpeg");
         picture->SetPictureData(QByteArray(5000, '\xFF'));
     },
     true},
    {"exactly_full_rebuilds", Tag(4, Frame24("TIT2", Latin1("t"))), [](TID3v2Tag&) {}, true},
    {"first_tag", QByteArray(), [](TID3v2Tag& tag) { tag.Texts().SetTitle("first"); }, true},
    {"unsynchronised_v23", Padded(3, Frame23("TIT2", Latin1("t")), 1024, 0x80),
     [](TID3v2Tag& tag) {
         auto* picture = tag.AddFrameAs<TID3PictureFrame>(fiPicture);
         picture->SetPictureData(QByteArray("\xFF\xFB\xFF\x00\xFF", 5).repeated(40));
     },
     false},
    {"unsynchronised_v24", Padded(4, Frame24("TIT2", Latin1("t")), 1024, 0x80),
     [](TID3v2Tag& tag) {
         auto* picture = tag.AddFrameAs<TID3PictureFrame>(fiPicture);
         picture->SetPictureData(QByteArray("\xFF\xFB\xFF\x00\xFF", 5).repeated(400));
     },
     true},
    {"v22", Padded(2, Frame22("TT2", Latin1("t")), 512),
     [](TID3v2Tag& tag) { tag.Texts().SetAlbum("album"); }, false},
};

INSTANTIATE_TEST_SUITE_P(Kinds, ID3v2CommitSafetyTest, testing::ValuesIn(KindsCases));

// A file with a 2048-byte tag area that the change below does not fit into, and the change.
class ID3v2FailedCommitTest : public testing::Test {
protected:
    void SetUp() override {
        original = Padded(3, Frame23("TIT2", Latin1("Old")), 2048) + Audio(12);
        path = dir.Write("a.mp3", original);
        tag.SetFileName(path);
        tag.Open();
    }
    void Grow() {
        auto* picture = tag.AddFrameAs<TID3PictureFrame>(fiPicture);
        picture->SetMIMEType("image/jpeg");
        picture->SetPictureData(QByteArray(3000, 'p'));
    }
    // The commit fails with a file error, and the file and the folder are as before.
    void ExpectFailureLeavesFileAlone(const char* messagePart) {
        try {
            tag.Commit();
            ADD_FAILURE() << "Commit succeeded";
        } catch (const ID3FileIO::TFileError& error) {
            EXPECT_TRUE(error.Message().contains(QLatin1String(messagePart))) << error.what();
        }
        EXPECT_TRUE(dir.Read("a.mp3") == original) << "the file changed";
        EXPECT_EQ(FolderEntries(dir.Path()), QStringList({"a.mp3"}));
    }

    TempDir dir;
    QByteArray original;
    QString path;
    TID3v2Tag tag;
};

TEST_F(ID3v2FailedCommitTest, InterruptedRebuildLeavesNoTrace) {
    for (const TID3CommitStage failAt : {TID3CommitStage::Locked, TID3CommitStage::TemporaryCreated,
                                         TID3CommitStage::AudioCopied}) {
        Grow();
        tag.SetCommitObserver([failAt](TID3CommitStage stage, const QString&) {
            if (stage == failAt)
                throw ID3FileIO::TFileError(QStringLiteral("Interrupted"), EIO);
        });
        ExpectFailureLeavesFileAlone("Interrupted");
    }
}

TEST_F(ID3v2FailedCommitTest, InterruptedInPlaceWriteWritesNothing) {
    tag.Texts().SetTitle("New");
    tag.SetCommitObserver([](TID3CommitStage stage, const QString&) {
        if (stage == TID3CommitStage::Locked)
            throw ID3FileIO::TFileError(QStringLiteral("Interrupted"), EIO);
    });
    ExpectFailureLeavesFileAlone("Interrupted");
}

// Lets the kernel refuse to grow any file beyond a size, as a full disk would.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &FOld);
        FOldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = FOld;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &FOld);
        std::signal(SIGXFSZ, FOldHandler);
    }

private:
    rlimit FOld{};
    void (*FOldHandler)(int) = nullptr;
};

TEST_F(ID3v2FailedCommitTest, NoRoomForTheTemporaryFile) {
    Grow();
    try {
        const FileSizeLimit limit(1024);
        tag.Commit();
        ADD_FAILURE() << "Commit succeeded";
    } catch (const ID3FileIO::TFileError& error) {
        EXPECT_EQ(error.ErrorCode(), EFBIG) << error.what();
    }
    EXPECT_TRUE(dir.Read("a.mp3") == original);
    EXPECT_EQ(FolderEntries(dir.Path()), QStringList({"a.mp3"}));
}

// Runs the function as an unprivileged user when the tests run as root, whom folder
// permissions do not stop.
class UnprivilegedScope {
public:
    UnprivilegedScope() {
        if (geteuid() != 0)
            return;
        FSwitched = setegid(65534) == 0 && seteuid(65534) == 0;
    }
    ~UnprivilegedScope() {
        if (FSwitched) {
            [[maybe_unused]] const int user = seteuid(0);
            [[maybe_unused]] const int group = setegid(0);
        }
    }
    bool Ready() const { return geteuid() != 0; }

private:
    bool FSwitched = false;
};

TEST_F(ID3v2FailedCommitTest, ReadOnlyFolder) {
    Grow();
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                    QFileDevice::ReadOther | QFileDevice::WriteOther);
    ::chmod(QFile::encodeName(dir.Path()).constData(), 0555);
    {
        const UnprivilegedScope scope;
        if (!scope.Ready() || ::access(QFile::encodeName(path).constData(), R_OK | W_OK) != 0) {
            ::chmod(QFile::encodeName(dir.Path()).constData(), 0755);
            GTEST_SKIP() << "cannot run as a user that the folder's permissions stop";
        }
        try {
            tag.Commit();
            ADD_FAILURE() << "Commit succeeded";
        } catch (const ID3FileIO::TFileError& error) {
            EXPECT_TRUE(error.Message().startsWith("Cannot create file")) << error.what();
            EXPECT_EQ(error.ErrorCode(), EACCES);
        }
    }
    ::chmod(QFile::encodeName(dir.Path()).constData(), 0755);
    EXPECT_TRUE(dir.Read("a.mp3") == original);
    EXPECT_EQ(FolderEntries(dir.Path()), QStringList({"a.mp3"}));
}

TEST_F(ID3v2FailedCommitTest, FileRemovedDuringTheRebuild) {
    Grow();
    tag.SetCommitObserver([this](TID3CommitStage stage, const QString&) {
        if (stage == TID3CommitStage::AudioCopied)
            QFile::remove(path);
    });
    EXPECT_THROW(tag.Commit(), ID3FileIO::TFileError);
    EXPECT_FALSE(QFileInfo::exists(path)) << "a removed file came back";
    EXPECT_TRUE(FolderEntries(dir.Path()).isEmpty());
}

TEST_F(ID3v2FailedCommitTest, FileReplacedDuringTheRebuild) {
    Grow();
    const QByteArray replacement("another program's file");
    tag.SetCommitObserver([&](TID3CommitStage stage, const QString&) {
        if (stage == TID3CommitStage::AudioCopied) {
            const QString other = dir.Write("other", replacement);
            ::rename(QFile::encodeName(other).constData(), QFile::encodeName(path).constData());
        }
    });
    EXPECT_THROW(tag.Commit(), ID3FileIO::TFileError);
    EXPECT_EQ(dir.Read("a.mp3"), replacement);
    EXPECT_EQ(FolderEntries(dir.Path()), QStringList({"a.mp3"}));
}

TEST_F(ID3v2FailedCommitTest, FileLockedByAnotherWriter) {
    tag.Texts().SetTitle("New");
    const int other = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(other, 0);
    ASSERT_EQ(::flock(other, LOCK_EX), 0);
    ExpectFailureLeavesFileAlone("in use");
    ::close(other);
    tag.Commit();
    EXPECT_EQ(ParseWritten(dir.Read("a.mp3")).Data("TIT2"), Latin1("New"));
}

TEST_F(ID3v2FailedCommitTest, FileCutShortSinceItWasRead) {
    tag.Texts().SetTitle("New");
    original = original.left(100);
    dir.Write("a.mp3", original);
    ExpectFailureLeavesFileAlone("ends before");
}

TEST_F(ID3v2FailedCommitTest, FileGoneBeforeTheCommit) {
    tag.Texts().SetTitle("New");
    QFile::remove(path);
    EXPECT_THROW(tag.Commit(), ID3FileIO::TFileError);
    EXPECT_TRUE(FolderEntries(dir.Path()).isEmpty());
}

TEST(ID3v2RebuildTest, KeepsPermissionsAndLinks) {
    TempDir dir;
    const QByteArray audio = Audio(4);
    const QString target = dir.Write("music/a.mp3", Tag(4, Frame24("TIT2", Latin1("t"))) + audio);
    QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                      QFileDevice::ReadGroup);
    const QString link = dir.File("link.mp3");
    ASSERT_TRUE(QFile::link(target, link));
    TID3v2Tag tag;
    tag.SetFileName(link);
    tag.Open();
    tag.Texts().SetTitle("through the link");
    tag.Commit();
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    const QByteArray after = dir.Read("music/a.mp3");
    const WrittenTag written = ParseWritten(after);
    EXPECT_EQ(written.Data("TIT2"), Latin1("through the link"));
    EXPECT_EQ(after.mid(int(written.areaSize)), audio);
    EXPECT_EQ(FolderEntries(dir.File("music")), QStringList({"a.mp3"}));
}

} // namespace
