// Reading ID3v2 tags: versions, encodings, frame kinds, unsynchronisation, extended headers.
#include "ID3v2TestBytes.h"
#include "support/Error.h"
#include "tags/ID3FileIO.h"
#include "tags/ID3Timestamp.h"
#include "tags/ID3v2Tag.h"
#include "testsupport/TempDir.h"

#include <functional>
#include <gtest/gtest.h>

using namespace ID3v2TestBytes;

namespace {

// Opens a tag over the bytes followed by some audio.
struct OpenedTag {
    TempDir dir;
    TID3v2Tag tag;
    explicit OpenedTag(const QByteArray& tagBytes) {
        tag.SetFileName(dir.Write("a.mp3", tagBytes + Audio(2)));
        tag.Open();
    }
};

template <class T> T* First(TID3v2Tag& tag, TID3FrameID id) {
    TID3Frame* frame = nullptr;
    return tag.FindFirstFrame(id, frame) ? frame->As<T>() : nullptr;
}

QString CommentText(TID3v2Tag& tag) {
    const TID3ContentFrame* frame = TID3ContentFrame::Find(tag, fiComment);
    return frame ? frame->Text() : QStringLiteral("<none>");
}

struct ReadCase {
    const char* name;
    QByteArray tag;
    std::function<void(TID3v2Tag&)> check;
    friend void PrintTo(const ReadCase& c, std::ostream* os) { *os << c.name; }
};

class ID3v2ReadTest : public testing::TestWithParam<ReadCase> {};

TEST_P(ID3v2ReadTest, ReadsValues) {
    OpenedTag opened(GetParam().tag);
    ASSERT_TRUE(opened.tag.Active());
    GetParam().check(opened.tag);
}

const QByteArray Jpeg("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\xFF\xD9", 13);

void CheckV23Latin1(TID3v2Tag& tag) {
    EXPECT_EQ(tag.Version(), ive2_3);
    EXPECT_EQ(tag.WriteVersion(), ive2_3);
    EXPECT_EQ(tag.Texts().Title(), QString::fromUtf8("Café"));
    EXPECT_EQ(tag.Texts().LeadArtist(), QStringList({"AC", "DC"}));
    EXPECT_EQ(tag.Texts().Album(), "Album");
    EXPECT_EQ(tag.Texts().TrackNum(), "3/12");
    EXPECT_EQ(tag.Texts().Year(), 1999u);
    EXPECT_EQ(tag.Texts().SongLen(), 215999u);
    EXPECT_EQ(tag.Texts().ContentType(), QStringList({"(17)Rock"}));
    const auto* comment = TID3ContentFrame::Find(tag, fiComment);
    ASSERT_TRUE(comment);
    EXPECT_EQ(comment->Language(), "eng");
    EXPECT_EQ(comment->Description(), "desc");
    EXPECT_EQ(comment->Text(), "text");
    EXPECT_EQ(tag.FrameCount(), 8);
}

void CheckV24Encodings(TID3v2Tag& tag) {
    EXPECT_EQ(tag.Version(), ive2_4);
    EXPECT_EQ(tag.Texts().Title(), QString::fromUtf8("日本"));
    EXPECT_EQ(tag.Texts().Album(), QString::fromUtf8("Aé"));
    EXPECT_EQ(tag.Texts().LeadArtist(), QStringList({"B"}));
    EXPECT_EQ(tag.Texts().RecordingTime(),
              QDateTime(QDate(2004, 5, 12), QTime(10, 20, 30), Qt::UTC));
    EXPECT_EQ(tag.Texts().ContentType(), QStringList({"Pop", "R&B"}));
    EXPECT_EQ(First<TID3TextFrame>(tag, fiTitle)->Encoding(), ienUTF_8);
}

void CheckV22(TID3v2Tag& tag) {
    EXPECT_EQ(tag.Version(), ive2_2);
    EXPECT_EQ(tag.WriteVersion(), ive2_2);
    EXPECT_EQ(tag.Texts().Title(), "Title");
    EXPECT_EQ(tag.Texts().LeadArtist(), QStringList({"Artist"}));
    EXPECT_EQ(tag.Texts().Album(), "Album");
    EXPECT_EQ(tag.Texts().TrackNum(), "7");
    EXPECT_EQ(tag.Texts().Year(), 1987u);
    EXPECT_EQ(tag.Texts().ContentType(), QStringList({"(13)"}));
    EXPECT_EQ(CommentText(tag), "Note");
    TID3Frame* frame = nullptr;
    ASSERT_TRUE(tag.FindFirstFrame(fiPicture, frame));
    auto* front = frame->As<TID3PictureFrame>();
    EXPECT_EQ(front->MIMEType(), "image/jpeg");
    EXPECT_EQ(front->PictureType(), ptCoverFront);
    EXPECT_EQ(front->Description(), "Front");
    EXPECT_EQ(front->PictureData(), Jpeg);
    ASSERT_TRUE(tag.FindNextFrame(fiPicture, frame));
    EXPECT_EQ(frame->As<TID3PictureFrame>()->MIMEType(), "image/gif");
    EXPECT_FALSE(tag.FindNextFrame(fiPicture, frame));
    EXPECT_EQ(frame, nullptr);
}

void CheckUtf16WithoutByteOrderMarkReadsEmpty(TID3v2Tag& tag) {
    EXPECT_EQ(tag.Texts().Title(), "");
    // The description without a mark is passed over; the
    // text after it reads.
    EXPECT_EQ(CommentText(tag), "OK");
}

void CheckUtf16OddByteCount(TID3v2Tag& tag) {
    EXPECT_EQ(tag.Texts().Title(), "Ab");
}

void CheckPaddingOnly(TID3v2Tag& tag) {
    EXPECT_TRUE(tag.HasTag());
    EXPECT_EQ(tag.FrameCount(), 0);
    EXPECT_EQ(tag.GetFrameCountFor(fiComment), 0);
}

void CheckIdentifierOutsideAZ09EndsFrames(TID3v2Tag& tag) {
    EXPECT_EQ(tag.FrameCount(), 1);
    EXPECT_EQ(tag.Texts().Album(), "");
}

void CheckUnknownIdentifierIsKeptAsBytes(TID3v2Tag& tag) {
    ASSERT_EQ(tag.FrameCount(), 2);
    auto* skip = tag.Frames().At(0)->As<TID3SkipFrame>();
    ASSERT_TRUE(skip);
    EXPECT_EQ(skip->ID(), fiUnknown);
    EXPECT_EQ(skip->Format().Name, "XYZ1");
    EXPECT_EQ(skip->Data(), "\x01\x02\x03");
}

void CheckFrameLargerThanTagStaysEmptyAndEndsReading(TID3v2Tag& tag) {
    ASSERT_EQ(tag.FrameCount(), 2);
    EXPECT_EQ(tag.Texts().Album(), "");
    EXPECT_TRUE(tag.Frames().At(1)->IsEmpty());
}

void CheckSlashListsKeepEmptyPieces(TID3v2Tag& tag) {
    EXPECT_EQ(tag.Texts().LeadArtist(), QStringList({"A", "", "B"}));
    EXPECT_EQ(tag.Texts().OrigArtist(), QStringList());
}

void CheckV24SeveralValuesSeparatedByNul(TID3v2Tag& tag) {
    EXPECT_EQ(tag.Texts().LeadArtist(), QStringList({"A", "B", "C"}));
}

void CheckV23SeveralValuesSeparatedByNul(TID3v2Tag& tag) {
    EXPECT_EQ(tag.Texts().LeadArtist(), QStringList({"A", "B"}));
}

void CheckContentTypeShortLastValue(TID3v2Tag& tag) {
    // Read, so that a commit never drops a
    // one-character genre.
    EXPECT_EQ(tag.Texts().ContentType(), QStringList({"X"}));
}

void CheckContentTypeTrailingTerminators(TID3v2Tag& tag) {
    EXPECT_EQ(tag.Texts().ContentType(), QStringList({"Rock"}));
}

void CheckNumbersThatAreNotNumbers(TID3v2Tag& tag) {
    EXPECT_EQ(tag.Texts().Year(), 0u);
    EXPECT_EQ(tag.Texts().SongLen(), 0u);
    EXPECT_EQ(tag.GetFrameCountFor(fiYear), 1);
}

void CheckPictureTypeAbove20AndLink(TID3v2Tag& tag) {
    TID3Frame* frame = nullptr;
    ASSERT_TRUE(tag.FindFirstFrame(fiPicture, frame));
    auto* picture = frame->As<TID3PictureFrame>();
    EXPECT_EQ(picture->PictureType(), ptOther);
    EXPECT_EQ(picture->Description(), "d");
    EXPECT_EQ(picture->PictureData(), "PNG");
    ASSERT_TRUE(tag.FindNextFrame(fiPicture, frame));
    picture = frame->As<TID3PictureFrame>();
    EXPECT_EQ(picture->MIMEType(), "-->");
    EXPECT_EQ(picture->PictureData(), "http://x/y.jpg");
}

void CheckCommentShorterThanItsFields(TID3v2Tag& tag) {
    const auto* comment = TID3ContentFrame::Find(tag, fiComment);
    ASSERT_TRUE(comment);
    EXPECT_EQ(comment->Language(), "en");
    EXPECT_EQ(comment->Text(), "");
}

void CheckUnknownVersionKeepsHeaderOnly(TID3v2Tag& tag) {
    EXPECT_TRUE(tag.HasTag());
    EXPECT_EQ(tag.Version(), iveHigherThan2_4);
    EXPECT_EQ(tag.WriteVersion(), ive2_4);
    EXPECT_EQ(tag.FrameCount(), 0);
}

void CheckVersionBelow22(TID3v2Tag& tag) {
    EXPECT_EQ(tag.Version(), iveLowerThan2_2);
    EXPECT_EQ(tag.WriteVersion(), ive2_4);
}

const ReadCase VersionsCases[] = {
    // Versions, encodings and frame kinds.
    {"v23_latin1",
     Tag(3,
         Frame23("TIT2", Latin1("Caf\xE9")) + Frame23("TPE1", Latin1("AC/DC")) +
             Frame23("TALB", Latin1("Album")) + Frame23("TRCK", Latin1("3/12")) +
             Frame23("TYER", Latin1("1999")) +
             Frame23("TCON", Latin1(QByteArray("(17)Rock\0", 9))) +
             Frame23("COMM", Latin1(QByteArray("engdesc\0text", 12))) +
             Frame23("TLEN", Latin1("215999")),
         0, 100),
     CheckV23Latin1},
    {"v24_encodings",
     Tag(4, Frame24("TIT2", Encoded(3, "\xE6\x97\xA5\xE6\x9C\xAC")) +
                Frame24("TALB", Encoded(2, QByteArray("\x00\x41\x00\xE9", 4))) +
                Frame24("TPE1", Encoded(1, QByteArray("\xFE\xFF\x00\x42", 4))) +
                Frame24("TDRC", Latin1("2004-05-12T10:20:30")) +
                Frame24("TCON", Utf16("Pop", true) + QByteArray("\xFF\xFE"
                                                                "R\0"
                                                                "&\0"
                                                                "B\0\0\0",
                                                                10))),
     CheckV24Encodings},
    {"v22",
     Tag(2, Frame22("TT2", Latin1("Title")) + Frame22("TP1", Latin1("Artist")) +
                Frame22("TAL", Latin1("Album")) + Frame22("TRK", Latin1("7")) +
                Frame22("TYE", Latin1("1987")) + Frame22("TCO", Latin1("(13)")) +
                Frame22("COM", Latin1(QByteArray("eng\0Note", 8))) +
                Frame22("PIC", Latin1(QByteArray("JPG\x03"
                                                 "Front\0",
                                                 10) +
                                      Jpeg)) +
                Frame22("PIC", Latin1(QByteArray("GIF\x04\0", 5) + "GIF8"))),
     CheckV22},
    {"utf16_without_byte_order_mark_reads_empty",
     Tag(3, Frame23("TIT2", Encoded(1, QByteArray("T\0i\0", 4))) +
                Frame23("COMM", Encoded(1, QByteArray("eng\0\0\xFF\xFEO\0K\0", 11)))),
     CheckUtf16WithoutByteOrderMarkReadsEmpty},
    {"utf16_odd_byte_count", Tag(3, Frame23("TIT2", Utf16("Ab") + "\x43")), CheckUtf16OddByteCount},
    {"padding_only", Tag(3, QByteArray(), 0, 512), CheckPaddingOnly},
    {"identifier_outside_A_Z_0_9_ends_frames",
     Tag(3, Frame23("TIT2", Latin1("One")) + Frame23("TaLB", Latin1("x")) +
                Frame23("TALB", Latin1("Never"))),
     CheckIdentifierOutsideAZ09EndsFrames},
    {"unknown_identifier_is_kept_as_bytes",
     Tag(4, Frame24("XYZ1", "\x01\x02\x03") + Frame24("TXXX", Latin1(QByteArray("k\0v", 3)))),
     CheckUnknownIdentifierIsKeptAsBytes},
    {"frame_larger_than_tag_stays_empty_and_ends_reading",
     Tag(3, Frame23("TIT2", Latin1("Ok")) + QByteArray("TALB\x00\x00\x10\x00\x00\x00"
                                                       "\x00Short",
                                                       16)),
     CheckFrameLargerThanTagStaysEmptyAndEndsReading},
    {"slash_lists_keep_empty_pieces",
     Tag(3, Frame23("TPE1", Latin1("A//B")) + Frame23("TOPE", Latin1(""))),
     CheckSlashListsKeepEmptyPieces},
    {"v24_several_values_separated_by_nul",
     Tag(4, Frame24("TPE1", Latin1(QByteArray("A\0B/C", 5)))), CheckV24SeveralValuesSeparatedByNul},
    {"v23_several_values_separated_by_nul",
     Tag(3, Frame23("TPE1", Latin1(QByteArray("A\0B\0\0", 5)))),
     CheckV23SeveralValuesSeparatedByNul},
    {"content_type_short_last_value", Tag(3, Frame23("TCON", Latin1(QByteArray("X\0", 2)))),
     CheckContentTypeShortLastValue},
    {"content_type_trailing_terminators",
     Tag(3, Frame23("TCON", Latin1(QByteArray("Rock\0\0\0", 7))) + Frame23("TCOM", Latin1("x"))),
     CheckContentTypeTrailingTerminators},
    {"numbers_that_are_not_numbers",
     Tag(3, Frame23("TYER", Latin1("19x9")) + Frame23("TLEN", Latin1("-5"))),
     CheckNumbersThatAreNotNumbers},
    {"picture_type_above_20_and_link",
     Tag(3, Frame23("APIC", Latin1(QByteArray("image/png\0\x63"
                                              "d\0",
                                              13) +
                                   "PNG")) +
                Frame23("APIC", Latin1(QByteArray("-->\0\x03\0", 6) + "http"
                                                                      "://"
                                                                      "x/"
                                                                      "y."
                                                                      "jp"
                                                                      "g"))),
     CheckPictureTypeAbove20AndLink},
    {"comment_shorter_than_its_fields",
     Tag(3, Frame23("COMM", QByteArray("\x00"
                                       "en",
                                       3))),
     CheckCommentShorterThanItsFields},
    {"unknown_version_keeps_header_only", Tag(5, Frame24("TIT2", Latin1("x"))),
     CheckUnknownVersionKeepsHeaderOnly},
    {"version_below_2_2", Tag(1, QByteArray()), CheckVersionBelow22},
};

INSTANTIATE_TEST_SUITE_P(Versions, ID3v2ReadTest, testing::ValuesIn(VersionsCases));

// Unsynchronisation and the header's additions.
void CheckV23TagUnsynchronisation(TID3v2Tag& tag) {
    TID3Frame* frame = nullptr;
    ASSERT_TRUE(tag.FindFirstFrame(fiPicture, frame));
    EXPECT_EQ(frame->As<TID3PictureFrame>()->PictureData(), QByteArray("\xFF\x00\xFF\xE0\xFF", 5));
    EXPECT_EQ(tag.Texts().Title(), "After");
}

void CheckV24FrameUnsynchronisation(TID3v2Tag& tag) {
    TID3Frame* frame = nullptr;
    ASSERT_TRUE(tag.FindFirstFrame(fiPicture, frame));
    EXPECT_EQ(frame->As<TID3PictureFrame>()->PictureData(), QByteArray("\xFF\x00\xFF\xE0", 4));
    EXPECT_EQ(tag.Texts().Title(), "After");
}

void CheckV24HeaderAndFrameUnsynchronisationNested(TID3v2Tag& tag) {
    TID3Frame* frame = nullptr;
    ASSERT_TRUE(tag.FindFirstFrame(fiPicture, frame));
    EXPECT_EQ(frame->As<TID3PictureFrame>()->PictureData(), QByteArray("\xFF\x00\xFF\xE0\x41", 5));
    EXPECT_EQ(tag.Texts().Album(), QString::fromLatin1("A\xFF"));
    EXPECT_EQ(tag.Texts().Title(), "After");
}

void CheckV23ExtendedHeaderWithCrc(TID3v2Tag& tag) {
    ASSERT_TRUE(tag.ExtendedHeader());
    EXPECT_TRUE(tag.ExtendedHeader()->HasCRC);
    EXPECT_EQ(tag.Texts().Title(), "T");
}

void CheckV24ExtendedHeaderWithRestrictions(TID3v2Tag& tag) {
    ASSERT_TRUE(tag.ExtendedHeader());
    EXPECT_TRUE(tag.ExtendedHeader()->TagIsUpdate);
    EXPECT_FALSE(tag.ExtendedHeader()->HasCRC);
    EXPECT_EQ(tag.ExtendedHeader()->Restrictions, quint8(0x23));
    EXPECT_EQ(tag.Texts().Title(), "T");
}

void CheckV22IgnoresTheExtendedHeaderBit(TID3v2Tag& tag) {
    EXPECT_FALSE(tag.ExtendedHeader());
    EXPECT_EQ(tag.Texts().Title(), "T");
}

void CheckCompressedAndEncryptedFramesKeptAsBytes(TID3v2Tag& tag) {
    EXPECT_EQ(tag.Texts().Title(), "");
    EXPECT_EQ(tag.GetFrameCountFor(fiTitle), 0);
    auto* kept = tag.Frames().At(0)->As<TID3SkipFrame>();
    ASSERT_TRUE(kept);
    EXPECT_TRUE(kept->Format().KeptEncoded);
    EXPECT_EQ(kept->Data(), QByteArray("\x00\x00\x00\x05xxxx", 8));
    EXPECT_EQ(tag.Texts().LeadArtist(), QStringList({"Plain"}));
}

void CheckGroupingByte(TID3v2Tag& tag) {
    auto* title = First<TID3TextFrame>(tag, fiTitle);
    ASSERT_TRUE(title);
    EXPECT_EQ(title->Format().Group, quint8(7));
    EXPECT_EQ(title->Text(), "Grouped");
}

void CheckAdditionsLongerThanTheFrame(TID3v2Tag& tag) {
    EXPECT_TRUE(First<TID3TextFrame>(tag, fiTitle)->IsEmpty());
    EXPECT_EQ(tag.Texts().Album(), "Next");
}

const ReadCase LayoutCases[] = {
    // Unsynchronisation, extended headers and the frame header's additions.
    // In 2.3 the whole tag is unsynchronised and frame sizes count the restored bytes.
    {"v23_tag_unsynchronisation",
     Tag(3,
         QByteArray("APIC\x00\x00\x00\x10\x00\x00"
                    "\x00image/x\x00\x03\x00"
                    "\xFF\x00\x00\xFF\x00\xE0\xFF",
                    28) +
             QByteArray("\x00", 1) + Frame23("TIT2", Latin1("After")),
         0x80),
     CheckV23TagUnsynchronisation},
    // In 2.4 each frame is unsynchronised on its own and its size counts stored bytes; the
    // data length indicator tells the size before.
    {"v24_frame_unsynchronisation",
     Tag(4, QByteArray("APIC\x00\x00\x00\x15\x00\x03"
                       "\x00\x00\x00\x0F"
                       "\x00image/x\x00\x03\x00\xFF\x00\x00\xFF\x00\xE0",
                       31) +
                Frame24("TIT2", Latin1("After"))),
     CheckV24FrameUnsynchronisation},
    // The 2.4 header flag says every frame is unsynchronised; each is restored once only,
    // also when its own flag says so too.
    {"v24_header_and_frame_unsynchronisation_nested",
     Tag(4,
         QByteArray("APIC\x00\x00\x00\x12\x00\x02"
                    "\x00image/x\x00\x03\x00\xFF\x00\x00\xFF\x00\xE0\x41",
                    28) +
             QByteArray("TALB\x00\x00\x00\x04\x00\x00"
                        "\x00"
                        "A\xFF\x00",
                        14) +
             Frame24("TIT2", Latin1("After")),
         0x80),
     CheckV24HeaderAndFrameUnsynchronisationNested},
    {"v23_extended_header_with_crc",
     Tag(3,
         QByteArray("\x00\x00\x00\x0A\x80\x00\x00\x00\x00\x00\x12\x34\x56\x78", 14) +
             Frame23("TIT2", Latin1("T")),
         0x40),
     CheckV23ExtendedHeaderWithCrc},
    {"v24_extended_header_with_restrictions",
     Tag(4, QByteArray("\x00\x00\x00\x09\x01\x50\x00\x01\x23", 9) + Frame24("TIT2", Latin1("T")),
         0x40),
     CheckV24ExtendedHeaderWithRestrictions},
    // Version 2.2 gives the extended header bit another meaning.
    {"v22_ignores_the_extended_header_bit", Tag(2, Frame22("TT2", Latin1("T")), 0x40),
     CheckV22IgnoresTheExtendedHeaderBit},
    {"compressed_and_encrypted_frames_kept_as_bytes",
     Tag(3, Frame23("TIT2", QByteArray("\x00\x00\x00\x05xxxx", 8), 0x0080) +
                Frame23("TALB", QByteArray("\x01yyyy", 5), 0x0040) +
                Frame23("TPE1", Latin1("Plain"))),
     CheckCompressedAndEncryptedFramesKeptAsBytes},
    {"grouping_byte", Tag(4, Frame24("TIT2", QByteArray("\x07\x00Grouped", 9), 0x0040)),
     CheckGroupingByte},
    {"additions_longer_than_the_frame",
     Tag(4, Frame24("TIT2", QByteArray("\x00\x00", 2), 0x0001) + Frame24("TALB", Latin1("Next"))),
     CheckAdditionsLongerThanTheFrame},
};

INSTANTIATE_TEST_SUITE_P(Layout, ID3v2ReadTest, testing::ValuesIn(LayoutCases));

struct TimestampCase {
    const char* text;
    QDateTime expected;
    friend void PrintTo(const TimestampCase& c, std::ostream* os) { *os << '"' << c.text << '"'; }
};

class ID3TimestampTest : public testing::TestWithParam<TimestampCase> {};

TEST_P(ID3TimestampTest, Parses) {
    EXPECT_EQ(ParseID3Timestamp(QString::fromLatin1(GetParam().text)), GetParam().expected);
}

QDateTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
}

