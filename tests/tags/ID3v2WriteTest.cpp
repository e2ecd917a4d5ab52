// Writing ID3v2 tags: what Commit writes, in which version, encoding and layout, and where.
#include "ID3v2TestBytes.h"
#include "support/Error.h"
#include "tags/ID3FileEnds.h"
#include "tags/ID3Timestamp.h"
#include "tags/ID3v1Tag.h"
#include "tags/ID3v2Tag.h"
#include "tags/ID3v2Writer.h"
#include "testsupport/TempDir.h"

#include <functional>
#include <gtest/gtest.h>
#include <optional>

using namespace ID3v2TestBytes;

namespace {

// A file with a tag (or none), opened, changed by the case and committed.
struct Committed {
    TempDir dir;
    QString path;
    QByteArray audio = Audio(3);
    QByteArray before;
    QByteArray after;
    WrittenTag written;

    Committed(const QByteArray& tag, const std::function<void(TID3v2Tag&)>& change) {
        before = tag + audio;
        path = dir.Write("a.mp3", before);
        TID3v2Tag id3;
        id3.SetFileName(path);
        id3.Open();
        change(id3);
        id3.Commit();
        EXPECT_TRUE(id3.Active());
        after = dir.Read("a.mp3");
        written = ParseWritten(after);
    }
    // The tag read back by the program.
    void Reopen(const std::function<void(TID3v2Tag&)>& check) const {
        TID3v2Tag id3;
        id3.SetFileName(path);
        id3.Open();
        check(id3);
    }
};

void NoChange(TID3v2Tag&) {}

TEST(ID3v2WriteTest, FileWithoutTagGetsAVersion24TagAreaOf4096Bytes) {
    Committed c(QByteArray(), [](TID3v2Tag& tag) { tag.Texts().SetTitle("Hi"); });
    EXPECT_EQ(c.after.size(), 4096 + c.audio.size());
    EXPECT_EQ(c.written.major, 4);
    EXPECT_EQ(c.written.areaSize, 4096);
    EXPECT_EQ(c.written.Names(), QStringList({"TIT2"}));
    EXPECT_EQ(c.written.Data("TIT2"), Latin1("Hi"));
    EXPECT_EQ(c.after.mid(10 + 13), QByteArray(4096 - 23, '\0') + c.audio);
}

TEST(ID3v2WriteTest, PaddingRule) {
    const struct {
        qint64 newSize, oldSize, area;
    } cases[] = {
        {30, 0, 4096},        // a first tag
        {4100, 4096, 8192},   // 4096 -> 6145; 2045 raised to 2048; rounded up
        {4096, 4096, 8192},   // exactly the old size does not fit
        {4095, 4096, 4096},   // fits with one byte of padding
        {100, 4096, 4096},    // shrinking keeps the area
        {10000, 2048, 12288}, // grown by half at a time until it holds the tag
        {2100, 0, 6144},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.newSize + ID3v2Padding(c.newSize, c.oldSize), c.area)
            << c.newSize << " in " << c.oldSize;
        // Any other area than the present one is written by rebuilding the file.
        EXPECT_EQ(ID3v2TagRebuildsFile(c.newSize, c.oldSize), c.area != c.oldSize)
            << c.newSize << " in " << c.oldSize;
    }
}

// A 2.4 tag area of 4096 bytes holding one picture of the given size.
QByteArray TagWithPicture(int pictureSize) {
    const QByteArray apic = Frame24(
        "APIC", Latin1(QByteArray("image/jpeg\0\x03\0", 13) + QByteArray(pictureSize, 'p')));
    return Tag(4, apic, 0, 4086 - apic.size());
}

TEST(ID3v2WriteTest, TagThatNoLongerFitsMovesTheAudioByWholeUnits) {
    // The new tag takes 4100 bytes: 10 header + 10 frame header + 14 content head + 4066.
    Committed c(TagWithPicture(100), [](TID3v2Tag& tag) {
        TID3Frame* frame = nullptr;
        ASSERT_TRUE(tag.FindFirstFrame(fiPicture, frame));
        frame->As<TID3PictureFrame>()->SetPictureData(QByteArray(4066, 'q'));
    });
    EXPECT_EQ(c.written.areaSize, 8192);
    EXPECT_EQ(c.after.mid(8192), c.audio);
}

TEST(ID3v2WriteTest, ShrinkingKeepsTheAreaAndTheAudioInPlace) {
    Committed c(TagWithPicture(3000), [](TID3v2Tag& tag) {
        TID3Frame* frame = nullptr;
        ASSERT_TRUE(tag.FindFirstFrame(fiPicture, frame));
        frame->As<TID3PictureFrame>()->SetPictureData("small");
    });
    EXPECT_EQ(c.after.size(), c.before.size());
    EXPECT_EQ(c.written.areaSize, 4096);
    const int tagEnd = 10 + 10 + 14 + 5;
    EXPECT_EQ(c.after.mid(tagEnd), QByteArray(4096 - tagEnd, '\0') + c.audio);
}

