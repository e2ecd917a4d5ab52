// Damaged and hostile tags: each reads as far as it can or fails with its message, never reads
// past its bytes, never allocates beyond the file's size and never hangs.
#include "ID3v2TestBytes.h"
#include "support/Error.h"
#include "tags/ID3FileIO.h"
#include "tags/ID3v2Tag.h"
#include "testsupport/TempDir.h"

#include <gtest/gtest.h>

using namespace ID3v2TestBytes;

namespace {

struct HostileCase {
    const char* name;
    QByteArray tag;
    int frames;          // frames read; -1 when Open fails
    const char* message; // the failure's message, or nullptr for a file error
    friend void PrintTo(const HostileCase& c, std::ostream* os) { *os << c.name; }
};

class ID3v2HostileTest : public testing::TestWithParam<HostileCase> {};

TEST_P(ID3v2HostileTest, ReadsOrFailsWithItsMessage) {
    const HostileCase& c = GetParam();
    TempDir dir;
    const QByteArray file = c.tag + Audio(1);
    const QString path = dir.Write("a.mp3", file);
    TID3v2Tag tag;
    tag.SetFileName(path);
    if (c.frames < 0) {
        try {
            tag.Open();
            ADD_FAILURE() << "Open succeeded";
        } catch (const ID3FileIO::TFileError& error) {
            EXPECT_EQ(c.message, nullptr) << error.what();
        } catch (const TError& error) {
            ASSERT_NE(c.message, nullptr) << error.what();
            EXPECT_EQ(error.Message(), c.message);
        }
        EXPECT_FALSE(tag.Active());
    } else {
        tag.Open();
        EXPECT_EQ(tag.FrameCount(), c.frames);
        // Whatever was read can be written back without touching the audio.
        tag.Commit();
        const QByteArray after = dir.Read("a.mp3");
        EXPECT_TRUE(after.endsWith(Audio(1)));
    }
}

QByteArray Repeat(const QByteArray& bytes, int count) {
    return bytes.repeated(count);
}

const HostileCase InputsCases[] = {
    // Damaged and hostile tags.
    {"tag_size_beyond_the_file", QByteArray("ID3\x03\0\0\x7F\x7F\x7F\x7F", 10), -1, nullptr},
    {"unsynchronised_tag_size_beyond_the_file", QByteArray("ID3\x03\0\x80\x7F\x7F\x7F\x7F", 10), -1,
     "Could not read data from stream"},
    {"tag_of_size_zero", Tag(3, QByteArray()), 0, nullptr},
    {"frame_size_all_ones_v23",
     Tag(3, Frame23("TIT2", Latin1("a")) + QByteArray("TALB\xFF\xFF\xFF\xFF\0\0xyz", 13)), 2,
     nullptr},
    {"frame_size_not_synchsafe_v24", Tag(4, QByteArray("TIT2\xFF\xFF\xFF\xFF\0\0xyz", 13)), 1,
     nullptr},
    {"frame_size_just_beyond_the_tag", Tag(3, QByteArray("TIT2\0\0\0\x05\0\0\0abc", 14)), 1,
     nullptr},
    {"frame_header_cut_by_the_tag_end",
     Tag(3, Frame23("TIT2", Latin1("a")) + QByteArray("TALB\0\0", 6)), 1, nullptr},
    {"zero_size_frames",
     Repeat(QByteArray("TIT2\0\0\0\0\0\0", 10), 100)
         .prepend(QByteArray("ID3\x03\0\0\0\0\x07\x68", 10)),
     100, nullptr},
    {"extended_header_beyond_the_tag",
     Tag(3, QByteArray("\0\0\x10\0\0\0", 6) + Frame23("TIT2", Latin1("a")), 0x40), 0, nullptr},
    {"extended_header_v24_without_flag_bytes",
     Tag(4, QByteArray("\0\0\0\x06\0\0", 6) + Frame24("TIT2", Latin1("a")), 0x40), 1, nullptr},
    {"extended_header_v24_flag_data_beyond_it",
     Tag(4, QByteArray("\0\0\0\x07\x01\x70\x7F", 7) + Frame24("TIT2", Latin1("a")), 0x40), 1,
     nullptr},
    {"extended_header_cut", Tag(3, QByteArray("\0\0", 2), 0x40), 0, nullptr},
    {"odd_utf16_everywhere",
     Tag(3, Frame23("COMM", Encoded(1, QByteArray("eng\xFF\xFEx", 6))) +
                Frame23("TCON", Encoded(1, QByteArray("\xFF\xFEx\0\0", 5))) +
                Frame23("APIC", Encoded(1, QByteArray("a\0\x03\xFF\xFEx", 6))) +
                Frame23("TIT2", Encoded(2, QByteArray("\0", 1)))),
     4, nullptr},
    {"picture_without_terminators", Tag(3, Frame23("APIC", Latin1("image/jpeg"))), 1, nullptr},
    {"garbage_after_padding",
     Tag(3, Frame23("TIT2", Latin1("a")) + QByteArray(20, '\0') + "TALB\xFF"), 1, nullptr},
    {"unsynchronisation_of_only_ff_bytes", Tag(3, QByteArray(300, '\xFF'), 0x80), 0, nullptr},
    {"unsynchronised_frame_size_counts_restored_bytes",
     Tag(3, QByteArray("TIT2\0\0\0\x03\0\0\0\xFF\x00\x00", 14) + Frame23("TALB", Latin1("a")),
         0x80),
     2, nullptr},
};

INSTANTIATE_TEST_SUITE_P(Inputs, ID3v2HostileTest, testing::ValuesIn(InputsCases));

TEST(ID3v2HostileTest, NestedUnsynchronisationIsUndoneOnce) {
    // FF 00 00 stands for FF 00: undoing it twice would lose a byte of the picture.
    TempDir dir;
    TID3v2Tag tag;
    tag.SetFileName(
        dir.Write("a.mp3", Tag(3,
                               QByteArray("APIC\0\0\0\x09\0\0", 10) +
                                   QByteArray("\0x\0\x03\0\xFF\x00\x00\xFF\x00\x00", 11) +
                                   Frame23("TIT2", Latin1("after")),
                               0x80) +
                               Audio(1)));
    tag.Open();
    TID3Frame* frame = nullptr;
    ASSERT_TRUE(tag.FindFirstFrame(fiPicture, frame));
    EXPECT_EQ(frame->As<TID3PictureFrame>()->PictureData(), QByteArray("\xFF\x00\xFF\x00", 4));
    EXPECT_EQ(tag.Texts().Title(), "after");
}

// Hundreds of thousands of frames: every operation the program runs over them stays linear.
TEST(ID3v2HostileTest, HugeFrameCounts) {
    constexpr int Count = 200000;
    const QByteArray comment = Frame23("COMM", Latin1(QByteArray("eng\0x", 5)));
    const QByteArray unknown = Frame23("PRIV", "p");
    TempDir dir;
    const QString path =
        dir.Write("a.mp3", Tag(3, Repeat(comment, Count) + Repeat(unknown, Count)) + Audio(1));
    TID3v2Tag tag;
    tag.SetFileName(path);
    tag.Open();
    EXPECT_EQ(tag.FrameCount(), 2 * Count);
    EXPECT_EQ(tag.GetFrameCountFor(fiComment), Count);
    int walked = 0;
    TID3Frame* frame = nullptr;
    for (bool found = tag.FindFirstFrame(fiComment, frame); found;
         found = tag.FindNextFrame(fiComment, frame))
        ++walked;
    EXPECT_EQ(walked, Count);
    // The duplicates of the comment go; the frames kept as bytes may repeat.
    tag.Commit();
    EXPECT_EQ(tag.FrameCount(), 1 + Count);
    tag.Frames().RemoveAllByID(fiUnknown);
    EXPECT_EQ(tag.FrameCount(), 1);
    TID3v2Tag reread;
    reread.SetFileName(path);
    reread.Open();
    EXPECT_EQ(reread.GetFrameCountFor(fiComment), 1);
    EXPECT_EQ(reread.FrameCount(), 1 + Count);
}

// Every truncation and many single-byte changes of a rich tag: Open either reads or fails with
// an error, and whatever it read commits with the audio intact.
TEST(ID3v2HostileTest, DamagedCopiesOfARealTag) {
    const QByteArray frames =
        Frame24("TIT2", Utf16("Title")) + Frame24("TPE1", Latin1("A/B")) +
        Frame24("TCON", Latin1(QByteArray("Rock\0Pop\0", 9))) +
        Frame24("TDRC", Latin1("2004-05-06")) +
        Frame24("COMM", Encoded(1, QByteArray("eng\xFF\xFE"
                                              "d\0\0\0\xFF\xFEt\0",
                                              13))) +
        Frame24("APIC", Latin1(QByteArray("image/png\0\x03\0\xFF\x00\xE0", 15)), 0x0002) +
        Frame24("XYZW", "raw");
    const QByteArray good = Tag(4, frames, 0x00, 8);
    const QByteArray audio = Audio(1);
    TempDir dir;
    int opened = 0;
    auto attempt = [&](const QByteArray& tagBytes) {
        const QByteArray before = tagBytes + audio;
        const QString path = dir.Write("a.mp3", before);
        TID3v2Tag tag;
        tag.SetFileName(path);
        try {
            tag.Open();
        } catch (const TError&) {
            EXPECT_FALSE(tag.Active());
            return;
        }
        ++opened;
        (void)tag.Texts().Title();
        (void)tag.Texts().LeadArtist();
        (void)tag.Texts().RecordingTime();
        tag.Commit();
        // A damaged size may have made some audio bytes part of the tag area; everything
        // behind the area as declared stays as it was.
        const QByteArray after = dir.Read("a.mp3");
        const qint64 oldArea = ParseWritten(before).areaSize;
        EXPECT_TRUE(after.mid(int(ParseWritten(after).areaSize)) == before.mid(int(oldArea)));
    };
    for (int length = 0; length < good.size(); ++length)
        attempt(good.left(length));
    for (int i = 3; i < good.size(); ++i)
        for (const char value : {'\0', '\x03', '\x7F', '\xFF'}) {
            QByteArray damaged = good;
            damaged[i] = value;
            attempt(damaged);
        }
    EXPECT_GT(opened, good.size());
}

} // namespace
