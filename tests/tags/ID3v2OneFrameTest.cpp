#include "ID3v2TestBytes.h"
#include "support/Error.h"
#include "tags/ID3FrameKinds.h"
#include "tags/ID3v2Reader.h"

#include <gtest/gtest.h>

using namespace ID3v2TestBytes;

namespace {

TEST(ID3v2OneFrameTest, ReadsThatFrameAloneAsTheWholeReadDoes) {
    const QByteArray picture = Encoded(0, QByteArray("image/jpeg\0\x03\0", 13) + "\xFF\xD8\xFF");
    const QByteArray tlen = Frame23("TLEN", Latin1("215999"));
    const QByteArray unsynchronisedBody =
        Frame23("APIC", picture) + Frame23("TLEN", Latin1("7000"));
    const struct {
        const char* Name;
        QByteArray Tag;
        bool WholeReadFails;
        quint32 Tlen;
        int TlenFrames;
    } cases[] = {
        {"after a picture, twice",
         Tag(3, Frame23("TIT2", Latin1("x")) + Frame23("APIC", picture) + tlen +
                    Frame23("TLEN", Latin1("1000"))),
         false, 215999, 2},
        {"version 2.2",
         Tag(2, Frame22("PIC", Encoded(0, "JPG\x03\0\xFF\xD8")) + Frame22("TLE", Latin1("61000"))),
         false, 61000, 1},
        {"version 2.4", Tag(4, Frame24("TIT2", Latin1("x")) + Frame24("TLEN", Latin1("9000"))),
         false, 9000, 1},
        {"whole tag unsynchronised",
         Tag(3, ApplyUnsynchronisation(unsynchronisedBody), ID3v2Flags::Unsynchronisation), false,
         7000, 1},
        {"none", Tag(3, Frame23("TIT2", Latin1("x")), 0, 20), false, 0, 0},
        {"declared beyond the tag", Tag(3, tlen.left(14)), false, 0, 1},
        // A damaged frame the length does not need no longer hides it.
        {"other frame of an unknown encoding", Tag(3, Frame23("TIT2", Encoded(7, "x")) + tlen),
         true, 215999, 1},
    };
    for (const auto& c : cases) {
        const TID3v2TagData one = ReadID3v2TagBytes(c.Tag, {}, fiSongLen);
        EXPECT_EQ(one.Frames.Count(), c.TlenFrames) << c.Name;
        EXPECT_EQ(one.Frames.CountOf(fiSongLen), c.TlenFrames) << c.Name;
        const auto number = [](const TID3v2TagData& data) {
            const TID3Frame* frame = data.Frames.FindFirst(fiSongLen);
            return frame ? frame->As<TID3NumberFrame>()->Number() : 0u;
        };
        EXPECT_EQ(number(one), c.Tlen) << c.Name;
        if (c.WholeReadFails) {
            EXPECT_THROW(ReadID3v2TagBytes(c.Tag), TError) << c.Name;
        } else {
            const TID3v2TagData whole = ReadID3v2TagBytes(c.Tag);
            EXPECT_EQ(number(whole), c.Tlen) << c.Name;
            EXPECT_EQ(whole.Frames.CountOf(fiSongLen), c.TlenFrames) << c.Name;
        }
    }
}

} // namespace
