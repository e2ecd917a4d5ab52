#include "catalogue/NameComputing.h"

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;

TMP3TagData Tags(const QString& artist, const QString& album, const QString& track,
                 const QString& title) {
    TMP3TagData t;
    t.Artist = artist;
    t.AlbumTitle = album;
    t.TrackNumber = track;
    t.Title = title;
    t.Year = "2001";
    t.Genre = "Rock";
    t.Comment = "c";
    return t;
}

TOptionSet TextOptions(bool on) {
    TOptionSet o;
    o.CleanAttributesDuringReadingProcess = on;
    o.FormatTitleDuringFixingProcess = on;
    return o;
}

// --- BuildMP3Name ---

struct NameCase {
    const char* name;
    int mode;
    TMP3TagData tags;
    QString expected;
    friend void PrintTo(const NameCase& c, std::ostream* os) { *os << c.name; }
};

class BuildMP3NameTest : public testing::TestWithParam<NameCase> {};

TEST_P(BuildMP3NameTest, BuildsTheNameOfTheMode) {
    EXPECT_EQ(BuildMP3Name(GetParam().tags, GetParam().mode, TextOptions(false)),
              GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, BuildMP3NameTest,
    testing::Values(
        NameCase{"CompactJoinsArtistAndTitle", nmCompact, Tags("Ana/Bo", "Alb", "3", "Back Home"),
                 "AnaBo-BackHome.mp3"},
        NameCase{"CompactRemovesTheWholeSet", nmCompact,
                 Tags(u"a .-'\u00B4\u2019,;:/\\?*\"<>|~b"_s, "", "", u"t\u2018\u00E9\u2013"_s),
                 u"ab-t\u2018\u00E9\u2013.mp3"_s},
        NameCase{"CompactWithoutArtist", nmCompact, Tags("", "", "", "Title"), "-Title.mp3"},
        NameCase{"CompactKeepsInnerCase", nmCompact, Tags("AC DC", "", "", "T.N.T."),
                 "ACDC-TNT.mp3"},
        NameCase{"ExpandedFull", nmExpanded, Tags("Ana Bo", "First Light", "5", "Back Home"),
                 "Ana Bo - First Light - 05 - Back Home.mp3"},
        NameCase{"ExpandedLongTrackNumberKept", nmExpanded, Tags("A", "B", "123", "T"),
                 "A - B - 123 - T.mp3"},
        NameCase{"ExpandedWithoutTrackNumber", nmExpanded, Tags("A", "B", "", "T"),
                 "A - B - T.mp3"},
        NameCase{"ExpandedTrackNumberZeroIsNone", nmExpanded, Tags("A", "B", "0", "T"),
                 "A - B - T.mp3"},
        NameCase{"ExpandedTrackNumberDoubleZeroIsOne", nmExpanded, Tags("A", "B", "00", "T"),
                 "A - B - 00 - T.mp3"},
        NameCase{"ExpandedWithoutAlbumIgnoresTrackNumber", nmExpanded,
                 Tags("Artist", "", "7", "Title"), "Artist - Title.mp3"},
        NameCase{"ExpandedColonBecomesASpace", nmExpanded, Tags("Artist: Live", "", "", "Title"),
                 "Artist Live - Title.mp3"},
        NameCase{"ExpandedReplacesTheNameSet", nmExpanded,
                 Tags("a;b:c/d\\e?f*g\"h<i>j|k~l", "x~y", "", "t?"),
                 "a b c d e f g h i j k l - x y - t.mp3"},
        NameCase{"ExpandedKeepsOtherPunctuation", nmExpanded,
                 Tags("A.B.", "Don't, Stop", "", u"\u2019Tis"_s),
                 u"A.B. - Don't, Stop - \u2019Tis.mp3"_s},
        NameCase{"ExpandedEmptyArtistKeepsTheSeparator", nmExpanded, Tags("", "B", "", "T"),
                 "- B - T.mp3"},
        NameCase{"ExpandedAllEmpty", nmExpanded, Tags("", "", "", ""), "-.mp3"},
        NameCase{"ExpandedTidiesOuterSpaces", nmExpanded, Tags("  A  ", "B   C", "", " T "),
                 "A - B C - T.mp3"},
        NameCase{"FoldedPadsTheTrackNumber", nmFolded, Tags("A", "B", "7", "Title"),
                 "07 - Title.mp3"},
        NameCase{"FoldedTrackNumberZero", nmFolded, Tags("A", "B", "0", "Title"), "Title.mp3"},
        NameCase{"FoldedNoTrackNumber", nmFolded, Tags("A", "B", "", "Title"), "Title.mp3"},
        NameCase{"FoldedNoTitleNoTrackNumber", nmFolded, Tags("A", "B", "", ""), ".mp3"},
        NameCase{"FoldedNoTitle", nmFolded, Tags("A", "B", "12", ""), "12 -.mp3"},
        // A track number is digits wherever the program makes one; a stray "/" must still not
        // turn the name into a path.
        NameCase{"FoldedSlashInTrackNumber", nmFolded, Tags("A", "B", "3/12", "T"), "3 12 - T.mp3"},
        // Damaged tags bring control characters (C0, DEL, C1); a name never holds one, a
        // neighbour of a control character (U+00A0) stays.
        NameCase{"CompactRemovesControlCharacters", nmCompact,
                 Tags(u"A\x00\x01"
                      u"b\x1f"_s,
                      "", "", u"t\x7f\x08\x9b[2J\x9f\xa0"_s),
                 u"Ab-t[2J\xa0.mp3"_s},
        NameCase{"ExpandedControlCharactersBecomeSpaces", nmExpanded,
                 Tags(u"A\x1b]0;x\x07"
                      u"B"_s,
                      u"Al\tbum"_s, "1", u"T\x85\x7f"_s),
                 "A ]0 x B - Al bum - 01 - T.mp3"},
        NameCase{"FoldedControlCharactersBecomeSpaces", nmFolded,
                 Tags("A", "B", "", u"\x0aTi\x0dtle\x00"_s), "Ti tle.mp3"},
        NameCase{"MixedIsNotAName", nmMixed, Tags("A", "B", "1", "T"), ""},
        NameCase{"NegativeModeIsNotAName", -1, Tags("A", "B", "1", "T"), ""},
        NameCase{"LargeModeIsNotAName", 4, Tags("A", "B", "1", "T"), ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BuildMP3Name, PreparesTheTitleOnlyAsTheOptionsAsk) {
    const TMP3TagData tags = Tags(u"ana\u2019s  band"_s, "", "4", u"  don\u2019t\tstop  "_s);
    // Cleaned and formatted: only the title; the artist keeps its quote and its case.
    EXPECT_EQ(BuildMP3Name(tags, nmFolded, TextOptions(true)), "04 - Don't Stop.mp3");
    EXPECT_EQ(BuildMP3Name(tags, nmExpanded, TextOptions(true)),
              u"ana\u2019s band - Don't Stop.mp3"_s);
    EXPECT_EQ(BuildMP3Name(tags, nmCompact, TextOptions(true)), "anasband-DontStop.mp3");
    // Options off: the title goes in as stored, only the spaces of the name are tidied (the tab,
    // a control character, becomes one).
    EXPECT_EQ(BuildMP3Name(tags, nmFolded, TextOptions(false)), u"04 - don\u2019t stop.mp3"_s);

    TOptionSet formatOnly;
    formatOnly.FormatTitleDuringFixingProcess = true;
    EXPECT_EQ(BuildMP3Name(tags, nmFolded, formatOnly), u"04 - Don't stop.mp3"_s);
    TOptionSet cleanOnly;
    cleanOnly.CleanAttributesDuringReadingProcess = true;
    EXPECT_EQ(BuildMP3Name(tags, nmFolded, cleanOnly), "04 - don't stop.mp3");
}

// --- GetMP3NameComputingMode ---

struct ModeCase {
    const char* name;
    QString artist;
    QString album;
    QString fileName;
    int expected;
    friend void PrintTo(const ModeCase& c, std::ostream* os) { *os << c.name; }
};

class MixedDecisionTest : public testing::TestWithParam<ModeCase> {};

TEST_P(MixedDecisionTest, FoldsOnlyInTheAlbumsOwnFolder) {
    const ModeCase& c = GetParam();
    TOptionSet o;
    o.MP3NameComputing = nmMixed;
    EXPECT_EQ(GetMP3NameComputingMode(Tags(c.artist, c.album, "1", "T"), c.fileName, o),
              c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, MixedDecisionTest,
    testing::Values(
        ModeCase{"AlbumFolder", "Ana Bo", "First Light", "/music/Ana Bo - First Light/01 x.mp3",
                 nmFolded},
        ModeCase{"OtherLetterCase", "Ana Bo", "First Light", "/music/ana bo - first light/01 x.mp3",
                 nmExpanded},
        ModeCase{"OtherFolder", "Ana Bo", "First Light", "/music/Ana Bo/01 x.mp3", nmExpanded},
        ModeCase{"ParentIsTheAlbumFolder", "Ana Bo", "First Light",
                 "/music/Ana Bo - First Light/CD1/01 x.mp3", nmExpanded},
        ModeCase{"TrailingFullStopsAndSpaces", "Artist", "Vol. 1.", "/m/Artist - Vol. 1/x.mp3",
                 nmFolded},
        ModeCase{"StopsSpacesStops", "Artist", "Vol 1. .", "/m/Artist - Vol 1/x.mp3", nmFolded},
        // Only three trimming steps: what a fourth would remove stays.
        ModeCase{"ThreeTrimStepsOnly", "Artist", "Vol 1 . .", "/m/Artist - Vol 1 /x.mp3", nmFolded},
        ModeCase{"TrailingFullStopKeptInTheFolderIsNoMatch", "Artist", "Vol. 1.",
                 "/m/Artist - Vol. 1./x.mp3", nmExpanded},
        ModeCase{"TildeStays", "Ana", "Best ~ Rest", "/m/Ana - Best ~ Rest/x.mp3", nmFolded},
        ModeCase{"SlashBecomesASpace", "AC/DC", "Back in Black", "/m/AC DC - Back in Black/x.mp3",
                 nmFolded},
        ModeCase{"ColonSpacesTidied", "Ana: Live", "At  Home", "/m/Ana Live - At Home/x.mp3",
                 nmFolded},
        ModeCase{"EmptyFolderPiecesIgnored", "Ana", "Alb", "/m//Ana - Alb//x.mp3", nmFolded},
        ModeCase{"RelativePath", "Ana", "Alb", "Ana - Alb/x.mp3", nmFolded},
        ModeCase{"NoFolder", "Ana", "Alb", "x.mp3", nmExpanded},
        ModeCase{"RootFolder", "", "", "/x.mp3", nmExpanded},
        ModeCase{"EmptyValuesMatchAHyphenFolder", "", "", "/m/-/x.mp3", nmFolded},
        ModeCase{"BackslashIsNoSeparator", "Ana", "Alb", "/m/x\\Ana - Alb/x.mp3", nmExpanded}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GetMP3NameComputingMode, OtherOptionValuesAreUsedAsTheyAre) {
    const TMP3TagData tags = Tags("Ana", "Alb", "1", "T");
    for (int mode : {nmCompact, nmExpanded, nmFolded}) {
        TOptionSet o;
        o.MP3NameComputing = mode;
        EXPECT_EQ(GetMP3NameComputingMode(tags, "/m/Ana - Alb/x.mp3", o), mode);
        EXPECT_EQ(GetMP3NameComputingMode(tags, "/m/Other/x.mp3", o), mode);
    }
}

TEST(GetMP3NameComputingMode, MixedNamesAFileInItsAlbumFolderShort) {
    TOptionSet o;
    o.MP3NameComputing = nmMixed;
    const TMP3TagData tags = Tags("Ana", "Best ~ Rest", "3", "Song");
    const auto name = [&](const QString& fileName) {
        return BuildMP3Name(tags, GetMP3NameComputingMode(tags, fileName, o), o);
    };
    EXPECT_EQ(name("/m/Ana - Best ~ Rest/a.mp3"), "03 - Song.mp3");
    // The tilde may stay in a folder name but not in a file name.
    EXPECT_EQ(name("/m/Elsewhere/a.mp3"), "Ana - Best Rest - 03 - Song.mp3");
}

// --- CleanMP3Name ---

struct TextCase {
    const char* name;
    QString input;
    QString expected;
    friend void PrintTo(const TextCase& c, std::ostream* os) { *os << c.name; }
};

std::string CaseName(const testing::TestParamInfo<TextCase>& info) {
    return info.param.name;
}

class CleanMP3NameTest : public testing::TestWithParam<TextCase> {};

TEST_P(CleanMP3NameTest, TidiesSpaces) {
    EXPECT_EQ(CleanMP3Name(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, CleanMP3NameTest,
    testing::Values(TextCase{"OuterAndInnerRuns", "  a   b    c  ", "a b c"},
                    TextCase{"SingleSpacesKept", "a b c", "a b c"},
                    TextCase{"OnlySpaces", "    ", ""}, TextCase{"Empty", "", ""},
                    TextCase{"OnlyU0020IsASpace", u"\ta\u00A0\u00A0b\t"_s, u"\ta\u00A0\u00A0b\t"_s},
                    TextCase{"RunOfFive", "a     b", "a b"}),
    CaseName);

// --- ExtractTrackNumberFromFileName and ExtractTitleFromFileName ---

struct FileNameCase {
    const char* name;
    QString fileName;
    QString trackNumber;
    QString title;
    friend void PrintTo(const FileNameCase& c, std::ostream* os) { *os << c.name; }
};

class FileNameTest : public testing::TestWithParam<FileNameCase> {};

TEST_P(FileNameTest, ExtractsTrackNumber) {
    EXPECT_EQ(ExtractTrackNumberFromFileName(GetParam().fileName), GetParam().trackNumber);
}

TEST_P(FileNameTest, ExtractsTitle) {
    EXPECT_EQ(ExtractTitleFromFileName(GetParam().fileName), GetParam().title);
}

INSTANTIATE_TEST_SUITE_P(
    Files, FileNameTest,
    testing::Values(
        FileNameCase{"SpaceHyphenSpace", "05 - My Song.mp3", "05", "My Song"},
        FileNameCase{"FullStop", "05. My Song.mp3", "05", "My Song"},
        FileNameCase{"HyphenOnly", "5-Song.mp3", "5", "Song"},
        FileNameCase{"SingleDigitFullStop", "1.Intro.mp3", "1", "Intro"},
        FileNameCase{"ThreeDigitsGiveTwo", "123 Song.mp3", "12", "3 Song"},
        FileNameCase{"TwoDigitsGlued", "05Song.mp3", "05", "Song"},
        FileNameCase{"NoTrackNumber", "Artist - Song.mp3", "0", "Artist - Song"},
        FileNameCase{"LetterAndDigit", "A7 Song.mp3", "0", "A7 Song"},
        FileNameCase{"LeadingSpace", " 5 Song.mp3", "0", "5 Song"},
        FileNameCase{"LeadingHyphen", "-5 Song.mp3", "0", "5 Song"},
        FileNameCase{"ZeroIsNone", "0 - Intro.mp3", "0", "0 - Intro"},
        FileNameCase{"OtherScriptDigits", u"\u0660\u0665 Song.mp3"_s, "0", u"\u0660\u0665 Song"_s},
        FileNameCase{"FolderIsIgnored", "/music/12 Hits/a.mp3", "0", "a"},
        FileNameCase{"FolderIsIgnoredForTheTitle", "/music/v1.0/07 - Song.mp3", "07", "Song"},
        FileNameCase{"TwoCharacterName", "12", "0", "12"},
        FileNameCase{"TwoCharacterNameInAFolder", "/m/12", "0", "12"},
        FileNameCase{"ThreeCharacterName", "12x", "12", "x"},
        FileNameCase{"EmptyName", "/m/", "0", ""},
        FileNameCase{"CutAtTheFirstExtension", "Song.mp3 remix.mp3", "0", "Song"},
        FileNameCase{"ExtensionInOtherCase", "04 - Song.MP3", "04", "Song"},
        FileNameCase{"ExtensionFoundIgnoringCase", "Live.Mp3 Set.mp3", "0", "Live"},
        FileNameCase{"NoExtension", "03 - Song", "03", "Song"},
        FileNameCase{"InnerFullStops", "02 - A.B.C.mp3", "02", "A.B.C"},
        FileNameCase{"OnlyAnExtension", ".mp3", "0", ""},
        FileNameCase{"SeparatorsInOrder", "05 -. x.mp3", "05", "x"},
        FileNameCase{"FullStopAfterHyphenAndSpace", "05 - .x.mp3", "05", ".x"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RemoveLeadingTrackSeparators, RemovesEachRunOnceInItsOrder) {
    EXPECT_EQ(RemoveLeadingTrackSeparators(" - Song"), "Song");
    EXPECT_EQ(RemoveLeadingTrackSeparators(". Song"), "Song");
    EXPECT_EQ(RemoveLeadingTrackSeparators("--..  Song - x"), "Song - x");
    EXPECT_EQ(RemoveLeadingTrackSeparators(".-Song"), "-Song");
    EXPECT_EQ(RemoveLeadingTrackSeparators(" - - Song"), "- Song");
    EXPECT_EQ(RemoveLeadingTrackSeparators(""), "");
}

} // namespace
