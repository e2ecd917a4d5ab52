#pragma once

#include <QString>

// Whether the text is a three-letter ISO 639-2 language code (terminology or bibliographic,
// the local-use range qaa-qtz included), compared ignoring ASCII case. The table is generated
// from Debian's iso-codes package by scripts/gen-language-codes.py.
bool IsISO6392Code(const QString& code);