const TimestampCase TextsCases[] = {
    // Texts of the recording time frame.
    {"2004", At(2004, 1, 1)},
    {"2004-05", At(2004, 5, 1)},
    {"2004-5", At(2004, 1, 1)},
    {"2004-05-12", At(2004, 5, 12)},
    {"2004-05-12T10", At(2004, 5, 12, 10)},
    {"2004-05-12T10:20:30", At(2004, 5, 12, 10, 20, 30)},
    {"2004-05-12T10:20:30Z+junk", At(2004, 5, 12, 10, 20, 30)},
    // Separators are not checked, other non-digits end the parsing.
    {"2004/05/12", At(2004, 5, 12)},
    {"2004-0x-12", At(2004, 1, 1)},
    {"2004-02-30", ID3ZeroDate()},
    {"2004-05-12T25:00", ID3ZeroDate()},
    {"0000", ID3ZeroDate()},
    {"", ID3ZeroDate()},
    {"Unknown", ID3ZeroDate()},
};

INSTANTIATE_TEST_SUITE_P(Texts, ID3TimestampTest, testing::ValuesIn(TextsCases));

// Every frame keeps its identifier as read, whether the program knows it in that version, in
// another one, or not at all, and also a frame that runs past the end of its tag.
TEST(ID3v2ReadNamesTest, FramesKeepTheirIdentifiersAsRead) {
    const struct {
        QByteArray tag;
        QList<QByteArray> names;
    } cases[] = {
        {Tag(2, Frame22("TT2", Latin1("T")) + Frame22("XY1", "x") + Frame22("COM", Latin1("eng"))),
         {"TT2", "XY1", "COM"}},
        {Tag(3, Frame23("TIT2", Latin1("T")) + Frame23("TDRC", Latin1("2001")) +
                    Frame23("XYZ1", "x") + Frame23("TYER", Latin1("2001"))),
         {"TIT2", "TDRC", "XYZ1", "TYER"}},
        {Tag(4, Frame24("TYER", Latin1("2001")) + Frame24("PRIV", "p") +
                    Frame24("TALB", QByteArray("\0\0\0\x05zz", 7), 0x0008)),
         {"TYER", "PRIV", "TALB"}},
        {Tag(4, Frame24("TIT2", Latin1("T")) + QByteArray("TALB\0\0\0\x7F\0\0x", 11)),
         {"TIT2", "TALB"}},
    };
    for (const auto& c : cases) {
        const TID3v2TagData data = ReadID3v2TagBytes(c.tag);
        QList<QByteArray> names;
        for (const auto& frame : data.Frames)
            names.append(frame->Format().Name);
        EXPECT_EQ(names, c.names) << c.tag.toHex().constData();
    }
}