TEST(ID3v2WriteTest, VersionIsKeptAndFramesOfOtherVersionsAreLeftOut) {
    Committed v23(Tag(3, Frame23("TYER", Latin1("1999")) + Frame23("TDRC", Latin1("2001")) +
                             Frame23("TSOP", Latin1("Sort")) + Frame23("TDAT", Latin1("0103"))),
                  NoChange);
    EXPECT_EQ(v23.written.major, 3);
    EXPECT_EQ(v23.written.Names(), QStringList({"TYER", "TDAT"}));
    EXPECT_EQ(v23.written.Data("TDAT"), Latin1("0103"));

    Committed v24(Tag(4, Frame24("TYER", Latin1("1999")) + Frame24("TDRC", Latin1("2004")) +
                             Frame24("TSOP", Latin1("Sort")) + Frame24("TDAT", Latin1("0103"))),
                  NoChange);
    EXPECT_EQ(v24.written.major, 4);
    EXPECT_EQ(v24.written.Names(), QStringList({"TDRC", "TSOP"}));
    EXPECT_EQ(v24.written.Data("TDRC"), Latin1("2004-01-01"));
}

TEST(ID3v2WriteTest, Version22IsWrittenBackAsVersion22) {
    Committed c(Tag(2, Frame22("TT2", Latin1("T")) + Frame22("TSS", Latin1("enc")) +
                           Frame22("PIC", Latin1(QByteArray("PNG\x03\0", 5) + "png"))),
                [](TID3v2Tag& tag) {
                    tag.Texts().SetAlbum(QString::fromUtf8("Ωmega"));
                    auto* picture = tag.AddFrameAs<TID3PictureFrame>(fiPicture);
                    picture->SetMIMEType("image/jpeg");
                    picture->SetPictureType(ptCoverBack);
                    picture->SetPictureData("jpg");
                });
    EXPECT_EQ(c.written.major, 2);
    EXPECT_EQ(c.written.Names(), QStringList({"TT2", "TSS", "PIC", "TAL", "PIC"}));
    EXPECT_EQ(c.written.frames[2].data, Latin1(QByteArray("PNG\x03\0", 5) + "png"));
    EXPECT_EQ(c.written.frames[4].data, Latin1(QByteArray("JPG\x04\0", 5) + "jpg"));
    EXPECT_EQ(c.written.Data("TAL"), Utf16(QString::fromUtf8("Ωmega")));
}

TEST(ID3v2WriteTest, RecordingTimeIsWrittenAsADate) {
    Committed c(Tag(4, Frame24("TDRC", Latin1("2004"))), NoChange);
    EXPECT_EQ(c.written.Data("TDRC"), Latin1("2004-01-01"));

    Committed set(Tag(4, Frame24("TIT2", Latin1("T"))), [](TID3v2Tag& tag) {
        tag.Texts().SetRecordingTime(QDateTime(QDate(1999, 12, 31), QTime(23, 59, 58), Qt::UTC));
    });
    EXPECT_EQ(set.written.Data("TDRC"), Latin1("1999-12-31T23:59:58"));

    // A text that gives no date is not turned into 1899-12-30 behind the user's back.
    Committed unreadable(Tag(4, Frame24("TDRC", Latin1("Unknown"))), NoChange);
    EXPECT_EQ(unreadable.written.Data("TDRC"), Latin1("Unknown"));
}

TEST(ID3v2WriteTest, SlashListsJoinValuesAndDropSlashesInsideThem) {
    Committed read(Tag(3, Frame23("TPE1", Latin1("AC/DC"))), NoChange);
    EXPECT_EQ(read.written.Data("TPE1"), Latin1("AC/DC"));

    Committed set(Tag(3, Frame23("TIT2", Latin1("T"))), [](TID3v2Tag& tag) {
        tag.Texts().LeadArtist().append("Foo/Bar");
        tag.Texts().OrigArtist() = QStringList({"A", "", "B"});
    });
    EXPECT_EQ(set.written.Data("TPE1"), Latin1("FooBar"));
    EXPECT_EQ(set.written.Data("TOPE"), Latin1("A//B"));

    Committed genres(Tag(3, Frame23("TCON", Latin1(QByteArray("Rock\0Pop\0", 9)))),
                     [](TID3v2Tag& tag) { tag.Texts().ContentType().append("A/B"); });
    EXPECT_EQ(genres.written.Data("TCON"), Latin1(QByteArray("Rock\0Pop\0A/B\0", 13)));
}

