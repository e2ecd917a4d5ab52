#include "settings/CheckListText.h"

#include <QStringList>

namespace CheckListText {

QString Format(const TCheckList& list) {
    QString text;
    for (const TCheckListItem& item : list) {
        if (item.Checked)
            text += CheckMark;
        text += item.Text;
        text += u'\n';
    }
    return text;
}

TCheckList Parse(const QString& text) {
    QString normalized = text;
    normalized.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    QStringList lines = normalized.split(u'\n');
    // An empty text has no line, and the break that ends the last line starts none.
    if (lines.last().isEmpty())
        lines.removeLast();
    TCheckList list;
    for (const QString& line : lines) {
        if (line.startsWith(CheckMark))
            list.append({line.mid(1), true});
        else
            list.append({line, false});
    }
    SortCheckList(list);
    return list;
}

} // namespace CheckListText
