#include "tags/Genres.h"

#include <gtest/gtest.h>

namespace {

TEST(GenreNames, FollowTheStandardThenTheExtensions) {
    ASSERT_EQ(ID3v1GenreNames().size(), ID3v1GenreCount);
    EXPECT_EQ(GenreNameFromNumber(0), "Blues");
    EXPECT_EQ(GenreNameFromNumber(17), "Rock");
    EXPECT_EQ(GenreNameFromNumber(67), "Psychedelic");
    EXPECT_EQ(GenreNameFromNumber(79), "Hard Rock");
    EXPECT_EQ(GenreNameFromNumber(80), "Folk");
    EXPECT_EQ(GenreNameFromNumber(123), "A capella");
    EXPECT_EQ(GenreNameFromNumber(147), "SynthPop");
    EXPECT_EQ(GenreNameFromNumber(148), "");
    EXPECT_EQ(GenreNameFromNumber(255), "");
    EXPECT_EQ(GenreNameFromNumber(-1), "");
}

TEST(GenreNames, EveryNameFindsItsOwnNumber) {
    // A duplicate or a name that differs only in case would make one number unreachable.
    for (int i = 0; i < ID3v1GenreCount; ++i)
        EXPECT_EQ(GenreNumberFromName(GenreNameFromNumber(i)), i)
            << GenreNameFromNumber(i).toStdString();
}

struct NameCase {
    const char* name;
    QString text;
    int number;
    friend void PrintTo(const NameCase& c, std::ostream* os) { *os << c.name; }
};

class GenreNumberFromNameTest : public testing::TestWithParam<NameCase> {};

TEST_P(GenreNumberFromNameTest, LooksUpWholeNamesIgnoringCase) {
    EXPECT_EQ(GenreNumberFromName(GetParam().text), GetParam().number);
}

INSTANTIATE_TEST_SUITE_P(
    Names, GenreNumberFromNameTest,
    testing::Values(NameCase{"LowerCase", "rock", 17}, NameCase{"UpperCase", "HIP-HOP", 7},
                    NameCase{"Extension", "synthpop", 147},
                    NameCase{"CommonMisspelling", "Psychadelic", 67},
                    NameCase{"MisspellingAnyCase", "PSYCHADELIC", 67},
                    NameCase{"MisspelledRockIsNotMapped", "Psychadelic Rock", 255},
                    NameCase{"Unknown", "Krautrock", 255}, NameCase{"Empty", "", 255},
                    NameCase{"LeadingSpaceIsNotTheName", " Rock", 255},
                    NameCase{"PartOfAName", "Rock &", 255}),
    [](const auto& info) { return std::string(info.param.name); });

struct DecodeCase {
    const char* name;
    QString value;
    QString expected;
    friend void PrintTo(const DecodeCase& c, std::ostream* os) { *os << c.name; }
};

class DecodeGenreReferencesTest : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeGenreReferencesTest, Decodes) {
    EXPECT_EQ(DecodeGenreReferences(GetParam().value), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, DecodeGenreReferencesTest,
    testing::Values(DecodeCase{"PlainName", "Rock", "Rock"}, DecodeCase{"Empty", "", ""},
                    DecodeCase{"OneReference", "(17)", "Rock"},
                    DecodeCase{"TextRepeatsReference", "(17)Rock", "Rock"},
                    DecodeCase{"TextRepeatsReferenceInOtherCase", "(17)rOCK", "Rock"},
                    DecodeCase{"TextRepeatsReferenceAfterSpaces", "(17)  Rock", "Rock"},
                    DecodeCase{"TextRefinesReference", "(17)Classic", "Rock Classic"},
                    DecodeCase{"TextWithOwnSpaceIsAddedDirectly", "(17) Classic", "Rock Classic"},
                    DecodeCase{"TwoReferences", "(4)(17)", "Disco Rock"},
                    DecodeCase{"TwoReferencesRepeated", "(4)(17)Disco Rock", "Disco Rock"},
                    DecodeCase{"RemixAndCover", "(RX)(CR)", "Remix Cover"},
                    DecodeCase{"RemixOfGenre", "(17)(RX)", "Rock Remix"},
                    DecodeCase{"LowerCaseRemixIsText", "(rx)", "(rx)"},
                    DecodeCase{"EscapedParenthesis", "((Folk)", "(Folk)"},
                    DecodeCase{"EscapedParenthesisUnclosed", "((text", "(text"},
                    DecodeCase{"EscapeAfterReference", "(17)((Live)", "Rock (Live)"},
                    DecodeCase{"NumberWithoutName", "(200)", "(200)"},
                    DecodeCase{"FirstNumberWithoutName", "(148)", "(148)"},
                    DecodeCase{"LastNamedNumber", "(147)", "SynthPop"},
                    DecodeCase{"Zero", "(0)", "Blues"}, DecodeCase{"LeadingZero", "(017)", "Rock"},
                    DecodeCase{"ReferenceThenNumberWithoutName", "(17)(200)", "Rock (200)"},
                    DecodeCase{"HugeNumber", "(99999999999999999999)", "(99999999999999999999)"},
                    DecodeCase{"NonAsciiDigits", QString::fromUtf8("(١٧)"),
                               QString::fromUtf8("(١٧)")},
                    DecodeCase{"EmptyReferenceSkipped", "()Rock", "Rock"},
                    DecodeCase{"OnlyEmptyReference", "()", ""},
                    DecodeCase{"Unclosed", "(17", "(17"},
                    DecodeCase{"WordInParentheses", "(Rock)", "(Rock)"},
                    DecodeCase{"ReferenceThenWord", "(17)(Live)", "Rock (Live)"},
                    DecodeCase{"SpacesOnlyAfterReference", "(17)  ", "Rock  "},
                    DecodeCase{"ReferenceNotAtStart", "Rock (17)", "Rock (17)"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
