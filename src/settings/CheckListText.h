#pragma once

#include "settings/OptionSet.h"

#include <QString>

// The string list editor shows a check list as plain text, one line per item: a checked item
// is "√" followed by its text, an unchecked item its text alone.
namespace CheckListText {

inline constexpr QChar CheckMark = QChar(0x221A);

// Every item on a line of its own, each line ending in a line break, so that a lone empty item
// still shows as a line.
QString Format(const TCheckList& list);

// One item per line, empty lines included; a final line break ends the last line rather than
// starting an empty one. A line beginning with "√" gives a checked item of the text after that
// first "√", any other line an unchecked item of the whole line. The result is sorted.
TCheckList Parse(const QString& text);

} // namespace CheckListText