TEST(ID3v2WriteTest, EncodingFollowsTheText) {
    Committed c(
        Tag(4, Frame24("TIT2", Encoded(3, "Caf\xC3\xA9")) + Frame24("TALB", Utf16("Plain"))),
        [](TID3v2Tag& tag) {
            tag.Texts().LeadArtist().append(QString::fromUtf8("日本"));
            auto* comment = TID3ContentFrame::FindOrCreate(tag, fiComment);
            comment->SetDescription(QString::fromUtf8("ŁD"));
            comment->SetText("latin");
            auto* picture = tag.AddFrameAs<TID3PictureFrame>(fiPicture);
            picture->SetMIMEType("image/png");
            picture->SetDescription(QString::fromUtf8("€"));
            picture->SetPictureData("x");
        });
    // Accented Latin letters stay ISO-8859-1, whatever the frame was read in.
    EXPECT_EQ(c.written.Data("TIT2"), Latin1("Caf\xE9"));
    EXPECT_EQ(c.written.Data("TALB"), Latin1("Plain"));
    EXPECT_EQ(c.written.Data("TPE1"), Utf16(QString::fromUtf8("日本")));
    EXPECT_EQ(c.written.Data("COMM"), QByteArray("\x01XXX", 4) +
                                          Utf16(QString::fromUtf8("ŁD"), true).mid(1) +
                                          Utf16("latin").mid(1));
    EXPECT_EQ(c.written.Data("APIC"), QByteArray("\x01image/png\0\0", 12) +
                                          Utf16(QString::fromUtf8("€"), true).mid(1) + "x");
}

struct EmptinessCase {
    const char* name;
    QByteArray frames; // a 2.4 tag's frames
    std::function<void(TID3v2Tag&)> change;
    QStringList written;
    friend void PrintTo(const EmptinessCase& c, std::ostream* os) { *os << c.name; }
};

class ID3v2EmptinessTest : public testing::TestWithParam<EmptinessCase> {};

TEST_P(ID3v2EmptinessTest, EmptyFramesAreNotWritten) {
    Committed c(Tag(4, Frame24("TIT2", Latin1("keep")) + GetParam().frames), GetParam().change);
    EXPECT_EQ(c.written.Names(), QStringList({"TIT2"}) + GetParam().written);
}

const EmptinessCase EmptinessCases[] = {
    // Frames that are written or left out as empty.
    {"empty_latin1_text", Frame24("TALB", Latin1("")), NoChange, {}},
    // The byte-order mark alone takes two bytes.
    {"empty_utf16_text", Frame24("TALB", Utf16("")), NoChange, {"TALB"}},
    {"utf16_list_without_values", Frame24("TPE1", Utf16("")), NoChange, {}},
    {"utf16_list_with_one_empty_value",
     Frame24("TOPE", Utf16("")),
     [](TID3v2Tag& tag) { tag.Texts().OrigArtist().append(""); },
     {"TOPE"}},
    {"list_without_values",
     QByteArray(),
     [](TID3v2Tag& tag) { (void)tag.Texts().LeadArtist(); },
     {}},
    {"slash_list_with_one_empty_value",
     QByteArray(),
     [](TID3v2Tag& tag) { tag.Texts().LeadArtist().append(""); },
     {}},
    {"nul_list_with_one_empty_value",
     QByteArray(),
     [](TID3v2Tag& tag) { tag.Texts().ContentType().append(""); },
     {"TCON"}},
    {"comment_with_unknown_language_only",
     Frame24("COMM", Latin1(QByteArray("XXX\0", 4))),
     NoChange,
     {}},
    {"comment_with_a_language",
     Frame24("COMM", Latin1(QByteArray("eng\0", 4))),
     NoChange,
     {"COMM"}},
    {"new_comment",
     QByteArray(),
     [](TID3v2Tag& tag) { TID3ContentFrame::FindOrCreate(tag, fiComment); },
     {}},
    {"picture_without_anything", QByteArray(), [](TID3v2Tag& tag) { tag.AddFrame(fiPicture); }, {}},
    {"picture_with_a_mime_type_only",
     QByteArray(),
     [](TID3v2Tag& tag) { tag.AddFrameAs<TID3PictureFrame>(fiPicture)->SetMIMEType("image/png"); },
     {"APIC"}},
    {"year_zero", QByteArray(), [](TID3v2Tag& tag) { tag.Texts().SetYear(0); }, {}},
    {"length_zero", Frame24("TLEN", Latin1("")), NoChange, {"TLEN"}},
    {"new_recording_time",
     QByteArray(),
     [](TID3v2Tag& tag) { tag.Texts().SetRecordingTime(ID3ZeroDate()); },
     {"TDRC"}},
    {"unknown_frame_without_bytes", Frame24("XHLD", ""), NoChange, {}},
    {"unknown_frame_with_one_byte", Frame24("XHLD", "x"), NoChange, {"XHLD"}},
    {"uninterpreted_text_frame_with_encoding_byte_only", Frame24("TPE2", Latin1("")), NoChange, {}},
};

