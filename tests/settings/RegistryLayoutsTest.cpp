#include "settings/KelmRegistryEnhanced.h"
#include "settings/SettingsPrinters.h"
#include "testsupport/TempDir.h"

#include <QFileInfo>
#include <gtest/gtest.h>
#include <optional>

namespace {

QString StoreFile(const TempDir& dir) {
    return dir.File(QStringLiteral("settings.json"));
}

// ---- Window placement ------------------------------------------------------------------------

struct PlacementCase {
    const char* Name;
    std::optional<TStoreValue> Stored; // at "FormInfo\Main Window"; nullopt: nothing stored
    bool CenterDefault;
    TFormPlacement Expected; // starting from Start below on a 1920x1080 screen
};
void PrintTo(const PlacementCase& c, std::ostream* os) {
    *os << c.Name;
}

const TFormPlacement Start{600, 10, 20, 800, TFormState::Maximized};

class Placement : public testing::TestWithParam<PlacementCase> {};

TEST_P(Placement, RestoreFollowsTheStoredText) {
    const PlacementCase& c = GetParam();
    TempDir dir;
    TKelmRegistryEnhanced store(StoreFile(dir));
    if (c.Stored) {
        ASSERT_TRUE(store.SetStoreValue("FormInfo\\Main Window", *c.Stored));
    }
    TFormPlacement form = Start;
    store.GetFormInfo("FormInfo\\Main Window", form, c.CenterDefault, QSize(1920, 1080));
    EXPECT_EQ(form.Height, c.Expected.Height);
    EXPECT_EQ(form.Left, c.Expected.Left);
    EXPECT_EQ(form.Top, c.Expected.Top);
    EXPECT_EQ(form.Width, c.Expected.Width);
    EXPECT_EQ(form.State, c.Expected.State);
}

const TFormPlacement Centred{600, 560, 240, 800, TFormState::Maximized};
INSTANTIATE_TEST_SUITE_P(
    Table, Placement,
    testing::Values(PlacementCase{"Normal",
                                  QStringLiteral("621, 266, 123, 957, wsNormal"),
                                  true,
                                  {621, 266, 123, 957, TFormState::Normal}},
                    PlacementCase{"Maximized",
                                  QStringLiteral("621, -8, 123, 957, wsMaximized"),
                                  false,
                                  {621, -8, 123, 957, TFormState::Maximized}},
                    PlacementCase{"EmptyStateKeepsState",
                                  QStringLiteral("621, 266, 123, 957, "),
                                  true,
                                  {621, 266, 123, 957, TFormState::Maximized}},
                    PlacementCase{"UnknownStateKeepsState",
                                  QStringLiteral("621, 266, 123, 957, wsHidden"),
                                  true,
                                  {621, 266, 123, 957, TFormState::Maximized}},
                    PlacementCase{"ThreePiecesIgnored", QStringLiteral("621, 266, 123"), true,
                                  Start},
                    PlacementCase{"SixPiecesIgnored",
                                  QStringLiteral("621, 266, 123, 957, wsNormal, x"), true, Start},
                    PlacementCase{"NotANumberIgnored", QStringLiteral("621, 266, x, 957, wsNormal"),
                                  true, Start},
                    PlacementCase{"CommaWithoutSpaceIgnored",
                                  QStringLiteral("621,266,123,957,wsNormal"), true, Start},
                    PlacementCase{"OtherKindIgnored", TStoreValue(qint32(621)), true, Start},
                    PlacementCase{"MissingCentred", std::nullopt, true, Centred},
                    PlacementCase{"EmptyCentred", QString(), true, Centred},
                    PlacementCase{"MissingNotCentred", std::nullopt, false, Start}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(Placement, CentringRoundsTowardsZeroForAWindowLargerThanTheScreen) {
    TempDir dir;
    TKelmRegistryEnhanced store(StoreFile(dir));
    TFormPlacement form{1201, 0, 0, 1999, TFormState::Normal};
    store.GetFormInfo("FormInfo\\Main Window", form, true, QSize(1920, 1080));
    EXPECT_EQ(form.Left, -39); // (1920 - 1999) / 2 = -39.5
    EXPECT_EQ(form.Top, -60);  // (1080 - 1201) / 2 = -60.5
}

TEST(Placement, SavingWritesHeightLeftTopWidthState) {
    TempDir dir;
    TKelmRegistryEnhanced store(StoreFile(dir));
    const std::pair<TFormState, QString> cases[] = {
        {TFormState::Normal, "621, 266, 123, 957, wsNormal"},
        {TFormState::Maximized, "621, 266, 123, 957, wsMaximized"},
        {TFormState::Minimized, "621, 266, 123, 957, "}};
    for (const auto& [state, text] : cases) {
        ASSERT_TRUE(store.SetFormInfo("FormInfo\\Main Window", {621, 266, 123, 957, state}));
        EXPECT_EQ(store.GetValueDefault("FormInfo\\Main Window", {}).toString(), text);
    }
}

// ---- Column widths ------------------------------------------------------------------------

struct WidthsCase {
    const char* Name;
    std::optional<QString> Stored;
    QList<int> Expected; // starting from 1, 2, 3, 4
};
void PrintTo(const WidthsCase& c, std::ostream* os) {
    *os << c.Name;
}

class ColumnWidths : public testing::TestWithParam<WidthsCase> {};

TEST_P(ColumnWidths, RestoreSetsTheColumnsThatHaveAWidth) {
    const WidthsCase& c = GetParam();
    TempDir dir;
    TKelmRegistryEnhanced store(StoreFile(dir));
    if (c.Stored)
        store.SetValue("ListViewInfo\\Main Window", *c.Stored);
    QList<int> widths{1, 2, 3, 4};
    store.GetListViewInfo("ListViewInfo\\Main Window", widths);
    EXPECT_EQ(widths, c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ColumnWidths,
    testing::Values(WidthsCase{"All", "10, 20, 30, 40", {10, 20, 30, 40}},
                    WidthsCase{"ExtraPiecesIgnored", "10, 20, 30, 40, 50", {10, 20, 30, 40}},
                    WidthsCase{"FewerPieces", "10, 20", {10, 20, 3, 4}},
                    WidthsCase{"NotANumberSkipped", "10, x, 30", {10, 2, 30, 4}},
                    WidthsCase{"EmptyPieceSkipped", ", 20", {1, 20, 3, 4}},
                    WidthsCase{"NegativeSkipped", "-5, 20", {1, 20, 3, 4}},
                    WidthsCase{"CommaWithoutSpaceIsOnePiece", "10,20", {1, 2, 3, 4}},
                    WidthsCase{"Empty", "", {1, 2, 3, 4}},
                    WidthsCase{"Missing", std::nullopt, {1, 2, 3, 4}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(ColumnWidths, ThirteenPiecesForTwelveColumns) {
    TempDir dir;
    TKelmRegistryEnhanced store(StoreFile(dir));
    const QList<int> initial{200, 300, 300, 150, 200, 200, 150, 200, 75, 150, 300, 150};
    ASSERT_TRUE(store.SetListViewInfo("ListViewInfo\\Main Window", initial));
    EXPECT_EQ(store.GetValueDefault("ListViewInfo\\Main Window", {}).toString(),
              "200, 300, 300, 150, 200, 200, 150, 200, 75, 150, 300, 150");
    store.SetValue("ListViewInfo\\Main Window",
                   QStringLiteral("1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13"));
    QList<int> widths = initial;
    store.GetListViewInfo("ListViewInfo\\Main Window", widths);
    EXPECT_EQ(widths, (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
}

struct ImportCase {
    const char* Name;
    std::optional<QString> OldSizes; // nullopt: the old key exists without a Sizes value
    bool DeleteSubKey;
    QString Expected;
};
void PrintTo(const ImportCase& c, std::ostream* os) {
    *os << c.Name;
}

class ImportWidths : public testing::TestWithParam<ImportCase> {};

TEST_P(ImportWidths, OldLayoutIsRewrittenWithCommaSpace) {
    const ImportCase& c = GetParam();
    TempDir dir;
    TKelmRegistryEnhanced store(StoreFile(dir));
    store.SetValue("Old\\Main Window\\Other", 1);
    if (c.OldSizes)
        store.SetValue("Old\\Main Window\\Columns\\Sizes", *c.OldSizes);
    ASSERT_TRUE(store.ImportListViewInfo("Old\\Main Window", "New\\Main Window", c.DeleteSubKey));
    EXPECT_EQ(store.GetValueDefault("New\\Main Window", 0), QVariant(c.Expected));
    EXPECT_EQ(store.KeyExists("Old\\Main Window"), !c.DeleteSubKey);
}

INSTANTIATE_TEST_SUITE_P(Table, ImportWidths,
                         testing::Values(ImportCase{"Plain", "200,300,150", true, "200, 300, 150"},
                                         ImportCase{"EmptyPiecesKept", "200,,x", true, "200, , x"},
                                         ImportCase{"KeyKept", "200,300", false, "200, 300"},
                                         ImportCase{"NoSizes", std::nullopt, true, ""}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(ImportWidths, NothingHappensWithoutTheOldKey) {
    TempDir dir;
    TKelmRegistryEnhanced store(StoreFile(dir));
    EXPECT_TRUE(store.ImportListViewInfo("Old\\Main Window", "New\\Main Window", true));
    EXPECT_FALSE(store.KeyExists("New"));
    EXPECT_FALSE(QFileInfo::exists(StoreFile(dir)));
}

// ---- Check lists ----------------------------------------------------------------------------

TEST(CheckLists, SavingReplacesTheKeyWithOneValuePerItem) {
    TempDir dir;
    TKelmRegistryEnhanced store(StoreFile(dir));
    store.SetValue("Genres\\Old", 1);
    store.SetValue("Genres\\Sub\\Deep", 1);
    ASSERT_TRUE(store.SetCheckListBox("Genres", {{"Rock", true}, {"Pop", false}}));
    TCheckList read;
    store.GetCheckListBox("Genres", read, false);
    EXPECT_EQ(read, (TCheckList{{"Rock", true}, {"Pop", false}}));
    EXPECT_EQ(store.GetValueDefault("Genres\\Rock", {}), QVariant(1));
    EXPECT_EQ(store.GetValueDefault("Genres\\Pop", {}), QVariant(0));
    EXPECT_FALSE(store.KeyExists("Genres\\Sub"));
}

struct CheckListCase {
    const char* Name;
    TCheckList Saved;
    TCheckList Restored;
};
void PrintTo(const CheckListCase& c, std::ostream* os) {
    *os << c.Name;
}

class CheckListRoundTrip : public testing::TestWithParam<CheckListCase> {};

TEST_P(CheckListRoundTrip, WhatIsSavedComesBack) {
    const CheckListCase& c = GetParam();
    TempDir dir;
    TKelmRegistryEnhanced store(StoreFile(dir));
    ASSERT_TRUE(store.SetCheckListBox("Suffixes", c.Saved));
    TCheckList read{{"stale", true}};
    TKelmRegistryEnhanced(StoreFile(dir)).GetCheckListBox("Suffixes", read, true);
    EXPECT_EQ(read, c.Restored);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CheckListRoundTrip,
    testing::Values(CheckListCase{"Order",
                                  {{"b", true}, {"A", false}, {"c", true}},
                                  {{"b", true}, {"A", false}, {"c", true}}},
                    CheckListCase{"CaseTwinsMergeLastStateWins",
                                  {{"Rock", true}, {"ROCK", false}},
                                  {{"Rock", false}}},
                    CheckListCase{"EmptyItemIsTheUnnamedValue",
                                  {{"", true}, {"Live", false}},
                                  {{"", true}, {"Live", false}}},
                    CheckListCase{"BackslashInText",
                                  {{"AC\\DC", true}, {"\\", false}},
                                  {{"AC\\DC", true}, {"\\", false}}},
                    CheckListCase{"CheckMark", {{"\u221aRock", true}}, {{"\u221aRock", true}}},
                    CheckListCase{"EmptyKeyEmptiesTheList", {}, {}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(CheckLists, RestoringWithoutTheKey) {
    TempDir dir;
    TKelmRegistryEnhanced store(StoreFile(dir));
    TCheckList list{{"a", false}, {"b", true}};
    store.GetCheckListBox("Suffixes", list, false);
    EXPECT_EQ(list, (TCheckList{{"a", false}, {"b", true}}));
    store.GetCheckListBox("Suffixes", list, true);
    EXPECT_EQ(list, (TCheckList{{"a", true}, {"b", true}}));
}

TEST(CheckLists, AnItemIsCheckedOnlyByANonZeroInteger) {
    TempDir dir;
    TKelmRegistryEnhanced store(StoreFile(dir));
    store.SetValue("Genres\\Five", 5);
    store.SetValue("Genres\\Minus", -1);
    store.SetValue("Genres\\Zero", 0);
    store.SetValue("Genres\\Text", QStringLiteral("1"));
    store.SetValue("Genres\\Binary", QByteArray("\x01"));
    TCheckList list;
    store.GetCheckListBox("Genres", list, true);
    EXPECT_EQ(
        list,
        (TCheckList{
            {"Five", true}, {"Minus", true}, {"Zero", false}, {"Text", false}, {"Binary", false}}));
}

// ---- Menus of recent entries -------------------------------------------------------------------

TEST(Menus, SavingReplacesTheKeyWithCountAndItems) {
    TempDir dir;
    TKelmRegistryEnhanced store(StoreFile(dir));
    store.SetValue("History Lists\\Browse\\Item7", QStringLiteral("stale"));
    ASSERT_TRUE(store.SetMenu("History Lists\\Browse", {"/music/a", "/music/b"}));
    EXPECT_EQ(store.GetValueDefault("History Lists\\Browse\\Count", {}), QVariant(2));
    EXPECT_EQ(store.GetValueDefault("History Lists\\Browse\\Item0", {}), QVariant("/music/a"));
    EXPECT_EQ(store.GetValueDefault("History Lists\\Browse\\Item1", {}), QVariant("/music/b"));
    EXPECT_FALSE(store.GetValueDefault("History Lists\\Browse\\Item7", {}).isValid());
}

struct MenuCase {
    const char* Name;
    std::vector<std::pair<const char*, TStoreValue>> Values; // in the key "History Lists\Open"
    QStringList Expected;                                    // starting from {"old"}
};
void PrintTo(const MenuCase& c, std::ostream* os) {
    *os << c.Name;
}

class MenuRestore : public testing::TestWithParam<MenuCase> {};

TEST_P(MenuRestore, EntriesFollowCount) {
    const MenuCase& c = GetParam();
    TempDir dir;
    TKelmRegistryEnhanced store(StoreFile(dir));
    store.SetValue("History Lists\\Open\\Marker", 0); // the key exists in every case
    for (const auto& [name, value] : c.Values)
        store.SetStoreValue(QStringLiteral("History Lists\\Open\\") + name, value);
    QStringList menu{"old"};
    store.GetMenu("History Lists\\Open", menu);
    EXPECT_EQ(menu, c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MenuRestore,
    testing::Values(
        MenuCase{"TwoEntries",
                 {{"Count", qint32(2)}, {"Item0", QString("a")}, {"Item1", QString("b")}},
                 {"a", "b"}},
        MenuCase{
            "MissingItemsAreEmpty", {{"Count", qint32(3)}, {"Item0", QString("a")}}, {"a", "", ""}},
        MenuCase{"ItemsBeyondCountIgnored",
                 {{"Count", qint32(1)}, {"Item0", QString("a")}, {"Item1", QString("b")}},
                 {"a"}},
        MenuCase{"NoCount", {{"Item0", QString("a")}}, {}},
        MenuCase{"CountNotAnInteger", {{"Count", QString("2")}, {"Item0", QString("a")}}, {}},
        MenuCase{"NegativeCount", {{"Count", qint32(-4)}}, {}},
        MenuCase{"ItemNotAString", {{"Count", qint32(1)}, {"Item0", qint32(5)}}, {""}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(Menus, RestoringWithoutTheKeyLeavesTheMenuAndAHugeCountIsCapped) {
    TempDir dir;
    TKelmRegistryEnhanced store(StoreFile(dir));
    QStringList menu{"old"};
    store.GetMenu("History Lists\\Open", menu);
    EXPECT_EQ(menu, QStringList{"old"});
    store.SetValue("History Lists\\Open\\Count", 2000000000);
    store.GetMenu("History Lists\\Open", menu);
    EXPECT_EQ(menu.size(), TKelmRegistryEnhanced::MaxMenuEntries);
}

} // namespace
