// The tag's life cycle and its frame list: opening, closing, typed access, walking, adding and
// removing frames, and the supporting operations.
#include "tags/ID3v2Tag.h"
#include "ID3v2TestBytes.h"
#include "support/Error.h"
#include "tags/ID3Timestamp.h"
#include "testsupport/TempDir.h"

#include <gtest/gtest.h>

using namespace ID3v2TestBytes;

namespace {

QByteArray CommentContent(const QByteArray& text) {
    return Latin1(QByteArray("eng\0", 4) + text);
}

class ID3v2TagTest : public testing::Test {
protected:
    QString Write(const QByteArray& tag, const QString& name = QStringLiteral("a.mp3")) {
        return dir.Write(name, tag + Audio(2));
    }
    TempDir dir;
    TID3v2Tag tag;
};

TEST_F(ID3v2TagTest, ClosedTagIgnoresSettersAndRefusesNewFrames) {
    EXPECT_FALSE(tag.Active());
    tag.Texts().SetTitle("x");
    tag.Texts().SetYear(1999);
    tag.Texts().SetRecordingTime(QDateTime(QDate(2001, 1, 1), QTime(), Qt::UTC));
    tag.Texts().LeadArtist().append("scratch");
    EXPECT_EQ(tag.FrameCount(), 0);
    EXPECT_EQ(tag.Texts().Title(), "");
    EXPECT_EQ(tag.Texts().Year(), 0u);
    EXPECT_EQ(tag.Texts().RecordingTime(), ID3ZeroDate());
    EXPECT_TRUE(tag.Texts().LeadArtist().isEmpty());
    try {
        tag.AddFrame(fiPicture);
        FAIL();
    } catch (const TError& error) {
        EXPECT_EQ(error.Message(), "Controller is not active");
    }
    try {
        tag.Commit();
        FAIL();
    } catch (const TError& error) {
        EXPECT_EQ(error.Message(), "Controller is not active");
    }
    EXPECT_THROW(TID3ContentFrame::FindOrCreate(tag, fiComment), TError);
}

TEST_F(ID3v2TagTest, GettersOfMissingFramesGiveDefaults) {
    tag.SetFileName(Write(Tag(4, Frame24("TALB", Latin1("A")))));
    tag.Open();
    EXPECT_EQ(tag.Texts().Title(), "");
    EXPECT_EQ(tag.Texts().TrackNum(), "");
    EXPECT_EQ(tag.Texts().Year(), 0u);
    EXPECT_EQ(tag.Texts().SongLen(), 0u);
    EXPECT_EQ(tag.Texts().RecordingTime(), QDateTime(QDate(1899, 12, 30), QTime(0, 0), Qt::UTC));
    EXPECT_EQ(TID3ContentFrame::Find(tag, fiComment), nullptr);
    EXPECT_EQ(tag.FrameCount(), 1);
}

TEST_F(ID3v2TagTest, ListGetterAddsAnEmptyFrameThatTheCallerFills) {
    tag.SetFileName(Write(Tag(3, Frame23("TIT2", Latin1("T")))));
    tag.Open();
    QStringList& artists = tag.Texts().LeadArtist();
    EXPECT_TRUE(artists.isEmpty());
    EXPECT_EQ(tag.GetFrameCountFor(fiLeadArtist), 1);
    EXPECT_EQ(tag.Frames().At(1)->ID(), fiLeadArtist); // at the end of the list
    artists.append("New");
    EXPECT_EQ(tag.Texts().LeadArtist(), QStringList({"New"}));
    EXPECT_EQ(tag.GetFrameCountFor(fiLeadArtist), 1);
}

TEST_F(ID3v2TagTest, SettersChangeTheFirstFrameOrAddOne) {
    tag.SetFileName(Write(Tag(3, Frame23("TIT2", Latin1("One")) + Frame23("TIT2", Latin1("Two")))));
    tag.Open();
    tag.Texts().SetTitle("New");
    tag.Texts().SetAlbum("Album");
    tag.Texts().SetYear(2001);
    const QDateTime when(QDate(2002, 3, 4), QTime(5, 6, 7), Qt::UTC);
    tag.Texts().SetRecordingTime(when);
    EXPECT_EQ(tag.Frames().At(0)->As<TID3TextFrame>()->Text(), "New");
    EXPECT_EQ(tag.Frames().At(1)->As<TID3TextFrame>()->Text(), "Two");
    EXPECT_EQ(tag.Texts().Album(), "Album");
    EXPECT_EQ(tag.Texts().Year(), 2001u);
    EXPECT_EQ(tag.Texts().RecordingTime(), when);
    EXPECT_EQ(tag.FrameCount(), 5);
}

TEST_F(ID3v2TagTest, WalksFramesOfOneIdentifierInListOrder) {
    tag.SetFileName(Write(
        Tag(3, Frame23("COMM", CommentContent("a")) + Frame23("TIT2", Latin1("T")) +
                   Frame23("COMM", CommentContent("b")) + Frame23("COMM", CommentContent("c")))));
    tag.Open();
    QStringList texts;
    TID3Frame* frame = nullptr;
    for (bool found = tag.FindFirstFrame(fiComment, frame); found;
         found = tag.FindNextFrame(fiComment, frame))
        texts.append(frame->As<TID3ContentFrame>()->Text());
    EXPECT_EQ(texts, QStringList({"a", "b", "c"}));
    EXPECT_EQ(frame, nullptr);
    EXPECT_FALSE(tag.FindFirstFrame(fiPicture, frame));
    EXPECT_EQ(tag.GetFrameCountFor(fiComment), 3);
}

TEST_F(ID3v2TagTest, FrameByIDAndRemove) {
    tag.SetFileName(
        Write(Tag(3, Frame23("COMM", CommentContent("a")) + Frame23("COMM", CommentContent("b")))));
    tag.Open();
    try {
        tag.Frames().FrameByID(fiPicture);
        FAIL();
    } catch (const TError& error) {
        EXPECT_EQ(error.Message(), "Frame not found");
    }
    // As the fix engine removes every frame of an identifier.
    for (int n = tag.GetFrameCountFor(fiComment); n > 0; --n)
        tag.Frames().Remove(&tag.Frames().FrameByID(fiComment));
    EXPECT_EQ(tag.FrameCount(), 0);
    TID3ContentFrame* comment = TID3ContentFrame::FindOrCreate(tag, fiComment);
    ASSERT_TRUE(comment);
    EXPECT_EQ(comment->Language(), "");
    EXPECT_EQ(comment->Description(), "");
    EXPECT_EQ(comment->Text(), "");
    EXPECT_EQ(TID3ContentFrame::FindOrCreate(tag, fiComment), comment);
    EXPECT_EQ(tag.FrameCount(), 1);
}

TEST_F(ID3v2TagTest, AddedFramesHaveTheIdentifiersKindAndGoToTheEnd) {
    tag.SetFileName(Write(Tag(4, Frame24("TIT2", Latin1("T")))));
    tag.Open();
    const struct {
        TID3FrameID id;
        bool (*isKind)(TID3Frame*);
    } kinds[] = {
        {fiPicture, [](TID3Frame* f) { return f->As<TID3PictureFrame>() != nullptr; }},
        {fiComment, [](TID3Frame* f) { return f->As<TID3ContentFrame>() != nullptr; }},
        {fiTitle, [](TID3Frame* f) { return f->As<TID3TextFrame>() != nullptr; }},
        {fiContentType, [](TID3Frame* f) { return f->As<TID3SimpleListFrame>() != nullptr; }},
        {fiYear, [](TID3Frame* f) { return f->As<TID3NumberFrame>() != nullptr; }},
        {fiRecordingTime, [](TID3Frame* f) { return f->As<TID3TimestampFrame>() != nullptr; }},
        {fiBand, [](TID3Frame* f) { return f->As<TID3SkipFrame>() != nullptr; }},
    };
    for (const auto& kind : kinds) {
        TID3Frame* frame = tag.AddFrame(kind.id);
        EXPECT_TRUE(kind.isKind(frame)) << kind.id;
        EXPECT_EQ(frame->Encoding(), ienISO_8859_1);
        EXPECT_EQ(tag.Frames().At(tag.FrameCount() - 1), frame);
    }
}

TEST_F(ID3v2TagTest, CloseDiscardsChanges) {
    const QString path = Write(Tag(3, Frame23("TIT2", Latin1("Old"))));
    tag.SetFileName(path);
    tag.Open();
    tag.Texts().SetTitle("New");
    tag.Close();
    EXPECT_FALSE(tag.Active());
    EXPECT_EQ(tag.FrameCount(), 0);
    tag.Open();
    EXPECT_EQ(tag.Texts().Title(), "Old");
}

TEST_F(ID3v2TagTest, NewFileNameClosesAndReopensWhenActive) {
    const QString first = Write(Tag(3, Frame23("TIT2", Latin1("First"))), "1.mp3");
    const QString second = Write(Tag(3, Frame23("TIT2", Latin1("Second"))), "2.mp3");
    tag.SetFileName(first);
    tag.Open();
    tag.Texts().SetAlbum("unsaved");
    tag.SetFileName(first); // the same name does nothing
    EXPECT_EQ(tag.Texts().Album(), "unsaved");
    tag.SetFileName(second);
    EXPECT_TRUE(tag.Active());
    EXPECT_EQ(tag.Texts().Title(), "Second");
    EXPECT_EQ(tag.Texts().Album(), "");
    tag.Close();
    tag.SetFileName(first);
    EXPECT_FALSE(tag.Active());
}

TEST_F(ID3v2TagTest, ProbeReadsTheHeaderOnly) {
    struct {
        QByteArray file;
        bool hasTag;
        TID3Version version;
    } cases[] = {
        {Tag(3, QByteArray()), true, ive2_3},
        {Tag(2, QByteArray()), true, ive2_2},
        {Tag(4, QByteArray()), true, ive2_4},
        {Tag(9, QByteArray()), true, iveHigherThan2_4},
        {QByteArray("ID3\x04\x00\x00\x7F\x7F\x7F\x7F", 10), true, ive2_4}, // size not checked
        {QByteArray("ID3\x04\x00\x00\x00\x00\x00", 9), false, iveLowerThan2_2},
        {Audio(1), false, iveLowerThan2_2},
    };
    for (const auto& c : cases) {
        TID3Version version = ive2_3;
        EXPECT_EQ(TID3v2Tag::ProbeID3v2Header(dir.Write("p.mp3", c.file), version), c.hasTag);
        EXPECT_EQ(version, c.version);
    }
    TID3Version version = ive2_3;
    EXPECT_FALSE(TID3v2Tag::ProbeID3v2Header(dir.File("missing.mp3"), version));
    EXPECT_EQ(version, iveLowerThan2_2);
}

TEST(MIMETypeForExtensionTest, MapsExtensions) {
    const struct {
        const char* extension;
        const char* mime;
    } cases[] = {
        {".jpg", "image/jpeg"}, {".JPEG", "image/jpeg"},  {".tif", "image/tif"},
        {".TIFF", "image/tif"}, {".bmp", "image/bitmap"}, {".png", "image/png"},
        {".gif", "image/gif"},  {"", "image/"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MIMETypeForExtension(QString::fromLatin1(c.extension)), c.mime) << c.extension;
}

// A text frame is empty when its content, encoding byte included, would take fewer than 2
// bytes in the encoding it was read in; what it writes is the encoding byte and the text in the
// encoding chosen for writing.
TEST(TextFrameContentTest, EmptinessAndBytesInEveryEncoding) {
    const struct {
        const char* name;
        TID3FrameID id;
        QStringList values;
        TID3Encoding encoding;
        bool empty;
        QByteArray content;
    } cases[] = {
        {"empty text", fiTitle, {""}, ienISO_8859_1, true, QByteArray(1, '\0')},
        {"empty text in UTF-8", fiTitle, {""}, ienUTF_8, true, QByteArray(1, '\0')},
        {"empty text in UTF-16BE", fiTitle, {""}, ienUTF_16BE, true, QByteArray(1, '\0')},
        {"empty text keeps the mark in UTF-16",
         fiTitle,
         {""},
         ienUTF_16,
         false,
         QByteArray(1, '\0')},
        {"text", fiTitle, {"Ab"}, ienUTF_16BE, false, QByteArray("\0Ab", 3)},
        {"text needing UTF-16",
         fiTitle,
         {QStringLiteral("A\u0100")},
         ienISO_8859_1,
         false,
         QByteArray("\x01\xFF\xFE"
                    "A\0\x00\x01",
                    7)},
        {"no values", fiLeadArtist, {}, ienISO_8859_1, true, QByteArray(1, '\0')},
        {"one empty value", fiLeadArtist, {""}, ienUTF_8, true, QByteArray(1, '\0')},
        {"one empty value in UTF-16", fiLeadArtist, {""}, ienUTF_16, false, QByteArray(1, '\0')},
        {"two empty values join to a slash",
         fiLeadArtist,
         {"", ""},
         ienISO_8859_1,
         false,
         QByteArray("\0/", 2)},
        {"values joined by a slash",
         fiLeadArtist,
         {"A", "B"},
         ienISO_8859_1,
         false,
         QByteArray("\0A/B", 4)},
        {"values joined in UTF-16 behind one mark",
         fiLeadArtist,
         {QStringLiteral("\u0100"), "B"},
         ienISO_8859_1,
         false,
         QByteArray("\x01\xFF\xFE\x00\x01/\0B\0", 9)},
        {"an empty value ended by a terminator",
         fiContentType,
         {""},
         ienISO_8859_1,
         false,
         QByteArray(2, '\0')},
        {"values ended by terminators",
         fiContentType,
         {"A", QStringLiteral("\u0100")},
         ienUTF_8,
         false,
         QByteArray("\x01\xFF\xFE"
                    "A\0\0\0\xFF\xFE\x00\x01\0\0",
                    13)},
    };
    for (const auto& c : cases) {
        const auto frame = CreateID3Frame(c.id);
        frame->SetEncoding(c.encoding);
        if (auto* text = frame->As<TID3TextFrame>())
            text->SetText(c.values.value(0));
        else
            frame->As<TID3SimpleListFrame>()->Strings() = c.values;
        EXPECT_EQ(frame->IsEmpty(), c.empty) << c.name;
        EXPECT_EQ(frame->BuildContent(ive2_4), c.content) << c.name;
    }
}

TEST(PictureFrameTest, LoadsFromFileAndClears) {
    TempDir dir;
    const QByteArray bytes("\xFF\xD8picture\xFF\xD9", 11);
    TID3PictureFrame frame(fiPicture);
    frame.LoadFromFile(dir.Write("Cover.jpg", bytes));
    EXPECT_EQ(frame.PictureData(), bytes);
    EXPECT_THROW(frame.LoadFromFile(dir.File("missing.jpg")), TError);
    EXPECT_EQ(frame.PictureData(), bytes);
    frame.SetMIMEType("image/jpeg");
    frame.SetDescription("d");
    frame.SetPictureType(ptCoverFront);
    EXPECT_FALSE(frame.IsEmpty());
    frame.Clear();
    EXPECT_EQ(frame.MIMEType(), "");
    EXPECT_EQ(frame.PictureType(), ptOther);
    EXPECT_EQ(frame.Description(), "");
    EXPECT_TRUE(frame.PictureData().isEmpty());
    EXPECT_TRUE(frame.IsEmpty());
}

TEST(PictureFrameTest, Version22ImageFormats) {
    EXPECT_EQ(ID3MIMETypeFromImageFormat("JPG"), "image/jpeg");
    EXPECT_EQ(ID3MIMETypeFromImageFormat("PNG"), "image/png");
    EXPECT_EQ(ID3MIMETypeFromImageFormat("GIF"), "image/gif");
    EXPECT_EQ(ID3MIMETypeFromImageFormat("-->"), "-->");
    EXPECT_EQ(ID3ImageFormatFromMIMEType("image/jpeg"), "JPG");
    EXPECT_EQ(ID3ImageFormatFromMIMEType("image/png"), "PNG");
    EXPECT_EQ(ID3ImageFormatFromMIMEType("image/gif"), "GIF");
    EXPECT_EQ(ID3ImageFormatFromMIMEType("image/bitmap"), "BMP");
    EXPECT_EQ(ID3ImageFormatFromMIMEType("image/tif"), "TIF");
    EXPECT_EQ(ID3ImageFormatFromMIMEType("-->"), "-->");
    EXPECT_EQ(ID3ImageFormatFromMIMEType(""), "   ");
}

} // namespace

namespace {

TEST_F(ID3v2TagTest, OpensFromTheFileStartTheCallerRead) {
    const QByteArray tagBytes = Tag(3, Frame23("TIT2", Latin1("From memory")), 0, 20);
    const QString path = Write(tagBytes);
    tag.SetFileName(path);
    tag.OpenFromFileStart(tagBytes);
    EXPECT_TRUE(tag.Active());
    EXPECT_EQ(tag.Texts().Title(), "From memory");
    tag.Texts().SetTitle("Written");
    tag.Commit();
    TID3v2Tag reread;
    reread.SetFileName(path);
    reread.Open();
    EXPECT_EQ(reread.Texts().Title(), "Written");

    EXPECT_THROW(tag.OpenFromFileStart(tagBytes.left(20)), TError);
    EXPECT_FALSE(tag.Active());
    tag.OpenFromFileStart(Audio(1).left(10));
    EXPECT_TRUE(tag.Active());
    EXPECT_FALSE(tag.HasTag());
}

} // namespace
