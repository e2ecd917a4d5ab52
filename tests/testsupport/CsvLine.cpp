#include "testsupport/CsvLine.h"

QStringList CsvFields(const QString& line) {
    QStringList fields;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (quoted && c == u'"' && i + 1 < line.size() && line[i + 1] == u'"') {
            field += c;
            ++i;
        } else if (c == u'"') {
            quoted = !quoted;
        } else if (c == u',' && !quoted) {
            fields.append(field);
            field.clear();
        } else if (c != u'\r') {
            field += c;
        }
    }
    fields.append(field);
    return fields;
}
