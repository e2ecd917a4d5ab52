#pragma once

#include <QString>
#include <QStringList>

// The fields of one CSV line as the list, the export and the plan write it: fields may be quoted,
// a doubled quote inside a quoted field stands for one, and a trailing CR is dropped.
QStringList CsvFields(const QString& line);
