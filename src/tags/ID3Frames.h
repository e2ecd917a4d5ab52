#pragma once

#include "tags/ID3Frame.h"

#include <memory>
#include <vector>

// The frames of a tag in file order; frames added later go to the end. Several frames may share
// an identifier. The list owns its frames.
class TID3Frames {
public:
    TID3Frames() = default;
    TID3Frames(const TID3Frames&) = delete;
    TID3Frames& operator=(const TID3Frames&) = delete;
    TID3Frames(TID3Frames&&) = default;
    TID3Frames& operator=(TID3Frames&&) = default;

    int Count() const { return int(FItems.size()); }
    TID3Frame* At(int index) const { return FItems[size_t(index)].get(); }
    int CountOf(TID3FrameID id) const;

    // The first frame with the identifier; throws TError("Frame not found") when there is none.
    TID3Frame& FrameByID(TID3FrameID id) const;

    // Walk the frames with the identifier in list order; nullptr when there is no further one.
    TID3Frame* FindFirst(TID3FrameID id) const;
    TID3Frame* FindNext(TID3FrameID id, const TID3Frame* current) const;

    TID3Frame* Add(std::unique_ptr<TID3Frame> frame);
    // Takes the frame out of the list and destroys it; a frame of another list is ignored.
    void Remove(const TID3Frame* frame);
    // Every frame with the identifier, in one pass.
    void RemoveAllByID(TID3FrameID id);
    // Deletes every frame that would be left out as empty when written.
    void RemoveEmptyFrames();
    // Corrects every frame in list order, then deletes every frame that duplicates an earlier
    // one, as the tag is written.
    void AutoCorrectAndRemoveDuplicates();
    void Clear();

    auto begin() const { return FItems.begin(); }
    auto end() const { return FItems.end(); }

private:
    qsizetype IndexOf(const TID3Frame* frame) const;
    template <class Pred> void RemoveIf(Pred pred);

    std::vector<std::unique_ptr<TID3Frame>> FItems;
    // Where the last lookup ended, so that a walk over many frames stays linear.
    mutable size_t FHint = 0;
};
