#pragma once

#include "ui/ListRows.h"

#include <QFlags>
#include <QString>
#include <functional>
#include <optional>

class UiPort;

enum TKelmFindOption { foCaseSensitive = 0x1, foIgnoreAccentedChars = 0x2 };
Q_DECLARE_FLAGS(TKelmFindOptions, TKelmFindOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TKelmFindOptions)

// The form in which the find text and the cells are compared: accents folded when the
// options ignore them, then lower-cased unless the search is case-sensitive.
QString NormaliseFindText(const QString& text, TKelmFindOptions options);

// The find dialog as the list keeps it: its text, and whether it is on screen. It has no
// match-case, whole-word or direction choices. The window shows it without blocking itself.
struct TKelmFindDialog {
    QString Text;
    bool Visible = false;
};

// A list's own match test: sets Res and Handled; the built-in match decides when Handled
// stays false.
using TKelmOnCustomFind =
    std::function<void(int Item, const QString& FindText, bool& Res, bool& Handled)>;

// The find of a list: a search from a start row to the last row that selects the first
// matching row and reports the end of the search in a message.
class TKelmListFind {
public:
    TKelmListFind(TKelmListRows& rows, UiPort& ui) : FRows(rows), FUi(ui) {}

    TKelmFindOptions FindOptions() const { return FFindOptions; }
    void SetFindOptions(TKelmFindOptions options) { FFindOptions = options; }

    // A new search from the first row, with a new, empty dialog on screen.
    void Find();
    // A new search from the first row for AString, without showing the dialog; runs at once.
    void FindText(const QString& AString);
    // The search again from where the last one left off (F3); nothing without a find text.
    void FindNext();
    // The next search starts at the selected row (after a click on the list).
    void FindRefresh();

    // The dialog's side: its find button (with the text it holds), and its closing.
    const std::optional<TKelmFindDialog>& FindDialog() const { return FFindDialog; }
    void FindDialogFind(const QString& text);
    void FindDialogClosed();

    int FindStartPos() const { return FFindStartPos; }
    int FindOldStartPos() const { return FFindOldStartPos; }

    // Runs after a hit has made row the only selected row: the window focuses the row,
    // scrolls it into view and runs the list's click handling.
    std::function<void(int row)> OnFindHit;
    // Runs at the end of every search: the list takes the focus back.
    std::function<void()> OnFocusList;
    // Runs whenever the dialog is created, replaced, shown or closed.
    std::function<void()> OnFindDialogChanged;
    TKelmOnCustomFind OnCustomFind;

private:
    void NewSearch(const QString& text, bool visible);
    void Search();
    bool RowMatches(int row, const QString& findText, const QString& normalised) const;
    void DialogChanged();

    TKelmListRows& FRows;
    UiPort& FUi;
    TKelmFindOptions FFindOptions = foIgnoreAccentedChars;
    std::optional<TKelmFindDialog> FFindDialog;
    int FFindStartPos = 0;
    int FFindOldStartPos = -1;
};
