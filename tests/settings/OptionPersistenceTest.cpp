#include "settings/OptionPersistence.h"
#include "settings/SettingsPrinters.h"
#include "settings/StoreNames.h"
#include "testsupport/TempDir.h"

#include <gtest/gtest.h>

namespace {

TOptionDefaults Platform() {
    TOptionDefaults d;
    d.MusicFolder = "/home/u/Music";
    d.MP3valFolder = "/usr/bin";
    d.MP3GainFolder = "/usr/local/bin";
    d.Mp3tagFolder = "/home/u/.wine/drive_c/Program Files/Mp3tag";
    d.SystemUsesProxy = true;
    d.SystemProxyHost = "proxy.lan";
    d.SystemProxyPort = "3128";
    return d;
}

// An option set in which every value differs from its default.
TOptionSet EveryValueChanged() {
    TOptionSet o = TOptionSet::Defaults(Platform());
    for (const TOptionDescriptor& d : OptionDescriptors()) {
        const QString name = QString::fromLatin1(d.Name);
        std::visit(
            [&](auto member) {
                auto& value = o.*member;
                using T = std::decay_t<decltype(value)>;
                if constexpr (std::is_same_v<T, bool>)
                    value = !value;
                else if constexpr (std::is_same_v<T, int>)
                    value = value == d.Minimum ? d.Maximum : d.Minimum;
                else
                    value = QStringLiteral("/changed/") + name + QStringLiteral(" \u00e9");
            },
            d.Member);
    }
    o.ProxyPort = "8080";
    o.Genres = {{"", false}, {"AC\\DC Rock", true}, {"blues", false}, {"Rock", true}};
    o.Suffixes = {{"(Demo)", false}, {"(Live)", true}};
    o.UpdateDataFiles = {{"Artists", false}, {"Genres", true}};
    return o;
}

TEST(OptionPersistence, EveryOptionSurvivesSaveAndLoad) {
    TempDir dir;
    TKelmRegistryEnhanced store(dir.File("settings.json"));
    const TOptionSet saved = EveryValueChanged();
    for (const TOptionDescriptor& d : OptionDescriptors())
        std::visit(
            [&](auto member) {
                EXPECT_NE(saved.*member, TOptionSet::Defaults(Platform()).*member) << d.Name;
            },
            d.Member);
    ASSERT_TRUE(SaveOptionsToRegistry(store, saved));

    TKelmRegistryEnhanced fresh(dir.File("settings.json"));
    const TOptionSet loaded = LoadOptionsFromRegistry(fresh, Platform(), {"Other"}, {"Other"});
    for (const TOptionDescriptor& d : OptionDescriptors())
        std::visit([&](auto member) { EXPECT_EQ(loaded.*member, saved.*member) << d.Name; },
                   d.Member);
    EXPECT_EQ(loaded.Genres, saved.Genres);
    EXPECT_EQ(loaded.Suffixes, saved.Suffixes);
    EXPECT_EQ(loaded.UpdateDataFiles, saved.UpdateDataFiles);
    EXPECT_EQ(loaded, saved);
}

TEST(OptionPersistence, SavingWritesEachValueInItsKind) {
    TempDir dir;
    TKelmRegistryEnhanced store(dir.File("settings.json"));
    TOptionSet o = TOptionSet::Defaults(Platform());
    o.ProxyPort = "8080";
    ASSERT_TRUE(SaveOptionsToRegistry(store, o));
    const auto kind = [&](const char* name) {
        return store.GetValueDefault(OptionValuePath(name), {}).typeId();
    };
    EXPECT_EQ(kind("Recursive"), QMetaType::Int);
    EXPECT_EQ(kind("MP3NameComputing"), QMetaType::Int);
    EXPECT_EQ(kind("MusicLibraryHomePath"), QMetaType::QString);
    EXPECT_EQ(kind("ProxyPort"), QMetaType::QString);
    EXPECT_EQ(store.GetValueDefault("Options\\ProxyPort", {}).toString(), "8080");
    EXPECT_EQ(store.GetValueDefault("Options\\Recursive", {}), QVariant(1));
    EXPECT_TRUE(store.KeyExists("Update Data Files"));
}

TEST(OptionPersistence, FirstRunWithAnEmptyStoreGivesTheDefaults) {
    TempDir dir;
    TKelmRegistryEnhanced store(dir.File("settings.json"));
    // Genre file lines are taken verbatim, comments and second columns included.
    const QStringList genreLines = {"# Genres", "rock", "Blues\tx", "", "Acid Jazz"};
    const TOptionSet o = LoadOptionsFromRegistry(store, Platform(), genreLines, {"b", "A"});

    TOptionSet expected = TOptionSet::Defaults(Platform());
    expected.Genres = {
        {"", true}, {"# Genres", true}, {"Acid Jazz", true}, {"Blues\tx", true}, {"rock", true}};
    expected.UpdateDataFiles = {{"A", true}, {"b", true}};
    EXPECT_EQ(o, expected);
    EXPECT_TRUE(o.ExportPlaylistUsingExtendedM3UFormat);
    EXPECT_TRUE(o.Recursive);
    EXPECT_EQ(o.MP3NameComputing, 3);
    EXPECT_EQ(o.RecentlyUsedFileList, 5);
    EXPECT_EQ(o.MP3GainDefaultVolume, 89);
    EXPECT_TRUE(o.UseProxyServer);
    EXPECT_EQ(o.ProxyAddress, "proxy.lan");
    EXPECT_EQ(o.ProxyPort, "3128");
    EXPECT_EQ(o.Suffixes, TOptionSet::DefaultSuffixes());
    EXPECT_FALSE(QFileInfo::exists(dir.File("settings.json"))); // loading writes nothing
}

struct StoredCase {
    const char* Name;
    const char* Path;
    TStoreValue Stored;
    const char* Option;
    QVariant Expected; // bool, int or QString, as the option holds it
};
void PrintTo(const StoredCase& c, std::ostream* os) {
    *os << c.Name;
}

class LoadingStoredValues : public testing::TestWithParam<StoredCase> {};

TEST_P(LoadingStoredValues, ValueOfTheWrongKindOrRangeGivesTheDefault) {
    const StoredCase& c = GetParam();
    TempDir dir;
    TKelmRegistryEnhanced store(dir.File("settings.json"));
    ASSERT_TRUE(store.SetStoreValue(c.Path, c.Stored));
    const TOptionSet o = LoadOptionsFromRegistry(store, Platform(), {}, {});
    for (const TOptionDescriptor& d : OptionDescriptors())
        if (qstrcmp(d.Name, c.Option) == 0)
            std::visit([&](auto member) { EXPECT_EQ(QVariant(o.*member), c.Expected); }, d.Member);
}

INSTANTIATE_TEST_SUITE_P(
    Table, LoadingStoredValues,
    testing::Values(
        StoredCase{"NameIgnoresCase", "Options\\MP3tagPath", QString("/opt/tag"), "Mp3tagPath",
                   QString("/opt/tag")},
        StoredCase{"PortString", "Options\\ProxyPort", QString("8080"), "ProxyPort",
                   QString("8080")},
        StoredCase{"PortInteger", "Options\\ProxyPort", qint32(3129), "ProxyPort", QString("3129")},
        StoredCase{"BooleanZero", "Options\\Recursive", qint32(0), "Recursive", false},
        StoredCase{"BooleanNonZero", "Options\\PreserveFileDateTime", qint32(7),
                   "PreserveFileDateTime", true},
        StoredCase{"BooleanDigitString", "Options\\Recursive", QString("0"), "Recursive", false},
        StoredCase{"BooleanText", "Options\\Recursive", QString("no"), "Recursive", true},
        StoredCase{"IntegerInRange", "Options\\MaxSearchDepth", qint32(128), "MaxSearchDepth", 128},
        StoredCase{"IntegerAboveRange", "Options\\MaxSearchDepth", qint32(129), "MaxSearchDepth",
                   8},
        StoredCase{"IntegerBelowRange", "Options\\MP3NameComputing", qint32(-1), "MP3NameComputing",
                   3},
        StoredCase{"IntegerString", "Options\\MP3NameComputing", QString("1"), "MP3NameComputing",
                   1},
        StoredCase{"IntegerNotANumber", "Options\\RecentlyUsedFileList", QString("many"),
                   "RecentlyUsedFileList", 5},
        StoredCase{"OutsideOptionsKey", "Recursive", qint32(0), "Recursive", true}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(OptionPersistence, StoredCheckListsWinOverTheirDefaults) {
    TempDir dir;
    TKelmRegistryEnhanced store(dir.File("settings.json"));
    store.SetCheckListBox("Genres", {{"pop", false}, {"Jazz", true}});
    store.SetValue("Suffixes\\Keep", 1); // the key exists...
    store.DeleteValue("Suffixes\\Keep"); // ...but holds no value
    const TOptionSet o = LoadOptionsFromRegistry(store, Platform(), {"Rock"}, {"Genres"});
    EXPECT_EQ(o.Genres, (TCheckList{{"Jazz", true}, {"pop", false}}));
    EXPECT_TRUE(o.Suffixes.isEmpty());
    EXPECT_EQ(o.UpdateDataFiles, (TCheckList{{"Genres", true}}));
}

TEST(OptionPersistence, GenreFileLinesAreReadWholeWithoutCommentsOrEmptyLines) {
    TempDir dir;
    dir.Write("MP3Genres.def",
              "\xEF\xBB\xBF# header\r\nBlues\r\n#\r\nCaf\xC3\xA9 Rock\tx\r\n\r\n  # kept\r\nPop");
    EXPECT_EQ(ReadGenreFileLines(dir.Path()),
              (QStringList{"Blues", "Caf\u00e9 Rock\tx", "  # kept", "Pop"}));
    dir.Write("Latin/MP3Genres.def", "Caf\xE9\n");
    EXPECT_EQ(ReadGenreFileLines(dir.File("Latin")), QStringList{"Caf\u00e9"});
    EXPECT_TRUE(ReadGenreFileLines(dir.File("missing")).isEmpty());
}

TEST(OptionPersistence, AStoredGenreListHoldingTheFileCommentsIsCleaned) {
    const struct {
        TCheckList Stored;
        TCheckList Loaded;
    } cases[] = {
        // as an earlier version stored it on first start
        {{{"# MP3Genres.def - the genres", true}, {"", true}, {"#", true}, {"Rock", false}},
         {{"Rock", false}}},
        // an empty item typed on purpose into a list without comments stays
        {{{"", true}, {"Rock", true}}, {{"", true}, {"Rock", true}}},
        {{{" # not a comment", true}}, {{" # not a comment", true}}},
    };
    for (const auto& c : cases) {
        TempDir dir;
        TKelmRegistryEnhanced store(dir.File("settings.json"));
        store.SetCheckListBox("Genres", c.Stored);
        EXPECT_EQ(LoadOptionsFromRegistry(store, Platform(), {"Jazz"}, {}).Genres, c.Loaded);
    }
}

// ---- Applying ---------------------------------------------------------------------------------

struct Recorder {
    QStringList Calls;
    QList<int> Widths{1, 2, 3};
    TOptionTargets Targets() {
        TOptionTargets t;
        t.SetFileSearchRecursive = [this](bool b) {
            Calls << QStringLiteral("recursive %1").arg(b);
        };
        t.MainListColumnWidths = [this] { return Widths; };
        t.SetMainListColumnWidths = [this](const QList<int>& w) {
            Widths = w;
            Calls << QStringLiteral("widths");
        };
        t.SetMP3valFolder = [this](const QString& f) { Calls << "mp3val " + f; };
        t.SetMP3GainFolder = [this](const QString& f) { Calls << "mp3gain " + f; };
        t.SetMP3GainDefaultVolumeEnabled = [this](bool b) {
            Calls << QStringLiteral("volume %1").arg(b);
        };
        t.SetMp3tagFolder = [this](const QString& f) { Calls << "mp3tag " + f; };
        t.SetUpdateCheckerProxy = [this](const QString& a, const QString& p) {
            Calls << "proxy " + a + ":" + p;
        };
        return t;
    }
};

TEST(ActivateOptions, PushesValuesIntoTheComponentsInOrder) {
    TempDir dir;
    TKelmRegistryEnhanced store(dir.File("settings.json"));
    TOptionSet o;
    o.Recursive = false;
    o.MP3valPath = "/v";
    o.MP3GainPath = "/g";
    o.Mp3tagPath = "/t";
    o.UseMP3GainUserInterface = true;
    o.UseProxyServer = true;
    o.ProxyAddress = "p";
    o.ProxyPort = "3128";
    Recorder r;
    ActivateOptions(o, store, r.Targets());
    EXPECT_EQ(r.Calls, (QStringList{"recursive 0", "mp3val /v", "mp3gain /g", "volume 0",
                                    "mp3tag /t", "proxy p:3128"}));

    o.UseProxyServer = false;
    o.UseMP3GainUserInterface = false;
    r.Calls.clear();
    ActivateOptions(o, store, r.Targets());
    EXPECT_TRUE(r.Calls.contains("volume 1"));
    EXPECT_TRUE(r.Calls.contains("proxy :80"));
}

TEST(ActivateOptions, ColumnWidthsAreRestoredOrForgotten) {
    TempDir dir;
    TKelmRegistryEnhanced store(dir.File("settings.json"));
    store.SetValue(StoreNames::MainWindowListViewInfo, QStringLiteral("10, 20"));
    TOptionSet o;
    o.RememberColumnsSize = true;
    Recorder r;
    ActivateOptions(o, store, r.Targets());
    EXPECT_EQ(r.Widths, (QList<int>{10, 20, 3}));

    // Switched off, the stored widths are deleted, so switching on again finds none.
    o.RememberColumnsSize = false;
    ActivateOptions(o, store, {});
    EXPECT_FALSE(store.KeyExists(StoreNames::ListViewInfoKey));
    o.RememberColumnsSize = true;
    Recorder again;
    ActivateOptions(o, store, again.Targets());
    EXPECT_EQ(again.Widths, (QList<int>{1, 2, 3}));
    EXPECT_FALSE(again.Calls.contains("widths"));
}

} // namespace
