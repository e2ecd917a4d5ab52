#include "discovery/M3UPlaylistReader.h"
#include "testsupport/TempDir.h"

#include "testsupport/QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <fcntl.h>
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using testing::ElementsAre;
using testing::IsEmpty;

void PrintTo(const TM3UEntry& e, std::ostream* os) {
    *os << '{' << e.FileName.toStdString() << " | " << e.Artist.toStdString() << " | "
        << e.Title.toStdString() << '}';
}

namespace {

struct InformationCase {
    const char* name;
    QString line;
    TM3UInformation expected;
    friend void PrintTo(const InformationCase& c, std::ostream* os) { *os << c.name; }
};

class InformationLine : public testing::TestWithParam<InformationCase> {};

TEST_P(InformationLine, CutsAtTheFirstCommaThenTheFirstDash) {
    EXPECT_EQ(ParseM3UInformationLine(GetParam().line), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, InformationLine,
    testing::Values(
        InformationCase{"ArtistAndTitle", "#EXTINF:215,Abba - Waterloo", {"Abba", "Waterloo"}},
        InformationCase{"NoDashIsAllArtist", "#EXTINF:1,Only Artist", {"Only Artist", ""}},
        InformationCase{"NoComma", "#EXTINF:215", {"", ""}},
        InformationCase{"SecondDashStaysInTitle", "#EXTINF:1,A - B - C", {"A", "B - C"}},
        InformationCase{
            "CommaInArtist", "#EXTINF:-1,Crosby, Stills - Song", {"Crosby, Stills", "Song"}},
        InformationCase{"DashWithoutSpaces", "#EXTINF:1,Jay-Z", {"Jay-Z", ""}},
        InformationCase{"EmptyArtist", "#EXTINF:1, - Title", {"", "Title"}}),
    [](const auto& info) { return std::string(info.param.name); });

// Changes the current folder for one test and puts it back.
class CurrentFolder {
public:
    explicit CurrentFolder(const QString& folder) : FSaved(QDir::currentPath()) {
        QDir::setCurrent(folder);
    }
    ~CurrentFolder() { QDir::setCurrent(FSaved); }

private:
    QString FSaved;
};

// A playlist in "<dir>/lists", with tracks beside it, below it and in a sibling folder.
class Playlist : public testing::Test {
protected:
    void SetUp() override {
        for (const char* name :
             {"lists/here.mp3", "lists/Album/a.mp3", "music/abs.mp3", "lists/Caf\xC3\xA9.mp3"})
            dir.Write(QString::fromUtf8(name), "x");
    }

    QStringList Lines() const {
        return {"#EXTM3U",
                "here.mp3",
                "#EXTINF:10,Art - Ti",
                "Album/a.mp3",
                "http://radio.example/stream.mp3",
                "./here.mp3",
                "#EXTINF:5,Solo",
                dir.File("music/abs.mp3"),
                "missing.mp3",
                "",
                "#EXTALB:not an entry",
                "Album\\a.mp3",
                "../music/./abs.mp3",
                QString::fromUtf8("Café.mp3")};
    }

    std::vector<TM3UEntry> Expected() const {
        const QString here = dir.File("lists/here.mp3");
        const QString album = dir.File("lists/Album/a.mp3");
        const QString abs = dir.File("music/abs.mp3");
        return {{here, "", ""},
                {album, "Art", "Ti"},
                {here, "Art", "Ti"},
                {abs, "Solo", ""},
                {album, "Solo", ""},
                {abs, "Solo", ""},
                {dir.File(QString::fromUtf8("lists/Café.mp3")), "Solo", ""}};
    }

    TempDir dir;
};

TEST_F(Playlist, ResolvesEntriesAndCarriesInformationLinesForward) {
    EXPECT_THAT(ReadM3ULines(Lines(), dir.File("lists")), testing::ElementsAreArray(Expected()));
}

struct EncodingCase {
    const char* name;
    std::function<QByteArray(const QStringList&)> encode;
    friend void PrintTo(const EncodingCase& c, std::ostream* os) { *os << c.name; }
};

QByteArray Joined(const QStringList& lines, const char* end) {
    return lines.join(QString::fromLatin1(end)).toUtf8() + end;
}

class PlaylistFile : public Playlist, public testing::WithParamInterface<EncodingCase> {};

TEST_P(PlaylistFile, ReadsEveryEncodingAndLineEnd) {
    const QString path = dir.Write("lists/list.m3u", GetParam().encode(Lines()));
    EXPECT_THAT(ReadM3UFile(path), testing::ElementsAreArray(Expected()));
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, PlaylistFile,
    testing::Values(
        EncodingCase{"Utf8CrLf", [](const QStringList& l) { return Joined(l, "\r\n"); }},
        EncodingCase{"Utf8Lf", [](const QStringList& l) { return Joined(l, "\n"); }},
        EncodingCase{"Utf8Cr", [](const QStringList& l) { return Joined(l, "\r"); }},
        EncodingCase{"Utf8Bom",
                     [](const QStringList& l) { return "\xEF\xBB\xBF" + Joined(l, "\r\n"); }},
        EncodingCase{"Utf16LeBom",
                     [](const QStringList& l) {
                         QStringEncoder encoder(QStringEncoder::Utf16LE);
                         return QByteArray("\xFF\xFE") +
                                QByteArray(encoder.encode(l.join("\r\n") + "\r\n"));
                     }},
        // A playlist written on Windows without a mark: "é" is the single byte 0xE9.
        EncodingCase{"Windows1252",
                     [](const QStringList& l) { return l.join("\r\n").toLatin1() + "\r\n"; }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Playlist, PrefersThePlaylistFolderToTheCurrentFolder) {
    dir.Write("cwd/here.mp3", "x");
    dir.Write("cwd/onlyhere.mp3", "x");
    CurrentFolder cwd(dir.File("cwd"));
    EXPECT_THAT(ReadM3ULines({"here.mp3", "onlyhere.mp3", "nowhere.mp3"}, dir.File("lists")),
                ElementsAre(TM3UEntry{dir.File("lists/here.mp3"), "", ""},
                            TM3UEntry{dir.File("cwd/onlyhere.mp3"), "", ""}));
}

TEST_F(Playlist, EntriesThatAreNoFilesGiveNothing) {
    dir.Write("lists/folder.mp3/inner.mp3", "x");
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.File("lists/pipe.mp3")).constData(), 0600), 0);
    ASSERT_EQ(::symlink("none.mp3", QFile::encodeName(dir.File("lists/gone.mp3")).constData()), 0);
    EXPECT_THAT(ReadM3ULines({"folder.mp3", "pipe.mp3", "gone.mp3", "", "."}, dir.File("lists")),
                IsEmpty());
}

TEST_F(Playlist, UnreadablePlaylistsGiveNothing) {
    EXPECT_THAT(ReadM3UFile(dir.File("lists/none.m3u")), IsEmpty());
    dir.Write("lists/folder.m3u/x", "");
    EXPECT_THAT(ReadM3UFile(dir.File("lists/folder.m3u")), IsEmpty());
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.File("lists/pipe.m3u")).constData(), 0600), 0);
    EXPECT_THAT(ReadM3UFile(dir.File("lists/pipe.m3u")), IsEmpty());
    const QString locked = dir.Write("lists/locked.m3u", "here.mp3\r\n");
    ::chmod(QFile::encodeName(locked).constData(), 0);
    if (::geteuid() != 0) {
        EXPECT_THAT(ReadM3UFile(locked), IsEmpty());
    }
}

TEST_F(Playlist, ReadsGarbageWithoutHarm) {
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i)
        garbage.append(char((i * 37 + 11) % 256));
    const QString path = dir.Write("lists/garbage.m3u", garbage);
    EXPECT_THAT(ReadM3UFile(path), IsEmpty());
    EXPECT_EQ(dir.Read("lists/garbage.m3u"), garbage);
}

} // namespace
