#include "ui/OptionsDialogState.h"

#include "net/SystemProxy.h"
#include "settings/CheckListText.h"
#include "settings/OptionPersistence.h"
#include "ui/MainWindowState.h"

#include <QFileInfo>

namespace {

TCheckList AllChecked(const QStringList& texts) {
    TCheckList list;
    for (const QString& text : texts)
        list.append({text, true});
    SortCheckList(list);
    return list;
}

// The Suffixes page's "Default" list; a first run starts with another one.
QStringList SuffixesPageDefault() {
    return {QStringLiteral("(Acoustic)"),     QStringLiteral("(Demo)"),
            QStringLiteral("(Instrumental)"), QStringLiteral("(Live)"),
            QStringLiteral("(Reimagined)"),   QStringLiteral("(Remix)")};
}

} // namespace

TOptionsDialogState::TOptionsDialogState(TMainWindowState& state)
    : FState(state), FValues(state.Options()) {}

bool TOptionsDialogState::Open() {
    if (!FState.CanChangeList())
        return false;
    FValues = FState.Options();
    FRememberedMP3NameComputing = FValues.MP3NameComputing;
    return true;
}

void TOptionsDialogState::Confirm() {
    FState.Options() = FValues;
    FState.ApplyOptions();
    // The store says nothing when its file cannot be written; the person would only find out
    // at the next start that the options were lost.
    if (!SaveOptionsToRegistry(FState.Store(), FValues))
        FState.Ui().ShowMessage(
            UiPort::MessageKind::Warning,
            QStringLiteral("The options could not be saved to \"%1\". They apply until the "
                           "program ends.")
                .arg(FState.Store().FileName()));
    if (FValues.MP3NameComputing != FRememberedMP3NameComputing)
        FState.RefreshToolButtonClick();
}

void TOptionsDialogState::Cancel() {
    FState.LoadAndApplyOptions();
    FValues = FState.Options();
}

bool TOptionsDialogState::OptionEnabled(const QString& optionName) const {
    if (optionName == u"MaxSearchDepth")
        return FValues.LimitSearchDepth;
    if (optionName == u"ProxyAddress" || optionName == u"ProxyPort")
        return FValues.UseProxyServer;
    if (optionName == u"MP3GainDefaultVolume")
        return !FValues.UseMP3GainUserInterface;
    return true;
}

TUpdateDataFilesMenuState TOptionsDialogState::UpdateDataFilesMenu(int selectedIndex) const {
    TUpdateDataFilesMenuState menu;
    menu.Browse = selectedIndex >= 0 && selectedIndex < FValues.UpdateDataFiles.size();
    for (const TCheckListItem& item : FValues.UpdateDataFiles) {
        menu.CheckAll = menu.CheckAll || !item.Checked;
        menu.UncheckAll = menu.UncheckAll || item.Checked;
    }
    return menu;
}

void TOptionsDialogState::Default(TOptionsPage page) {
    switch (page) {
    case TOptionsPage::Preferences:
        FValues.RecentlyUsedFileList = 5;
        break;
    case TOptionsPage::Advanced:
        FValues.MaxSearchDepth = 8;
        break;
    case TOptionsPage::Integration:
    case TOptionsPage::Count:
        break;
    case TOptionsPage::MP3Name:
        FValues.MP3NameComputing = nmMixed;
        break;
    case TOptionsPage::Genres:
        FValues.Genres = AllChecked(FState.ReferenceData().GenreNames());
        break;
    case TOptionsPage::Suffixes:
        FValues.Suffixes = AllChecked(SuffixesPageDefault());
        break;
    case TOptionsPage::UpdateDataFiles:
        FValues.UpdateDataFiles = AllChecked(FState.UpdateDataFilesKelmFlatFile().Values());
        break;
    case TOptionsPage::Update:
        FValues.UseProxyServer = false;
        FValues.ProxyAddress.clear();
        FValues.ProxyPort = QStringLiteral("80");
        break;
    }
}

void TOptionsDialogState::SetAllChecked(TCheckList TOptionSet::*list, bool checked) {
    for (TCheckListItem& item : FValues.*list)
        item.Checked = checked;
}

void TOptionsDialogState::LearnFromDataFile() {
    QStringList genres;
    const TMainList& rows = FState.MainList();
    for (int row = 0; row < rows.Count(); ++row) {
        const QString& genre = rows.Cell(row, mcGenre);
        if (!genre.isEmpty() && !genres.contains(genre, Qt::CaseInsensitive))
            genres.append(genre);
    }
    FValues.Genres = AllChecked(genres);
}

void TOptionsDialogState::UseSystemProxy(const QProcessEnvironment& env) {
    const std::optional<TSystemProxy> proxy = GetSystemProxy(QStringLiteral("http"), env);
    FValues.UseProxyServer = proxy && proxy->UseProxy;
    FValues.ProxyAddress = proxy ? proxy->Address : QString();
    FValues.ProxyPort = proxy ? QString::number(proxy->Port) : QStringLiteral("80");
}

QString TOptionsDialogState::UpdateDataFileSource(int index) const {
    if (index < 0 || index >= FValues.UpdateDataFiles.size())
        return {};
    const QString data =
        FState.UpdateDataFilesKelmFlatFile().GetValueData(FValues.UpdateDataFiles[index].Text);
    return data.section(u'|', 0, 0);
}

void TOptionsDialogState::BrowseFolder(QString TOptionSet::*field, const QString& caption) {
    QString start = FValues.*field;
    if (start.isEmpty()) {
        const QString defaultFolder = TOptionSet::Defaults(FState.OptionDefaults()).*field;
        if (!defaultFolder.isEmpty() && QFileInfo(defaultFolder).isDir())
            start = defaultFolder;
    }
    const QString picked = FState.Ui().PickFolder(caption, start);
    if (!picked.isEmpty())
        FValues.*field = picked;
}

QString TOptionsDialogState::EditorTitle(TCheckList TOptionSet::*list) {
    return list == &TOptionSet::Genres ? QStringLiteral("Genres Editor")
                                       : QStringLiteral("Suffixes Editor");
}

QString TOptionsDialogState::EditorText(TCheckList TOptionSet::*list) const {
    return CheckListText::Format(FValues.*list);
}

void TOptionsDialogState::SetEditorText(TCheckList TOptionSet::*list, const QString& text) {
    FValues.*list = CheckListText::Parse(text);
}
