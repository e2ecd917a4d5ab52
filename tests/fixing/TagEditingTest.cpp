#include "fixing/TagEditing.h"
#include "fixing/CoverArt.h"
#include "support/Error.h"
#include "tags/ID3Timestamp.h"
#include "tags/ID3v2Tag.h"
#include "testsupport/Mp3Fixture.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/TempDir.h"

#include <gtest/gtest.h>

namespace {

TEST(SetFirstOfList, AddsToAnEmptyListOrReplacesTheFirstValue) {
    QStringList empty;
    SetFirstOfList(empty, "Rock");
    EXPECT_EQ(empty, QStringList({"Rock"}));
    QStringList two{"Rock", "Pop"};
    SetFirstOfList(two, "");
    EXPECT_EQ(two, QStringList({"", "Pop"}));
}

TEST(ChangeYear, KeepsMonthAndDayAndDropsTheTime) {
    const struct {
        QDateTime from;
        int year;
        QString expected; // empty: no date
    } cases[] = {
        {QDateTime(QDate(1999, 5, 17), QTime(10, 11, 12), Qt::UTC), 2003, "2003-05-17T00:00:00"},
        {ID3ZeroDate(), 2001, "2001-12-30T00:00:00"},
        {QDateTime(QDate(2004, 2, 29), QTime(0, 0), Qt::UTC), 2001, "2001-02-28T00:00:00"},
        {QDateTime(QDate(2004, 2, 29), QTime(0, 0), Qt::UTC), 2008, "2008-02-29T00:00:00"},
        {QDateTime(QDate(2004, 3, 1), QTime(0, 0), Qt::UTC), 0, ""},
        {QDateTime(QDate(2004, 3, 1), QTime(0, 0), Qt::UTC), 9999, "9999-03-01T00:00:00"},
    };
    for (const auto& c : cases) {
        const QDateTime changed = ChangeYear(c.from, c.year);
        EXPECT_EQ(changed.isValid() ? changed.toString(Qt::ISODate).left(19) : QString(),
                  c.expected)
            << c.year;
    }
}

TEST(TrackNumber, DigitsOfTheCellAndTheID3v1NumberModulo256) {
    const struct {
        const char* cell;
        const char* written;
        int id3v1;
    } cases[] = {
        {"7", "7", 7},
        {"3/12", "312", 56},
        {"", "0", 0},
        {"A-side", "0", 0},
        {" 1 2 ", "12", 12},
        {"256", "256", 0},
        {"123456789012345678901234567890", "123456789012345678901234567890", 210},
    };
    for (const auto& c : cases) {
        const QString written = TrackNumberDigits(c.cell);
        EXPECT_EQ(written, c.written) << c.cell;
        EXPECT_EQ(ID3v1TrackNumber(written), c.id3v1) << c.cell;
    }
}

TEST(LowerCaseWithAccents, TheKnownCapitalsOnly) {
    const struct {
        const char* from;
        const char* to;
    } cases[] = {
        {"ÉCOLE", "école"},
        {"ÚLTIMO", "Último"},
        {"ÌNDIA", "Ìndia"},
        {"ÀÁÂÃÄÅÆÇÈÉÊËÍÎÏÑÒÓÔÕÖØÙÛÜÝ", "àáâãäåæçèéêëíîïñòóôõöøùûüý"},
        {"ĆČĒĘŁŞŠŽ", "ćčēęłşšž"},
        {"ÐÞŸΣЖ ß 123 ×", "ÐÞŸΣЖ ß 123 ×"},
        {"Rock AND Roll", "rock and roll"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LowerCaseWithAccents(QString::fromUtf8(c.from)), QString::fromUtf8(c.to))
            << c.from;
}

class CoverArtTest : public testing::Test {
protected:
    TempDir dir;
    TID3v2Tag tag;

    void Open(const Mp3Fixture& fixture) {
        tag.SetFileName(dir.Write("a.mp3", fixture.Bytes()));
        tag.Open();
    }
    QList<QByteArray> FrontCovers() {
        QList<QByteArray> data;
        for (const auto& frame : tag.Frames())
            if (auto* p = frame->As<TID3PictureFrame>())
                if (p->PictureType() == ptCoverFront)
                    data.append(p->PictureData());
        return data;
    }
};

TEST_F(CoverArtTest, EmbedFillsTheLastFrontCoverAndDropsEarlierUnnamedOnes) {
    Open(Mp3Fixture(3)
             .Picture(3, "image/png", "one")
             .Picture(4, "image/png", "back")
             .Picture(3, "image/png", "two"));
    const QString picture = dir.Write("Cover.JPEG", "new");
    TID3PictureFrame* cover = EmbedFrontCover(tag, picture);
    EXPECT_EQ(cover, LastFrontCover(tag));
    EXPECT_EQ(FrontCovers(), QList<QByteArray>({"new"}));
    EXPECT_EQ(tag.FrameCount(), 2); // the back cover stays
    EXPECT_EQ(cover->MIMEType(), "image/jpeg");
    EXPECT_EQ(CoverArtCell(tag, picture), "Yes (image/jpeg)");
}

TEST_F(CoverArtTest, UnreadablePictureLeavesTheTagAsItWas) {
    Open(Mp3Fixture(3).Picture(3, "image/png", "one").Picture(3, "image/png", "two"));
    EXPECT_THROW(EmbedFrontCover(tag, dir.File("missing.jpg")), TError);
    EXPECT_EQ(FrontCovers(), QList<QByteArray>({"one", "two"}));
}

TEST_F(CoverArtTest, CellFromTheLastFrontCover) {
    Open(Mp3Fixture(3).Picture(3, "image/png", "one").Picture(3, "", "two"));
    const QString picture = dir.Write("Folder.jpg", "x");
    // No MIME type in the frame: the picture file's type fills in.
    EXPECT_EQ(CoverArtCell(tag, picture), "Yes (image/jpeg)");
    EXPECT_EQ(CoverArtCell(tag, QString()), "Yes ()");
    RemoveFrontCovers(tag);
    EXPECT_EQ(CoverArtCell(tag, picture), "No");
}

} // namespace