INSTANTIATE_TEST_SUITE_P(Frames, ID3v2EmptinessTest, testing::ValuesIn(EmptinessCases));

struct DuplicateCase {
    const char* name;
    QByteArray frames; // a 2.3 tag's frames
    QStringList written;
    friend void PrintTo(const DuplicateCase& c, std::ostream* os) { *os << c.name; }
};

class ID3v2DuplicateTest : public testing::TestWithParam<DuplicateCase> {};

TEST_P(ID3v2DuplicateTest, LaterDuplicatesAreDeleted) {
    Committed c(Tag(3, GetParam().frames), NoChange);
    QStringList data;
    for (const WrittenFrame& frame : c.written.frames)
        data.append(QString::fromLatin1(frame.name + ':' + frame.data.toHex()));
    QStringList expected;
    for (const QString& item : GetParam().written)
        expected.append(item);
    EXPECT_EQ(data, expected);
}

QString Entry(const char* name, const QByteArray& data) {
    return QString::fromLatin1(QByteArray(name) + ':' + data.toHex());
}

QByteArray Apic(char type, const QByteArray& description, const QByteArray& data) {
    return Latin1(QByteArray("image/jpeg\0", 11) + type + description + '\0' + data);
}

const DuplicateCase DuplicateCases[] = {
    // Frames and the duplicates deleted after them.
    {"text_frames_by_identifier",
     Frame23("TIT2", Latin1("A")) + Frame23("TALB", Latin1("X")) + Frame23("TIT2", Latin1("B")) +
         Frame23("TPE2", Latin1("1")) + Frame23("TPE2", Latin1("2")),
     {Entry("TIT2", Latin1("A")), Entry("TALB", Latin1("X")), Entry("TPE2", Latin1("1"))}},
    {"front_covers_with_empty_descriptions",
     Frame23("APIC", Apic(3, "", "one")) + Frame23("APIC", Apic(3, "", "two")) +
         Frame23("APIC", Apic(3, "b", "three")) + Frame23("APIC", Apic(4, "", "four")),
     {Entry("APIC", Apic(3, "", "one")), Entry("APIC", Apic(3, "b", "three")),
      Entry("APIC", Apic(4, "", "four"))}},
    {"file_icons_whatever_their_description",
     Frame23("APIC", Apic(1, "a", "one")) + Frame23("APIC", Apic(1, "b", "two")) +
         Frame23("APIC", Apic(2, "a", "three")),
     {Entry("APIC", Apic(1, "a", "one")), Entry("APIC", Apic(2, "a", "three"))}},
    // Languages are corrected first, so ENG and eng meet as duplicates.
    {"comments_by_language_and_description",
     Frame23("COMM", Latin1(QByteArray("ENG\0one", 7))) +
         Frame23("COMM", Latin1(QByteArray("eng\0two", 7))) +
         Frame23("COMM", Latin1(QByteArray("engd\0three", 10))) +
         Frame23("COMM", Latin1(QByteArray("fre\0four", 8))),
     {Entry("COMM", Latin1(QByteArray("eng\0one", 7))),
      Entry("COMM", Latin1(QByteArray("engd\0three", 10))),
      Entry("COMM", Latin1(QByteArray("fre\0four", 8)))}},
    {"unknown_frames_repeat_freely",
     Frame23("PRIV", "a") + Frame23("PRIV", "a") + Frame23("TXXX", Latin1("x")) +
         Frame23("TXXX", Latin1("x")),
     {Entry("PRIV", "a"), Entry("PRIV", "a"), Entry("TXXX", Latin1("x")),
      Entry("TXXX", Latin1("x"))}},
};

INSTANTIATE_TEST_SUITE_P(Frames, ID3v2DuplicateTest, testing::ValuesIn(DuplicateCases));

struct CorrectionCase {
    const char* name;
    QByteArray frame; // one 2.3 frame
    const char* writtenName;
    QByteArray writtenData;
    friend void PrintTo(const CorrectionCase& c, std::ostream* os) { *os << c.name; }
};

class ID3v2AutoCorrectTest : public testing::TestWithParam<CorrectionCase> {};

TEST_P(ID3v2AutoCorrectTest, CorrectsBeforeWriting) {
    Committed c(Tag(3, GetParam().frame), NoChange);
    EXPECT_EQ(c.written.Data(GetParam().writtenName).toHex(), GetParam().writtenData.toHex());
}

