#pragma once

#include <QByteArray>
#include <QString>
#include <ostream>

// Readable QString values (and lists of them) in test failures.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

// Bytes as a C string literal would show them, so that CR, LF and UTF-8 stay readable.
inline void PrintTo(const QByteArray& bytes, std::ostream* os) {
    *os << '"';
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\r')
            *os << "\\r";
        else if (c == '\n')
            *os << "\\n";
        else if (c == '"' || c == '\\')
            *os << '\\' << c;
        else if (u < 0x20 || u == 0x7F)
            *os << "\\x"
                << "0123456789ABCDEF"[u >> 4] << "0123456789ABCDEF"[u & 15];
        else
            *os << c;
    }
    *os << '"';
}
