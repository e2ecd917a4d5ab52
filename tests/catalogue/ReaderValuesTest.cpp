#include "catalogue/FileAnalysis.h"
#include "refdata/ReferenceData.h"
#include "settings/OptionSet.h"
#include "support/LogFile.h"
#include "testsupport/HostileLibrary.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/ScriptedUiPort.h"
#include "testsupport/TempDir.h"

#include <QDirIterator>
#include <QFile>

#include <gtest/gtest.h>

namespace {

// One analysis with its own catalogue, learned data and log, so that the ways of reading a file
// can be compared by what each leaves.
struct Analysis {
    TempDir Data;
    ScriptedUiPort Ui;
    TMP3FileDataList Catalogue;
    TReferenceData ReferenceData;
    TKelmLogFile Log{Data.File("state/Quenlor.log")};
    TOptionSet Options;
    TFileAnalysisContext Context{Catalogue, ReferenceData, Log, Options};

    Analysis() {
        QByteArray learned = "\xEF\xBB\xBF";
        int i = 0;
        for (const QString& artist : HostileLibrary::Artists())
            learned += artist.toUtf8() + "\tGenre " + QByteArray::number(i++ % 5) + "\r\n";
        Data.Write("learned/~MyMP3ArtistGenre.def", learned);
        ReferenceData.Load(Data.Path(), Data.File("learned"), Ui);
        Options.MoveFeaturingsFromTitleToComments = true;
        Options.EmbedCoverArtDuringFixingProcess = true;
    }

    QByteArray LogBytes() const {
        QFile file(Log.FileName());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

// Every entry of the library a listing could be handed, links, pipes and folders included.
QStringList EntriesOf(const QString& folder) {
    QStringList paths;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        paths.append(it.next());
    paths.sort();
    return paths;
}

} // namespace

// A browse takes the values of the tags on its reader threads, a file opened alone takes them
// on the analysing thread, and a reader that failed to take them leaves them to that thread;
// readers that let the bytes go that the taker would not keep: all must give the same records and
// the same log for every kind of file.
TEST(ReaderValues, ReaderThreadsAndTheAnalysingThreadGiveTheSameResult) {
    TempDir music;
    const HostileLibrary library(music.Path(), 400, 5);
    const QStringList paths = EntriesOf(music.Path());
    ASSERT_GT(paths.size(), 400);

    Analysis alone;
    for (const QString& path : paths)
        AddMP3FileToMP3FileDataList(path, false, alone.Context);

    Analysis onReaders;
    Analysis leftToTaker;
    TID3FileEndsReader reader(8, TID3FileEndsReader::TRead::TagValues);
    reader.Add(paths);
    reader.Finish();
    TID3FileEndsReader::TResult read;
    for (const QString& path : paths) {
        ASSERT_EQ(reader.Next(read), TID3FileEndsReader::TNext::Ready);
        ASSERT_EQ(read.Path, path);
        ASSERT_TRUE(read.Values.has_value()) << path.toStdString();
        AddMP3FileToMP3FileDataList(path, false, onReaders.Context, read);
        read.Values.reset();
        AddMP3FileToMP3FileDataList(path, false, leftToTaker.Context, read);
    }

    // Readers that hand back only the bytes of tags up to a size (none at all for a listing that
    // keeps none), each reading every file into one array of its own.
    Analysis withoutBytes;
    Analysis smallBytesOnly;
    for (const qint64 largest : {qint64(0), qint64(300)}) {
        Analysis& analysis = largest == 0 ? withoutBytes : smallBytesOnly;
        TID3FileEndsReader limited(8, TID3FileEndsReader::TRead::TagValues);
        limited.SetLargestKept(largest);
        limited.Add(paths);
        limited.Finish();
        for (const QString& path : paths) {
            ASSERT_EQ(limited.Next(read), TID3FileEndsReader::TNext::Ready);
            ASSERT_TRUE(read.Values.has_value()) << path.toStdString();
            const TID3FileEnds fresh = ReadID3FileEnds(path);
            if (fresh.Start.size() > largest) {
                EXPECT_TRUE(read.Ends.StartDropped) << path.toStdString();
                EXPECT_TRUE(read.Ends.Start.isEmpty());
            } else {
                EXPECT_FALSE(read.Ends.StartDropped) << path.toStdString();
                EXPECT_EQ(read.Ends.Start, fresh.Start) << path.toStdString();
            }
            AddMP3FileToMP3FileDataList(path, false, analysis.Context, read);
        }
    }

    ASSERT_GT(alone.Catalogue.size(), 300u);
    EXPECT_TRUE(alone.LogBytes().contains("Unreadable ID3v2 tag"));
    EXPECT_TRUE(alone.LogBytes().contains("Genre mismatch"));
    for (const Analysis* other : {&onReaders, &leftToTaker, &withoutBytes, &smallBytesOnly}) {
        ASSERT_EQ(other->Catalogue.size(), alone.Catalogue.size());
        for (std::size_t i = 0; i < alone.Catalogue.size(); ++i) {
            const TMP3FileData& a = *alone.Catalogue[i];
            const TMP3FileData& b = *other->Catalogue[i];
            EXPECT_EQ(b.FileName, a.FileName);
            EXPECT_EQ(b.MP3TagData, a.MP3TagData) << a.FileName.toStdString();
            EXPECT_EQ(b.ComputedMP3Name, a.ComputedMP3Name) << a.FileName.toStdString();
            EXPECT_EQ(b.MP3Mismatch, a.MP3Mismatch) << a.FileName.toStdString();
            EXPECT_EQ(b.MyMP3Genre, a.MyMP3Genre) << a.FileName.toStdString();
        }
        EXPECT_TRUE(other->LogBytes() == alone.LogBytes());
    }
}
