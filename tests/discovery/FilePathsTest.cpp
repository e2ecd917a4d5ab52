#include "discovery/FilePaths.h"
#include "discovery/FileNamePattern.h"
#include "testsupport/TempDir.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct PatternCase {
    const char* name;
    QString pattern;
    QString fileName;
    bool matches;
    friend void PrintTo(const PatternCase& c, std::ostream* os) { *os << c.name; }
};

class FileNamePatternTest : public testing::TestWithParam<PatternCase> {};

TEST_P(FileNamePatternTest, MatchesWildcardsWithoutRegardToCase) {
    EXPECT_EQ(TFileNamePattern(GetParam().pattern).Matches(GetParam().fileName),
              GetParam().matches);
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, FileNamePatternTest,
    testing::Values(PatternCase{"UpperExtension", "*.mp3", "song.MP3", true},
                    PatternCase{"MixedCasePattern", "*.Mp3", "song.mP3", true},
                    PatternCase{"LongerExtension", "*.mp3", "song.mp3x", false},
                    PatternCase{"ExtensionOnly", "*.mp3", ".mp3", true},
                    PatternCase{"NoDot", "*.mp3", "songmp3", false},
                    PatternCase{"AccentedCase", QString::fromUtf8("*É*"),
                                QString::fromUtf8("café.mp3"), true},
                    PatternCase{"QuestionMarkOne", "?.mp3", "a.mp3", true},
                    PatternCase{"QuestionMarkNotTwo", "?.mp3", "ab.mp3", false},
                    PatternCase{"QuestionMarkNotNone", "?.mp3", ".mp3", false},
                    PatternCase{"BracketIsLiteral", "[a].mp3", "[A].mp3", true},
                    PatternCase{"BracketIsNoClass", "[a].mp3", "a.mp3", false},
                    PatternCase{"StarDotStarTakesNamesWithoutDot", "*.*", "README", true},
                    PatternCase{"BacktrackingStars", "*a*b*c", "xaxbxbxc", true},
                    PatternCase{"BacktrackingStarsFail", "*a*b*c", "xaxcxb", false},
                    PatternCase{"ExactName", "Song.mp3", "SONG.MP3", true},
                    PatternCase{"NewlineInName", "*.mp3", "new\nline.mp3", true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PathDepth, CountsNonEmptyComponents) {
    EXPECT_EQ(PathDepth("/"), 0);
    EXPECT_EQ(PathDepth("/music"), 1);
    EXPECT_EQ(PathDepth("/music/"), 1);
    EXPECT_EQ(PathDepth("//music//Album/"), 2);
    // A colon is an ordinary character here, not a drive.
    EXPECT_EQ(PathDepth("/music/Live: 1999"), 2);
    EXPECT_EQ(FileDepth("/x.mp3"), 0);
    EXPECT_EQ(FileDepth("/music/Album/x.mp3"), 2);
}

TEST(JoinPath, NeverDoublesTheSeparator) {
    EXPECT_EQ(JoinPath("/music", "x.mp3"), "/music/x.mp3");
    EXPECT_EQ(JoinPath("/music/", "x.mp3"), "/music/x.mp3");
    EXPECT_EQ(JoinPath("/", "x.mp3"), "/x.mp3");
}

TEST(IsRegularFile, TakesFilesAndLinksToFilesOnly) {
    TempDir dir;
    dir.Write("file.mp3", "x");
    dir.Write("folder.mp3/inner", "x");
    ASSERT_EQ(::symlink("file.mp3", QFile::encodeName(dir.File("link.mp3")).constData()), 0);
    ASSERT_EQ(::symlink("none", QFile::encodeName(dir.File("dangling.mp3")).constData()), 0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.File("pipe.mp3")).constData(), 0600), 0);
    EXPECT_TRUE(IsRegularFile(dir.File("file.mp3")));
    EXPECT_TRUE(IsRegularFile(dir.File("link.mp3")));
    EXPECT_FALSE(IsRegularFile(dir.File("folder.mp3")));
    EXPECT_FALSE(IsRegularFile(dir.File("dangling.mp3")));
    EXPECT_FALSE(IsRegularFile(dir.File("pipe.mp3")));
    EXPECT_FALSE(IsRegularFile(dir.File("missing.mp3")));
    EXPECT_FALSE(IsRegularFile(QString()));
}

} // namespace
