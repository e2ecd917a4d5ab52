#include "catalogue/TitleCase.h"
#include "catalogue/TextCleaning.h"

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;

struct TitleCaseCase {
    const char* name;
    QString input;
    QString expected;
    friend void PrintTo(const TitleCaseCase& c, std::ostream* os) { *os << c.name; }
};

std::string CaseName(const testing::TestParamInfo<TitleCaseCase>& info) {
    return info.param.name;
}

// Titles as the name computing prepares them: cleaned, then formatted.
QString PrepareTitle(const QString& title) {
    TOptionSet o;
    o.CleanAttributesDuringReadingProcess = true;
    o.FormatTitleDuringFixingProcess = true;
    return FormatTitle(CleanMP3Attribute(title, o), o);
}

// --- The capitalising pass ---

class CapitalisingTest : public testing::TestWithParam<TitleCaseCase> {};

TEST_P(CapitalisingTest, RaisesTheFirstLetterOfEachWord) {
    EXPECT_EQ(PrepareTitle(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Titles, CapitalisingTest,
    testing::Values(
        TitleCaseCase{"Plain", "hello world", "Hello World"},
        TitleCaseCase{"NothingIsLowered", "HELLO WORLD", "HELLO WORLD"},
        TitleCaseCase{"NBeforeApostropheBlocks", "don't stop", "Don't Stop"},
        TitleCaseCase{"SAfterApostropheBlocks", "it's late", "It's Late"},
        TitleCaseCase{"EveryBlockingLetterAfter", "a'd b'l c'm d'r f'v g's",
                      "A'd B'l C'm D'r F'v G's"},
        TitleCaseCase{"EveryBlockingLetterBefore", "xo'a xn'a xu'a xe'a z",
                      "Xo'A Xn'a Xu'a Xe'a Z"},
        TitleCaseCase{"RockNRollLoweredAgain", "rock'n'roll", "Rock'n'roll"},
        TitleCaseCase{"RockNRollWithSpaces", "rock 'n' roll", "Rock 'n' Roll"},
        TitleCaseCase{"ApostropheOpensAWord", "l'amour", "L'Amour"},
        TitleCaseCase{"NoLookAheadNearTheEnd", "o'k", "O'k"},
        TitleCaseCase{"LookAheadWithTwoFollowing", "o'ka", "O'Ka"},
        // The test is exact: an upper-case N before the apostrophe does not block.
        TitleCaseCase{"UpperCaseNDoesNotBlock", "MAN'o war", "MAN'O War"},
        TitleCaseCase{"LowerCaseNBlocks", "man'o war", "Man'o War"},
        TitleCaseCase{"BracketAtTheStart", "(live)", "(live)"},
        TitleCaseCase{"BracketAfterASpace", "song (live)", "Song (Live)"},
        TitleCaseCase{"SquareAndCurlyBrackets", "song [demo] {take}", "Song [Demo] {Take}"},
        TitleCaseCase{"BracketInsideAWord", "a(b", "A(b"},
        TitleCaseCase{"QuoteAfterASpace", "say \"hello\"", "Say \"Hello\""},
        TitleCaseCase{"QuoteAtTheStart", "\"hello\"", "\"hello\""},
        TitleCaseCase{"LeadingDots", "...and more", "...And More"},
        TitleCaseCase{"LeadingEllipsisCharacter", u"\u2026and more"_s, "...And More"},
        TitleCaseCase{"Hyphen", "mary-jane", "Mary-Jane"},
        TitleCaseCase{"EnDashCleanedToAHyphen", u"mary\u2013jane"_s, "Mary-Jane"},
        TitleCaseCase{"FullStopDoesNotOpenAWord", "dr.no", "Dr.no"},
        TitleCaseCase{"AccentedCapital", u"\u00E9lan vital"_s, u"\u00C9lan Vital"_s},
        TitleCaseCase{"NoSimpleUpperCase", u"\u00DFig"_s, u"\u00DFig"_s},
        // Deseret small letter long I becomes its capital: characters beyond U+FFFF count as one.
        TitleCaseCase{"BeyondTheBasicPlane", u"\U00010428a b"_s, u"\U00010400a B"_s},
        TitleCaseCase{"Empty", "", ""}),
    CaseName);

// --- The exception list ---

class ExceptionRowTest : public testing::TestWithParam<TitleCaseCase> {};

TEST_P(ExceptionRowTest, LowersTheSmallWords) {
    EXPECT_EQ(TitleCase(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ExceptionRowTest,
    testing::Values(TitleCaseCase{"AAcute", u"vuelve \u00E1 mi"_s, u"Vuelve \u00E1 Mi"_s},
                    TitleCaseCase{"Al", "vamos al mar", "Vamos al Mar"},
                    TitleCaseCase{"ALa", "baile a la luz", "Baile a la Luz"},
                    TitleCaseCase{"El", "viva el amor", "Viva el Amor"},
                    TitleCaseCase{"Com", "fala com ela", "Fala com Ela"},
                    TitleCaseCase{"Da", "casa da mae", "Casa da Mae"},
                    TitleCaseCase{"De", "vida de rei", "Vida de Rei"},
                    TitleCaseCase{"DeLa", "la vie de la rose", "La Vie de la Rose"},
                    TitleCaseCase{"Do", "tudo do bem", "Tudo do Bem"},
                    TitleCaseCase{"Del", "amor del alma", "Amor del Alma"},
                    TitleCaseCase{"DeLas", "flor de las rosas", "Flor de las Rosas"},
                    TitleCaseCase{"DeLos", "noche de los muertos", "Noche de los Muertos"},
                    TitleCaseCase{"DeUn", "hijo de un rey", "Hijo de un Rey"},
                    TitleCaseCase{"E", "rock e roll", "Rock e Roll"},
                    TitleCaseCase{"EAcute", u"ontem \u00E9 hoje"_s, u"Ontem \u00E9 Hoje"_s},
                    TitleCaseCase{"EA", "eu e a lua", "Eu e a Lua"},
                    TitleCaseCase{"EO", "sol e o mar", "Sol e o Mar"},
                    TitleCaseCase{"ElLa", "canta el la noche", "Canta el la Noche"},
                    TitleCaseCase{"Em", "tudo em paz", "Tudo em Paz"},
                    TitleCaseCase{"PorEl", "todo por el amor", "Todo por el Amor"},
                    TitleCaseCase{"X", "dois x um", "Dois x Um"},
                    TitleCaseCase{"YLa", "tu y la luna", "Tu y la Luna"},
                    TitleCaseCase{"Y", "tu y yo", "Tu y Yo"},
                    TitleCaseCase{"IMac", "the imac song", "The iMac Song"},
                    TitleCaseCase{"IMacInsideAWord", "dimacs", "DiMacs"},
                    TitleCaseCase{"IPad", "my ipad", "My iPad"},
                    TitleCaseCase{"IPhoneAtTheStart", "iphone case", "iPhone Case"},
                    TitleCaseCase{"IPod", "ipod nano", "iPod Nano"},
                    TitleCaseCase{"ITunes", "itunes store", "iTunes Store"},
                    TitleCaseCase{"NBetweenApostrophes", "ROCK'N'ROLL", "ROCK'n'ROLL"},
                    // Upper-case input is matched too: the search ignores letter case.
                    TitleCaseCase{"UpperCaseWordsLowered", "VIDA DE REI", "VIDA de REI"},
                    // Whole words inside the text only.
                    TitleCaseCase{"FirstAndLastWordKept", "de x de", "De x De"},
                    TitleCaseCase{"PartOfAWordKept", "a delta b", "A Delta B"},
                    // One pass: the space a match used is not looked at again.
                    TitleCaseCase{"OnlyTheFirstOfTwoNeighbours", "de de de", "De de De"},
                    TitleCaseCase{"EveryOtherOfARun", "a de de de de b", "A de De de De B"}),
    CaseName);

// --- The conditions of the rows, decided on the lower-cased argument ---

INSTANTIATE_TEST_SUITE_P(
    Conditions, ExceptionRowTest,
    testing::Values(
        TitleCaseCase{"AccentCaseKeepsDeAndLa", u"la vie de la ros\u00E9"_s,
                      u"La Vie De La Ros\u00E9"_s},
        TitleCaseCase{"AccentCaseKeepsComDaDo", u"com da do \u00E0 com da do x"_s,
                      u"Com Da Do \u00C0 Com Da Do X"_s},
        TitleCaseCase{"AccentCaseStillLowersDel", u"caf\u00E9 del mar"_s, u"Caf\u00E9 del Mar"_s},
        TitleCaseCase{"UpperCaseAccentIsNotTheAccentCase", u"LA VIE DE LA ROS\u00C9"_s,
                      u"LA VIE de la ROS\u00C9"_s},
        TitleCaseCase{"ElPasoKeepsEl", "welcome to el paso", "Welcome To El Paso"},
        TitleCaseCase{"ElPasoInCapitals", "WELCOME TO EL PASO", "WELCOME TO EL PASO"},
        TitleCaseCase{"ElPasoKeepsEveryEl", "el paso y el rio", "El Paso y El Rio"},
        TitleCaseCase{"ElPasoStillLowersPorEl", "el paso por el rio", "El Paso por el Rio"},
        TitleCaseCase{"HowDo", "how do you do", "How Do You Do"},
        TitleCaseCase{"WhereDo", "where do we go", "Where Do We Go"},
        TitleCaseCase{"ToDo", "born to do it", "Born To Do It"},
        TitleCaseCase{"WhatDo", "what do you want", "What do You Want"},
        TitleCaseCase{"ToDoNeedsTheLeadingSpace", "todo do bem", "Todo do Bem"},
        TitleCaseCase{"EFlat", "sonata in e flat major", "Sonata In E Flat Major"},
        TitleCaseCase{"EFlatKeepsOnlyRow14", "sonata in e flat e a fuga",
                      "Sonata In E Flat e a Fuga"},
        TitleCaseCase{"EFlatAtTheEndIsNotTheCondition", "sonata in e flat", "Sonata In e Flat"}),
    CaseName);

// Each of the six accented letters makes the accent case on its own.
TEST(TitleCase, EveryAccentedLetterMakesTheAccentCase) {
    for (char16_t accented : {u'\u00E9', u'\u00E8', u'\u00EA', u'\u00E0', u'\u00E2', u'\u00EF'}) {
        const QString input = "vida de x" + QString(QChar(accented));
        EXPECT_TRUE(TitleCase(input).startsWith("Vida De X")) << TitleCase(input).toStdString();
    }
    EXPECT_EQ(TitleCase(u"vida de x\u00F4"_s), u"Vida de X\u00F4"_s); // ô is not among them
}

} // namespace