TEST(ID3TimestampTest, Formats) {
    EXPECT_EQ(FormatID3Timestamp(At(2004, 1, 1)), "2004-01-01");
    EXPECT_EQ(FormatID3Timestamp(At(987, 3, 4, 5, 6, 7)), "0987-03-04T05:06:07");
    EXPECT_EQ(FormatID3Timestamp(At(12000, 3, 4)), "9999-03-04");
    EXPECT_EQ(FormatID3Timestamp(ID3ZeroDate()), "1899-12-30");
}

struct FailureCase {
    const char* name;
    QByteArray file;
    const char* message; // nullptr: a file error whose message names the file
    friend void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }
};

class ID3v2OpenFailureTest : public testing::TestWithParam<FailureCase> {};

TEST_P(ID3v2OpenFailureTest, FailsAndStaysClosed) {
    TempDir dir;
    const QString path = dir.Write("a.mp3", GetParam().file);
    TID3v2Tag tag;
    tag.SetFileName(path);
    try {
        tag.Open();
        FAIL() << "Open succeeded";
    } catch (const ID3FileIO::TFileError& error) {
        EXPECT_EQ(GetParam().message, nullptr) << error.what();
        EXPECT_TRUE(error.Message().contains(path)) << error.what();
    } catch (const TError& error) {
        ASSERT_NE(GetParam().message, nullptr) << error.what();
        EXPECT_EQ(error.Message(), GetParam().message);
    }
    EXPECT_FALSE(tag.Active());
    EXPECT_EQ(tag.FrameCount(), 0);
    EXPECT_EQ(dir.Read("a.mp3"), GetParam().file);
}

