#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The CSV layout of the exports: every field in double quotes with nothing inside escaped,
// fields joined by commas, every line ended by CR LF, UTF-8 without a byte-order mark.
namespace CsvFormat {

QString Line(const QStringList& fields);
// The header line followed by one line per row, encoded for the file.
QByteArray Document(const QStringList& header, const QList<QStringList>& rows);

} // namespace CsvFormat
