#pragma once

#include "ui/OptionsDialogState.h"

#include <QDialog>
#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

class QButtonGroup;
class QListWidget;
class QMenu;
class QTabWidget;
class QVBoxLayout;
class StringListEditor;

// The "Options" dialog: eight pages over the options dialog state. It shows the state's values
// and enabling rules and forwards every edit and page command to it; made once and reused.
class OptionsDialog : public QDialog {
    Q_OBJECT
public:
    OptionsDialog(TOptionsDialogState& state, QWidget* parent = nullptr);

    // The Options command: shows the first page modally, then applies and saves (OK) or
    // discards (Cancel, closing) what was changed. False when it did not open or was cancelled.
    bool Execute();

    QTabWidget* Pages() const { return FPages; }
    StringListEditor* Editor() const { return FEditor; }
    // A check list's context menu as it opens now.
    QMenu* ContextMenu(TCheckList TOptionSet::*list);
    // Opens an update-list source with the desktop's handler; tests look instead.
    std::function<void(const QString&)> OpenSource;

private:
    // A page's single-valued controls, each bound to its option by name.
    enum class TField { CheckBox, Number, NumberWithArrows, Text, Digits, Folder };
    struct TFieldSpec {
        TField Kind;
        const char* Option;
        const char* Caption;
    };
    QWidget* FieldPage(std::initializer_list<TFieldSpec> fields,
                       const std::vector<QWidget*>& buttons);
    void AddField(QVBoxLayout* layout, const TFieldSpec& spec);
    QWidget* BrowseButton(QString TOptionSet::*field, const QString& option, QString caption);
    QWidget* MP3NamePage();
    QWidget* CheckListPage(TCheckList TOptionSet::*list, TOptionsPage page);
    void AddPageButtons(QVBoxLayout* layout, const std::vector<QWidget*>& buttons);
    QWidget* DefaultButton(TOptionsPage page);
    QWidget* Button(const char* caption, const char* name, const std::function<void()>& onClick);

    // Puts every value of the state into the controls, then the enabling rules.
    void ShowValues();
    void ShowEnabling();
    // A value changed in a control reaches the state, unless the control is being filled.
    void Changed(const std::function<void(TOptionSet&)>& change);
    void EditList(TCheckList TOptionSet::*list);
    int SelectedUpdateDataFile() const;
    void OpenSelectedSource();

    TOptionsDialogState& FState;
    QTabWidget* FPages;
    StringListEditor* FEditor;
    std::vector<std::function<void()>> FShowers;
    QListWidget* FUpdateDataFiles = nullptr;
    // Every single-valued control with its option, for the enabling rules.
    std::vector<std::pair<QWidget*, QString>> FEnabling;
    QButtonGroup* FNaming = nullptr;
    bool FShowing = false;
};