const CorrectionCase CorrectionCases[] = {
    // Values corrected before writing.
    {"track_number", Frame23("TRCK", Latin1("7")), "TRCK", Latin1("7")},
    {"track_and_count", Frame23("TRCK", Latin1("03/12")), "TRCK", Latin1("03/12")},
    {"track_starting_with_slash", Frame23("TRCK", Latin1("/12")), "TRCK", Latin1("")},
    {"track_ending_with_slash", Frame23("TRCK", Latin1("3/")), "TRCK", Latin1("")},
    {"track_with_letters", Frame23("TRCK", Latin1("A7")), "TRCK", Latin1("")},
    {"track_negative", Frame23("TRCK", Latin1("-1")), "TRCK", Latin1("")},
    {"year_above_9999", Frame23("TYER", Latin1("12345")), "TYER", Latin1("0000")},
    {"year_of_three_digits", Frame23("TYER", Latin1("999")), "TYER", Latin1("0999")},
    {"original_year", Frame23("TORY", Latin1("77")), "TORY", Latin1("0077")},
    {"length_in_plain_decimal", Frame23("TLEN", Latin1("0042")), "TLEN", Latin1("42")},
    {"language_upper_case", Frame23("COMM", Latin1(QByteArray("GER\0t", 5))), "COMM",
     Latin1(QByteArray("ger\0t", 5))},
    {"language_unknown_code", Frame23("COMM", Latin1(QByteArray("zz1\0t", 5))), "COMM",
     Latin1(QByteArray("XXX\0t", 5))},
    {"language_empty", Frame23("COMM", Latin1(QByteArray("\0\0\0\0t", 5))), "COMM",
     Latin1(QByteArray("XXX\0t", 5))},
    {"language_xxx_kept", Frame23("COMM", Latin1(QByteArray("XXX\0t", 5))), "COMM",
     Latin1(QByteArray("XXX\0t", 5))},
};

INSTANTIATE_TEST_SUITE_P(Frames, ID3v2AutoCorrectTest, testing::ValuesIn(CorrectionCases));

TEST(ID3v2WriteTest, NewCommentIsWrittenWithUnknownLanguageAndEmptyDescription) {
    Committed c(Tag(4, Frame24("TIT2", Latin1("T"))), [](TID3v2Tag& tag) {
        TID3ContentFrame::FindOrCreate(tag, fiComment)->SetText("Feat. Someone");
    });
    EXPECT_EQ(c.written.Data("COMM"), Latin1(QByteArray("XXX\0Feat. Someone", 17)));
}

TEST(ID3v2WriteTest, UnsynchronisedVersion23TagStaysUnsynchronised) {
    const QByteArray picture("\xFF\x00\xFF\xE0\xFF\xFB\x41\xFF", 8);
    Committed c(Tag(3, Frame23("TIT2", Latin1("T")), 0x80), [&](TID3v2Tag& tag) {
        auto* frame = tag.AddFrameAs<TID3PictureFrame>(fiPicture);
        frame->SetMIMEType("image/x");
        frame->SetPictureData(picture);
    });
    EXPECT_EQ(c.written.flags & 0x80, 0x80);
    // No false synchronisation is left behind the header.
    const QByteArray area = c.after.mid(10, int(c.written.areaSize) - 10);
    for (int i = 0; i + 1 < area.size(); ++i) {
        if (quint8(area[i]) == 0xFF) {
            EXPECT_LT(quint8(area[i + 1]), 0xE0) << "at " << i;
        }
    }
    EXPECT_EQ(c.written.Data("APIC"), Latin1(QByteArray("image/x\0\0\0", 10) + picture));
    c.Reopen([&](TID3v2Tag& tag) {
        TID3Frame* frame = nullptr;
        ASSERT_TRUE(tag.FindFirstFrame(fiPicture, frame));
        EXPECT_EQ(frame->As<TID3PictureFrame>()->PictureData(), picture);
        EXPECT_EQ(tag.Texts().Title(), "T");
    });
    EXPECT_EQ(c.after.mid(int(c.written.areaSize)), c.audio);
}

TEST(ID3v2WriteTest, UnsynchronisedVersion24TagUnsynchronisesEveryFrame) {
    const QByteArray picture("\xFF\x00\xFF\xE0\x41", 5);
    Committed c(Tag(4,
                    Frame24("TIT2",
                            QByteArray("\0\0\0\x02"
                                       "\0T",
                                       6),
                            0x0001),
                    0x80),
                [&](TID3v2Tag& tag) {
                    auto* frame = tag.AddFrameAs<TID3PictureFrame>(fiPicture);
                    frame->SetMIMEType("image/x");
                    frame->SetPictureData(picture);
                });
    EXPECT_EQ(c.written.flags & 0x80, 0x80);
    ASSERT_EQ(c.written.frames.size(), 2);
    // Data length indicator as read, holding the size before unsynchronisation.
    EXPECT_EQ(c.written.frames[0].flags, 0x0003);
    EXPECT_EQ(c.written.frames[0].data, QByteArray("\0\0\0\x02\0T", 6));
    EXPECT_EQ(c.written.frames[1].flags, 0x0002);
    EXPECT_EQ(c.written.frames[1].data,
              Latin1(QByteArray("image/x\0\0\0\xFF\x00\x00\xFF\x00\xE0\x41", 17)));
    c.Reopen([&](TID3v2Tag& tag) {
        TID3Frame* frame = nullptr;
        ASSERT_TRUE(tag.FindFirstFrame(fiPicture, frame));
        EXPECT_EQ(frame->As<TID3PictureFrame>()->PictureData(), picture);
    });
}

