#include "MainWindowFixture.h"

#include "settings/OptionPersistence.h"
#include "settings/SettingsPrinters.h"
#include "settings/StoreNames.h"
#include "ui/OptionsDialogState.h"

#include <QDir>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

// A started main window over its own data folder: a genre file with a comment, an update list
// with two entries, and one outside tool on PATH so that its default folder exists.
class OptionsDialog : public MainWindowFixture {
protected:
    TempDir Data;
    TempDir Tools;
    QByteArray SavedPath = qgetenv("PATH");
    TOptionsDialogState& Dialog = State.OptionsDialog();

    OptionsDialog() {
        Data.Write("MP3Genres.def", "# genres\r\nRock\r\nblues\r\nAmbient\r\n");
        Data.Write("Quenlor.def", "Genres\thttps://example.org/g.def|MP3Genres.def\r\n"
                                  "Artists\t/mnt/share/a.def\r\n");
        QFile tool(Tools.Write("mp3val", "#!/bin/sh\n"));
        tool.setPermissions(tool.permissions() | QFile::ExeOwner);
        qputenv("PATH", Tools.Path().toUtf8() + ':' + SavedPath);
        State.Store().SetValue(StoreNames::DefFilesPath, Data.Path());
        State.Startup();
    }
    ~OptionsDialog() override { qputenv("PATH", SavedPath); }

    // A row whose Genre cell reads as given.
    void AddRow(const QString& genre) {
        auto data = std::make_unique<TMP3FileData>();
        std::array<QString, MainListColumnCount> cells;
        cells[mcGenre] = genre;
        State.MainList().Append(data.get(), cells);
        State.Catalogue().push_back(std::move(data));
    }

    bool Refreshed() const { return Ui.StatusTexts.contains("Refreshing files"); }
};

// Every value of the set changed, so that a page command shows what it touches.
TOptionSet EveryValueChanged(TOptionSet o) {
    for (const TOptionDescriptor& d : OptionDescriptors())
        std::visit(
            [&](auto member) {
                auto& value = o.*member;
                using T = std::decay_t<decltype(value)>;
                if constexpr (std::is_same_v<T, bool>)
                    value = !value;
                else if constexpr (std::is_same_v<T, int>)
                    value = value == d.Minimum ? d.Maximum : d.Minimum;
                else
                    value = u"/changed/"_s + QString::fromLatin1(d.Name);
            },
            d.Member);
    o.UseProxyServer = true;
    o.ProxyPort = "8080";
    o.Genres = {{"Jazz", false}};
    o.Suffixes = {{"(Edit)", false}};
    o.UpdateDataFiles = {{"Old", false}};
    return o;
}

TEST_F(OptionsDialog, EachDefaultChangesOnlyWhatItsPageNames) {
    const struct {
        TOptionsPage Page;
        std::function<void(TOptionSet&)> Expected;
    } cases[] = {
        {TOptionsPage::Preferences, [](TOptionSet& o) { o.RecentlyUsedFileList = 5; }},
        {TOptionsPage::Advanced, [](TOptionSet& o) { o.MaxSearchDepth = 8; }},
        {TOptionsPage::Integration, [](TOptionSet&) {}},
        {TOptionsPage::MP3Name, [](TOptionSet& o) { o.MP3NameComputing = nmMixed; }},
        // The genre file's values: its comment is no genre.
        {TOptionsPage::Genres,
         [](TOptionSet& o) {
             o.Genres = {{"Ambient", true}, {"blues", true}, {"Rock", true}};
         }},
        {TOptionsPage::Suffixes,
         [](TOptionSet& o) {
             o.Suffixes = {{"(Acoustic)", true}, {"(Demo)", true},       {"(Instrumental)", true},
                           {"(Live)", true},     {"(Reimagined)", true}, {"(Remix)", true}};
         }},
        {TOptionsPage::UpdateDataFiles,
         [](TOptionSet& o) {
             o.UpdateDataFiles = {{"Artists", true}, {"Genres", true}};
         }},
        {TOptionsPage::Update,
         [](TOptionSet& o) {
             o.UseProxyServer = false;
             o.ProxyAddress = "";
             o.ProxyPort = "80";
         }},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(Dialog.Open());
        Dialog.Values() = EveryValueChanged(State.Options());
        TOptionSet expected = Dialog.Values();
        c.Expected(expected);
        EXPECT_EQ(TOptionsDialogState::HasDefault(c.Page), c.Page != TOptionsPage::Integration);
        Dialog.Default(c.Page);
        EXPECT_EQ(Dialog.Values(), expected) << int(c.Page);
        Dialog.Cancel();
    }
    EXPECT_FALSE(Dialog.OptionEnabled("ProxyPort"));
}

