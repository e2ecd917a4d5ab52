#include "catalogue/KeptTagBytes.h"

#include <algorithm>

qint64 TKeptTagBytes::Cost(const TID3FileEnds& ends) {
    // The bytes and what the table and the two arrays cost besides them.
    return ends.Start.size() + ends.Last.size() + qint64(sizeof(TID3FileEnds)) + 96;
}

qint64 TKeptTagBytes::LargestThatFits() const {
    // Cost() of a tag is at least its size.
    return std::max<qint64>(0, std::min(LargestKept, FBudget - FBytes));
}

void TKeptTagBytes::Keep(const TMP3FileData* record, TID3FileEnds ends) {
    Take(record);
    if (!ends.Opened || ends.ErrorCode != 0 || ends.StartDropped ||
        ends.Start.size() > LargestKept || FBytes + Cost(ends) > FBudget)
        return;
    // The first read takes a few KB whatever the tag's size: only the bytes are kept.
    ends.Start.squeeze();
    ends.Last.squeeze();
    FBytes += Cost(ends);
    FEntries.insert_or_assign(record, std::move(ends));
}

void TKeptTagBytes::Hold(const TMP3FileData* record, TID3FileEnds ends) {
    Take(record);
    FBytes += Cost(ends);
    FEntries.insert_or_assign(record, std::move(ends));
}

std::optional<TID3FileEnds> TKeptTagBytes::Take(const TMP3FileData* record) {
    const auto found = FEntries.find(record);
    if (found == FEntries.end())
        return std::nullopt;
    std::optional<TID3FileEnds> ends(std::move(found->second));
    FEntries.erase(found);
    FBytes -= Cost(*ends);
    return ends;
}

void TKeptTagBytes::Clear() {
    FEntries.clear();
    FBytes = 0;
}

bool TKeptTagBytes::ForgetSome(int count) {
    for (; count > 0 && !FEntries.empty(); --count) {
        const auto first = FEntries.begin();
        FBytes -= Cost(first->second);
        FEntries.erase(first);
    }
    return !FEntries.empty();
}
