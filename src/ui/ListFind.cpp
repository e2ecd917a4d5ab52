#include "ui/ListFind.h"

#include "support/UiPort.h"
#include "ui/AccentFolding.h"

QString NormaliseFindText(const QString& text, TKelmFindOptions options) {
    QString normal = options.testFlag(foIgnoreAccentedChars) ? FoldAccents(text) : text;
    if (!options.testFlag(foCaseSensitive))
        normal = normal.toLower();
    return normal;
}

void TKelmListFind::Find() {
    NewSearch(QString(), true);
}

void TKelmListFind::FindText(const QString& AString) {
    NewSearch(AString, false);
    FindNext();
}

void TKelmListFind::FindNext() {
    if (FFindDialog && !FFindDialog->Text.isEmpty())
        Search();
}

void TKelmListFind::FindRefresh() {
    FFindStartPos = std::max(FRows.SelectedRow(), 0);
}

void TKelmListFind::FindDialogFind(const QString& text) {
    if (!FFindDialog)
        return;
    FFindDialog->Text = text;
    FindNext();
}

void TKelmListFind::FindDialogClosed() {
    if (FFindDialog && FFindDialog->Visible) {
        FFindDialog->Visible = false;
        DialogChanged();
    }
}

void TKelmListFind::NewSearch(const QString& text, bool visible) {
    FFindStartPos = 0;
    FFindOldStartPos = -1;
    FFindDialog = TKelmFindDialog{text, visible};
    DialogChanged();
}

void TKelmListFind::Search() {
    const QString findText = FFindDialog->Text;
    const QString normalised = NormaliseFindText(findText, FFindOptions);
    int hit = -1;
    for (int i = std::max(FFindStartPos, 0); i < FRows.RowCount() && hit < 0; ++i)
        if (RowMatches(i, findText, normalised))
            hit = i;
    FindDialogClosed();

    const QString caption = QStringLiteral("Search Results");
    if (hit >= 0) {
        FRows.SelectOnly(hit);
        if (OnFindHit)
            OnFindHit(hit);
        FFindStartPos = hit + 1;
        FFindOldStartPos = hit + 1;
    } else if (FFindOldStartPos < 0) {
        FFindStartPos = 0;
        FFindOldStartPos = -1;
        FUi.ShowMessage(UiPort::MessageKind::Information,
                        QStringLiteral("Search string \"%1\" not found.").arg(findText), caption);
    } else {
        // Both positions stay, so F3 keeps saying so until a click or a new find moves the start.
        FUi.ShowMessage(UiPort::MessageKind::Information,
                        QStringLiteral("No more instances of \"%1\" found.").arg(findText),
                        caption);
    }
    if (OnFocusList)
        OnFocusList();
}

bool TKelmListFind::RowMatches(int row, const QString& findText, const QString& normalised) const {
    if (OnCustomFind) {
        bool res = false;
        bool handled = false;
        OnCustomFind(row, findText, res, handled);
        if (handled)
            return res;
    }
    for (int column = 0; column < FRows.ColumnCount(); ++column)
        if (NormaliseFindText(FRows.CellText(row, column), FFindOptions).contains(normalised))
            return true;
    return false;
}

void TKelmListFind::DialogChanged() {
    if (OnFindDialogChanged)
        OnFindDialogChanged();
}
