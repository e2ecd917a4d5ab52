#pragma once

#include "tags/ID3FileEnds.h"

#include <QtGlobal>
#include <optional>
#include <unordered_map>

struct TMP3FileData;

// The tag bytes that the analysis read, kept per record, so that a fix soon after does not read
// the file again: the fix takes them and uses them only while the file's identity is unchanged
// (see TFileIdentity). A budget bounds the memory: a file that would go beyond it, or whose
// tag is larger than LargestKept, is not kept, and its fix reads it afresh.
class TKeptTagBytes {
public:
    // Enough for the tags of 100,000 typical files without their pictures.
    static constexpr qint64 DefaultBudget = qint64(64) << 20;
    // A larger tag (a picture in it, mostly) is read again by the fix instead: reading it costs
    // one open as a small one does, and keeping it would crowd out several small ones.
    static constexpr qint64 LargestKept = qint64(16) << 10;

    explicit TKeptTagBytes(qint64 budget = DefaultBudget) : FBudget(budget) {}

    // Keeps the bytes of a file read for the record, in place of any kept before for it.
    void Keep(const TMP3FileData* record, TID3FileEnds ends);
    // Keeps the bytes that a run has just read of a file it is about to change, whatever their
    // size and the budget: the change takes them soon after.
    void Hold(const TMP3FileData* record, TID3FileEnds ends);
    // The bytes kept for the record, which are then no longer kept; nothing when none are.
    std::optional<TID3FileEnds> Take(const TMP3FileData* record);
    // Every record goes: call it whenever the catalogue is emptied.
    void Clear();
    // Forgets up to count records and says whether any are left: a large set freed a slice at a
    // time, so that the window can handle its events between the slices.
    bool ForgetSome(int count);

    // The largest tag that Keep could still take: the bytes of larger ones need not be kept for it.
    qint64 LargestThatFits() const;

    qint64 Bytes() const { return FBytes; }
    qint64 Budget() const { return FBudget; }
    void SetBudget(qint64 budget) { FBudget = budget; }

private:
    static qint64 Cost(const TID3FileEnds& ends);

    std::unordered_map<const TMP3FileData*, TID3FileEnds> FEntries;
    qint64 FBudget;
    qint64 FBytes = 0;
};
