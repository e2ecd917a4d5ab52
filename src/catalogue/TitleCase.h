#pragma once

#include <QString>

// S with title capitalisation: the first letter of every word is raised (nothing is lowered),
// then a fixed list of small words (articles and prepositions, mostly Spanish and Portuguese,
// and a few product names) is lowered again.
QString TitleCase(const QString& S);