TEST_F(OptionsDialog, CancelDiscardsEveryChangePageCommandsIncluded) {
    State.Options().Genres = {{"Jazz", true}};
    ASSERT_TRUE(SaveOptionsToRegistry(State.Store(), State.Options()));
    const TOptionSet before = State.Options();
    const QByteArray storeBefore = Home.Read("config/settings.json");

    ASSERT_TRUE(Dialog.Open());
    EXPECT_EQ(Dialog.Values(), before);
    Dialog.Default(TOptionsPage::Genres);
    Dialog.Default(TOptionsPage::Suffixes);
    Dialog.SetAllChecked(&TOptionSet::UpdateDataFiles, false);
    Dialog.Values().MP3valPath = "/elsewhere";
    Dialog.Values().MP3NameComputing = nmCompact;
    // Nothing reaches the program or the store before OK.
    EXPECT_EQ(State.Options(), before);
    Dialog.Cancel();

    EXPECT_EQ(State.Options(), before);
    EXPECT_EQ(Dialog.Values(), before);
    EXPECT_EQ(Home.Read("config/settings.json"), storeBefore);
    EXPECT_FALSE(Refreshed());
}

TEST_F(OptionsDialog, ConfirmAppliesSavesAndRefreshesOnlyWhenTheNamingModeChanged) {
    Music.Write("a.mp3",
                Mp3Fixture().Text("TPE1", "Band").Text("TIT2", "Song").Text("TRCK", "1").Bytes());
    State.BrowseMP3Folder(Music.Path());
    ASSERT_EQ(State.MainList().Count(), 1);
    ASSERT_EQ(State.Options().MP3NameComputing, nmMixed);
    const QString mixedName = State.MainList().Cell(0, mcComputedName);

    ASSERT_TRUE(Dialog.Open());
    Dialog.Values().RecentlyUsedFileList = 7;
    Dialog.Confirm();
    EXPECT_FALSE(Refreshed());
    EXPECT_EQ(State.Options().RecentlyUsedFileList, 7);
    EXPECT_EQ(State.Store().GetValueDefault("Options\\RecentlyUsedFileList", 0).toInt(), 7);

    ASSERT_TRUE(Dialog.Open());
    Dialog.Values().MP3NameComputing = nmCompact;
    Dialog.Confirm();
    EXPECT_TRUE(Refreshed());
    EXPECT_NE(State.MainList().Cell(0, mcComputedName), mixedName);
    EXPECT_EQ(State.MainList().Cell(0, mcComputedName), "Band-Song.mp3");
    EXPECT_EQ(State.Store().GetValueDefault("Options\\MP3NameComputing", 3).toInt(), 0);
    EXPECT_TRUE(Ui.Messages.isEmpty());
}

TEST_F(OptionsDialog, AppliedOptionsReachTheToolCommandsAndTheHistories) {
    Song("a.mp3");
    Song("sub/b.mp3");
    State.BrowseMP3Folder(Music.Path());
    State.Options().MP3valPath = Home.Path();
    State.ApplyOptions();
    EXPECT_FALSE(State.CommandEnabled(TCommand::MP3val));

    ASSERT_TRUE(Dialog.Open());
    Dialog.Values().MP3valPath = Tools.Path();
    Dialog.Values().RecentlyUsedFileList = 1;
    Dialog.Confirm();
    EXPECT_TRUE(State.CommandEnabled(TCommand::MP3val));

    State.BrowseMP3Folder(Music.File("sub"));
    State.BrowseMP3Folder(Music.Path());
    EXPECT_EQ(State.BrowseHistory(), QStringList{Music.Path()});
}

