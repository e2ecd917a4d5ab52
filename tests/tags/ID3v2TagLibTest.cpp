// Interoperability with TagLib, the outside oracle: what TagLib writes reads here with the same
// values, and what is written here reads in TagLib with the same values.
#include "ID3v2TestBytes.h"
#include "tags/Genres.h"
#include "tags/ID3Timestamp.h"
#include "tags/ID3v2Tag.h"
#include "testsupport/TempDir.h"

#include <QFile>
#include <gtest/gtest.h>

#include <attachedpictureframe.h>
#include <commentsframe.h>
#include <id3v2tag.h>
#include <mpegfile.h>
#include <textidentificationframe.h>

using namespace ID3v2TestBytes;

namespace {

TagLib::String ToTagLib(const QString& text) {
    return TagLib::String(text.toStdString(), TagLib::String::UTF8);
}

QString FromTagLib(const TagLib::String& text) {
    return QString::fromStdString(text.to8Bit(true));
}

TagLib::ByteVector ToBytes(const QByteArray& bytes) {
    return TagLib::ByteVector(bytes.constData(), uint(bytes.size()));
}

QByteArray FromBytes(const TagLib::ByteVector& bytes) {
    return QByteArray(bytes.data(), int(bytes.size()));
}

const QByteArray FrontPicture("\xFF\xD8\xFF\xE0\x00\x10JFIF\x00\xFF\x00\xFF\xE1\xFF\xD9", 17);
const QByteArray BackPicture("\x89PNG\r\n\x1A\n\xFF\xFB\x00\x00", 12);

struct Picture {
    QString mime;
    int type;
    QString description;
    QByteArray data;
};

struct Comment {
    QString language;
    QString description;
    QString text;
};

// The values both sides exchange.
struct Values {
    QString title;
    QStringList artists;
    QString album;
    QString track;
    QStringList genres;
    int year;
    QList<Comment> comments;
    QList<Picture> pictures;
};

Values SampleValues(bool unicode) {
    Values v;
    v.title = unicode ? QString::fromUtf8("Ĳsland 日本") : QString::fromUtf8("Café Müller");
    v.artists = unicode ? QStringList({QString::fromUtf8("Дмитрий"), "Second"})
                        : QStringList({"First", QString::fromUtf8("Zweité")});
    v.album = unicode ? QString::fromUtf8("Ålbum ☃") : QStringLiteral("Album");
    v.track = QStringLiteral("3/12");
    v.genres =
        QStringList({unicode ? QString::fromUtf8("Träumerei ♫") : QStringLiteral("Chillwave")});
    v.year = 2004;
    v.comments = {{"eng", "", unicode ? QString::fromUtf8("Ünïcödé ✓") : QStringLiteral("First")},
                  {"ger", "Notiz", QStringLiteral("Second")}};
    v.pictures = {{"image/jpeg", 3, unicode ? QString::fromUtf8("Vorn ✓") : QStringLiteral("Front"),
                   FrontPicture},
                  {"image/png", 4, QString(), BackPicture}};
    return v;
}

struct InteropCase {
    const char* name;
    int major;
    bool unicode;        // values that need UTF-16
    bool unsynchronised; // written here only
    friend void PrintTo(const InteropCase& c, std::ostream* os) { *os << c.name; }
};

// --- TagLib writes, the program reads

void WriteWithTagLib(const QString& path, const Values& v, int major, bool unicode) {
    TagLib::MPEG::File file(QFile::encodeName(path).constData());
    TagLib::ID3v2::Tag* tag = file.ID3v2Tag(true);
    const TagLib::String::Type encoding = unicode ? TagLib::String::UTF16 : TagLib::String::Latin1;
    auto text = [&](const char* id, const QStringList& values) {
        auto* frame = new TagLib::ID3v2::TextIdentificationFrame(id, encoding);
        TagLib::StringList list;
        for (const QString& value : values)
            list.append(ToTagLib(value));
        frame->setText(list);
        tag->addFrame(frame);
    };
    text("TIT2", {v.title});
    text("TPE1", v.artists);
    text("TALB", {v.album});
    text("TRCK", {v.track});
    text("TCON", v.genres);
    text("TDRC", {QString::number(v.year)});
    for (const Comment& c : v.comments) {
        auto* frame = new TagLib::ID3v2::CommentsFrame(encoding);
        frame->setLanguage(ToBytes(c.language.toLatin1()));
        frame->setDescription(ToTagLib(c.description));
        frame->setText(ToTagLib(c.text));
        tag->addFrame(frame);
    }
    for (const Picture& p : v.pictures) {
        auto* frame = new TagLib::ID3v2::AttachedPictureFrame;
        frame->setTextEncoding(encoding);
        frame->setMimeType(ToTagLib(p.mime));
        frame->setType(TagLib::ID3v2::AttachedPictureFrame::Type(p.type));
        frame->setDescription(ToTagLib(p.description));
        frame->setPicture(ToBytes(p.data));
        tag->addFrame(frame);
    }
    ASSERT_TRUE(file.save(TagLib::MPEG::File::ID3v2, TagLib::File::StripNone,
                          major == 3 ? TagLib::ID3v2::v3 : TagLib::ID3v2::v4));
}

class TagLibWritesTest : public testing::TestWithParam<InteropCase> {};

TEST_P(TagLibWritesTest, ProgramReadsTheSameValues) {
    const InteropCase& c = GetParam();
    const Values v = SampleValues(c.unicode);
    TempDir dir;
    const QString path = dir.Write("a.mp3", Audio(30));
    WriteWithTagLib(path, v, c.major, c.unicode);

    TID3v2Tag tag;
    tag.SetFileName(path);
    tag.Open();
    EXPECT_EQ(tag.Version(), c.major == 3 ? ive2_3 : ive2_4);
    EXPECT_EQ(tag.Texts().Title(), v.title);
    EXPECT_EQ(tag.Texts().LeadArtist(), v.artists);
    EXPECT_EQ(tag.Texts().Album(), v.album);
    EXPECT_EQ(tag.Texts().TrackNum(), v.track);
    ASSERT_FALSE(tag.Texts().ContentType().isEmpty());
    EXPECT_EQ(DecodeGenreReferences(tag.Texts().ContentType().first()), v.genres.first());
    if (c.major == 3)
        EXPECT_EQ(int(tag.Texts().Year()), v.year);
    else
        EXPECT_EQ(tag.Texts().RecordingTime().date().year(), v.year);

    QList<const TID3ContentFrame*> comments;
    TID3Frame* frame = nullptr;
    for (bool found = tag.FindFirstFrame(fiComment, frame); found;
         found = tag.FindNextFrame(fiComment, frame))
        comments.append(frame->As<TID3ContentFrame>());
    ASSERT_EQ(comments.size(), v.comments.size());
    for (int i = 0; i < comments.size(); ++i) {
        EXPECT_EQ(comments[i]->Language(), v.comments[i].language);
        EXPECT_EQ(comments[i]->Description(), v.comments[i].description);
        EXPECT_EQ(comments[i]->Text(), v.comments[i].text);
    }
    QList<const TID3PictureFrame*> pictures;
    for (bool found = tag.FindFirstFrame(fiPicture, frame); found;
         found = tag.FindNextFrame(fiPicture, frame))
        pictures.append(frame->As<TID3PictureFrame>());
    ASSERT_EQ(pictures.size(), v.pictures.size());
    for (int i = 0; i < pictures.size(); ++i) {
        EXPECT_EQ(pictures[i]->MIMEType(), v.pictures[i].mime);
        EXPECT_EQ(int(pictures[i]->PictureType()), v.pictures[i].type);
        EXPECT_EQ(pictures[i]->Description(), v.pictures[i].description);
        EXPECT_EQ(pictures[i]->PictureData(), v.pictures[i].data);
    }
}

INSTANTIATE_TEST_SUITE_P(Versions, TagLibWritesTest,
                         testing::Values(InteropCase{"v23_latin1", 3, false, false},
                                         InteropCase{"v23_utf16", 3, true, false},
                                         InteropCase{"v24_latin1", 4, false, false},
                                         InteropCase{"v24_utf16", 4, true, false}));

TEST(TagLibWritesTest, SeveralGenresInVersion24) {
    TempDir dir;
    const QString path = dir.Write("a.mp3", Audio(10));
    Values v = SampleValues(true);
    v.genres = QStringList({"Rock", QString::fromUtf8("Pöp"), "Jazz"});
    WriteWithTagLib(path, v, 4, true);
    TID3v2Tag tag;
    tag.SetFileName(path);
    tag.Open();
    EXPECT_EQ(tag.Texts().ContentType(), v.genres);
}

// --- The program writes, TagLib reads

// A file whose tag is of the case's version (a file without a tag gets version 2.4).
QByteArray StartingFile(const InteropCase& c) {
    const quint8 flags = c.unsynchronised ? 0x80 : 0;
    switch (c.major) {
    case 2:
        return Tag(2, Frame22("TT2", Latin1("old")), flags, 64) + Audio(30);
    case 3:
        return Tag(3, Frame23("TIT2", Latin1("old")), flags, 64) + Audio(30);
    default:
        return c.unsynchronised ? Tag(4, Frame24("TIT2", Latin1("old")), flags, 64) + Audio(30)
                                : Audio(30);
    }
}

void WriteWithProgram(const QString& path, const Values& v, int major) {
    TID3v2Tag tag;
    tag.SetFileName(path);
    tag.Open();
    tag.Texts().SetTitle(v.title);
    tag.Texts().LeadArtist() = v.artists;
    tag.Texts().SetAlbum(v.album);
    tag.Texts().SetTrackNum(v.track);
    tag.Texts().ContentType() = v.genres;
    if (major == 4)
        tag.Texts().SetRecordingTime(QDateTime(QDate(v.year, 1, 1), QTime(0, 0), Qt::UTC));
    else
        tag.Texts().SetYear(quint32(v.year));
    for (const Comment& c : v.comments) {
        auto* comment = tag.AddFrameAs<TID3ContentFrame>(fiComment);
        comment->SetLanguage(c.language);
        comment->SetDescription(c.description);
        comment->SetText(c.text);
    }
    for (const Picture& p : v.pictures) {
        auto* picture = tag.AddFrameAs<TID3PictureFrame>(fiPicture);
        picture->SetMIMEType(p.mime);
        picture->SetPictureType(TID3PictureType(p.type));
        picture->SetDescription(p.description);
        picture->SetPictureData(p.data);
    }
    tag.Commit();
}

QString TagLibText(TagLib::ID3v2::Tag* tag, const char* id) {
    const TagLib::ID3v2::FrameList& list = tag->frameListMap()[id];
    return list.isEmpty() ? QStringLiteral("<none>") : FromTagLib(list.front()->toString());
}

QStringList TagLibValues(TagLib::ID3v2::Tag* tag, const char* id) {
    QStringList values;
    const TagLib::ID3v2::FrameList& list = tag->frameListMap()[id];
    if (list.isEmpty())
        return values;
    auto* frame = dynamic_cast<TagLib::ID3v2::TextIdentificationFrame*>(list.front());
    if (frame)
        for (const TagLib::String& value : frame->fieldList())
            values.append(FromTagLib(value));
    return values;
}

class ProgramWritesTest : public testing::TestWithParam<InteropCase> {};

TEST_P(ProgramWritesTest, TagLibReadsTheSameValues) {
    const InteropCase& c = GetParam();
    const Values v = SampleValues(c.unicode);
    TempDir dir;
    const QByteArray start = StartingFile(c);
    const QString path = dir.Write("a.mp3", start);
    WriteWithProgram(path, v, c.major);

    TagLib::MPEG::File file(QFile::encodeName(path).constData());
    TagLib::ID3v2::Tag* tag = file.ID3v2Tag(false);
    ASSERT_TRUE(tag);
    EXPECT_EQ(int(tag->header()->majorVersion()), c.major);
    EXPECT_EQ(tag->header()->unsynchronisation(), c.unsynchronised);
    EXPECT_EQ(TagLibText(tag, "TIT2"), v.title);
    // "/" separates the artists in one string, as version 2.3 defines it.
    EXPECT_EQ(TagLibText(tag, "TPE1"), v.artists.join(u'/'));
    EXPECT_EQ(TagLibText(tag, "TALB"), v.album);
    EXPECT_EQ(TagLibText(tag, "TRCK"), v.track);
    EXPECT_EQ(TagLibValues(tag, "TCON"), v.genres);
    EXPECT_EQ(FromTagLib(tag->title()), v.title);
    EXPECT_EQ(int(tag->year()), v.year);

    const TagLib::ID3v2::FrameList& comments = tag->frameListMap()["COMM"];
    ASSERT_EQ(int(comments.size()), v.comments.size());
    int i = 0;
    for (TagLib::ID3v2::Frame* frame : comments) {
        auto* comment = dynamic_cast<TagLib::ID3v2::CommentsFrame*>(frame);
        ASSERT_TRUE(comment);
        EXPECT_EQ(QByteArray(comment->language().data(), 3), v.comments[i].language.toLatin1());
        EXPECT_EQ(FromTagLib(comment->description()), v.comments[i].description);
        EXPECT_EQ(FromTagLib(comment->text()), v.comments[i].text);
        ++i;
    }
    const TagLib::ID3v2::FrameList& pictures = tag->frameListMap()["APIC"];
    ASSERT_EQ(int(pictures.size()), v.pictures.size());
    i = 0;
    for (TagLib::ID3v2::Frame* frame : pictures) {
        auto* picture = dynamic_cast<TagLib::ID3v2::AttachedPictureFrame*>(frame);
        ASSERT_TRUE(picture);
        EXPECT_EQ(FromTagLib(picture->mimeType()), v.pictures[i].mime);
        EXPECT_EQ(int(picture->type()), v.pictures[i].type);
        EXPECT_EQ(FromTagLib(picture->description()), v.pictures[i].description);
        EXPECT_EQ(FromBytes(picture->picture()), v.pictures[i].data);
        ++i;
    }
    // TagLib finds the audio where it was.
    EXPECT_TRUE(file.audioProperties());
    const QByteArray after = dir.Read("a.mp3");
    EXPECT_EQ(after.mid(int(tag->header()->completeTagSize())), Audio(30));
}

INSTANTIATE_TEST_SUITE_P(Versions, ProgramWritesTest,
                         testing::Values(InteropCase{"v22_latin1", 2, false, false},
                                         InteropCase{"v22_utf16", 2, true, false},
                                         InteropCase{"v23_latin1", 3, false, false},
                                         InteropCase{"v23_utf16", 3, true, false},
                                         InteropCase{"v24_latin1", 4, false, false},
                                         InteropCase{"v24_utf16", 4, true, false},
                                         InteropCase{"v23_unsynchronised", 3, true, true},
                                         InteropCase{"v24_unsynchronised", 4, true, true}));

} // namespace
