#include "ui/AccentFolding.h"
#include "ui/KelmListView.h"

#include "testsupport/ScriptedUiPort.h"

#include <gtest/gtest.h>

namespace {

struct FoldCase {
    const char* name;
    QString text;
    QString folded;
    friend void PrintTo(const FoldCase& c, std::ostream* os) { *os << c.name; }
};

class FoldAccentsTest : public testing::TestWithParam<FoldCase> {};

TEST_P(FoldAccentsTest, ReplacesExactlyTheTableCharacters) {
    EXPECT_EQ(FoldAccents(GetParam().text), GetParam().folded);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FoldAccentsTest,
    testing::Values(
        FoldCase{"LowerRanges", "\u00E0\u00E5\u00E7\u00E8\u00EB\u00ED\u00EF\u00F1\u00F2\u00F6",
                 "aaceeiinoo"},
        FoldCase{"LowerSingles", "\u0107\u010D\u0119\u0131\u0142\u0144\u00F8\u015F\u0161\u017E",
                 "cceilnossz"},
        FoldCase{"MicroAndU", "\u00B5\u00F9\u00FC", "uuu"},
        FoldCase{"UpperLatin",
                 "\u00C0\u00C5\u00C7\u0106\u010C\u00C8\u00CB\u0118\u00CD\u00CF\u0130\u0141\u00D1"
                 "\u0143\u00D2\u00D6\u00D8\u015E\u0160\u00D9\u00DC\u00DD\u017D",
                 "AACCCEEEIIILNNOOOSSUUYZ"},
        FoldCase{"CapitalSharpS", "\u1E9E", "B"},
        FoldCase{"CyrillicLookAlikes", "\u0421\u0415\u041D\u041A\u041E\u0420", "CEHKOP"},
        FoldCase{"Apostrophes", "\u0060\u00B4\u2018\u2019", "''''"},
        // Neighbours of the table entries, and the four accented letters it leaves out.
        FoldCase{"LeftAlone",
                 "\u00DF\u00E6\u00C6\u00F7\u00D7\u00EC\u00CC\u00FD\u00FF\u0441\u0435\u201C",
                 "\u00DF\u00E6\u00C6\u00F7\u00D7\u00EC\u00CC\u00FD\u00FF\u0441\u0435\u201C"},
        FoldCase{"PlainAndOutsideTheBasicPlane", "Abc \U0001F3B5 9", "Abc \U0001F3B5 9"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NormaliseFindText, FoldsThenLowerCasesAsTheOptionsSay) {
    const QString cafe = QString::fromUtf8("CAF\u00C9");
    EXPECT_EQ(NormaliseFindText(cafe, foIgnoreAccentedChars), "cafe");
    EXPECT_EQ(NormaliseFindText(cafe, foIgnoreAccentedChars | foCaseSensitive), "CAFE");
    EXPECT_EQ(NormaliseFindText(cafe, {}), QString::fromUtf8("caf\u00E9"));
    EXPECT_EQ(NormaliseFindText(cafe, foCaseSensitive), cafe);
    // Folding comes first: "Ý" becomes "y", while "ý" is not in the table and stays.
    EXPECT_EQ(NormaliseFindText(QString::fromUtf8("\u00DD\u00FD"), foIgnoreAccentedChars),
              QString::fromUtf8("y\u00FD"));
}

// A list of four rows: caption, artist, title.
class ListFindTest : public testing::Test {
protected:
    ListFindTest() {
        Rows.AddRow({"Intro.mp3", "Artist A", QString::fromUtf8("Caf\u00E9 del Mar")});
        Rows.AddRow({"Song.mp3", "Cafe Tacvba", "Eres"});
        Rows.AddRow({"Other.mp3", "B", "Nothing"});
        Rows.AddRow({"Last.mp3", QString::fromUtf8("CAF\u00C9 NOIR"), "Live"});
        List.OnFindHit = [this](int row) {
            Hits.push_back(row);
            List.FindRefresh(); // the main list's click handling does this
        };
        List.OnFocusList = [this] { ++Focused; };
        List.OnFindDialogChanged = [this] { ++DialogChanges; };
    }

    QStringList Messages() const {
        QStringList texts;
        for (const auto& m : Ui.Messages) {
            EXPECT_EQ(m.Kind, ScriptedUiPort::Kind::Information);
            EXPECT_EQ(m.Caption, "Search Results");
            texts.append(m.Text);
        }
        return texts;
    }

    TKelmTextRows Rows{3};
    ScriptedUiPort Ui;
    TKelmListView List{Rows, Ui, QLocale(QLocale::English, QLocale::UnitedStates)};
    std::vector<int> Hits;
    int Focused = 0;
    int DialogChanges = 0;
};

TEST_F(ListFindTest, FindShowsANewEmptyDialogAndStartsAtTheTop) {
    EXPECT_EQ(List.FindOptions(), TKelmFindOptions(foIgnoreAccentedChars));
    EXPECT_FALSE(List.FindDialog().has_value());
    List.FindText("song");
    ASSERT_EQ(Hits, std::vector<int>{1});

    List.Find();
    ASSERT_TRUE(List.FindDialog().has_value());
    EXPECT_TRUE(List.FindDialog()->Visible);
    EXPECT_EQ(List.FindDialog()->Text, "");
    EXPECT_EQ(List.FindStartPos(), 0);
    EXPECT_EQ(List.FindOldStartPos(), -1);
    EXPECT_EQ(DialogChanges, 2); // the hidden dialog of FindText, then the one of Find

    // F3 with an empty dialog does nothing.
    List.FindNext();
    EXPECT_EQ(Hits.size(), 1u);
    EXPECT_TRUE(Ui.Messages.isEmpty());
}

// Searching for cafe finds the accented and the capitalised spellings, caption and values
// alike, row after row; after the last hit F3 keeps saying so until a click moves the start.
TEST_F(ListFindTest, HitsInOrderThenNoMoreInstancesUntilAClick) {
    List.Find();
    List.FindDialogFind("cafe");
    EXPECT_EQ(Hits, std::vector<int>{0});
    EXPECT_EQ(Rows.SelectedRow(), 0);
    EXPECT_EQ(List.FindStartPos(), 1);
    EXPECT_EQ(List.FindOldStartPos(), 1);
    EXPECT_FALSE(List.FindDialog()->Visible); // closed after the search
    EXPECT_EQ(List.FindDialog()->Text, "cafe");

    Rows.SetSelected(2, true); // the hit clears any other selection
    List.FindNext();
    List.FindNext();
    EXPECT_EQ(Hits, (std::vector<int>{0, 1, 3}));
    EXPECT_EQ(Rows.SelectedRow(), 3);
    EXPECT_FALSE(Rows.IsSelected(0) || Rows.IsSelected(1) || Rows.IsSelected(2));
    EXPECT_TRUE(Ui.Messages.isEmpty());

    List.FindNext();
    List.FindNext();
    EXPECT_EQ(Messages(), QStringList({"No more instances of \"cafe\" found.",
                                       "No more instances of \"cafe\" found."}));
    EXPECT_EQ(List.FindStartPos(), 4);
    EXPECT_EQ(List.FindOldStartPos(), 4);
    EXPECT_EQ(Rows.SelectedRow(), 3);
    EXPECT_EQ(Focused, 5); // the list takes the focus back after every search

    Rows.SelectOnly(1); // a click on row 1
    List.FindRefresh();
    List.FindNext();
    EXPECT_EQ(Hits.back(), 1);
}

TEST_F(ListFindTest, NoHitAtAllSaysNotFoundAndRestartsFromTheTop) {
    Rows.SelectOnly(2);
    List.FindText("Zappa");
    EXPECT_EQ(Messages(), QStringList({"Search string \"Zappa\" not found."}));
    EXPECT_EQ(List.FindStartPos(), 0);
    EXPECT_EQ(List.FindOldStartPos(), -1);
    EXPECT_TRUE(Hits.empty());
    EXPECT_EQ(Rows.SelectedRow(), 2); // the list is left as it was
    EXPECT_EQ(Focused, 1);
}

TEST_F(ListFindTest, ANewFindStartsOverAfterNoMoreInstances) {
    List.FindText("Live");
    List.FindNext();
    List.FindText("Live");
    EXPECT_EQ(Hits, (std::vector<int>{3, 3}));
    EXPECT_EQ(Messages(), QStringList({"No more instances of \"Live\" found."}));
}

TEST_F(ListFindTest, FindRefreshStartsAtTheSelectedRowOrTheTop) {
    Rows.SelectOnly(2);
    List.FindRefresh();
    EXPECT_EQ(List.FindStartPos(), 2);
    Rows.SelectOnly(-1);
    List.FindRefresh();
    EXPECT_EQ(List.FindStartPos(), 0);
}

struct OptionCase {
    const char* name;
    TKelmFindOptions options;
    QString text;
    std::vector<int> hits; // every hit of a search run to its end
    friend void PrintTo(const OptionCase& c, std::ostream* os) { *os << c.name; }
};

class FindOptionsTest : public ListFindTest, public testing::WithParamInterface<OptionCase> {};

TEST_P(FindOptionsTest, MatchesAsTheOptionsSay) {
    const OptionCase& c = GetParam();
    List.SetFindOptions(c.options);
    List.FindText(c.text);
    for (int i = 0; i < 4; ++i)
        List.FindNext();
    EXPECT_EQ(Hits, c.hits);
}

INSTANTIATE_TEST_SUITE_P(
    Options, FindOptionsTest,
    testing::Values(
        OptionCase{"Default", foIgnoreAccentedChars, "cafe", {0, 1, 3}},
        OptionCase{"AccentedCapitalFindsAll", foIgnoreAccentedChars, "CAF\u00C9", {0, 1, 3}},
        OptionCase{"CaseSensitive", foIgnoreAccentedChars | foCaseSensitive, "Cafe", {0, 1}},
        OptionCase{"AccentsCount", {}, "cafe", {1}},
        OptionCase{"AccentsAndCaseCount", foCaseSensitive, "CAF\u00C9", {3}},
        OptionCase{"Caption", foIgnoreAccentedChars, ".MP3", {0, 1, 2, 3}},
        OptionCase{"AcrossCellsIsNoMatch", foIgnoreAccentedChars, "mp3Artist", {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ListFindTest, FindTextWithoutTextDoesNothing) {
    List.FindText("");
    EXPECT_TRUE(Ui.Messages.isEmpty());
    EXPECT_TRUE(Hits.empty());
    ASSERT_TRUE(List.FindDialog().has_value());
    EXPECT_FALSE(List.FindDialog()->Visible); // FindText never shows its dialog
}

TEST_F(ListFindTest, MessageKeepsTheFindTextAsTyped) {
    List.FindText("%1 \"x\" %s");
    EXPECT_EQ(Messages(), QStringList({"Search string \"%1 \"x\" %s\" not found."}));
}

TEST_F(ListFindTest, RowsRemovedBetweenSearchesEndTheSearch) {
    List.FindText("Live");
    Rows.Clear();
    List.FindNext();
    EXPECT_EQ(Messages(), QStringList({"No more instances of \"Live\" found."}));
}

TEST_F(ListFindTest, ClosingTheDialogKeepsItsTextForF3) {
    List.Find();
    List.FindDialogClosed();
    EXPECT_FALSE(List.FindDialog()->Visible);
    List.FindDialogFind("eres");
    List.FindDialogClosed();
    List.FindNext();
    EXPECT_EQ(Hits, std::vector<int>{1});
    EXPECT_EQ(Messages(), QStringList({"No more instances of \"eres\" found."}));
}

TEST_F(ListFindTest, CustomFindDecidesWhereItAnswers) {
    // Claims row 2 and declines the others, which the built-in match then decides.
    List.OnCustomFind = [](int item, const QString&, bool& res, bool& handled) {
        handled = item == 2;
        res = handled;
    };
    List.FindText("Live");
    List.FindNext();
    EXPECT_EQ(Hits, (std::vector<int>{2, 3}));
}

} // namespace
