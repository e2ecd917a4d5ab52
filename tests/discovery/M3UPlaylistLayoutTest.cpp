#include "discovery/M3UPlaylistLayout.h"
#include "discovery/M3UPlaylistReader.h"
#include "settings/OptionSet.h"
#include "support/TextFile.h"
#include "testsupport/TempDir.h"

#include "testsupport/QtPrinters.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using testing::ElementsAre;
using testing::ElementsAreArray;

namespace {

struct RelativeCase {
    const char* name;
    QString playlistFolder;
    QString trackFolder;
    QString expected;
    friend void PrintTo(const RelativeCase& c, std::ostream* os) { *os << c.name; }
};

class RelativeFolder : public testing::TestWithParam<RelativeCase> {};

TEST_P(RelativeFolder, LeadsFromThePlaylistToTheTrack) {
    EXPECT_EQ(M3URelativeFolder(GetParam().playlistFolder, GetParam().trackFolder),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, RelativeFolder,
    testing::Values(RelativeCase{"SameFolder", "/music", "/music", "."},
                    RelativeCase{"SameWithTrailingSeparator", "/music/", "/music", "."},
                    RelativeCase{"SameWithoutRegardToCase", "/Music", "/music", "."},
                    RelativeCase{"Below", "/music", "/music/Album", "Album"},
                    RelativeCase{"TwoBelow", "/music", "/music/Album/CD 1/", "Album/CD 1"},
                    RelativeCase{"Beside", "/music", "/other", "../other"},
                    RelativeCase{"UpTwice", "/music/a/b", "/music/c", "../../c"},
                    RelativeCase{"Above", "/music/Album", "/music", ".."},
                    RelativeCase{"DotsResolved", "/music/./x/..", "/music/./x/../Album/", "Album"},
                    RelativeCase{"CommonPartIgnoresCase", "/Music/Rock", "/music/rock/Live",
                                 "Live"},
                    RelativeCase{"FromRoot", "/", "/music", "music"},
                    RelativeCase{"ToRoot", "/music", "/", ".."},
                    RelativeCase{"RelativeTrackUnchanged", "/music", "Album/", "Album/"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(M3UEntryLine, WritesFullPathsOrRelativeFolderAndName) {
    const TM3UTrack inAlbum{"/music/Album", "x.mp3", "", ""};
    const TM3UTrack inRoot{"/", "r.mp3", "", ""};
    EXPECT_EQ(M3UEntryLine("/music", inAlbum, true), "/music/Album/x.mp3");
    EXPECT_EQ(M3UEntryLine("/music", inRoot, true), "/r.mp3");
    EXPECT_EQ(M3UEntryLine("/music/Album", inAlbum, false), "./x.mp3");
    EXPECT_EQ(M3UEntryLine("/music", inAlbum, false), "Album/x.mp3");
    EXPECT_EQ(M3UEntryLine("/other", inAlbum, false), "../music/Album/x.mp3");
    EXPECT_EQ(M3UEntryLine("/music", inRoot, false), "../r.mp3");
}

struct FormCase {
    const char* name;
    bool extended;
    bool absolute;
    QStringList expected;
    friend void PrintTo(const FormCase& c, std::ostream* os) { *os << c.name; }
};

class PlaylistForm : public testing::TestWithParam<FormCase> {};

const QVector<TM3UTrack> Tracks = {{"/music", "one.mp3", "Abba", "Waterloo"},
                                   {"/music/Album", "two.mp3", "", ""},
                                   {"/other", "three.mp3", "Solo", "Song, Live"}};

TEST_P(PlaylistForm, LaysOutTheLinesTheOptionsAskFor) {
    TOptionSet options;
    options.ExportPlaylistUsingExtendedM3UFormat = GetParam().extended;
    options.ExportPlaylistUsingAbsolutePath = GetParam().absolute;
    QStringList asked;
    const auto length = [&](const TM3UTrack& track) {
        asked.append(track.FileName);
        return qint64(asked.size() * 100);
    };
    EXPECT_THAT(M3UPlaylistLines("/music/list.m3u", Tracks, options, length),
                ElementsAreArray(GetParam().expected));
    if (GetParam().extended)
        EXPECT_THAT(asked, ElementsAre("one.mp3", "two.mp3", "three.mp3"));
    else
        EXPECT_TRUE(asked.isEmpty()) << "lengths are read only for information lines";
}

INSTANTIATE_TEST_SUITE_P(
    Forms, PlaylistForm,
    testing::Values(
        FormCase{"ExtendedRelative",
                 true,
                 false,
                 {"#EXTM3U", "#EXTINF:100,Abba - Waterloo", "./one.mp3", "#EXTINF:200, - ",
                  "Album/two.mp3", "#EXTINF:300,Solo - Song, Live", "../other/three.mp3"}},
        FormCase{"ExtendedAbsolute",
                 true,
                 true,
                 {"#EXTM3U", "#EXTINF:100,Abba - Waterloo", "/music/one.mp3", "#EXTINF:200, - ",
                  "/music/Album/two.mp3", "#EXTINF:300,Solo - Song, Live", "/other/three.mp3"}},
        FormCase{
            "PlainRelative", false, false, {"./one.mp3", "Album/two.mp3", "../other/three.mp3"}},
        FormCase{"PlainAbsolute",
                 false,
                 true,
                 {"/music/one.mp3", "/music/Album/two.mp3", "/other/three.mp3"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PlaylistForm, WithoutLengthsWritesZero) {
    EXPECT_THAT(M3UPlaylistLines("/music/list.m3u", {Tracks[0]}, TOptionSet()),
                ElementsAre("#EXTM3U", "#EXTINF:0,Abba - Waterloo", "./one.mp3"));
}

TEST(PlaylistForm, WhatIsWrittenReadsBackToTheSameFiles) {
    TempDir dir;
    const QVector<TM3UTrack> tracks = {
        {dir.File("lists"), "here.mp3", "Abba", "Waterloo"},
        {dir.File("lists/Album"), QString::fromUtf8("Café.mp3"), "Artist", "Title - Part 2"},
        {dir.File("music"), "beside.mp3", "Solo", ""}};
    for (const TM3UTrack& track : tracks)
        dir.Write(QString(track.Folder + u'/' + track.FileName).mid(dir.Path().size() + 1), "x");
    for (const bool absolute : {false, true}) {
        TOptionSet options;
        options.ExportPlaylistUsingAbsolutePath = absolute;
        const QString playlist = dir.File("lists/out.m3u");
        ASSERT_TRUE(TextFile::WriteLines(playlist, M3UPlaylistLines(playlist, tracks, options)));
        const QVector<TM3UEntry> entries = ReadM3UFile(playlist);
        ASSERT_EQ(entries.size(), tracks.size());
        for (qsizetype i = 0; i < tracks.size(); ++i) {
            EXPECT_EQ(entries[i].FileName, tracks[i].Folder + u'/' + tracks[i].FileName);
            EXPECT_EQ(entries[i].Artist, tracks[i].Artist);
            EXPECT_EQ(entries[i].Title, tracks[i].Title);
        }
    }
}

} // namespace
