#include "settings/KelmRegistryEnhanced.h"
#include "testsupport/ScriptedUiPort.h"
#include "testsupport/TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <functional>
#include <gtest/gtest.h>
#include <limits>

namespace {

QString StoreFile(const TempDir& dir) {
    return dir.File(QStringLiteral("Tessaly/Varnholm/settings.json"));
}

// ---- Paths -------------------------------------------------------------------------------

struct PathCase {
    const char* Name;
    const char* Written;
    const char* Read;
    bool Found;
};
void PrintTo(const PathCase& c, std::ostream* os) {
    *os << c.Name;
}

class StorePaths : public testing::TestWithParam<PathCase> {};

TEST_P(StorePaths, ValuePathNamesTheValueItShould) {
    const PathCase& c = GetParam();
    TempDir dir;
    TKelmRegistryEnhanced store(StoreFile(dir));
    ASSERT_TRUE(store.SetValue(QString::fromUtf8(c.Written), 7));
    const QVariant read = store.GetValueDefault(QString::fromUtf8(c.Read), -1);
    EXPECT_EQ(read.toInt(), c.Found ? 7 : -1);
}

INSTANTIATE_TEST_SUITE_P(
    Table, StorePaths,
    testing::Values(
        PathCase{"Plain", "Options\\Recursive", "Options\\Recursive", true},
        PathCase{"EmptyPiecesDropped", "\\Options\\\\Recursive\\", "Options\\Recursive", true},
        PathCase{"KeyAndValueIgnoreCase", "Options\\Recursive", "OPTIONS\\recursive", true},
        PathCase{"Mp3tagSpelling", "Options\\MP3tagPath", "Options\\Mp3tagPath", true},
        PathCase{"RootValue", "DefFilesPath", "\\DefFilesPath", true},
        PathCase{"OtherKey", "Options\\Recursive", "Recursive", false},
        PathCase{"ValueIsNotAKey", "Options\\Recursive", "Options\\Recursive\\X", false},
        PathCase{"NoPrefixMatch", "Options\\Recursive", "Options\\Recursiv", false}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(StorePaths, WritingCreatesEveryMissingParentKeyBelowTheRoot) {
    TempDir dir;
    TKelmRegistryEnhanced store(StoreFile(dir));
    EXPECT_FALSE(store.KeyExists("A"));
    ASSERT_TRUE(store.SetValue("A\\B\\C", QStringLiteral("x")));
    EXPECT_TRUE(store.KeyExists("A"));
    EXPECT_TRUE(store.KeyExists("a\\b"));
    EXPECT_TRUE(store.KeyExists("\\A\\\\B\\"));
    EXPECT_FALSE(store.KeyExists("A\\B\\C")); // C is a value

    // The tree lives below Software\Tessaly\Varnholm of the per-user store.
    TKelmRegistryEnhanced top(StoreFile(dir));
    top.SetKey("Software");
    EXPECT_EQ(top.GetValueDefault("Tessaly\\Varnholm\\A\\B\\C", {}).toString(), "x");
}

TEST(StorePaths, ANameKeepsTheSpellingItWasCreatedWith) {
    TempDir dir;
    TKelmRegistryEnhanced store(StoreFile(dir));
    store.SetValue("Options\\MP3tagPath", QStringLiteral("/a"));
    store.SetValue("OPTIONS\\Mp3tagPath", QStringLiteral("/b"));
    const QByteArray file = dir.Read("Tessaly/Varnholm/settings.json");
    EXPECT_TRUE(file.contains("\"MP3tagPath\"")) << file.constData();
    EXPECT_FALSE(file.contains("Mp3tagPath"));
    EXPECT_FALSE(file.contains("OPTIONS"));
    EXPECT_EQ(store.GetValueDefault("Options\\mp3tagpath", {}).toString(), "/b");
}

struct RootCase {
    const char* Name;
    const char* Key;
    bool Enabled;
};
void PrintTo(const RootCase& c, std::ostream* os) {
    *os << c.Name;
}

class StoreRoot : public testing::TestWithParam<RootCase> {};

TEST_P(StoreRoot, RootKeyIsNormalisedOrDisablesTheStore) {
    const RootCase& c = GetParam();
    TempDir dir;
    TKelmRegistryEnhanced reference(StoreFile(dir));
    ASSERT_TRUE(reference.SetValue("Options\\Recursive", true));

    TKelmRegistryEnhanced store(StoreFile(dir));
    store.SetKey(QString::fromUtf8(c.Key));
    EXPECT_EQ(store.GetValueDefault("Options\\Recursive", 5).toInt(), c.Enabled ? 1 : 5);
    EXPECT_EQ(store.KeyExists("Options"), c.Enabled);
    EXPECT_EQ(store.SetValue("Options\\Other", 3), c.Enabled);
    EXPECT_EQ(reference.GetValueDefault("Options\\Other", 0).toInt(), c.Enabled ? 3 : 0);
    EXPECT_EQ(store.SetCheckListBox("Genres", {{"Rock", true}}), c.Enabled);
    EXPECT_EQ(reference.KeyExists("Genres"), c.Enabled);
}

INSTANTIATE_TEST_SUITE_P(
    Table, StoreRoot,
    testing::Values(RootCase{"Default", "Software\\Tessaly\\Varnholm", true},
                    RootCase{"TrailingBackslash", "Software\\Tessaly\\Varnholm\\", true},
                    RootCase{"LeadingBackslash", "\\Software\\Tessaly\\Varnholm", true},
                    RootCase{"OtherCase", "software\\TESSALY\\varnholm", true},
                    RootCase{"Empty", "", false}, RootCase{"Backslash", "\\", false}),
    [](const auto& info) { return std::string(info.param.Name); });

// ---- Kinds -------------------------------------------------------------------------------

struct KindCase {
    const char* Name;
    std::function<bool(TKelmRegistryEnhanced&, const QString&)> Write;
    QVariant Expected; // what GetValueDefault answers, kind included
};
void PrintTo(const KindCase& c, std::ostream* os) {
    *os << c.Name;
}

class StoreKinds : public testing::TestWithParam<KindCase> {};

TEST_P(StoreKinds, ValueComesBackInTheKindItWasStored) {
    const KindCase& c = GetParam();
    TempDir dir;
    TKelmRegistryEnhanced store(StoreFile(dir));
    ASSERT_TRUE(c.Write(store, "Kinds\\V"));
    const QVariant read = store.GetValueDefault("Kinds\\V", QStringLiteral("default"));
    EXPECT_EQ(read.typeId(), c.Expected.typeId());
    EXPECT_EQ(read, c.Expected);
    // The same through the file, in a fresh instance.
    TKelmRegistryEnhanced other(StoreFile(dir));
    EXPECT_EQ(other.GetValueDefault("kinds\\v", QStringLiteral("default")), c.Expected);
}

using W = TKelmRegistryEnhanced;
INSTANTIATE_TEST_SUITE_P(
    Table, StoreKinds,
    testing::Values(
        KindCase{"True", [](W& s, const QString& p) { return s.SetValue(p, true); }, QVariant(1)},
        KindCase{"False", [](W& s, const QString& p) { return s.SetValue(p, false); }, QVariant(0)},
        KindCase{"Integer", [](W& s, const QString& p) { return s.SetValue(p, -42); },
                 QVariant(-42)},
        KindCase{"IntegerMin",
                 [](W& s, const QString& p) {
                     return s.SetValue(p, std::numeric_limits<qint32>::min());
                 },
                 QVariant(std::numeric_limits<qint32>::min())},
        KindCase{"IntegerMax",
                 [](W& s, const QString& p) {
                     return s.SetValue(p, std::numeric_limits<qint32>::max());
                 },
                 QVariant(std::numeric_limits<qint32>::max())},
        KindCase{"DigitsStayAString",
                 [](W& s, const QString& p) { return s.SetValue(p, QStringLiteral("8080")); },
                 QVariant(QStringLiteral("8080"))},
        KindCase{"EmptyString", [](W& s, const QString& p) { return s.SetValue(p, QString()); },
                 QVariant(QString())},
        KindCase{"CharPointerIsAString", [](W& s, const QString& p) { return s.SetValue(p, "0"); },
                 QVariant(QStringLiteral("0"))},
        KindCase{"UnicodeString",
                 [](W& s, const QString& p) {
                     return s.SetValue(p, QStringLiteral("Bj\u00f6rk \u221a \"q\" \\ /"));
                 },
                 QVariant(QStringLiteral("Bj\u00f6rk \u221a \"q\" \\ /"))},
        KindCase{"DoubleIsEightBytes", [](W& s, const QString& p) { return s.SetValue(p, 1.5); },
                 QVariant(8)},
        KindCase{
            "BinaryGivesItsSize",
            [](W& s, const QString& p) { return s.SetValue(p, QByteArray("\x00\xff\x10", 3)); },
            QVariant(3)},
        KindCase{"EmptyBinary", [](W& s, const QString& p) { return s.SetValue(p, QByteArray()); },
                 QVariant(0)}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(StoreKinds, RewritingAValueChangesItsKind) {
    TempDir dir;
    TKelmRegistryEnhanced store(StoreFile(dir));
    store.SetValue("Options\\ProxyPort", 8080);
    store.SetValue("Options\\ProxyPort", QStringLiteral("8080"));
    EXPECT_EQ(store.GetValueDefault("Options\\ProxyPort", {}).typeId(), QMetaType::QString);
}

// ---- Deleting ----------------------------------------------------------------------------

TEST(StoreDelete, DeleteKeyTakesEverythingBelowAndAnswersWhetherItDeleted) {
    TempDir dir;
    TKelmRegistryEnhanced store(StoreFile(dir));
    store.SetValue("History Lists\\Browse\\Item0", QStringLiteral("/music"));
    store.SetValue("History Lists\\Open\\Count", 0);
    store.SetValue("Keep", 1);
    EXPECT_TRUE(store.DeleteKey("history lists\\"));
    EXPECT_FALSE(store.KeyExists("History Lists"));
    EXPECT_FALSE(store.KeyExists("History Lists\\Browse"));
    EXPECT_FALSE(store.DeleteKey("History Lists"));
    EXPECT_FALSE(store.DeleteKey("Missing\\Deeper"));
    EXPECT_FALSE(store.DeleteKey("")); // never the root itself
    EXPECT_FALSE(store.DeleteKey("\\"));
    EXPECT_EQ(store.GetValueDefault("Keep", 0).toInt(), 1);
    EXPECT_TRUE(store.DeleteValue("KEEP"));
    EXPECT_FALSE(store.DeleteValue("Keep"));
    EXPECT_EQ(store.GetValueDefault("Keep", 0).toInt(), 0);
}

// ---- Failure defaults ---------------------------------------------------------------------

struct FailureCase {
    const char* Name;
    std::function<void(const TempDir&)> Prepare;
    bool WriteWorks;
};
void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.Name;
}

class StoreFailures : public testing::TestWithParam<FailureCase> {};

TEST_P(StoreFailures, ReadsAnswerTheirDefaultsAndNothingStopsTheProgram) {
    const FailureCase& c = GetParam();
    TempDir dir;
    c.Prepare(dir);
    ScriptedUiPort ui;
    TKelmRegistryEnhanced store(StoreFile(dir), &ui);
    EXPECT_EQ(store.GetValueDefault("Options\\Recursive", 9).toInt(), 9);
    EXPECT_EQ(store.GetValueDefault("Options", 9).toInt(), 9); // a key is no value
    EXPECT_FALSE(store.KeyExists("Options\\Deeper"));
    QStringList menu{"keep"};
    store.GetMenu("History Lists\\Browse", menu);
    EXPECT_EQ(menu, QStringList{"keep"});
    TCheckList list{{"Rock", false}};
    store.GetCheckListBox("Genres", list, false);
    EXPECT_EQ(list, (TCheckList{{"Rock", false}}));

    EXPECT_EQ(store.SetValue("Options\\Recursive", 0), c.WriteWorks);
    EXPECT_EQ(store.SetMenu("History Lists\\Browse", {"a"}), c.WriteWorks);
    EXPECT_EQ(store.LastError().isEmpty(), c.WriteWorks);
    EXPECT_EQ(store.GetValueDefault("Options\\Recursive", 9).toInt(), c.WriteWorks ? 0 : 9);
    EXPECT_TRUE(ui.Messages.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, StoreFailures,
    testing::Values(
        FailureCase{"NoFileYet", [](const TempDir&) {}, true},
        FailureCase{"EmptyFile",
                    [](const TempDir& d) { d.Write("Tessaly/Varnholm/settings.json", " \n"); },
                    true},
        // The store path is taken by a folder: it cannot be read, and must not be replaced.
        FailureCase{"StoreIsAFolder",
                    [](const TempDir& d) {
                        QDir().mkpath(d.File("Tessaly/Varnholm/settings.json/inside"));
                    },
                    false},
        // The folder the store belongs in cannot be made.
        FailureCase{"FolderIsAFile",
                    [](const TempDir& d) { d.Write("Tessaly/Varnholm", "not a folder"); }, false}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(StoreFailures, AStoreThatCannotBeReadIsNotReplaced) {
    TempDir dir;
    QDir().mkpath(dir.File("Tessaly/Varnholm/settings.json/inside"));
    TKelmRegistryEnhanced store(StoreFile(dir));
    EXPECT_FALSE(store.SetValue("A", 1));
    EXPECT_FALSE(store.DeleteKey("A"));
    EXPECT_TRUE(QFileInfo(dir.File("Tessaly/Varnholm/settings.json/inside")).isDir());
}

// ---- Damaged store file --------------------------------------------------------------------

struct DamageCase {
    const char* Name;
    const char* Content;
};
void PrintTo(const DamageCase& c, std::ostream* os) {
    *os << c.Name;
}

class StoreDamage : public testing::TestWithParam<DamageCase> {};

TEST_P(StoreDamage, DamagedFileIsKeptAsideReportedOnceAndTheStoreStartsEmpty) {
    const DamageCase& c = GetParam();
    TempDir dir;
    const QByteArray damaged(c.Content);
    dir.Write("Tessaly/Varnholm/settings.json", damaged);
    ScriptedUiPort ui;
    TKelmRegistryEnhanced store(StoreFile(dir), &ui);

    EXPECT_EQ(store.GetValueDefault("Options\\Recursive", 5).toInt(), 5);
    ASSERT_EQ(ui.Messages.size(), 1);
    EXPECT_EQ(ui.Messages[0].Kind, ScriptedUiPort::Kind::Warning);
    EXPECT_TRUE(ui.Messages[0].Text.contains("settings.json.bad"))
        << ui.Messages[0].Text.toStdString();
    EXPECT_EQ(dir.Read("Tessaly/Varnholm/settings.json.bad"), damaged);
    EXPECT_FALSE(QFileInfo::exists(StoreFile(dir)));

    EXPECT_TRUE(store.SetValue("Options\\Recursive", 0));
    EXPECT_EQ(store.GetValueDefault("Options\\Recursive", 5).toInt(), 0);
    EXPECT_EQ(ui.Messages.size(), 1);
    EXPECT_EQ(dir.Read("Tessaly/Varnholm/settings.json.bad"), damaged);
}

INSTANTIATE_TEST_SUITE_P(
    Table, StoreDamage,
    testing::Values(
        DamageCase{"NotJson", "garbage"}, DamageCase{"CutShort", R"({"keys":[{"name":"Soft)"},
        DamageCase{"NotAnObject", "[1, 2]"}, DamageCase{"KeysNotAList", R"({"keys": 5})"},
        DamageCase{"KeyWithoutName", R"({"keys": [{"values": []}]})"},
        DamageCase{"KeyNameWithBackslash", R"({"keys": [{"name": "A\\B"}]})"},
        DamageCase{"FractionalInteger", R"({"values": [{"name": "X", "integer": 1.5}]})"},
        DamageCase{"IntegerBeyond32Bits", R"({"values": [{"name": "X", "integer": 4294967296}]})"},
        DamageCase{"TwoKinds", R"({"values": [{"name": "X", "integer": 1, "string": "1"}]})"},
        DamageCase{"NoKind", R"({"values": [{"name": "X"}]})"},
        DamageCase{"BadBase64", R"({"values": [{"name": "X", "binary": "@@@"}]})"},
        DamageCase{"ValueNamesDifferOnlyInCase",
                   R"({"values": [{"name": "a", "integer": 1}, {"name": "A", "integer": 2}]})"},
        DamageCase{"KeyNamesDifferOnlyInCase",
                   R"({"keys": [{"name": "Options"}, {"name": "OPTIONS"}]})"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(StoreDamage, AWriteAlsoKeepsTheDamagedFileAndNumbersTheCopies) {
    TempDir dir;
    dir.Write("Tessaly/Varnholm/settings.json.bad", "first");
    dir.Write("Tessaly/Varnholm/settings.json.bad.1", "second");
    dir.Write("Tessaly/Varnholm/settings.json", "third");
    ScriptedUiPort ui;
    TKelmRegistryEnhanced store(StoreFile(dir), &ui);
    EXPECT_TRUE(store.SetValue("A", 1));
    EXPECT_EQ(dir.Read("Tessaly/Varnholm/settings.json.bad"), "first");
    EXPECT_EQ(dir.Read("Tessaly/Varnholm/settings.json.bad.1"), "second");
    EXPECT_EQ(dir.Read("Tessaly/Varnholm/settings.json.bad.2"), "third");
    ASSERT_EQ(ui.Texts(ScriptedUiPort::Kind::Warning).size(), 1);
    EXPECT_TRUE(ui.Texts(ScriptedUiPort::Kind::Warning)[0].contains("settings.json.bad.2"));
    EXPECT_EQ(TKelmRegistryEnhanced(StoreFile(dir)).GetValueDefault("A", 0).toInt(), 1);
}

// ---- Instances -------------------------------------------------------------------------------

TEST(StoreInstances, EachInstanceSeesTheOthersWritesAtOnce) {
    TempDir dir;
    TKelmRegistryEnhanced a(StoreFile(dir));
    TKelmRegistryEnhanced b(StoreFile(dir));
    ASSERT_TRUE(a.SetValue("Options\\Recursive", false));
    ASSERT_TRUE(b.SetValue("Options\\MaxSearchDepth", 3));
    EXPECT_EQ(a.GetValueDefault("Options\\MaxSearchDepth", 0).toInt(), 3);
    EXPECT_EQ(b.GetValueDefault("Options\\Recursive", 9).toInt(), 0);
    ASSERT_TRUE(a.SetValue("Options\\MaxSearchDepth", 4)); // the last writer of a value wins
    EXPECT_EQ(b.GetValueDefault("Options\\MaxSearchDepth", 0).toInt(), 4);
    EXPECT_EQ(b.GetValueDefault("Options\\Recursive", 9).toInt(), 0);
}

TEST(StoreInstances, ABatchWritesOnceWhenItEnds) {
    TempDir dir;
    TKelmRegistryEnhanced store(StoreFile(dir));
    {
        TKelmRegistryEnhanced::TBatch batch(store);
        store.SetValue("A", 1);
        store.SetValue("B", QStringLiteral("b"));
        EXPECT_EQ(store.GetValueDefault("A", 0).toInt(), 1); // the batch reads its own writes
        EXPECT_FALSE(QFileInfo::exists(StoreFile(dir)));
        EXPECT_TRUE(batch.Commit());
    }
    TKelmRegistryEnhanced other(StoreFile(dir));
    EXPECT_EQ(other.GetValueDefault("A", 0).toInt(), 1);
    EXPECT_EQ(other.GetValueDefault("B", {}).toString(), "b");
}

TEST(StoreInstances, AReadOnlyBatchSeesOneStateAndRefusesWrites) {
    TempDir dir;
    TKelmRegistryEnhanced a(StoreFile(dir));
    TKelmRegistryEnhanced b(StoreFile(dir));
    ASSERT_TRUE(a.SetValue("A", 1));
    {
        TKelmRegistryEnhanced::TBatch snapshot(a, TKelmRegistryEnhanced::TBatch::Mode::ReadOnly);
        EXPECT_TRUE(b.SetValue("A", 2)); // takes no lock, so the other instance goes on
        EXPECT_EQ(a.GetValueDefault("A", 0).toInt(), 1);
        EXPECT_FALSE(a.SetValue("B", 1));
        EXPECT_FALSE(snapshot.Commit());
    }
    EXPECT_EQ(a.GetValueDefault("A", 0).toInt(), 2);
    EXPECT_EQ(a.GetValueDefault("B", 0).toInt(), 0);
}

TEST(StoreInstances, ABatchThatCannotStoreAnswersFalse) {
    TempDir dir;
    dir.Write("Tessaly/Varnholm", "not a folder");
    TKelmRegistryEnhanced store(StoreFile(dir));
    TKelmRegistryEnhanced::TBatch batch(store);
    EXPECT_FALSE(store.SetValue("A", 1));
    EXPECT_FALSE(batch.Commit());
    EXPECT_FALSE(store.LastError().isEmpty());
}

} // namespace
