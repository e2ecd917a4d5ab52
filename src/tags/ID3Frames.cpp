#include "tags/ID3Frames.h"

#include "support/Error.h"

#include <QSet>
#include <algorithm>
#include <array>

int TID3Frames::CountOf(TID3FrameID id) const {
    return int(std::count_if(FItems.begin(), FItems.end(),
                             [id](const auto& frame) { return frame->ID() == id; }));
}

TID3Frame& TID3Frames::FrameByID(TID3FrameID id) const {
    TID3Frame* frame = FindFirst(id);
    if (!frame)
        throw TError(QStringLiteral("Frame not found"));
    return *frame;
}

TID3Frame* TID3Frames::FindFirst(TID3FrameID id) const {
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i]->ID() == id) {
            FHint = i;
            return FItems[i].get();
        }
    return nullptr;
}

TID3Frame* TID3Frames::FindNext(TID3FrameID id, const TID3Frame* current) const {
    const qsizetype index = IndexOf(current);
    if (index < 0)
        return nullptr;
    for (size_t i = size_t(index) + 1; i < FItems.size(); ++i)
        if (FItems[i]->ID() == id) {
            FHint = i;
            return FItems[i].get();
        }
    return nullptr;
}

qsizetype TID3Frames::IndexOf(const TID3Frame* frame) const {
    if (FHint < FItems.size() && FItems[FHint].get() == frame)
        return qsizetype(FHint);
    const auto it = std::find_if(FItems.begin(), FItems.end(),
                                 [frame](const auto& item) { return item.get() == frame; });
    return it == FItems.end() ? -1 : it - FItems.begin();
}

TID3Frame* TID3Frames::Add(std::unique_ptr<TID3Frame> frame) {
    FItems.push_back(std::move(frame));
    return FItems.back().get();
}

void TID3Frames::Remove(const TID3Frame* frame) {
    const qsizetype index = IndexOf(frame);
    if (index >= 0)
        FItems.erase(FItems.begin() + index);
    FHint = 0;
}

template <class Pred> void TID3Frames::RemoveIf(Pred pred) {
    FItems.erase(std::remove_if(FItems.begin(), FItems.end(),
                                [&pred](const auto& frame) { return pred(*frame); }),
                 FItems.end());
    FHint = 0;
}

void TID3Frames::RemoveAllByID(TID3FrameID id) {
    RemoveIf([id](const TID3Frame& frame) { return frame.ID() == id; });
}

void TID3Frames::RemoveEmptyFrames() {
    RemoveIf([](const TID3Frame& frame) { return frame.IsEmpty(); });
}

void TID3Frames::AutoCorrectAndRemoveDuplicates() {
    for (const auto& frame : FItems)
        frame->AutoCorrect();
    // A frame duplicates an earlier one with the same identifier and key; keeping the first of
    // each in one pass gives what deleting later duplicates from the end would. Most tags hold
    // each identifier once: only the frames of a repeated one need their keys compared.
    std::array<quint16, fiFrameIDCount> counts{};
    for (const auto& frame : FItems)
        if (frame->ID() < fiFrameIDCount && counts[frame->ID()] < 2)
            ++counts[frame->ID()];
    QSet<QPair<int, QString>> seen;
    RemoveIf([&seen, &counts](const TID3Frame& frame) {
        if (frame.ID() < fiFrameIDCount && counts[frame.ID()] < 2)
            return false;
        const std::optional<QString> key = frame.DuplicateKey();
        if (!key)
            return false;
        const QPair<int, QString> identity(int(frame.ID()), *key);
        if (seen.contains(identity))
            return true;
        seen.insert(identity);
        return false;
    });
}

void TID3Frames::Clear() {
    FItems.clear();
    FHint = 0;
}
