#include "cli/MainListCsv.h"

#include "export/CsvFormat.h"
#include "ui/MainList.h"

QByteArray MainListCsv(const TMainList& list) {
    QStringList header;
    for (const TMainListColumnInfo& column : MainListColumns)
        header.append(QString::fromLatin1(column.Caption));
    QList<QStringList> rows;
    rows.reserve(list.Count());
    for (int i = 0; i < list.Count(); ++i) {
        const auto& cells = list.Row(i).Cells;
        rows.append(QStringList(cells.begin(), cells.end()));
    }
    return CsvFormat::Document(header, rows);
}
