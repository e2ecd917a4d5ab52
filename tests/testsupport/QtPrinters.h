#pragma once

#include <QString>
#include <ostream>

// Readable QString values (and lists of them) in test failures.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
