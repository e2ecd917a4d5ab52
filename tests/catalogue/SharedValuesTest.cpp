// A large library is read album by album: the values a file shares with the file read before it
// are held once, and every record still shows its own file's values.
#include "catalogue/FileAnalysis.h"
#include "refdata/ReferenceData.h"
#include "settings/OptionSet.h"
#include "support/LogFile.h"
#include "testsupport/Mp3Fixture.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/TempDir.h"

#include <gtest/gtest.h>

namespace {

Mp3Fixture Track(const char* artist, const char* album, const char* title, const char* year) {
    return std::move(Mp3Fixture(3)
                         .Text("TPE1", artist)
                         .Text("TALB", album)
                         .Text("TIT2", title)
                         .Text("TYER", year)
                         .Text("TCON", "Rock"));
}

TEST(SharedValues, AnAlbumsValuesAreHeldOnceAndEachFileKeepsItsOwn) {
    TempDir music;
    TMP3FileDataList catalogue;
    TReferenceData referenceData;
    TKelmLogFile log{music.File("state/Quenlor.log")};
    TOptionSet options;
    TFileAnalysisContext context{catalogue, referenceData, log, options};
    const Mp3Fixture files[] = {
        Track("Ana", "First", "One", "2001"),
        Track("Ana", "First", "Two", "2001"),
        Track("Ana", "Second", "Three", "2002"),
    };
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(AddMP3FileToMP3FileDataList(
            music.Write(QStringLiteral("%1.mp3").arg(i), files[i].Bytes()), false, context));
    ASSERT_EQ(catalogue.size(), 3u);
    const TMP3TagData& a = catalogue[0]->MP3TagData;
    const TMP3TagData& b = catalogue[1]->MP3TagData;
    const TMP3TagData& c = catalogue[2]->MP3TagData;
    EXPECT_TRUE(b.Artist.isSharedWith(a.Artist));
    EXPECT_TRUE(b.AlbumTitle.isSharedWith(a.AlbumTitle));
    EXPECT_TRUE(b.Year.isSharedWith(a.Year));
    EXPECT_TRUE(b.Genre.isSharedWith(a.Genre));
    EXPECT_TRUE(c.Artist.isSharedWith(a.Artist));
    EXPECT_EQ(b.Title, "Two");
    EXPECT_EQ(c.AlbumTitle, "Second");
    EXPECT_EQ(c.Year, "2002");
    EXPECT_EQ(a.AlbumTitle, "First");
    EXPECT_EQ(a.Year, "2001");
}

} // namespace
