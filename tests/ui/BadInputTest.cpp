#include "MainWindowFixture.h"

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The bytes and last-write time of every file under a folder, keyed by raw path, so that a
// name that is not valid UTF-8 is compared too.
struct FileState {
    QByteArray Bytes;
    timespec Modified{};
    bool operator==(const FileState& o) const {
        return Bytes == o.Bytes && Modified.tv_sec == o.Modified.tv_sec &&
               Modified.tv_nsec == o.Modified.tv_nsec;
    }
};

void Snapshot(const QByteArray& folder, std::map<QByteArray, FileState>& files) {
    const QByteArray list = folder + "/";
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return;
    DIR* dir = ::fdopendir(fd);
    while (const dirent* e = ::readdir(dir)) {
        const QByteArray name(e->d_name);
        if (name == "." || name == "..")
            continue;
        const QByteArray path = list + name;
        struct stat st;
        if (::lstat(path.constData(), &st) != 0)
            continue;
        if (S_ISDIR(st.st_mode)) {
            Snapshot(path, files);
        } else if (S_ISREG(st.st_mode)) {
            FileState state;
            state.Modified = st.st_mtim;
            const int file = ::open(path.constData(), O_RDONLY);
            if (file >= 0) {
                char buffer[4096];
                ssize_t n;
                while ((n = ::read(file, buffer, sizeof buffer)) > 0)
                    state.Bytes.append(buffer, n);
                ::close(file);
            }
            files[path] = state;
        }
    }
    ::closedir(dir);
}

class BadInput : public MainWindowFixture {};

