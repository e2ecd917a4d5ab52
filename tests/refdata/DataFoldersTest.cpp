#include "refdata/DataFolders.h"
#include "refdata/DataFileNames.h"
#include "refdata/FlatFile.h"
#include "testsupport/TempDir.h"

#include "BuildInfo.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <gtest/gtest.h>

namespace {

TEST(DataFolders, TrailingSlashAddedOnce) {
    EXPECT_EQ(DataFolders::WithTrailingSlash("/a/b"), "/a/b/");
    EXPECT_EQ(DataFolders::WithTrailingSlash("/a/b/"), "/a/b/");
    EXPECT_EQ(DataFolders::WithTrailingSlash("/"), "/");
    EXPECT_EQ(DataFolders::WithTrailingSlash(""), "");
}

TEST(DataFolders, EmptySettingsMeanUserFoldersNotTheRoot) {
    TempDir dir;
    const QByteArray before = qgetenv("XDG_DATA_HOME");
    const bool wasSet = qEnvironmentVariableIsSet("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", dir.Path().toUtf8());
    EXPECT_EQ(DataFolders::DataFolderFromSetting(""), dir.Path() + "/Tessaly/Varnholm/");
    EXPECT_EQ(DataFolders::DataFolderFromSetting("/srv/defs"), "/srv/defs/");
    EXPECT_EQ(DataFolders::LearnedDataFolderFromSetting("", "/srv/defs/"), "/srv/defs/");
    EXPECT_EQ(DataFolders::LearnedDataFolderFromSetting("/srv/learned", "/srv/defs/"),
              "/srv/learned/");
    if (wasSet)
        qputenv("XDG_DATA_HOME", before);
    else
        qunsetenv("XDG_DATA_HOME");
}

TEST(DataFolders, SeedingCopiesOnlyMissingSuppliedFiles) {
    TempDir dir;
    dir.Write("installed/MP3Genres.def", "Rock\n");
    dir.Write("installed/MP3ArtistExceptions.def", "AC/DC\n");
    dir.Write("installed/Quenlor.def", "# list\n");
    const QString data = dir.File("data/Tessaly/Varnholm");

    EXPECT_EQ(DataFolders::SeedDataFolder(data, dir.File("installed")),
              QStringList({"MP3Genres.def", "MP3ArtistExceptions.def"}));
    EXPECT_EQ(dir.Read("data/Tessaly/Varnholm/MP3Genres.def"), QByteArray("Rock\n"));
    EXPECT_EQ(dir.Read("data/Tessaly/Varnholm/MP3ArtistExceptions.def"), QByteArray("AC/DC\n"));
    // The update list stays with the program, so that a newer program brings a newer list.
    EXPECT_FALSE(QFileInfo::exists(data + "/Quenlor.def"));

    // A later start leaves the user's edits alone and only restores what is missing.
    dir.Write("data/Tessaly/Varnholm/MP3Genres.def", "Mine\n");
    QFile::remove(data + "/MP3ArtistExceptions.def");
    EXPECT_EQ(DataFolders::SeedDataFolder(data + "/", dir.File("installed")),
              QStringList({"MP3ArtistExceptions.def"}));
    EXPECT_EQ(dir.Read("data/Tessaly/Varnholm/MP3Genres.def"), QByteArray("Mine\n"));
}

TEST(DataFolders, SeedingIntoAnImpossibleFolderIsQuiet) {
    TempDir dir;
    dir.Write("installed/MP3Genres.def", "Rock\n");
    dir.Write("blocker", "x");
    EXPECT_TRUE(
        DataFolders::SeedDataFolder(dir.File("blocker/data"), dir.File("installed")).isEmpty());
    EXPECT_TRUE(DataFolders::SeedDataFolder(dir.File("data"), dir.File("nothing")).isEmpty());
}

// The data files shipped with the program load cleanly and say what they should.
class ShippedDataFiles : public testing::Test {
protected:
    static TKelmFlatFile Load(const QString& name) {
        TKelmFlatFile file;
        file.SetFileName(QString::fromUtf8(BuildInfo::SourceDataDir) + u'/' + name);
        file.Initialize();
        return file;
    }
};

TEST_F(ShippedDataFiles, GenresStartWithTheId3v1NamesAndHaveNoDuplicates) {
    const TKelmFlatFile genres = Load(DataFileNames::MP3Genres);
    ASSERT_GT(genres.Count(), 147);
    EXPECT_EQ(genres.GetValueByIndex(0), "Blues");
    EXPECT_EQ(genres.GetValueByIndex(17), "Rock");
    EXPECT_EQ(genres.GetValueByIndex(67), "Psychedelic");
    EXPECT_EQ(genres.GetValueByIndex(79), "Hard Rock");
    EXPECT_EQ(genres.GetValueByIndex(123), "A capella");
    EXPECT_EQ(genres.GetValueByIndex(125), "Dance Hall");
    // ID3v1 genre 133 is left out of the offered list (its name is a slur), so the last
    // ID3v1 name stands one place earlier.
    EXPECT_EQ(genres.GetValueByIndex(146), "SynthPop");
    QSet<QString> seen;
    for (const TFlatFileData& entry : genres.Entries()) {
        EXPECT_TRUE(entry.ValueData.isEmpty()) << entry.Value.toStdString();
        EXPECT_FALSE(entry.Value.trimmed() != entry.Value) << entry.Value.toStdString();
        EXPECT_TRUE(!seen.contains(entry.Value.toLower())) << entry.Value.toStdString();
        seen.insert(entry.Value.toLower());
    }
}

TEST_F(ShippedDataFiles, ArtistExceptionsAllHoldASlash) {
    const TKelmFlatFile exceptions = Load(DataFileNames::MP3ArtistExceptions);
    EXPECT_TRUE(exceptions.ContainsValue("ac/dc"));
    for (const QString& name : exceptions.Values())
        EXPECT_TRUE(name.contains(u'/')) << name.toStdString();
}

TEST_F(ShippedDataFiles, UpdateListHasNoActiveEntry) {
    EXPECT_TRUE(QFileInfo::exists(QString::fromUtf8(BuildInfo::SourceDataDir) + "/Quenlor.def"));
    EXPECT_EQ(Load(DataFileNames::UpdateList).Count(), 0);
    EXPECT_TRUE(QFileInfo::exists(QString::fromUtf8(BuildInfo::SourceDataDir) + "/Quenlor.txt"));
}

} // namespace
