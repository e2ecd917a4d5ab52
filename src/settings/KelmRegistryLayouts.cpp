// The four layouts the store keeps user-interface state in: window placement, column widths,
// check lists and menus of recent entries.
#include "settings/IntegerText.h"
#include "settings/KelmRegistryEnhanced.h"

namespace {

const QString PieceSeparator = QStringLiteral(", ");

QString FormStateText(TFormState state) {
    switch (state) {
    case TFormState::Maximized:
        return QStringLiteral("wsMaximized");
    case TFormState::Normal:
        return QStringLiteral("wsNormal");
    case TFormState::Minimized:
        break;
    }
    return QString();
}

} // namespace

bool TKelmRegistryEnhanced::SetFormInfo(const QString& AValue, const TFormPlacement& AForm) {
    const QStringList pieces = {QString::number(AForm.Height), QString::number(AForm.Left),
                                QString::number(AForm.Top), QString::number(AForm.Width),
                                FormStateText(AForm.State)};
    return SetValue(AValue, pieces.join(PieceSeparator));
}

void TKelmRegistryEnhanced::GetFormInfo(const QString& AValue, TFormPlacement& AForm,
                                        bool CenterDefault, const QSize& screenSize) const {
    const TStoreValue* value = FindValue(AValue);
    const QString* text = value ? std::get_if<QString>(value) : nullptr;
    if (!value || (text && text->isEmpty())) {
        if (CenterDefault) {
            AForm.Left = (screenSize.width() - AForm.Width) / 2;
            AForm.Top = (screenSize.height() - AForm.Height) / 2;
        }
        return;
    }
    if (!text) // a value of another kind is no placement
        return;
    const QStringList pieces = text->split(PieceSeparator, Qt::KeepEmptyParts);
    if (pieces.size() != 5)
        return;
    std::optional<qint32> numbers[4];
    for (int i = 0; i < 4; ++i)
        if (!(numbers[i] = ParseInt32(pieces[i])))
            return;
    AForm.Height = *numbers[0];
    AForm.Left = *numbers[1];
    AForm.Top = *numbers[2];
    AForm.Width = *numbers[3];
    if (pieces[4] == FormStateText(TFormState::Maximized))
        AForm.State = TFormState::Maximized;
    else if (pieces[4] == FormStateText(TFormState::Normal))
        AForm.State = TFormState::Normal;
}

bool TKelmRegistryEnhanced::SetListViewInfo(const QString& AValue,
                                            const QList<int>& AColumnWidths) {
    QStringList pieces;
    for (int width : AColumnWidths)
        pieces.append(QString::number(width));
    return SetValue(AValue, pieces.join(PieceSeparator));
}

void TKelmRegistryEnhanced::GetListViewInfo(const QString& AValue,
                                            QList<int>& AColumnWidths) const {
    const TStoreValue* value = FindValue(AValue);
    const QString* text = value ? std::get_if<QString>(value) : nullptr;
    if (!text || text->isEmpty())
        return;
    const QStringList pieces = text->split(PieceSeparator, Qt::KeepEmptyParts);
    for (qsizetype i = 0; i < pieces.size() && i < AColumnWidths.size(); ++i) {
        // A negative width is no width; the column keeps the one it has.
        const std::optional<qint32> width = ParseInt32(pieces[i]);
        if (width && *width >= 0)
            AColumnWidths[i] = *width;
    }
}

bool TKelmRegistryEnhanced::ImportListViewInfo(const QString& ASubKey, const QString& AValue,
                                               bool DeleteSubKey) {
    TBatch batch(*this);
    if (!KeyExists(ASubKey))
        return true;
    const QString old =
        GetValueDefault(ASubKey + QStringLiteral("\\Columns\\Sizes"), QString()).toString();
    if (DeleteSubKey)
        DeleteKey(ASubKey);
    SetValue(AValue, old.split(u',', Qt::KeepEmptyParts).join(PieceSeparator));
    return batch.Commit();
}

bool TKelmRegistryEnhanced::SetCheckListBox(const QString& ASubKey, const TCheckList& AList) {
    return ReplaceKey(ASubKey, [&](TStoreKey& key) {
        // Value names are the item texts themselves, backslashes and all.
        for (const TCheckListItem& item : AList)
            key.SetValue(item.Text, qint32(item.Checked ? 1 : 0));
    });
}

void TKelmRegistryEnhanced::GetCheckListBox(const QString& ASubKey, TCheckList& AList,
                                            bool CheckAllFirstTime) const {
    const TStoreKey* key = FindKey(SplitPath(ASubKey));
    if (!key) {
        if (CheckAllFirstTime)
            for (TCheckListItem& item : AList)
                item.Checked = true;
        return;
    }
    AList.clear();
    for (const auto& [name, value] : key->Values) {
        const auto* number = std::get_if<qint32>(&value);
        AList.append({name, number && *number != 0});
    }
}

bool TKelmRegistryEnhanced::SetMenu(const QString& ASubKey, const QStringList& AMenu) {
    return ReplaceKey(ASubKey, [&](TStoreKey& key) {
        key.SetValue(QStringLiteral("Count"), qint32(AMenu.size()));
        for (qsizetype i = 0; i < AMenu.size(); ++i)
            key.SetValue(QStringLiteral("Item") + QString::number(i), AMenu[i]);
    });
}

void TKelmRegistryEnhanced::GetMenu(const QString& ASubKey, QStringList& AMenu) const {
    const TStoreKey* key = FindKey(SplitPath(ASubKey));
    if (!key)
        return;
    AMenu.clear();
    const auto* count = [&]() -> const qint32* {
        const TStoreValue* v = key->FindValue(QStringLiteral("Count"));
        return v ? std::get_if<qint32>(v) : nullptr;
    }();
    const int n = count ? qBound(0, int(*count), MaxMenuEntries) : 0;
    for (int i = 0; i < n; ++i) {
        const TStoreValue* item = key->FindValue(QStringLiteral("Item") + QString::number(i));
        const auto* caption = item ? std::get_if<QString>(item) : nullptr;
        AMenu.append(caption ? *caption : QString());
    }
}
