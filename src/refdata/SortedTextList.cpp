#include "refdata/SortedTextList.h"

#include <algorithm>

bool LearnedLineLess(const QString& a, const QString& b) {
    const int folded = a.compare(b, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : a.compare(b, Qt::CaseSensitive) < 0;
}

void SortLearnedLines(QStringList& lines) {
    // The lines are mostly sorted already (as saved, or sorted before): a look costs far less
    // than a sort. The order is total, so skipping the sort changes nothing.
    if (!std::is_sorted(lines.cbegin(), lines.cend(), LearnedLineLess))
        std::sort(lines.begin(), lines.end(), LearnedLineLess);
}

bool TSortedTextList::Add(const QString& line) {
    const auto place = std::lower_bound(FLines.begin(), FLines.end(), line,
                                        [](const QString& present, const QString& added) {
                                            return present.compare(added, Qt::CaseInsensitive) < 0;
                                        });
    if (place != FLines.end() && place->compare(line, Qt::CaseInsensitive) == 0)
        return false;
    FLines.insert(place, line);
    return true;
}
