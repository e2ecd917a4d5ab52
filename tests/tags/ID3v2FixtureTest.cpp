// Tags written by other taggers (tests/fixtures/tags, see its README): they read with the values
// those taggers wrote, and a commit keeps every frame the program does not interpret and every
// byte of audio, as TagLib sees it too.
#include "ID3v2TestBytes.h"
#include "tags/Genres.h"
#include "tags/ID3v2Tag.h"
#include "testsupport/TempDir.h"

#include <QFile>
#include <gtest/gtest.h>

#include <attachedpictureframe.h>
#include <id3v2tag.h>
#include <mpegfile.h>

using namespace ID3v2TestBytes;

namespace {

QByteArray Fixture(const char* name) {
    QFile file(QStringLiteral(VARNHOLM_TAG_FIXTURES "/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

struct FixtureCase {
    const char* file;
    TID3Version version;
    QString title;
    QStringList artists;
    QString album;
    QString track;
    int year;      // TYER, or the year of TDRC in version 2.4
    QString genre; // the first content type value, references decoded
    QStringList comments;
    QString pictureMIME; // of the front cover; empty when there is none
    friend void PrintTo(const FixtureCase& c, std::ostream* os) { *os << c.file; }
};

const FixtureCase Fixtures[] = {
    {"id3lib-v23-with-v1.mp3",
     ive2_3,
     "Title",
     {"Artist"},
     "Album",
     "5/10",
     1999,
     "Rock",
     {"Comment text"},
     ""},
    {"eyed3-v24-utf8.mp3",
     ive2_4,
     QString::fromUtf8("Tïtle"),
     {QString::fromUtf8("Ärtist")},
     "Album",
     "03/12",
     2004,
     "Synthpop",
     {"Comment"},
     "image/jpeg"},
    {"eyed3-v24-utf16be.mp3",
     ive2_4,
     QString::fromUtf8("Tïtle"),
     {QString::fromUtf8("Ωmega")},
     QString::fromUtf8("Ålbum"),
     "",
     0,
     "Rock",
     {QString::fromUtf8("Ünïcode")},
     ""},
    {"eyed3-v23-utf16.mp3",
     ive2_3,
     QString::fromUtf8("日本"),
     {QString::fromUtf8("Дмитрий")},
     "Album",
     "",
     1987,
     "Pop",
     {"Kommentar"},
     ""},
    {"mutagen-v23-several-values.mp3",
     ive2_3,
     "Title",
     {"One", QString::fromUtf8("Twö")},
     "Album",
     "",
     2001,
     "Rock/Pop",
     {"First", QString::fromUtf8("Deuxième")},
     ""},
    {"mutagen-v24-several-values.mp3",
     ive2_4,
     "Title",
     {"One", QString::fromUtf8("Twö")},
     "Album",
     "",
     2001,
     "Rock",
     {"First", QString::fromUtf8("Deuxième")},
     ""},
    {"handmade-v22-itunes.mp3",
     ive2_2,
     "Title 2.2",
     {"A", "B"},
     "Album",
     "7/9",
     1995,
     "Pop",
     {" 00000A1B 00000C2D", "Plain comment"},
     "image/jpeg"},
    {"handmade-v23-compressed.mp3", ive2_3, "", {"Artist"}, "Grouped album", "", 0, "", {}, ""},
};

class ID3v2FixtureTest : public testing::TestWithParam<FixtureCase> {};

TEST_P(ID3v2FixtureTest, ReadsWhatTheTaggerWrote) {
    const FixtureCase& c = GetParam();
    TempDir dir;
    TID3v2Tag tag;
    tag.SetFileName(dir.Write("a.mp3", Fixture(c.file)));
    tag.Open();
    EXPECT_EQ(tag.Version(), c.version);
    EXPECT_EQ(tag.Texts().Title(), c.title);
    EXPECT_EQ(tag.Texts().LeadArtist(), c.artists);
    EXPECT_EQ(tag.Texts().Album(), c.album);
    EXPECT_EQ(tag.Texts().TrackNum(), c.track);
    const int year =
        c.version == ive2_4 ? tag.Texts().RecordingTime().date().year() : int(tag.Texts().Year());
    EXPECT_EQ(year == 1899 ? 0 : year, c.year);
    const QStringList genres = tag.Texts().ContentType();
    EXPECT_EQ(genres.isEmpty() ? QString() : DecodeGenreReferences(genres.first()), c.genre);
    QStringList comments;
    TID3Frame* frame = nullptr;
    for (bool found = tag.FindFirstFrame(fiComment, frame); found;
         found = tag.FindNextFrame(fiComment, frame))
        comments.append(frame->As<TID3ContentFrame>()->Text());
    EXPECT_EQ(comments, c.comments);
    QString mime;
    for (bool found = tag.FindFirstFrame(fiPicture, frame); found;
         found = tag.FindNextFrame(fiPicture, frame))
        if (frame->As<TID3PictureFrame>()->PictureType() == ptCoverFront)
            mime = frame->As<TID3PictureFrame>()->MIMEType();
    EXPECT_EQ(mime, c.pictureMIME);
}

// Every frame as TagLib reads it, pictures with their bytes.
QStringList TagLibView(const QString& path) {
    TagLib::MPEG::File file(QFile::encodeName(path).constData());
    QStringList view;
    TagLib::ID3v2::Tag* tag = file.ID3v2Tag(false);
    if (!tag)
        return view;
    for (TagLib::ID3v2::Frame* frame : tag->frameList()) {
        QString entry = QString::fromLatin1(frame->frameID().data(), int(frame->frameID().size())) +
                        u'=' + QString::fromStdString(frame->toString().to8Bit(true));
        if (auto* picture = dynamic_cast<TagLib::ID3v2::AttachedPictureFrame*>(frame))
            entry +=
                u' ' +
                QString::fromLatin1(
                    QByteArray(picture->picture().data(), int(picture->picture().size())).toHex());
        view.append(entry);
    }
    return view;
}

TEST_P(ID3v2FixtureTest, CommitChangesOnlyWhatWasChanged) {
    const FixtureCase& c = GetParam();
    TempDir dir;
    const QByteArray original = Fixture(c.file);
    const QString path = dir.Write("a.mp3", original);
    const QStringList before = TagLibView(path);
    const WrittenTag beforeTag = ParseWritten(original);

    TID3v2Tag tag;
    tag.SetFileName(path);
    tag.Open();
    tag.Texts().SetAlbum("Changed");
    tag.Commit();

    const QByteArray after = dir.Read("a.mp3");
    const WrittenTag afterTag = ParseWritten(after);
    EXPECT_EQ(afterTag.major, beforeTag.major);
    EXPECT_TRUE(after.mid(int(afterTag.areaSize)) == original.mid(int(beforeTag.areaSize)))
        << "audio or ID3v1 bytes changed";

    // TagLib sees the same frames but the album. Artists go back joined by "/", where a 2.4
    // tagger may have separated them by terminators (TagLib shows those joined by a space).
    QStringList expected = before;
    for (QString& entry : expected) {
        if (entry.startsWith(u"TALB="))
            entry = QStringLiteral("TALB=Changed");
        if (entry.startsWith(u"TPE1="))
            entry = QStringLiteral("TPE1=") + c.artists.join(u'/');
    }
    EXPECT_EQ(TagLibView(path), expected);

    // Frames the program does not interpret are written back byte for byte.
    const QStringList interpreted = {"TIT2", "TPE1", "TOPE", "TRCK", "TALB", "TYER", "TDRC",
                                     "TLEN", "TCON", "COMM", "APIC", "TT2",  "TP1",  "TOA",
                                     "TRK",  "TAL",  "TYE",  "TLE",  "TCO",  "COM",  "PIC"};
    QList<WrittenFrame> kept;
    for (const WrittenFrame& frame : afterTag.frames)
        if (!interpreted.contains(QString::fromLatin1(frame.name)))
            kept.append(frame);
    int next = 0;
    for (const WrittenFrame& frame : beforeTag.frames) {
        if (interpreted.contains(QString::fromLatin1(frame.name)))
            continue;
        ASSERT_LT(next, kept.size()) << frame.name.constData() << " was dropped";
        EXPECT_EQ(kept[next].name, frame.name);
        EXPECT_EQ(kept[next].flags, frame.flags);
        EXPECT_EQ(kept[next].data.toHex(), frame.data.toHex());
        ++next;
    }
    EXPECT_EQ(next, kept.size());

    // And the program reads its own result with the same values, the album changed.
    TID3v2Tag reread;
    reread.SetFileName(path);
    reread.Open();
    EXPECT_EQ(reread.Texts().Title(), c.title);
    EXPECT_EQ(reread.Texts().LeadArtist(), c.artists);
    EXPECT_EQ(reread.Texts().Album(), "Changed");
    EXPECT_EQ(reread.GetFrameCountFor(fiComment), tag.GetFrameCountFor(fiComment));
}

INSTANTIATE_TEST_SUITE_P(Taggers, ID3v2FixtureTest, testing::ValuesIn(Fixtures));

} // namespace