// Damaged files and odd names never stop a browse and are never changed; a file whose tag cannot
// be read is listed from its ID3v1 tag and name, flagged, and named in the log.
TEST_F(BadInput, BrowseGoesOnAndChangesNothing) {
    State.Options().MP3NameComputing = nmFolded;
    State.Options().EmbedCoverArtDuringFixingProcess = true;
    State.Options().MoveFeaturingsFromTitleToComments = true;
    const QByteArray tag =
        Mp3Fixture().Text("TIT2", "Song (feat. X)").Text("TRCK", "05").TagBytes();
    const QByteArray v1 = Mp3Bytes::ID3v1({.Title = "", .Artist = "V1", .Year = "1999"});
    Music.Write("Cover.jpg", "c");
    Song("01 - Song.mp3");
    Music.Write("a zero.mp3", {});
    const QString truncated = Music.Write("b truncated.mp3", tag.left(tag.size() - 3));
    Music.Write("c garbage size.mp3",
                QByteArray("ID3\x03\x00\x00\xFF\xFF\xFF\xFF", 10) + Mp3Bytes::Audio(1) + v1);
    Music.Write("d short.mp3", "ID3");
    Music.Write("e only v1.mp3", v1);
    const QString beyond =
        Music.Write("f beyond.mp3",
                    QByteArray("ID3\x04\x00\x00\x00\x00\x7F\x7F", 10) + Mp3Bytes::Audio(1) + v1);
    QDir().mkpath(Music.File("x.mp3"));
    Song("x.mp3/inside.mp3");
    const QString locked = Song("g locked.mp3");
    QFile::setPermissions(locked, QFileDevice::Permissions());
    ASSERT_TRUE(QFile::link(Music.File("nowhere.mp3"), Music.File("h dangling.mp3")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(Music.File("i pipe.mp3")).constData(), 0644), 0);
    const QString newline = Song("j new\nline.mp3");
    Song("l locked folder/inside.mp3");
    QFile::setPermissions(Music.File("l locked folder"), QFileDevice::Permissions());
    const QByteArray invalid = QFile::encodeName(Music.Path()) + "/k invalid \xFF\xFE.mp3";
    {
        const int fd = ::open(invalid.constData(), O_CREAT | O_WRONLY, 0644);
        ASSERT_GE(fd, 0);
        const QByteArray bytes = Mp3Fixture().Bytes();
        ASSERT_EQ(::write(fd, bytes.constData(), size_t(bytes.size())), bytes.size());
        ::close(fd);
    }
    std::map<QByteArray, FileState> before;
    Snapshot(QFile::encodeName(Music.Path()), before);

    State.BrowseMP3Folder(Music.Path());

    std::map<QByteArray, FileState> after;
    Snapshot(QFile::encodeName(Music.Path()), after);
    QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QFile::setPermissions(Music.File("l locked folder"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_TRUE(before == after);

    // Every regular file that can be named is listed, the analysis of each ended normally; a
    // folder that cannot be entered is left out (root enters every folder).
    QStringList expected = {"01 - Song.mp3",      "a zero.mp3",   "b truncated.mp3",
                            "c garbage size.mp3", "d short.mp3",  "e only v1.mp3",
                            "f beyond.mp3",       "g locked.mp3", "j new\nline.mp3"};
    if (::geteuid() == 0)
        expected.append("l locked folder/inside.mp3");
    expected.append("x.mp3/inside.mp3");
    EXPECT_EQ(RowPaths(), expected);
    EXPECT_EQ(State.StatusText(), QStringLiteral("%1 file(s) - %2 mismatch(es)")
                                      .arg(expected.size())
                                      .arg(State.MismatchCount()));
    EXPECT_TRUE(Ui.Messages.isEmpty());
    EXPECT_FALSE(State.Busy());
    EXPECT_EQ(Selected(), std::vector<int>{0});

    const TMainList& list = State.MainList();
    const auto row = [&](const QString& name) {
        for (int i = 0; i < list.Count(); ++i)
            if (list.Cell(i, mcName) == name)
                return i;
        return -1;
    };
    // The tag that ends early: the name gives the title and track number.
    const int t = row("b truncated.mp3");
    EXPECT_EQ(list.Cell(t, mcTitle), "b truncated");
    EXPECT_EQ(list.Cell(t, mcMismatch), "Yes");
    // The tag declared beyond the end: its ID3v1 tag still counts.
    const int b = row("f beyond.mp3");
    EXPECT_EQ(list.Cell(b, mcArtist), "V1");
    EXPECT_EQ(list.Cell(b, mcYear), "1999");
    EXPECT_EQ(list.Cell(b, mcMismatch), "Yes");

    const QStringList log = LogLines();
    EXPECT_EQ(
        log.filter(QStringLiteral("Unreadable ID3v2 tag // File=") + truncated + " // ").size(), 1);
    EXPECT_EQ(log.filter(QStringLiteral("Unreadable ID3v2 tag // File=") + beyond + " // ").size(),
              1);
    EXPECT_EQ(log.filter(QStringLiteral("Unreadable file name // File=") + Music.Path() +
                         QStringLiteral("/k invalid "))
                  .size(),
              1);
    Q_UNUSED(newline);
    // The temporary folder cannot remove a name it cannot decode.
    ::unlink(invalid.constData());
}

// The same bad files given one by one, in a playlist and on the command line.
TEST_F(BadInput, OpeningDamagedFilesDirectly) {
    const QString zero = Music.Write("zero.mp3", {});
    const QString garbage = Music.Write("garbage.mp3", "ID3\xFF\xFF\xFF\xFF\xFF\xFF\xFF");
    QDir().mkpath(Music.File("x.mp3"));
    ASSERT_TRUE(QFile::link(Music.File("nowhere.mp3"), Music.File("dangling.mp3")));
    const QString playlist = Music.Write(
        "list.m3u", "zero.mp3\r\ngarbage.mp3\r\nx.mp3\r\ndangling.mp3\r\n\xFF\xFE\x01\r\n");
    State.HandleCommandLine(
        {zero, garbage, Music.File("x.mp3"), Music.File("dangling.mp3"), playlist});
    EXPECT_EQ(RowPaths(), QStringList({"zero.mp3", "garbage.mp3", "zero.mp3", "garbage.mp3"}));
    EXPECT_TRUE(Ui.Messages.isEmpty());

    // A dropped name is opened without looking first: a pipe or a folder named like an MP3
    // file must neither hang the program nor give a row.
    const QString pipe = Music.File("pipe.mp3");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0644), 0);
    State.HandleDrop({pipe, Music.File("x.mp3"), Music.File("dangling.mp3"), zero});
    EXPECT_EQ(RowPaths(), QStringList{"zero.mp3"});
    EXPECT_TRUE(Ui.Messages.isEmpty());
}

} // namespace
