#include "cli/MainListCsv.h"

#include "export/CsvFormat.h"
#include "ui/MainList.h"

#include <functional>

namespace {

// Hands every line of the CSV text, encoded, to write, which returns false to stop.
bool ForEachCsvLine(const TMainList& list, const std::function<bool(const QByteArray&)>& write) {
    QStringList fields;
    for (const TMainListColumnInfo& column : MainListColumns)
        fields.append(QString::fromLatin1(column.Caption));
    if (!write(CsvFormat::Line(fields).toUtf8()))
        return false;
    for (int i = 0; i < list.Count(); ++i) {
        const auto& cells = list.Row(i).Cells;
        fields = QStringList(cells.begin(), cells.end());
        if (!write(CsvFormat::Line(fields).toUtf8()))
            return false;
    }
    return true;
}

} // namespace

QByteArray MainListCsv(const TMainList& list) {
    QByteArray csv;
    ForEachCsvLine(list, [&csv](const QByteArray& line) {
        csv += line;
        return true;
    });
    return csv;
}

bool WriteMainListCsv(const TMainList& list, std::FILE* out) {
    return ForEachCsvLine(list, [out](const QByteArray& line) {
        return std::fwrite(line.constData(), 1, std::size_t(line.size()), out) ==
               std::size_t(line.size());
    });
}
