#include "ui/MainListCsv.h"

#include "export/CsvFormat.h"
#include "ui/MainList.h"

int WriteMainListCsv(const TMainList& list, const TCsvLineSink& sink,
                     const std::function<bool()>& beforeRow) {
    QStringList fields;
    for (const TMainListColumnInfo& column : MainListColumns)
        fields.append(QString::fromLatin1(column.Caption));
    if (!sink(CsvFormat::Line(fields).toUtf8()))
        return -1;
    int written = 0;
    for (; written < list.Count(); ++written) {
        if (beforeRow && !beforeRow())
            break;
        const auto& cells = list.Row(written).Cells;
        if (!sink(CsvFormat::Line(QStringList(cells.begin(), cells.end())).toUtf8()))
            return -1;
    }
    return written;
}
