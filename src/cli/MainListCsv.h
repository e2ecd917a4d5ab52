#pragma once

#include <cstdio>

class TMainList;

// Writes the main list in the CSV export's layout (the captions, then every row in display
// order) to out line by line, so that a large library's list is never held a second time as
// one text; false when writing failed.
bool WriteMainListCsv(const TMainList& list, std::FILE* out);
