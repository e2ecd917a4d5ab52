#include "tags/ID3FileEndsReader.h"

#include "testsupport/Mp3Fixture.h"
#include "testsupport/PageCache.h"
#include "testsupport/TempDir.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using TNext = TID3FileEndsReader::TNext;

// Paths of every kind the reader meets: tags of several sizes (one larger than a first read),
// no tag, an empty and a tiny file, a folder, a named pipe and a path that names nothing.
QStringList MixedPaths(const TempDir& dir) {
    QStringList paths;
    for (int i = 0; i < 40; ++i) {
        Mp3Fixture file(i % 3 + 2);
        file.Text("TIT2", QStringLiteral("Song %1").arg(i)).Text("TPE1", "Ana");
        if (i % 5 == 0)
            file.Picture(3, "image/png", QByteArray(9000 + i, char(i)));
        if (i % 4 == 0)
            file.ID3v1({.Title = "Old " + QByteArray::number(i)});
        paths.append(dir.Write(QStringLiteral("%1.mp3").arg(i), file.Bytes()));
    }
    paths.append(dir.Write("plain.mp3", Mp3Bytes::Audio(3)));
    paths.append(dir.Write("empty.mp3", QByteArray()));
    paths.append(dir.Write("tiny.mp3", "ID3\x04"));
    paths.append(dir.Path());
    const QString pipe = dir.File("pipe.mp3");
    ::mkfifo(QFile::encodeName(pipe).constData(), 0644);
    paths.append(pipe);
    paths.append(dir.File("missing.mp3"));
    return paths;
}

void ExpectSameEnds(const TID3FileEnds& got, const TID3FileEnds& want, const QString& path) {
    EXPECT_EQ(got.Opened, want.Opened) << path.toStdString();
    EXPECT_EQ(got.ErrorCode, want.ErrorCode) << path.toStdString();
    EXPECT_EQ(got.FileSize, want.FileSize) << path.toStdString();
    EXPECT_EQ(got.Start, want.Start) << path.toStdString();
    EXPECT_EQ(got.Last, want.Last) << path.toStdString();
}

// Whatever the number of readers, every path comes back once, in the order added, with the
// very bytes a read on the spot gives; paths added after results were taken follow in order.
TEST(ID3FileEndsReader, HandsBackWhatAReadOnTheSpotGivesInOrder) {
    TempDir dir;
    const QStringList paths = MixedPaths(dir);
    for (int threads : {1, 3, 32}) {
        TID3FileEndsReader reader(threads);
        TID3FileEndsReader::TResult result;
        const auto take = [&](qsizetype from, qsizetype to) {
            for (qsizetype i = from; i < to; ++i) {
                ASSERT_EQ(reader.Next(result), TNext::Ready) << threads << " " << i;
                EXPECT_EQ(result.Path, paths[i]);
                ExpectSameEnds(result.Ends, ReadID3FileEnds(paths[i]), paths[i]);
            }
        };
        reader.Add(paths.mid(0, 10));
        take(0, 5);
        reader.Add(paths.mid(10, 20));
        take(5, 25);
        for (qsizetype i = 30; i < paths.size(); ++i)
            reader.Add(paths[i]);
        reader.Finish();
        take(25, paths.size());
        EXPECT_EQ(reader.Next(result), TNext::Done) << threads;
        EXPECT_EQ(reader.Next(result, 1ms), TNext::Done) << threads;
    }
}

// Files that come from the storage call in every reader, started while the results are being
// taken; the results still come in order, with the bytes a read on the spot gives.
TEST(ID3FileEndsReader, MoreReadersJoinForFilesFromTheStorage) {
    TempDir dir;
    QStringList paths;
    for (int i = 0; i < 300; ++i) {
        Mp3Fixture file(i % 2 + 3);
        file.Text("TIT2", QStringLiteral("Song %1").arg(i));
        if (i % 7 == 0)
            file.Picture(3, "image/png", QByteArray(20000 + i, char(i)));
        paths.append(dir.Write(QStringLiteral("%1.mp3").arg(i), file.Bytes()));
    }
    ::sync();
    for (const QString& path : std::as_const(paths))
        ASSERT_TRUE(DropFromPageCache(path));
    if (!ReadID3FileEnds(paths[0]).Uncached)
        GTEST_SKIP() << "this file system keeps the files in its cache";
    ASSERT_TRUE(DropFromPageCache(paths[0]));
    TID3FileEndsReader reader(32, TID3FileEndsReader::TRead::TagValues);
    reader.Add(paths);
    reader.Finish();
    TID3FileEndsReader::TResult result;
    for (const QString& path : std::as_const(paths)) {
        ASSERT_EQ(reader.Next(result), TNext::Ready);
        ASSERT_EQ(result.Path, path);
        ExpectSameEnds(result.Ends, ReadID3FileEnds(path), path);
        EXPECT_TRUE(result.Values.has_value());
    }
    EXPECT_EQ(reader.Next(result), TNext::Done);
}

