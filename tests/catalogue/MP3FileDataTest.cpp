#include "catalogue/MP3FileData.h"

#include <gtest/gtest.h>

namespace {

TMP3TagData SampleTags() {
    TMP3TagData t;
    t.Artist = "Ana Bo";
    t.Title = "Back Home";
    t.TrackNumber = "5";
    t.AlbumTitle = "First Light";
    t.Year = "2019";
    t.Genre = "Folk";
    t.Comment = "live take";
    t.CoverArt = "Yes (image/jpeg)";
    return t;
}

TMP3FileData* Append(TMP3FileDataList& list, const QString& fileName, const QString& artist = {}) {
    auto record = std::make_unique<TMP3FileData>();
    record->FileName = fileName;
    record->MP3TagData.Artist = artist;
    list.push_back(std::move(record));
    return list.back().get();
}

TEST(GetMP3FileDataFromFileName, ComparesTheWholePathWithLetterCase) {
    TMP3FileDataList list;
    EXPECT_EQ(GetMP3FileDataFromFileName(list, "/m/a.mp3"), nullptr);
    Append(list, "/m/Song.mp3");
    TMP3FileData* other = Append(list, "/m/Other.mp3");
    EXPECT_EQ(GetMP3FileDataFromFileName(list, "/m/Other.mp3"), other);
    EXPECT_EQ(GetMP3FileDataFromFileName(list, "/m/song.mp3"), nullptr);
    EXPECT_EQ(GetMP3FileDataFromFileName(list, "/m/Song.mp"), nullptr);
    EXPECT_EQ(GetMP3FileDataFromFileName(list, "m/Song.mp3"), nullptr);
}

TEST(GetMP3FileDataFromFileName, ReturnsTheFirstOfTwoRecordsWithTheSamePath) {
    TMP3FileDataList list;
    Append(list, "/m/x.mp3", "other");
    TMP3FileData* first = Append(list, "/m/a.mp3", "first");
    Append(list, "/m/a.mp3", "second");
    EXPECT_EQ(GetMP3FileDataFromFileName(list, "/m/a.mp3"), first);
}

TEST(MP3FileDataList, RecordsKeepTheirAddressWhileTheListGrows) {
    TMP3FileDataList list;
    TMP3FileData* kept = Append(list, "/m/0.mp3");
    for (int i = 1; i < 1000; ++i) {
        Append(list, QString("/m/%1.mp3").arg(i));
    }
    EXPECT_EQ(GetMP3FileDataFromFileName(list, "/m/0.mp3"), kept);
    EXPECT_EQ(kept->FileName, "/m/0.mp3");
}

TEST(ClearMP3FileDataList, EmptiesTheListAndCopesWithAnEmptyOne) {
    TMP3FileDataList list;
    ClearMP3FileDataList(list);
    EXPECT_TRUE(list.empty());
    Append(list, "/m/a.mp3");
    Append(list, "/m/b.mp3");
    ClearMP3FileDataList(list);
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(GetMP3FileDataFromFileName(list, "/m/a.mp3"), nullptr);
}

TEST(CopyMP3TagData, IntoNoDestinationMakesAnIndependentCopy) {
    const TMP3TagData source = SampleTags();
    std::unique_ptr<TMP3TagData> copy = CopyMP3TagData(&source);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(*copy, source);
    copy->Title = "Changed";
    EXPECT_EQ(source.Title, "Back Home");
}

TEST(CopyMP3TagData, OverwritesEveryValueOfTheDestination) {
    const TMP3TagData source = SampleTags();
    TMP3TagData destination;
    destination.Artist = "old";
    destination.Comment = "old comment";
    destination.CoverArt = "No";
    EXPECT_EQ(CopyMP3TagData(&source, destination), &destination);
    EXPECT_EQ(destination, source);

    // Empty values are copied too: they mean "missing", not "keep".
    const TMP3TagData empty;
    CopyMP3TagData(&empty, destination);
    EXPECT_EQ(destination, empty);
}

TEST(CopyMP3TagData, WithoutSourceCopiesAndCreatesNothing) {
    TMP3TagData destination = SampleTags();
    EXPECT_EQ(CopyMP3TagData(nullptr, destination), nullptr);
    EXPECT_EQ(destination, SampleTags());
    EXPECT_EQ(CopyMP3TagData(nullptr), nullptr);
}

} // namespace
