#include "CliRunner.h"
#include "settings/KelmRegistryEnhanced.h"
#include "settings/OptionSet.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

TEST(OptionsCommand, FirstRunListsTheDefaults) {
    CliRunner cli;
    const CliRunner::Result r = cli.Run({"options", "list"});
    ASSERT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    EXPECT_EQ(r.Err, "");
    const QStringList lines = r.OutLines();
    for (const char* expected :
         {"Recursive=1", "PromptBeforeOverwritingFiles=1", "CleanAttributesDuringReadingProcess=0",
          "RememberColumnsSize=0", "RecentlyUsedFileList=5", "LimitSearchDepth=0",
          "MaxSearchDepth=8", "ExportPlaylistUsingExtendedM3UFormat=1", "MP3GainDefaultVolume=89",
          "MP3NameComputing=3", "UseProxyServer=0", "ProxyAddress=", "ProxyPort=80",
          "Suffixes[(Acoustic)]=1", "Suffixes[(Remix)]=1", "AdvancedLibraryFilesPath="})
        EXPECT_TRUE(lines.contains(expected)) << expected;
    EXPECT_TRUE(lines.contains("DefFilesPath=" + cli.DataFolder()));
    // Start-up seeds a new data folder with the installed genre list, the genres' default:
    // its names, never its comments or empty lines.
    EXPECT_TRUE(lines.contains("Genres[Blues]=1"));
    EXPECT_EQ(lines.filter(QRegularExpression(QStringLiteral("^Genres\\[(#.*)?\\]="))),
              QStringList{});
    EXPECT_TRUE(lines.contains("MusicLibraryHomePath=" + cli.Home().File("home/Music")));
    for (const TOptionDescriptor& d : OptionDescriptors())
        EXPECT_EQ(lines.filter(QRegularExpression(QStringLiteral("^%1=").arg(d.Name))).size(), 1)
            << d.Name;
}

struct SetGetCase {
    const char* Name;
    QStringList Set; // NAME VALUE
    const char* GetName;
    const char* Printed;
};
void PrintTo(const SetGetCase& c, std::ostream* os) {
    *os << c.Name;
}

class SetThenGet : public testing::TestWithParam<SetGetCase> {};

TEST_P(SetThenGet, ValueIsStoredAndPrintedBack) {
    const SetGetCase& c = GetParam();
    CliRunner cli;
    const CliRunner::Result set = cli.Run(QStringList{"options", "set"} + c.Set);
    ASSERT_EQ(set.ExitCode, 0) << set.Err.toStdString();
    EXPECT_EQ(set.Err, "");
    const CliRunner::Result get = cli.Run({"options", "get", c.GetName});
    ASSERT_EQ(get.ExitCode, 0) << get.Err.toStdString();
    EXPECT_EQ(get.Out, QString::fromUtf8(c.Printed) + u'\n');
    // The list shows the same value.
    EXPECT_TRUE(cli.Run({"options", "list"}).Out.contains(QString::fromUtf8(c.Printed)));
}

INSTANTIATE_TEST_SUITE_P(
    Table, SetThenGet,
    testing::Values(
        SetGetCase{"BooleanZero", {"Recursive", "0"}, "Recursive", "0"},
        SetGetCase{"BooleanOff", {"recursive", "off"}, "RECURSIVE", "0"},
        SetGetCase{"BooleanTrue", {"LimitSearchDepth", "TRUE"}, "limitsearchdepth", "1"},
        SetGetCase{"BooleanOn", {"PreserveFileDateTime", "on"}, "PreserveFileDateTime", "1"},
        SetGetCase{"IntegerLowest", {"MaxSearchDepth", "0"}, "MaxSearchDepth", "0"},
        SetGetCase{"IntegerHighest", {"MaxSearchDepth", "128"}, "MaxSearchDepth", "128"},
        SetGetCase{"NamingMode", {"mp3namecomputing", "1"}, "MP3NameComputing", "1"},
        SetGetCase{"String",
                   {"MusicLibraryHomePath", "/m\u00fcsic/a b"},
                   "MusicLibraryHomePath",
                   "/m\u00fcsic/a b"},
        SetGetCase{"EmptyString", {"Mp3tagPath", ""}, "MP3tagPath", ""},
        SetGetCase{"Port", {"ProxyPort", "8080"}, "proxyport", "8080"},
        SetGetCase{"DataFolder", {"DefFilesPath", "/srv/defs"}, "deffilespath", "/srv/defs"},
        SetGetCase{"LearnedFolder",
                   {"AdvancedLibraryFilesPath", "/srv/learned"},
                   "AdvancedLibraryFilesPath",
                   "/srv/learned"},
        SetGetCase{"CheckListItem", {"Suffixes[(Live)]", "0"}, "suffixes[(live)]", "0"},
        SetGetCase{"NewCheckListItem", {"Genres[AC\\DC Rock]", "1"}, "Genres[ac\\dc rock]", "1"}),
    [](const auto& info) { return std::string(info.param.Name); });