TEST(ID3v2WriteTest, CompressedFramesAndGroupingBytesAreWrittenBackAsRead) {
    const QByteArray compressed23 = Frame23("TIT2", QByteArray("\0\0\0\x05zzzz", 8), 0x00A0);
    const QByteArray grouped23 = Frame23("TALB", QByteArray("\x09\0Album", 7), 0x4020);
    Committed v23(Tag(3, compressed23 + grouped23), NoChange);
    EXPECT_EQ(v23.after.mid(10, compressed23.size() + grouped23.size()), compressed23 + grouped23);

    const QByteArray encrypted24 = Frame24("TIT2", QByteArray("\x80\x00\x00\x00\x05zz", 7), 0x0045);
    const QByteArray grouped24 = Frame24("TALB", QByteArray("\x09\0Album", 7), 0x2040);
    Committed v24(Tag(4, encrypted24 + grouped24),
                  [](TID3v2Tag& tag) { tag.Texts().SetAlbum("Changed"); });
    EXPECT_EQ(v24.after.mid(10, encrypted24.size()), encrypted24);
    EXPECT_EQ(v24.written.frames[1].flags, 0x2040);
    EXPECT_EQ(v24.written.frames[1].data, QByteArray("\x09\0Changed", 9));
}

TEST(ID3v2WriteTest, ExtendedHeaderGetsAFreshChecksumAndPaddingSize) {
    const QByteArray ext23("\0\0\0\x0A\x80\0\0\0\0\0\xDE\xAD\xBE\xEF", 14);
    Committed v23(Tag(3, ext23 + Frame23("TIT2", Latin1("T")), 0x40), NoChange);
    const QByteArray frames23 = Frame23("TIT2", Latin1("T"));
    const qint64 padding = v23.written.areaSize - 10 - 14 - frames23.size();
    EXPECT_EQ(v23.written.flags & 0x40, 0x40);
    EXPECT_EQ(v23.written.extendedHeader.toHex(),
              (QByteArray("\0\0\0\x0A\x80\0", 6) + EncodeBigEndian(quint32(padding), 4) +
               EncodeBigEndian(ID3Crc32(frames23), 4))
                  .toHex());
    EXPECT_EQ(v23.written.Data("TIT2"), Latin1("T"));

    const QByteArray ext24("\0\0\0\x0C\x01\x20\x05\x01\x02\x03\x04\x05", 12);
    Committed v24(Tag(4, ext24 + Frame24("TIT2", Latin1("T")), 0x40), NoChange);
    const QByteArray rest = v24.after.mid(10 + 12, int(v24.written.areaSize) - 22);
    const quint32 crc = ID3Crc32(rest);
    QByteArray crcBytes(5, '\0');
    for (int i = 4; i >= 0; --i)
        crcBytes[i] = char((quint64(crc) >> (7 * (4 - i))) & 0x7F);
    EXPECT_EQ(v24.written.extendedHeader.toHex(),
              (QByteArray("\0\0\0\x0C\x01\x20\x05", 7) + crcBytes).toHex());
}

TEST(ID3v2WriteTest, Crc32IsTheStandardOne) {
    EXPECT_EQ(ID3Crc32("123456789"), 0xCBF43926u);
    EXPECT_EQ(ID3Crc32("6789", ID3Crc32("12345")), 0xCBF43926u);
}

TEST(ID3v2WriteTest, SizeLimits) {
    TID3Frames frames;
    const TID3v2TagImage image(frames, TID3v2WriteLayout{});
    try {
        (void)image.Area(0x10000000);
        FAIL();
    } catch (const TError& error) {
        EXPECT_EQ(error.Message(), "Tag is too big");
    }

    auto* picture = frames.Add(CreateID3Frame(fiPicture))->As<TID3PictureFrame>();
    picture->SetPictureData(QByteArray(0xFFFFFF, 'p'));
    TID3v2WriteLayout v22;
    v22.Version = ive2_2;
    try {
        TID3v2TagImage tooBig(frames, v22);
        FAIL();
    } catch (const TError& error) {
        EXPECT_EQ(error.Message(), "Frame size is too big");
    }
}