// More files than the readers may hold ahead, one file added at a time: the window moves on
// as results are taken and nothing is lost or repeated.
TEST(ID3FileEndsReader, LongRunsPassTheReadAheadLimit) {
    TempDir dir;
    const QString a = dir.Write("a.mp3", Mp3Fixture().Text("TIT2", "A").Bytes());
    const QString b = dir.Write("b.mp3", Mp3Fixture(4).Text("TIT2", "B").Bytes());
    TID3FileEndsReader reader(8);
    const int count = 6000;
    for (int i = 0; i < count; ++i)
        reader.Add(i % 3 ? a : b);
    reader.Finish();
    const TID3FileEnds endsA = ReadID3FileEnds(a);
    const TID3FileEnds endsB = ReadID3FileEnds(b);
    TID3FileEndsReader::TResult result;
    for (int i = 0; i < count; ++i) {
        ASSERT_EQ(reader.Next(result), TNext::Ready) << i;
        ASSERT_EQ(result.Path, i % 3 ? a : b) << i;
        ASSERT_EQ(result.Ends.Start, (i % 3 ? endsA : endsB).Start) << i;
    }
    EXPECT_EQ(reader.Next(result), TNext::Done);
}

// Before Finish a reader with nothing to hand back says so when the wait ends, instead of
// blocking the caller; a reader dropped with paths still queued ends without hanging.
TEST(ID3FileEndsReader, WaitsAreBoundedAndStoppingDropsTheRest) {
    TempDir dir;
    const QString a = dir.Write("a.mp3", Mp3Fixture().Text("TIT2", "A").Bytes());
    TID3FileEndsReader::TResult result;
    {
        TID3FileEndsReader reader(4);
        EXPECT_EQ(reader.Next(result, 5ms), TNext::Waiting);
        reader.Add(a);
        ASSERT_EQ(reader.Next(result), TNext::Ready);
        EXPECT_EQ(result.Path, a);
        EXPECT_EQ(reader.Next(result, 5ms), TNext::Waiting);
        reader.Finish();
        EXPECT_EQ(reader.Next(result, 5ms), TNext::Done);
    }
    {
        TID3FileEndsReader reader(4);
        for (int i = 0; i < 20000; ++i)
            reader.Add(a);
        ASSERT_EQ(reader.Next(result), TNext::Ready);
    }
    {
        TID3FileEndsReader reader(2); // never finished, nothing taken
        reader.Add(a);
    }
}

TEST(ID3FileEndsReader, ThreadCountsComeFromTheEnvironmentWhenSensible) {
    const QByteArray saved = qgetenv("VARNHOLM_READERS");
    const struct {
        const char* Value;
        bool Taken;
    } cases[] = {{"1", true},    {"5", true},   {"256", true},   {"0", false},
                 {"257", false}, {"-3", false}, {"many", false}, {"", false}};
    qunsetenv("VARNHOLM_READERS");
    const int fallback = TID3FileEndsReader::ThreadCount();
    const int cachedFallback = TID3FileEndsReader::CachedThreadCount();
    EXPECT_GE(fallback, 16);
    EXPECT_GE(cachedFallback, 8);
    EXPECT_LE(cachedFallback, fallback);
    for (const auto& c : cases) {
        qputenv("VARNHOLM_READERS", c.Value);
        EXPECT_EQ(TID3FileEndsReader::ThreadCount(),
                  c.Taken ? QByteArray(c.Value).toInt() : fallback)
            << c.Value;
        EXPECT_EQ(TID3FileEndsReader::CachedThreadCount(),
                  c.Taken ? QByteArray(c.Value).toInt() : cachedFallback)
            << c.Value;
    }
    if (saved.isNull())
        qunsetenv("VARNHOLM_READERS");
    else
        qputenv("VARNHOLM_READERS", saved);
}

} // namespace