TEST_F(OptionsDialog, ASaveThatFailsIsReported) {
    // A folder where the settings file should be: the store cannot replace it.
    ASSERT_TRUE(QFile::remove(Home.File("config/settings.json")));
    ASSERT_TRUE(QDir().mkpath(Home.File("config/settings.json")));
    ASSERT_TRUE(Dialog.Open());
    Dialog.Values().Recursive = false;
    Dialog.Confirm();
    EXPECT_FALSE(State.Options().Recursive);
    ASSERT_EQ(Ui.Texts(ScriptedUiPort::Kind::Warning).size(), 1);
    EXPECT_TRUE(Ui.Texts(ScriptedUiPort::Kind::Warning)[0].startsWith("The options could not"));
}

TEST_F(OptionsDialog, EditorMarksAndAnEmptyItemThatTheStoreKeeps) {
    ASSERT_TRUE(Dialog.Open());
    EXPECT_EQ(TOptionsDialogState::EditorTitle(&TOptionSet::Genres), "Genres Editor");
    EXPECT_EQ(TOptionsDialogState::EditorTitle(&TOptionSet::Suffixes), "Suffixes Editor");
    Dialog.Values().Genres = {{"Ambient", false}, {"Rock", true}};
    EXPECT_EQ(Dialog.EditorText(&TOptionSet::Genres), u"Ambient\n√Rock\n"_s);

    Dialog.SetEditorText(&TOptionSet::Genres, u"√√Rock\n √Rock\n\n√Pop\n"_s);
    const TCheckList edited = {
        {"", false}, {u" √Rock"_s, false}, {"Pop", true}, {u"√Rock"_s, true}};
    EXPECT_EQ(Dialog.Values().Genres, edited);
    Dialog.Confirm();

    EXPECT_EQ(State.ReadOptionsFromStore().Genres, edited);
}

TEST_F(OptionsDialog, LearnFromDataFileKeepsTheFirstSpellingOfEachGenre) {
    for (const char* genre : {"Rock", "rock", "", "Ambient", "ROCK"})
        AddRow(genre);
    ASSERT_TRUE(Dialog.Open());
    Dialog.Values().Genres = {{"Jazz", false}};
    Dialog.LearnFromDataFile();
    EXPECT_EQ(Dialog.Values().Genres, TCheckList({{"Ambient", true}, {"Rock", true}}));
}

TEST_F(OptionsDialog, CheckAllUncheckAllAndTheUpdateListMenu) {
    ASSERT_TRUE(Dialog.Open());
    const TCheckList loaded = {{"Artists", true}, {"Genres", true}};
    ASSERT_EQ(Dialog.Values().UpdateDataFiles, loaded);
    using M = TUpdateDataFilesMenuState;
    EXPECT_EQ(Dialog.UpdateDataFilesMenu(-1), (M{false, false, true}));
    EXPECT_EQ(Dialog.UpdateDataFilesMenu(1), (M{true, false, true}));
    Dialog.Values().UpdateDataFiles[0].Checked = false;
    EXPECT_EQ(Dialog.UpdateDataFilesMenu(0), (M{true, true, true}));
    Dialog.SetAllChecked(&TOptionSet::UpdateDataFiles, false);
    EXPECT_EQ(Dialog.UpdateDataFilesMenu(2), (M{false, true, false}));
    Dialog.SetAllChecked(&TOptionSet::Suffixes, false);
    for (const TCheckListItem& item : Dialog.Values().Suffixes)
        EXPECT_FALSE(item.Checked);

    EXPECT_EQ(Dialog.UpdateDataFileSource(0), "/mnt/share/a.def");
    EXPECT_EQ(Dialog.UpdateDataFileSource(1), "https://example.org/g.def");
    EXPECT_EQ(Dialog.UpdateDataFileSource(-1), "");
    EXPECT_EQ(Dialog.UpdateDataFileSource(2), "");
    Dialog.Values().UpdateDataFiles.clear();
    EXPECT_EQ(Dialog.UpdateDataFilesMenu(-1), (M{false, false, false}));
}