// Measuring a tag from its frames' contents gives the size of the tag built from them, for
// every layout the writer knows, and fails as building it fails.
TEST(ID3v2WriteTest, MeasuringATagGivesTheSizeOfTheBuiltOne) {
    const QByteArray ff("\x01\xFF\xFE\xFF\x00\xE0\x00", 7); // false synchronisations
    const QByteArray ext23("\0\0\0\x06\0\0\0\0\0\0", 10);
    const QByteArray ext24("\0\0\0\x0C\x01\x20\x05\x01\x02\x03\x04\x05", 12);
    const struct {
        const char* name;
        QByteArray tag;
    } cases[] = {
        {"2.2", Tag(2, Frame22("TT2", Latin1("T")) + Frame22("COM", Latin1("engd\0c")))},
        {"2.3 with unknown and grouped frames",
         Tag(3, Frame23("TIT2", ff) + Frame23("XYZW", "\xFF\xFF") +
                    Frame23("TALB", QByteArray("\x09\0Album", 7), 0x0020))},
        {"2.3 compressed", Tag(3, Frame23("TIT2", QByteArray("\0\0\0\x05zzzz", 8), 0x0080))},
        {"2.3 unsynchronised", Tag(3, Frame23("TIT2", ff) + Frame23("TPE1", Latin1("A")), 0x80)},
        {"2.2 unsynchronised", Tag(2, Frame22("TT2", ff), 0x80)},
        {"2.3 extended header", Tag(3, ext23 + Frame23("TIT2", Latin1("T")), 0x40)},
        {"2.4 extended header", Tag(4, ext24 + Frame24("TIT2", Latin1("T")), 0x40)},
        {"2.4 unsynchronised", Tag(4, Frame24("TIT2", ff) + Frame24("TPE1", ff, 0x0001), 0x80)},
        {"2.4 frames unsynchronised, with lengths",
         Tag(4, Frame24("TIT2", QByteArray("\0\0\0\x07", 4) + ff, 0x0003) +
                    Frame24("TALB", QByteArray("\x09\0Album", 7), 0x0040))},
        {"2.4 encrypted", Tag(4, Frame24("TIT2", QByteArray("\x80\0\0\0\x05zz", 7), 0x0045))},
        {"no tag", QByteArray()},
    };
    for (const auto& c : cases) {
        TID3v2TagData data = ReadID3v2TagBytes(c.tag + Audio(1));
        PrepareID3v2FramesForWriting(data.Frames);
        const TID3v2WriteLayout layout = ID3v2WriteLayoutFor(data);
        if (data.HasTag() && data.Version() != ive2_2)
            data.Frames.Add(CreateID3Frame(fiPicture))
                ->As<TID3PictureFrame>()
                ->SetPictureData(QByteArray("\xFF\xE0\xFF", 3));
        const qint64 measured =
            ID3v2TagSize(data.Frames, layout, [&](qsizetype index, const TID3Frame& frame) {
                EXPECT_EQ(data.Frames.At(int(index)), &frame) << c.name;
                return frame.BuildContent(layout.Version);
            });
        EXPECT_EQ(measured, TID3v2TagImage(data.Frames, layout).Size()) << c.name;
    }

    TID3Frames frames;
    frames.Add(CreateID3Frame(fiPicture))
        ->As<TID3PictureFrame>()
        ->SetPictureData(QByteArray(0xFFFFFF, 'p'));
    TID3v2WriteLayout v22;
    v22.Version = ive2_2;
    const auto content = [](qsizetype, const TID3Frame& frame) {
        return frame.BuildContent(ive2_2);
    };
    try {
        (void)ID3v2TagSize(frames, v22, content);
        FAIL();
    } catch (const TError& error) {
        EXPECT_EQ(error.Message(), "Frame size is too big");
    }
    try {
        (void)ID3v2AreaSize(ID3v2HeaderSize + 16, 0x10000000);
        FAIL();
    } catch (const TError& error) {
        EXPECT_EQ(error.Message(), "Tag is too big");
    }
    EXPECT_EQ(ID3v2AreaSize(ID3v2HeaderSize + 16, 100), ID3v2HeaderSize + 116);
}

TEST(ID3v2WriteTest, CommitKeepsTheTagOpenForAnotherCommit) {
    TempDir dir;
    const QByteArray audio = Audio(2);
    const QString path = dir.Write("a.mp3", audio);
    TID3v2Tag tag;
    tag.SetFileName(path);
    tag.Open();
    tag.Texts().SetTitle("One");
    tag.Commit();
    EXPECT_EQ(tag.WriteVersion(), ive2_4);
    tag.Texts().SetTitle("Two");
    tag.Commit();
    const QByteArray file = dir.Read("a.mp3");
    EXPECT_EQ(file.size(), 4096 + audio.size());
    EXPECT_EQ(ParseWritten(file).Data("TIT2"), Latin1("Two"));
}

