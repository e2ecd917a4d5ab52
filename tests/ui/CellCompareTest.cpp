#include "ui/CellCompare.h"

#include <QDate>
#include <QLocale>
#include <gtest/gtest.h>

namespace {

const QLocale English(QLocale::English, QLocale::UnitedStates);
const QLocale German(QLocale::German, QLocale::Germany);

// The sign of CompareCells, so that tables can say "<", "=" or ">".
int SignOf(int v) {
    return (v > 0) - (v < 0);
}

struct CompareCase {
    const char* name;
    const QLocale* locale;
    QString a;
    QString b;
    int expected; // -1, 0 or 1
    friend void PrintTo(const CompareCase& c, std::ostream* os) { *os << c.name; }
};

class CompareCellsTest : public testing::TestWithParam<CompareCase> {};

// Each pair is chosen so that a plain text comparison would give the other answer (or none),
// and the reverse comparison must give the opposite sign.
TEST_P(CompareCellsTest, OrdersByTheFirstReadingBothCellsShare) {
    const CompareCase& c = GetParam();
    EXPECT_EQ(SignOf(CompareCells(c.a, c.b, *c.locale)), c.expected);
    EXPECT_EQ(SignOf(CompareCells(c.b, c.a, *c.locale)), -c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Dates, CompareCellsTest,
    testing::Values(
        CompareCase{"MonthFirstInEnglish", &English, "2/1/2023", "1/15/2023", 1},
        CompareCase{"YearDecidesBeforeMonth", &English, "1/2/2023", "12/31/2022", 1},
        CompareCase{"DayFirstInGerman", &German, "1.2.2023", "15.1.2023", 1},
        CompareCase{"DateWithTime", &English, "1/2/2023 10:30", "1/2/2023 9:45", 1},
        CompareCase{"DateWithAfternoonTime", &English, "1/2/2023 9:45 PM", "1/2/2023 10:30 AM", 1},
        CompareCase{"DateAloneBeforeSameDayWithTime", &English, "1/2/2023", "1/2/2023 0:01", -1},
        CompareCase{"TimesByValue", &English, "9:05", "10:00", -1},
        CompareCase{"TimesWithSeconds", &English, "10:00:05", "10:00:40", -1},
        CompareCase{"MidnightHourBeforeOne", &English, "12:30 AM", "1:00 AM", -1},
        CompareCase{"NoonBeforeOnePm", &English, "12:30 PM", "1:00 PM", -1},
        CompareCase{"TimeAloneBeforeAnyDate", &English, "23:59", "1/1/1900", -1},
        CompareCase{"SameInstantTwoSpellings", &English, "01/02/2023", "1/2/2023", 0},
        // An impossible date is no date (not March 2nd): the two compare as texts.
        CompareCase{"ImpossibleDateIsText", &English, "2/30/2023", "2/4/2023", -1}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Numbers, CompareCellsTest,
    testing::Values(CompareCase{"Integers", &English, "9", "10", -1},
                    CompareCase{"Negative", &English, "-5", "3", -1},
                    CompareCase{"Exponent", &English, "1e3", "999", 1},
                    CompareCase{"LeadingBlanks", &English, " 42", "5", 1},
                    CompareCase{"FractionWithoutInteger", &English, ".5", "0.25", 1},
                    CompareCase{"EnglishThousands", &English, "1,234.5", "999", 1},
                    CompareCase{"GermanDecimalComma", &German, "10,5", "9,75", 1},
                    CompareCase{"GermanThousandsAndComma", &German, "1.234,5", "999,9", 1},
                    CompareCase{"BeyondDoubleRange", &English, "-1e400", "-1e300", -1},
                    CompareCase{"NumberAgainstWordIsText", &English, "10", "9a", -1},
                    CompareCase{"EqualValues", &English, "1.50", "1.5", 0}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Addresses, CompareCellsTest,
    testing::Values(
        CompareCase{"LastGroup", &English, "192.168.0.10", "192.168.0.9", 1},
        CompareCase{"FirstGroup", &English, "10.0.0.1", "9.255.255.255", 1},
        // Only the groups that a dot ends are limited to 255.
        CompareCase{"LastGroupIsNotLimited", &English, "1.2.3.1000", "1.2.3.999", 1},
        // 256 is no address group, so both are compared as texts.
        CompareCase{"InvalidGroupIsText", &English, "256.1.1.1", "30.1.1.1", -1},
        // Key 0 is no address, so this pair compares as texts ("00." before "000").
        CompareCase{"KeyZeroIsNoAddress", &English, "000.0.0.0", "00.0.0.1", 1},
        // An empty group cannot convert: the rows compare equal, whatever the other cell.
        CompareCase{"EmptyGroupAgainstAddress", &English, "1..2.34", "1.2.3.4", 0},
        CompareCase{"EmptyGroupAgainstWord", &English, "1..2.34", "zebra", 0},
        CompareCase{"EmptyLastGroup", &English, "100.200.255.", "a", 0},
        // Both numbers: the number reading comes first, the empty group never matters.
        CompareCase{"NumbersBeforeAddresses", &German, "1..2.34", "5", 1}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Texts, CompareCellsTest,
    testing::Values(CompareCase{"WithoutRegardToCase", &English, "apple", "Banana", -1},
                    CompareCase{"CaseOnlyIsEqual", &English, "ABC", "abc", 0},
                    CompareCase{"AccentedLetterInAlphabet", &English, "\u00C9mile", "Zola", -1},
                    CompareCase{"EmptyFirst", &English, "", "a", -1},
                    CompareCase{"TrackOfTotalIsText", &English, "10/12", "9/12", -1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CellFormats, ComeFromTheLocaleShortFormats) {
    const TCellFormats en = TCellFormats::FromLocale(English);
    EXPECT_EQ(en.DateSeparator, u'/');
    EXPECT_EQ(en.TimeSeparator, u':');
    EXPECT_EQ(en.DateOrder, (std::array<char, 3>{'M', 'D', 'Y'}));
    EXPECT_EQ(en.DecimalSeparator, ".");
    EXPECT_EQ(en.ThousandSeparator, ",");

    const TCellFormats de = TCellFormats::FromLocale(German);
    EXPECT_EQ(de.DateSeparator, u'.');
    EXPECT_EQ(de.DateOrder, (std::array<char, 3>{'D', 'M', 'Y'}));
    EXPECT_EQ(de.DecimalSeparator, ",");
    EXPECT_EQ(de.ThousandSeparator, ".");

    const TCellFormats sv = TCellFormats::FromLocale(QLocale(QLocale::Swedish, QLocale::Sweden));
    EXPECT_EQ(sv.DateSeparator, u'-');
    EXPECT_EQ(sv.DateOrder, (std::array<char, 3>{'Y', 'M', 'D'}));

    // "d MMM yyyy": blanks between the fields do not make every blank a date separator.
    const TCellFormats c = TCellFormats::FromLocale(QLocale::c());
    EXPECT_EQ(c.DateSeparator, u'/');
    EXPECT_EQ(c.TimeSeparator, u':');
    EXPECT_EQ(c.DateOrder, (std::array<char, 3>{'D', 'M', 'Y'}));
}

struct DateCase {
    const char* name;
    QString text;
    std::optional<qint64> expected; // milliseconds since 1899-12-30
    friend void PrintTo(const DateCase& c, std::ostream* os) { *os << c.name; }
};

constexpr qint64 Day = 86400000;
constexpr qint64 Hour = 3600000;
// 2023-01-02 is day 44928 after 1899-12-30.
constexpr qint64 Jan2nd2023 = 44928 * Day;

class ReadDateTest : public testing::TestWithParam<DateCase> {};

// English separators and field order, with two-digit years fixed to 1950..2049.
TEST_P(ReadDateTest, FollowsTheSeparatorCountsAndTheLocaleFormats) {
    TCellFormats f;
    f.TwoDigitYearBase = 1950;
    EXPECT_EQ(ReadCellDateTime(GetParam().text, f), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Readings, ReadDateTest,
    testing::Values(DateCase{"Date", "1/2/2023", Jan2nd2023},
                    DateCase{"DateWithBlanks", " 1/2/2023 ", Jan2nd2023},
                    DateCase{"TwoDigitYearAfterBase", "1/2/23", Jan2nd2023},
                    DateCase{"TwoDigitYearBeforeBase", "1/1/50",
                             (QDate(1899, 12, 30).daysTo({1950, 1, 1})) * Day},
                    DateCase{"DateAndTime", "1/2/2023 13:05:30", Jan2nd2023 + 13 * Hour + 330000},
                    DateCase{"Milliseconds", "1/2/2023 0:00:01.25", Jan2nd2023 + 1250},
                    DateCase{"Afternoon", "1/2/2023 1:05 pm", Jan2nd2023 + 13 * Hour + 300000},
                    DateCase{"TimeAlone", "7:30", 7 * Hour + 1800000},
                    DateCase{"Midnight12Am", "12:00 AM", std::nullopt}, // the value zero is no date
                    DateCase{"ZeroTime", "0:00", std::nullopt},
                    DateCase{"ZeroDate", "12/30/1899", std::nullopt},
                    DateCase{"DateTooLong", "01/02/2023 ", std::nullopt}, // 11 characters, no time
                    DateCase{"DateAndTimeTooLong", "01/02/2023 10:30:15.250", std::nullopt},
                    DateCase{"TimeTooLong", "10:30:15.250", std::nullopt},
                    DateCase{"ThreeTimeSeparators", "1:2:3:4", std::nullopt},
                    DateCase{"OneDateSeparator", "3/12", std::nullopt},
                    DateCase{"ThreeDateSeparators", "1/2/3/4", std::nullopt},
                    DateCase{"NoSuchDay", "2/29/2023", std::nullopt},
                    DateCase{"NoSuchMonth", "13/1/2023", std::nullopt},
                    DateCase{"NoSuchHour", "24:00", std::nullopt},
                    DateCase{"AfternoonPastTwelve", "13:00 PM", std::nullopt},
                    DateCase{"TrailingWord", "1/2/2023 now", std::nullopt},
                    DateCase{"Letters", "a/b/c", std::nullopt},
                    DateCase{"HugeNumber", "1/2/99999999999", std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReadDate, UsesTheGivenSeparatorsAndOrder) {
    TCellFormats f;
    f.DateSeparator = u'.';
    f.TimeSeparator = u'.';
    f.DateOrder = {'D', 'M', 'Y'};
    // With the same separator for dates and times, "2.1.2023" has two of each: a date and time
    // reading that holds a date alone.
    EXPECT_EQ(ReadCellDateTime("2.1.2023", f), Jan2nd2023);
    EXPECT_EQ(ReadCellDateTime("2.1.2023 7.30", f), std::nullopt); // three of each
    EXPECT_EQ(ReadCellDateTime("7.30", f), 7 * Hour + 1800000);
    EXPECT_EQ(ReadCellDateTime("2. 1. 2023", f), Jan2nd2023);
}

struct NumberCase {
    const char* name;
    const QLocale* locale;
    QString text;
    std::optional<double> expected;
    friend void PrintTo(const NumberCase& c, std::ostream* os) { *os << c.name; }
};

class ReadNumberTest : public testing::TestWithParam<NumberCase> {};

TEST_P(ReadNumberTest, ReadsRealSyntaxThenLocaleSeparators) {
    const NumberCase& c = GetParam();
    EXPECT_EQ(ReadCellNumber(c.text, TCellFormats::FromLocale(*c.locale)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Readings, ReadNumberTest,
    testing::Values(NumberCase{"Integer", &English, "42", 42},
                    NumberCase{"SignedExponent", &English, "-1.5E+2", -150},
                    NumberCase{"PlusSign", &English, "+3", 3},
                    NumberCase{"TrailingDot", &English, "5.", 5},
                    NumberCase{"LeadingBlanks", &English, "  7", 7},
                    NumberCase{"TrailingBlank", &English, "7 ", std::nullopt},
                    NumberCase{"DotAlone", &English, ".", std::nullopt},
                    NumberCase{"ExponentWithoutDigits", &English, "1e", std::nullopt},
                    NumberCase{"ExponentAlone", &English, "e5", std::nullopt},
                    NumberCase{"Infinity", &English, "inf", std::nullopt},
                    NumberCase{"Hex", &English, "0x10", std::nullopt},
                    NumberCase{"Empty", &English, "", std::nullopt},
                    NumberCase{"EnglishGrouping", &English, "1,234,567.5", 1234567.5},
                    NumberCase{"TwoDots", &English, "1.5.2", std::nullopt},
                    // Real syntax is tried first, so a German "1.234" is one point two three four.
                    NumberCase{"GermanDotIsRealSyntaxFirst", &German, "1.234", 1.234},
                    NumberCase{"GermanGrouping", &German, "1.234,5", 1234.5},
                    NumberCase{"GermanAddressBecomesNumber", &German, "192.168.0.10", 192168010}),
    [](const auto& info) { return std::string(info.param.name); });

struct AddressCase {
    const char* name;
    QString text;
    TIPv4Reading reading;
    qint64 key;
    friend void PrintTo(const AddressCase& c, std::ostream* os) { *os << c.name; }
};

class ReadAddressTest : public testing::TestWithParam<AddressCase> {};

TEST_P(ReadAddressTest, KeysFourGroups) {
    const TIPv4Key key = ReadCellIPv4(GetParam().text);
    EXPECT_EQ(key.Reading, GetParam().reading);
    if (key.Reading == TIPv4Reading::Address) {
        EXPECT_EQ(key.Key, GetParam().key);
    }
}

using enum TIPv4Reading;
INSTANTIATE_TEST_SUITE_P(
    Readings, ReadAddressTest,
    testing::Values(AddressCase{"Plain", "192.168.0.9", Address, 192168000009},
                    AddressCase{"Shortest", "1.1.1.1", Address, 1001001001},
                    AddressCase{"LeadingZeros", "001.002.003.004", Address, 1002003004},
                    AddressCase{"AllGroupsAt255", "255.255.255.255", Address, 255255255255},
                    AddressCase{"LastGroupUnchecked", "1.2.3.999", Address, 1002003999},
                    AddressCase{"GroupAbove255", "1.256.3.4", NoAddress, 0},
                    AddressCase{"KeyZero", "0.0.0.0", NoAddress, 0},
                    AddressCase{"KeyZeroWithLongGroups", "000.00.0.000", NoAddress, 0},
                    AddressCase{"TwoDots", "10.10.10", NoAddress, 0},
                    AddressCase{"FourDots", "1.2.3.4.5", NoAddress, 0},
                    AddressCase{"Letter", "1.2.3.4a", NoAddress, 0},
                    AddressCase{"Blank", "1.2.3. 4", NoAddress, 0},
                    AddressCase{"TooShort", "1.2..3", NoAddress, 0},
                    AddressCase{"TooLong", "100.100.100.1000", NoAddress, 0},
                    AddressCase{"EmptyMiddleGroup", "1..2.34", ConversionError, 0},
                    AddressCase{"EmptyFirstGroup", ".123.4.5", ConversionError, 0},
                    AddressCase{"EmptyLastGroup", "100.200.255.", ConversionError, 0},
                    // The over-large group is met before the empty one.
                    AddressCase{"LargeGroupBeforeEmpty", "300..1.1", NoAddress, 0}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
