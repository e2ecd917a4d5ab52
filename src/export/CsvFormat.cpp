#include "export/CsvFormat.h"

namespace CsvFormat {

QString Line(const QStringList& fields) {
    QString line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += u',';
        line += u'"' + fields[i] + u'"';
    }
    return line + QStringLiteral("\r\n");
}

QByteArray Document(const QStringList& header, const QList<QStringList>& rows) {
    QString text = Line(header);
    for (const QStringList& row : rows)
        text += Line(row);
    return text.toUtf8();
}

} // namespace CsvFormat