TEST(ID3v2WriteTest, TagOfAnUnknownVersionIsReplacedByAVersion24Tag) {
    Committed c(Tag(5, QByteArray("whatever"), 0x80, 100),
                [](TID3v2Tag& tag) { tag.Texts().SetTitle("New"); });
    EXPECT_EQ(c.written.major, 4);
    EXPECT_EQ(c.written.flags, 0);
    EXPECT_EQ(c.written.Names(), QStringList({"TIT2"}));
    EXPECT_EQ(c.after.mid(int(c.written.areaSize)), c.audio);
}

TEST(ID3v2WriteTest, RemoveEmptyFramesBeforeCommit) {
    TempDir dir;
    TID3v2Tag tag;
    tag.SetFileName(dir.Write(
        "a.mp3", Tag(3, Frame23("TIT2", Latin1("")) + Frame23("TALB", Latin1("A"))) + Audio(1)));
    tag.Open();
    (void)tag.Texts().ContentType();
    EXPECT_EQ(tag.FrameCount(), 3);
    tag.Frames().RemoveEmptyFrames();
    ASSERT_EQ(tag.FrameCount(), 1);
    EXPECT_EQ(tag.Frames().At(0)->ID(), fiAlbum);
}

} // namespace

namespace {

TEST(ID3v2WriteTest, InMemoryBuildGivesTheAreaThatCommitWrites) {
    const QByteArray tag = Tag(3,
                               Frame23("TIT2", Utf16("Title")) + Frame23("TIT2", Latin1("dup")) +
                                   Frame23("TALB", Latin1("")) + Frame23("PRIV", "x"),
                               0x80, 30);
    TID3v2TagData data = ReadID3v2TagBytes(tag);
    const QByteArray area = BuildID3v2TagArea(data, tag.size());
    Committed c(tag, NoChange);
    EXPECT_EQ(area.toHex(), c.after.left(int(c.written.areaSize)).toHex());
    EXPECT_EQ(data.Frames.Count(), 2);
}

} // namespace

namespace {

TEST(ID3v2WriteTest, FooterFlagIsKeptAndTheFooterStaysBehindTheArea) {
    const QByteArray frames = Frame24("TIT2", Latin1("A long title"));
    QByteArray tag = Tag(4, frames, 0x10, 20);
    QByteArray footer = tag.left(10);
    footer.replace(0, 3, "3DI");
    Committed c(tag + footer, [](TID3v2Tag& t) { t.Texts().SetTitle("Short"); });
    EXPECT_EQ(c.written.flags, 0x10);
    EXPECT_EQ(c.written.areaSize, tag.size());
    EXPECT_EQ(c.after.mid(tag.size()), footer + c.audio);
}

} // namespace

namespace {

// The ends a commit reports after writing are what a read of the file then gives, so that the
// journal of a fix can take them instead of reading every file it wrote again.
TEST(ID3v2WriteTest, TheEndsACommitReportsAreTheEndsReadAfterIt) {
    const QByteArray tag = Tag(3, Frame23("TIT2", Latin1("Song")), 0, 700);
    const QByteArray id3v1 = Mp3Bytes::ID3v1({.Title = "Old"});
    const struct {
        const char* Name;
        QByteArray File;
        bool WriteID3v1;
        QByteArray NewTitle;
        bool Reported; // false: a rebuild, or tag and ID3v1 too close to tell apart
    } cases[] = {
        {"in place", tag + Audio(3), false, "New", true},
        {"in place over an ID3v1 tag", tag + Audio(3) + id3v1, true, "New", true},
        {"in place, ID3v1 tag appended", tag + Audio(3), true, "New", true},
        {"in place, ID3v1 tag left", tag + Audio(3) + id3v1, false, "New", true},
        {"rebuilt", tag + Audio(3), false, QByteArray(900, 'x'), false},
        {"tag within the last 128 bytes", tag + QByteArray(20, 'a'), false, "New", false},
        {"shorter than an ID3v1 tag", Tag(3, {}, 0, 40), false, "New", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Name);
        TempDir dir;
        const QString path = dir.Write("a.mp3", c.File);
        TID3v1Tag v1;
        v1.SetFileName(path);
        v1.Open();
        v1.SongName = "Written";
        TID3v2Tag v2;
        v2.SetFileName(path);
        v2.Open();
        v2.Texts().SetTitle(QString::fromLatin1(c.NewTitle));
        std::optional<TID3FileEnds> after;
        ASSERT_TRUE(v2.Commit(c.WriteID3v1 ? &v1 : nullptr, &after));
        ASSERT_EQ(after.has_value(), c.Reported);
        if (!after)
            continue;
        const TID3FileEnds read = ReadID3FileEnds(path);
        EXPECT_TRUE(after->Opened);
        EXPECT_EQ(after->ErrorCode, 0);
        EXPECT_EQ(after->FileSize, read.FileSize);
        EXPECT_EQ(after->Identity, read.Identity);
        EXPECT_EQ(after->Start, read.Start);
        EXPECT_EQ(after->Last, read.Last);
    }
}

} // namespace