TEST_F(OptionsDialog, SystemProxyButton) {
    ASSERT_TRUE(Dialog.Open());
    QProcessEnvironment env;
    env.insert("http_proxy", "http://user:pw@proxy.lan:3128/");
    Dialog.UseSystemProxy(env);
    EXPECT_TRUE(Dialog.Values().UseProxyServer);
    EXPECT_EQ(Dialog.Values().ProxyAddress, "proxy.lan");
    EXPECT_EQ(Dialog.Values().ProxyPort, "3128");
    EXPECT_TRUE(Dialog.OptionEnabled("ProxyAddress"));

    Dialog.UseSystemProxy(QProcessEnvironment());
    EXPECT_FALSE(Dialog.Values().UseProxyServer);
    EXPECT_EQ(Dialog.Values().ProxyAddress, "");
    EXPECT_EQ(Dialog.Values().ProxyPort, "80");
    EXPECT_FALSE(Dialog.OptionEnabled("ProxyPort"));
}

TEST_F(OptionsDialog, FolderPickerStartsAtTheFieldOrAnExistingDefault) {
    ASSERT_TRUE(Dialog.Open());
    ASSERT_EQ(State.OptionDefaults().MP3valFolder, Tools.Path());
    const QString gone = Home.File("no such folder");
    Dialog.Values().Mp3tagPath = "";
    const struct {
        QString TOptionSet::*Field;
        QString Text;
        QString Picked;
        QString ExpectedStart;
        QString ExpectedText;
    } cases[] = {
        {&TOptionSet::MP3valPath, Music.Path(), Home.Path(), Music.Path(), Home.Path()},
        {&TOptionSet::MP3valPath, "", Music.Path(), Tools.Path(), Music.Path()},
        {&TOptionSet::MP3valPath, "", "", Tools.Path(), ""},
        {&TOptionSet::MusicLibraryHomePath, gone, "", gone, gone},
    };
    for (const auto& c : cases) {
        Dialog.Values().*c.Field = c.Text;
        Ui.PickerResults.enqueue({c.Picked});
        Ui.PickerStartFolders.clear();
        Dialog.BrowseFolder(c.Field, "Folder");
        EXPECT_EQ(Ui.PickerStartFolders, QStringList{c.ExpectedStart}) << c.Text.toStdString();
        EXPECT_EQ(Dialog.Values().*c.Field, c.ExpectedText) << c.Text.toStdString();
    }
    // A default folder that does not exist is not where the picker starts.
    if (!QFileInfo(State.OptionDefaults().Mp3tagFolder).isDir()) {
        Ui.PickerStartFolders.clear();
        Dialog.BrowseFolder(&TOptionSet::Mp3tagPath, "Folder");
        EXPECT_EQ(Ui.PickerStartFolders, QStringList{""});
    }
}

TEST_F(OptionsDialog, EnablingRulesFollowTheirCheckBoxes) {
    ASSERT_TRUE(Dialog.Open());
    TOptionSet& v = Dialog.Values();
    for (bool on : {true, false}) {
        v.LimitSearchDepth = on;
        v.UseProxyServer = on;
        v.UseMP3GainUserInterface = on;
        EXPECT_EQ(Dialog.OptionEnabled("MaxSearchDepth"), on);
        EXPECT_EQ(Dialog.OptionEnabled("ProxyAddress"), on);
        EXPECT_EQ(Dialog.OptionEnabled("ProxyPort"), on);
        EXPECT_EQ(Dialog.OptionEnabled("MP3GainDefaultVolume"), !on);
        for (const TOptionDescriptor& d : OptionDescriptors()) {
            const QString name = QString::fromLatin1(d.Name);
            if (name != "MaxSearchDepth" && name != "ProxyAddress" && name != "ProxyPort" &&
                name != "MP3GainDefaultVolume") {
                EXPECT_TRUE(Dialog.OptionEnabled(name)) << d.Name;
            }
        }
    }
}

TEST_F(OptionsDialog, NoOptionsWhileABrowseRuns) {
    Song("a.mp3");
    bool opened = true;
    Ui.OnPendingEvents = [&] { opened = opened && Dialog.Open(); };
    State.BrowseMP3Folder(Music.Path());
    EXPECT_FALSE(opened);
    EXPECT_TRUE(Dialog.Open());
}

} // namespace
