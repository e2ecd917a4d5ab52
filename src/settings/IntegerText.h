#pragma once

#include <QString>
#include <optional>

// A 32-bit decimal integer written as text: optional blanks around it, an optional sign, ASCII
// digits. nullopt for anything else, including numbers outside the 32-bit range.
std::optional<qint32> ParseInt32(const QString& text);
