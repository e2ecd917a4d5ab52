#include "refdata/BreakApart.h"

#include <gtest/gtest.h>

namespace {

struct SplitCase {
    const char* name;
    QString text;
    QString separator;
    bool allowEmpty;
    bool caseSensitive;
    QStringList expected;
    friend void PrintTo(const SplitCase& c, std::ostream* os) { *os << c.name; }
};

class BreakApartSplit : public testing::TestWithParam<SplitCase> {};

TEST_P(BreakApartSplit, CutsAtEverySeparator) {
    const SplitCase& c = GetParam();
    TKelmBreakApart splitter;
    splitter.Pieces = {"left over"}; // a new cut starts from scratch
    splitter.BaseString = c.text;
    splitter.BreakString = c.separator;
    splitter.AllowEmptyString = c.allowEmpty;
    splitter.CaseSensitive = c.caseSensitive;
    splitter.BreakApart();
    EXPECT_EQ(splitter.Pieces, c.expected);
    EXPECT_EQ(splitter.BaseString, c.text) << "cutting leaves the string alone";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BreakApartSplit,
    testing::Values(
        SplitCase{"EmptyPiecesDropped", "a,,b,", ",", false, false, {"a", "b"}},
        SplitCase{"EmptyPiecesKept", "a,,b,", ",", true, false, {"a", "", "b", ""}},
        SplitCase{"LeadingSeparatorKept", ",a", ",", true, false, {"", "a"}},
        SplitCase{"EmptyStringNoPiece", "", ",", false, false, {}},
        SplitCase{"EmptyStringOneEmptyPiece", "", ",", true, false, {""}},
        SplitCase{"EmptySeparatorWholeString", "a,b", "", false, false, {"a,b"}},
        SplitCase{"NoSeparatorInText", "abc", "/", false, false, {"abc"}},
        SplitCase{"LongSeparator", "a//b/c//", "//", false, false, {"a", "b/c"}},
        SplitCase{"CommaSpace", "a, b,c", ", ", false, false, {"a", "b,c"}},
        // A letters-only separator ignores case unless asked; pieces keep their letters.
        SplitCase{"LetterSeparatorIgnoresCase",
                  "RockANDPopandJazz",
                  "and",
                  false,
                  false,
                  {"Rock", "Pop", "Jazz"}},
        SplitCase{"LetterSeparatorCaseSensitive",
                  "RockANDPopandJazz",
                  "and",
                  false,
                  true,
                  {"RockANDPop", "Jazz"}},
        // Any non-letter in the separator makes the search exact.
        SplitCase{
            "MixedSeparatorAlwaysExact", "a FtX b ftx c", " ftx ", false, false, {"a FtX b", "c"}},
        SplitCase{"AccentedLetterSeparator",
                  QString::fromUtf8("xÉy"),
                  QString::fromUtf8("é"),
                  false,
                  false,
                  {"x", "y"}}),
    [](const auto& info) { return std::string(info.param.name); });

struct JoinCase {
    const char* name;
    QStringList pieces;
    QString separator;
    bool allowEmpty;
    QString expected;
    friend void PrintTo(const JoinCase& c, std::ostream* os) { *os << c.name; }
};

class BreakApartJoin : public testing::TestWithParam<JoinCase> {};

TEST_P(BreakApartJoin, JoinsWithSeparator) {
    const JoinCase& c = GetParam();
    TKelmBreakApart joiner;
    joiner.BaseString = "left over";
    joiner.Pieces = c.pieces;
    joiner.BreakString = c.separator;
    joiner.AllowEmptyString = c.allowEmpty;
    joiner.ReverseBreakApart();
    EXPECT_EQ(joiner.BaseString, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BreakApartJoin,
    testing::Values(JoinCase{"EmptyPieceLeftOut", {"a", "", "b"}, ", ", false, "a, b"},
                    JoinCase{"EmptyPieceKept", {"a", "", "b"}, ", ", true, "a, , b"},
                    JoinCase{"LeadingAndTrailingEmpty", {"", "a", ""}, "/", false, "a"},
                    JoinCase{"NoPieces", {}, ",", true, ""},
                    JoinCase{"OnlyEmptyPieces", {"", ""}, ",", false, ""},
                    JoinCase{"SinglePiece", {"x"}, ",", false, "x"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BreakApartQuotes, SeparatorBetweenQuotesDoesNotCut) {
    TKelmBreakApart splitter;
    splitter.DoubleQuoteMode = true;
    splitter.BreakString = ",";
    splitter.BaseString = R"(a,"b,c",d"" e,"say ""hi""",,"")";
    splitter.BreakApart();
    EXPECT_EQ(splitter.Pieces, QStringList({"a", "b,c", "d e", "say \"hi\""}));
    splitter.AllowEmptyString = true;
    splitter.BreakApart();
    EXPECT_EQ(splitter.Pieces, QStringList({"a", "b,c", "d e", "say \"hi\"", "", ""}));

    // An unclosed quote runs to the end instead of losing the rest.
    splitter.BaseString = R"(a,"b,c)";
    splitter.BreakApart();
    EXPECT_EQ(splitter.Pieces, QStringList({"a", "b,c"}));
}

TEST(BreakApartQuotes, JoiningQuotesWhatNeedsItAndCutsBackTheSame) {
    const QStringList pieces = {"plain", "with, comma", "with \"quote\"", ""};
    TKelmBreakApart joiner;
    joiner.DoubleQuoteMode = true;
    joiner.AllowEmptyString = true;
    joiner.BreakString = ", ";
    joiner.Pieces = pieces;
    joiner.ReverseBreakApart();
    EXPECT_EQ(joiner.BaseString, R"(plain, "with, comma", "with ""quote""", )");
    joiner.Pieces.clear();
    joiner.BreakApart();
    EXPECT_EQ(joiner.Pieces, pieces);
}

TEST(BreakApartQuotes, OffByDefaultQuotesAreOrdinaryText) {
    EXPECT_EQ(TKelmBreakApart::Split(R"("a,b")", ","), QStringList({"\"a", "b\""}));
    EXPECT_EQ(TKelmBreakApart::Join({"a,b", "c"}, ","), "a,b,c");
}

} // namespace
