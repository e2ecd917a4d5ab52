#include "settings/CheckListText.h"
#include "settings/SettingsPrinters.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

struct ParseCase {
    const char* Name;
    QString Text;
    TCheckList Expected;
};

TEST(CheckListText, EditorLinesBecomeItems) {
    const ParseCase cases[] = {
        {"mark then text", u"√Rock\n"_s, {{"Rock", true}}},
        {"only the first mark is taken", u"√√Rock\n"_s, {{u"√Rock"_s, true}}},
        {"a mark after a space is text", u" √Rock\n"_s, {{u" √Rock"_s, false}}},
        {"a mark inside is text", u"Rock √\n"_s, {{u"Rock √"_s, false}}},
        {"an empty line is an empty item",
         u"√Rock\n\nPop\n"_s,
         {{"", false}, {"Pop", false}, {"Rock", true}}},
        {"a lone mark is a checked empty item", u"√\n"_s, {{"", true}}},
        {"no text, no item", u""_s, {}},
        {"a last line without a break", u"Rock\nPop"_s, {{"Pop", false}, {"Rock", false}}},
        {"a second break at the end is an empty line",
         u"Rock\n\n"_s,
         {{"", false}, {"Rock", false}}},
        {"CR LF and CR end lines too",
         u"b\r\na\rc\r\n"_s,
         {{"a", false}, {"b", false}, {"c", false}}},
        {"sorted without regard to case, equal ones kept in order",
         u"√rock\nblues\nRock\n"_s,
         {{"blues", false}, {"rock", true}, {"Rock", false}}},
        {"nothing trimmed", u"  Jazz \t\n"_s, {{"  Jazz \t", false}}},
    };
    for (const ParseCase& c : cases)
        EXPECT_EQ(CheckListText::Parse(c.Text), c.Expected) << c.Name;
}

TEST(CheckListText, ItemsBecomeLinesAndComeBackUnchanged) {
    const TCheckList list = {{"", false}, {"", true}, {"(Live)", false}, {u"√Rock"_s, true}};
    const QString text = CheckListText::Format(list);
    EXPECT_EQ(text, u"\n√\n(Live)\n√√Rock\n"_s);
    EXPECT_EQ(CheckListText::Parse(text), list);
    // A lone empty item still shows as a line and is not lost.
    EXPECT_EQ(CheckListText::Format({{"", false}}), "\n");
    EXPECT_EQ(CheckListText::Parse(CheckListText::Format({{"", false}})),
              TCheckList({{"", false}}));
    EXPECT_EQ(CheckListText::Format({}), "");
}

} // namespace
