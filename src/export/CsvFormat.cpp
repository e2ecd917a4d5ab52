#include "export/CsvFormat.h"

namespace CsvFormat {

namespace {

// Appends in place: a list of 100,000 rows is over a million fields.
void AppendLine(QString& text, const QStringList& fields) {
    // A single line gets its size at once; a document grows the usual way.
    if (text.isEmpty()) {
        qsizetype size = 2;
        for (const QString& field : fields)
            size += field.size() + 3;
        text.reserve(size);
    }
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            text += u',';
        text += u'"';
        text += fields[i];
        text += u'"';
    }
    text += QLatin1String("\r\n");
}

} // namespace

QString Line(const QStringList& fields) {
    QString line;
    AppendLine(line, fields);
    return line;
}

QByteArray Document(const QStringList& header, const QList<QStringList>& rows) {
    QString text;
    AppendLine(text, header);
    for (const QStringList& row : rows)
        AppendLine(text, row);
    return text.toUtf8();
}

} // namespace CsvFormat