const FailureCase MessagesCases[] = {
    // Inputs that make Open fail.
    {"encoding_above_3", Tag(3, Frame23("TIT2", Encoded(4, "x"))), "Unknown encoding"},
    {"encoding_above_3_in_a_comment", Tag(3, Frame23("COMM", Encoded(9, "engx"))),
     "Unknown encoding"},
    {"encoding_above_3_in_an_uninterpreted_text_frame", Tag(4, Frame24("TPE2", Encoded(5, "x"))),
     "Unknown encoding"},
    {"unsynchronised_tag_ends_before_its_size", Tag(3, Frame23("TIT2", Latin1("x")), 0x80).left(15),
     "Could not read data from stream"},
    {"tag_ends_before_its_size", Tag(3, Frame23("TIT2", Latin1("x"))).left(15), nullptr},
    {"declared_size_far_beyond_the_file",
     QByteArray("ID3\x04\x00\x00\x7F\x7F\x7F\x7F", 10) + Audio(1), nullptr},
};

INSTANTIATE_TEST_SUITE_P(Messages, ID3v2OpenFailureTest, testing::ValuesIn(MessagesCases));

TEST(ID3v2OpenTest, MissingFileFailsWithTheFileError) {
    TempDir dir;
    TID3v2Tag tag;
    tag.SetFileName(dir.File("none.mp3"));
    EXPECT_THROW(tag.Open(), ID3FileIO::TFileError);
    EXPECT_FALSE(tag.Active());
}