struct UsageCase {
    const char* Name;
    QStringList Args;
    bool ErrorLine; // an "Error: " line besides the usage
};
void PrintTo(const UsageCase& c, std::ostream* os) {
    *os << c.Name;
}

class UsageErrors : public testing::TestWithParam<UsageCase> {};

TEST_P(UsageErrors, ExitTwoWithUsageAndNothingStored) {
    const UsageCase& c = GetParam();
    CliRunner cli;
    const CliRunner::Result r = cli.Run(c.Args);
    EXPECT_EQ(r.ExitCode, 2);
    EXPECT_EQ(r.Out, "");
    EXPECT_TRUE(r.Err.contains("Usage:")) << r.Err.toStdString();
    if (c.ErrorLine) {
        ASSERT_FALSE(r.ErrLines().isEmpty());
        EXPECT_TRUE(r.ErrLines().first().startsWith("Error: ")) << r.Err.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(cli.ConfigFolder()));
}

INSTANTIATE_TEST_SUITE_P(
    Table, UsageErrors,
    testing::Values(UsageCase{"GetUnknown", {"options", "get", "Nope"}, true},
                    UsageCase{"SetUnknown", {"options", "set", "Nope", "1"}, true},
                    UsageCase{"NotABoolean", {"options", "set", "Recursive", "yes"}, true},
                    UsageCase{"BooleanTwo", {"options", "set", "Recursive", "2"}, true},
                    UsageCase{"AboveRange", {"options", "set", "MaxSearchDepth", "129"}, true},
                    UsageCase{"BelowRange", {"options", "set", "RecentlyUsedFileList", "-1"}, true},
                    UsageCase{"NotANumber", {"options", "set", "MP3GainDefaultVolume", "5x"}, true},
                    UsageCase{
                        "Beyond32Bits", {"options", "set", "MaxSearchDepth", "99999999999"}, true},
                    UsageCase{"PortNotDigits", {"options", "set", "ProxyPort", "80a"}, true},
                    UsageCase{"WholeCheckList", {"options", "set", "Genres", "1"}, true},
                    UsageCase{"ItemNotABoolean", {"options", "set", "Genres[Rock]", "x"}, true},
                    UsageCase{"NoVerb", {"options"}, true},
                    UsageCase{"UnknownVerb", {"options", "frob"}, true},
                    UsageCase{"GetWithoutName", {"options", "get"}, true},
                    UsageCase{"SetWithoutValue", {"options", "set", "Recursive"}, true},
                    UsageCase{"ListWithArgument", {"options", "list", "x"}, true},
                    UsageCase{"UnknownCommand", {"frobnicate"}, false}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(OptionsCommand, ResetBringsBackTheDefaults) {
    CliRunner cli;
    const QString defaults = cli.Run({"options", "list"}).Out;
    for (const QStringList& set : {QStringList{"Recursive", "0"},
                                   {"ExportPlaylistUsingExtendedM3UFormat", "0"},
                                   {"Genres[Rock]", "1"},
                                   {"Suffixes[(Live)]", "0"},
                                   {"DefFilesPath", "/srv"},
                                   {"ProxyPort", "1"}})
        ASSERT_EQ(cli.Run(QStringList{"options", "set"} + set).ExitCode, 0);
    // State of the main window is not an option and stays.
    TKelmRegistryEnhanced(cli.SettingsFile()).SetMenu("History Lists\\Browse", {"/music"});
    EXPECT_NE(cli.Run({"options", "list"}).Out, defaults);

    const CliRunner::Result reset = cli.Run({"options", "reset"});
    EXPECT_EQ(reset.ExitCode, 0);
    EXPECT_EQ(reset.Err, "");
    EXPECT_EQ(cli.Run({"options", "list"}).Out, defaults);
    EXPECT_TRUE(TKelmRegistryEnhanced(cli.SettingsFile()).KeyExists("History Lists\\Browse"));
}

TEST(OptionsCommand, ReadsWhatTheDesktopProgramStored) {
    CliRunner cli;
    TKelmRegistryEnhanced store(cli.SettingsFile());
    store.SetValue("Options\\MP3tagPath", QStringLiteral("/opt/mp3tag"));
    store.SetValue("Options\\ProxyPort", QStringLiteral("8080"));
    store.SetCheckListBox("Genres", {{"Rock", true}, {"blues", false}});
    const CliRunner::Result r = cli.Run({"options", "list"});
    ASSERT_EQ(r.ExitCode, 0);
    const QStringList lines = r.OutLines();
    EXPECT_TRUE(lines.contains("Mp3tagPath=/opt/mp3tag"));
    EXPECT_TRUE(lines.contains("ProxyPort=8080"));
    // Sorted without regard to case.
    EXPECT_EQ(lines.filter("Genres["), (QStringList{"Genres[blues]=0", "Genres[Rock]=1"}));

    // and writes what the desktop program reads, under the name it knows
    ASSERT_EQ(cli.Run({"options", "set", "mp3TAGpath", "/usr/mp3tag"}).ExitCode, 0);
    EXPECT_EQ(store.GetValueDefault("Options\\Mp3tagPath", {}).toString(), "/usr/mp3tag");
    ASSERT_EQ(cli.Run({"options", "set", "ProxyPort", "3128"}).ExitCode, 0);
    EXPECT_EQ(store.GetValueDefault("Options\\ProxyPort", {}).typeId(), QMetaType::QString);
}

TEST(OptionsCommand, GenreDefaultIsTheDataFolderFileWithoutItsComments) {
    CliRunner cli;
    QDir().mkpath(cli.DataFolder());
    QFile file(cli.DataFolder() + "/MP3Genres.def");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("# Genre names\r\n\r\nRock\r\nacid Jazz\r\n");
    file.close();
    const QStringList lines = cli.Run({"options", "list"}).OutLines();
    EXPECT_EQ(lines.filter("Genres["), (QStringList{"Genres[acid Jazz]=1", "Genres[Rock]=1"}));
    EXPECT_EQ(cli.Run({"options", "get", "Genres[rock]"}).Out, "1\n");
    const CliRunner::Result missing = cli.Run({"options", "get", "Genres[Polka]"});
    EXPECT_EQ(missing.ExitCode, 1);
    EXPECT_EQ(missing.ErrLines().size(), 1);
}

TEST(OptionsCommand, ProxyDefaultsComeFromTheEnvironment) {
    CliRunner cli;
    cli.Environment().insert("http_proxy", "http://proxy.test:3128/");
    EXPECT_EQ(cli.Run({"options", "get", "UseProxyServer"}).Out, "1\n");
    EXPECT_EQ(cli.Run({"options", "get", "ProxyAddress"}).Out, "proxy.test\n");
    EXPECT_EQ(cli.Run({"options", "get", "ProxyPort"}).Out, "3128\n");
    ASSERT_EQ(cli.Run({"options", "set", "UseProxyServer", "0"}).ExitCode, 0);
    EXPECT_EQ(cli.Run({"options", "get", "UseProxyServer"}).Out, "0\n");
}

TEST(OptionsCommand, DamagedStoreIsKeptAsideWithOneWarning) {
    CliRunner cli;
    QDir().mkpath(cli.ConfigFolder());
    QFile file(cli.SettingsFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("{ not json");
    file.close();
    const CliRunner::Result r = cli.Run({"options", "get", "Recursive"});
    EXPECT_EQ(r.ExitCode, 0);
    EXPECT_EQ(r.Out, "1\n");
    ASSERT_EQ(r.ErrLines().size(), 1);
    EXPECT_TRUE(r.ErrLines()[0].startsWith("Warning: ")) << r.Err.toStdString();
    EXPECT_TRUE(r.Err.contains("settings.json.bad"));
    QFile bad(cli.SettingsFile() + ".bad");
    ASSERT_TRUE(bad.open(QIODevice::ReadOnly));
    EXPECT_EQ(bad.readAll(), "{ not json");
    const CliRunner::Result again = cli.Run({"options", "set", "Recursive", "0"});
    EXPECT_EQ(again.ExitCode, 0);
    EXPECT_EQ(again.Err, "");
}

TEST(OptionsCommand, UnwritableStoreFailsWithOneLineAndReadsStillWork) {
    CliRunner cli;
    QDir().mkpath(cli.Home().File("config"));
    QFile blocker(cli.Home().File("config/Tessaly")); // a file where the folder belongs
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const CliRunner::Result set = cli.Run({"options", "set", "Recursive", "0"});
    EXPECT_EQ(set.ExitCode, 1);
    ASSERT_EQ(set.ErrLines().size(), 1);
    EXPECT_TRUE(set.ErrLines()[0].startsWith("Error: ")) << set.Err.toStdString();
    EXPECT_EQ(cli.Run({"options", "reset"}).ExitCode, 1);
    const CliRunner::Result get = cli.Run({"options", "get", "Recursive"});
    EXPECT_EQ(get.ExitCode, 0);
    EXPECT_EQ(get.Out, "1\n");
}

TEST(OptionsCommand, HelpNamesTheCommand) {
    CliRunner cli;
    const CliRunner::Result r = cli.Run({"--help"});
    EXPECT_EQ(r.ExitCode, 0);
    EXPECT_TRUE(r.Out.contains("options list | get NAME | set NAME VALUE | reset"));
}

} // namespace
