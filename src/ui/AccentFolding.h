#pragma once

#include <QString>

// Replaces each accented or look-alike character of the find's accent table by one plain
// character ("é" becomes "e", "Ł" becomes "L", a typographic apostrophe becomes "'"); every
// other character is kept. Case is kept too: lower-casing is a separate step of the find.
QString FoldAccents(const QString& text);