TEST(ID3v2OpenTest, ShortFilesAndOtherStartsHaveNoTag) {
    for (const QByteArray& file : {QByteArray(), QByteArray("ID3\x03\x00\x00\x00\x00\x00", 9),
                                   QByteArray("ID2") + Audio(1), Audio(1)}) {
        OpenedTag opened(QByteArray{});
        TID3v2Tag tag;
        tag.SetFileName(opened.dir.Write("b.mp3", file));
        tag.Open();
        EXPECT_TRUE(tag.Active());
        EXPECT_FALSE(tag.HasTag());
        EXPECT_EQ(tag.Version(), iveLowerThan2_2);
        EXPECT_EQ(tag.WriteVersion(), ive2_4);
    }
}

TEST(ID3v2OpenTest, ReadingNeverChangesTheFile) {
    TempDir dir;
    const QByteArray file =
        Tag(3, Frame23("TIT2", Latin1("x")) + Frame23("TPE1", Latin1("")), 0, 40) + Audio(2);
    const QString path = dir.Write("a.mp3", file);
    TID3v2Tag tag;
    tag.SetFileName(path);
    tag.Open();
    (void)tag.Texts().LeadArtist();
    (void)tag.Texts().OrigArtist(); // adds an empty frame in memory only
    tag.Close();
    EXPECT_EQ(dir.Read("a.mp3"), file);
}

} // namespace
