#pragma once

#include "settings/OptionSet.h"

#include <QProcessEnvironment>
#include <QString>

class TMainWindowState;

// The pages of the options dialog, in order.
enum class TOptionsPage {
    Preferences,
    Advanced,
    Integration,
    MP3Name,
    Genres,
    Suffixes,
    UpdateDataFiles,
    Update,
    Count
};

// The context menu of the Update Data Files list as it opens.
struct TUpdateDataFilesMenuState {
    bool Browse = false;
    bool CheckAll = false;
    bool UncheckAll = false;
    bool operator==(const TUpdateDataFilesMenuState&) const = default;
};

// The options dialog without pixels: the values it shows, its enabling rules and page commands,
// and the Options command that opens it and applies, saves or discards what was changed. The
// dialog edits its own copy, so nothing reaches the rest of the program before OK.
class TOptionsDialogState {
public:
    explicit TOptionsDialogState(TMainWindowState& state);

    TOptionSet& Values() { return FValues; }
    const TOptionSet& Values() const { return FValues; }

    // The Options command, before the dialog shows: the current options become the dialog's
    // values and the naming mode is remembered. False while a long operation runs: a changed
    // naming mode would refresh rows under it.
    bool Open();
    // OK: the values are applied, then saved; a changed naming mode refreshes every row.
    void Confirm();
    // Cancel or close: the options are loaded again from the store and applied, which discards
    // every change made since Open, page commands included.
    void Cancel();

    // Whether the control of a single-valued option (by its name) is enabled for the values
    // shown: MaxSearchDepth with LimitSearchDepth, the proxy address and port with
    // UseProxyServer, MP3GainDefaultVolume without UseMP3GainUserInterface; the rest always.
    bool OptionEnabled(const QString& optionName) const;
    // selectedIndex: the selected item of the list, -1 for none.
    TUpdateDataFilesMenuState UpdateDataFilesMenu(int selectedIndex) const;

    // Page commands. Integration has no "Default".
    static bool HasDefault(TOptionsPage page) { return page != TOptionsPage::Integration; }
    void Default(TOptionsPage page);
    // "Check All" and "Uncheck All" of a check list's context menu.
    void SetAllChecked(TCheckList TOptionSet::*list, bool checked);
    // Genres: the list becomes every different Genre cell of the main list, first one met wins,
    // all checked.
    void LearnFromDataFile();
    // "IE": the proxy setting of the desktop session for plain HTTP.
    void UseSystemProxy(const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment());
    // The source of an Update Data Files item: its update-list data before the first "|";
    // empty for no item.
    QString UpdateDataFileSource(int index) const;
    // A folder field's browse button: the picker starts at the field's text, else at the
    // option's default folder when that exists; a cancelled picker leaves the field as it was.
    void BrowseFolder(QString TOptionSet::*field, const QString& caption);

    // The string list editor over the Genres or the Suffixes list.
    static QString EditorTitle(TCheckList TOptionSet::*list);
    QString EditorText(TCheckList TOptionSet::*list) const;
    void SetEditorText(TCheckList TOptionSet::*list, const QString& text);

private:
    TMainWindowState& FState;
    TOptionSet FValues;
    int FRememberedMP3NameComputing = 0;
};
