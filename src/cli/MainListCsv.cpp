#include "cli/MainListCsv.h"

#include "export/CsvFormat.h"
#include "ui/MainList.h"

namespace {

bool WriteLine(const QStringList& fields, std::FILE* out) {
    const QByteArray line = CsvFormat::Line(fields).toUtf8();
    return std::fwrite(line.constData(), 1, std::size_t(line.size()), out) ==
           std::size_t(line.size());
}

} // namespace

bool WriteMainListCsv(const TMainList& list, std::FILE* out) {
    QStringList fields;
    for (const TMainListColumnInfo& column : MainListColumns)
        fields.append(QString::fromLatin1(column.Caption));
    if (!WriteLine(fields, out))
        return false;
    for (int i = 0; i < list.Count(); ++i) {
        const auto& cells = list.Row(i).Cells;
        if (!WriteLine(QStringList(cells.begin(), cells.end()), out))
            return false;
    }
    return true;
}
