#include "catalogue/TextCleaning.h"

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;

TOptionSet Cleaning(bool on) {
    TOptionSet o;
    o.CleanAttributesDuringReadingProcess = on;
    o.FormatTitleDuringFixingProcess = false;
    return o;
}

TOptionSet Formatting(bool on) {
    TOptionSet o;
    o.CleanAttributesDuringReadingProcess = false;
    o.FormatTitleDuringFixingProcess = on;
    return o;
}

struct TextCase {
    const char* name;
    QString input;
    QString expected;
    friend void PrintTo(const TextCase& c, std::ostream* os) { *os << c.name; }
};

std::string CaseName(const testing::TestParamInfo<TextCase>& info) {
    return info.param.name;
}

// --- CleanMP3Attribute ---

class CleanMP3AttributeTest : public testing::TestWithParam<TextCase> {};

TEST_P(CleanMP3AttributeTest, CleansWhenTheOptionIsSet) {
    EXPECT_EQ(CleanMP3Attribute(GetParam().input, Cleaning(true)), GetParam().expected);
}

TEST_P(CleanMP3AttributeTest, PassesTheValueThroughWhenTheOptionIsOff) {
    TOptionSet o = Cleaning(false);
    o.FormatTitleDuringFixingProcess = true; // the other option does not switch cleaning on
    EXPECT_EQ(CleanMP3Attribute(GetParam().input, o), GetParam().input);
}

INSTANTIATE_TEST_SUITE_P(
    Values, CleanMP3AttributeTest,
    testing::Values(TextCase{"MixedSeparators", u"  A\u00A0\u2013\tB  "_s, "A - B"},
                    TextCase{"CurlySingleQuotes", u"\u2018Don\u2019t\u2019"_s, "'Don't'"},
                    TextCase{"TabsAndNoBreakSpacesTrimmed", u"\t\u00A0x\u00A0\t"_s, "x"},
                    TextCase{"TwoSpacesBecomeOne", "a  b", "a b"},
                    TextCase{"ThreeSpacesBecomeTwo", "a   b", "a  b"},
                    TextCase{"FourSpacesBecomeTwo", "a    b", "a  b"},
                    TextCase{"FiveSpacesBecomeThree", "a     b", "a   b"},
                    TextCase{"ThreeTabsBecomeTwoSpaces", "a\t\t\tb", "a  b"},
                    TextCase{"OnlySpaces", "     ", ""}, TextCase{"Empty", "", ""},
                    // Only the en dash and the single quotes are touched: the title formatting
                    // handles double quotes, and an em dash is kept on purpose.
                    TextCase{"OtherTypographyKept", u"\u201Cx\u201D \u2014 y\u2026 \u201Az"_s,
                             u"\u201Cx\u201D \u2014 y\u2026 \u201Az"_s},
                    TextCase{"CaseKept", "hello WORLD", "hello WORLD"}),
    CaseName);

// --- FormatTitle: typography and the leading ellipsis ---

class FormatTitleTest : public testing::TestWithParam<TextCase> {};

TEST_P(FormatTitleTest, FormatsWhenTheOptionIsSet) {
    EXPECT_EQ(FormatTitle(GetParam().input, Formatting(true)), GetParam().expected);
}

TEST_P(FormatTitleTest, PassesTheTitleThroughWhenTheOptionIsOff) {
    TOptionSet o = Formatting(false);
    o.CleanAttributesDuringReadingProcess = true; // the other option does not switch formatting on
    EXPECT_EQ(FormatTitle(GetParam().input, o), GetParam().input);
}

INSTANTIATE_TEST_SUITE_P(
    Titles, FormatTitleTest,
    testing::Values(TextCase{"Plain", "hello world", "Hello World"},
                    TextCase{"LeadingDots", "...and more", "...And More"},
                    TextCase{"LeadingEllipsisCharacter", u"\u2026and more"_s, "...And More"},
                    TextCase{"InnerEllipsis", u"wait\u2026for me"_s, "Wait...for Me"},
                    TextCase{"OnlyDots", "...", "..."}, TextCase{"FourDots", "....x", "....x"},
                    TextCase{"GraveAndAcuteAsApostrophe", u"don\u00B4t stop`n go"_s,
                             "Don't Stop'N Go"},
                    TextCase{"CurlyApostrophes", u"rock\u2019n\u2018roll"_s, "Rock'n'roll"},
                    TextCase{"LowNineSingleQuote", u"l\u201Aamour"_s, "L'Amour"},
                    TextCase{"DoubleQuotes", u"say \u201Chi\u201D and \u00ABbye\u00BB \u201Eyo"_s,
                             "Say \"Hi\" And \"Bye\" \"Yo"},
                    // The cleaning's job, not the formatting's.
                    TextCase{"SpacesAndDashesKept", u" a\u2013b  c "_s, u" A\u2013b  C "_s},
                    TextCase{"Empty", "", ""}),
    CaseName);

// --- FormatYear and FormatCaption ---

class FormatYearTest : public testing::TestWithParam<TextCase> {};

TEST_P(FormatYearTest, KeepsAtMostFourDigits) {
    EXPECT_EQ(FormatYear(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Years, FormatYearTest,
    testing::Values(TextCase{"SpacedDigits", " 2 0 1 9 ", "2019"},
                    TextCase{"FullDate", "2019-05-01", "2019"},
                    TextCase{"SpacesBeforeTheCut", "20 19 12", "2019"},
                    TextCase{"ShortYear", "98", "98"}, TextCase{"LettersInside", "19xx", ""},
                    TextCase{"LetterAfterTheCutIsIgnored", "1999a", "1999"},
                    TextCase{"HyphenInsideTheFirstFour", "99-1", ""}, TextCase{"Empty", "", ""},
                    TextCase{"OnlySpaces", "   ", ""}, TextCase{"TabIsNotASpace", "\t2019", ""},
                    TextCase{"ArabicIndicDigits", u"\u0662\u0660\u0661\u0669"_s, ""},
                    TextCase{"FullwidthDigits", u"\uFF11\uFF19\uFF19\uFF19"_s, ""}),
    CaseName);

TEST(FormatCaption, ShowsUndefinedOnlyForAnEmptyValue) {
    EXPECT_EQ(FormatCaption(""), "<Undefined>");
    EXPECT_EQ(FormatCaption(QString()), "<Undefined>");
    EXPECT_EQ(FormatCaption(" "), " ");
    EXPECT_EQ(FormatCaption("Rock"), "Rock");
}

} // namespace
