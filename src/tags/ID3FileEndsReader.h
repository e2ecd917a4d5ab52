#pragma once

#include "tags/ID3FileEnds.h"
#include "tags/ID3TagValues.h"

#include <QString>
#include <QStringList>
#include <chrono>
#include <memory>
#include <optional>

// Reads the tag bytes (TID3FileEnds) of many files on a pool of reader threads and hands them
// back in the order the paths were added. A library on a disk or a share answers many requests
// at once far faster than one after the other, so the readers run ahead of the one who takes
// the results, while paths are still being added. What is read ahead is bounded (in files and in
// bytes), so memory does not grow with the library. On a warm cache the processors set the
// pace instead, and a few readers do better than many: the others start only once files come
// from the storage.
//
// One thread adds paths and takes results; the readers touch nothing but the files and the
// reader's own queue. Destroying the reader stops it: reads in flight finish, the rest is dropped.
class TID3FileEndsReader {
public:
    struct TResult {
        QString Path;
        TID3FileEnds Ends;
        // With TRead::TagValues, the values of the file's tags taken from Ends on the reader's
        // thread; nothing when taking them failed there (the taker then takes them itself).
        std::optional<TID3TagValues> Values;
    };
    // Whether the readers also take the values of the tags from the bytes they read.
    enum class TRead { Bytes, TagValues };
    enum class TNext { Ready, Waiting, Done };

    // threads: at least 1; the most that read at once (see CachedThreadCount).
    explicit TID3FileEndsReader(int threads, TRead read = TRead::Bytes);
    ~TID3FileEndsReader();
    TID3FileEndsReader(const TID3FileEndsReader&) = delete;
    TID3FileEndsReader& operator=(const TID3FileEndsReader&) = delete;

    // Never waits for the readers: while one of them holds the queue, the paths stay on the
    // adder's side until the next Add, Finish or Next.
    void Add(const QString& path);
    void Add(const QStringList& paths);
    // With TRead::TagValues: the bytes of a tag larger than this come back only when its values
    // could not be taken; the others' Start is dropped (marked StartDropped), for a taker that
    // keeps no larger ones. Files read from then on follow it; by default every tag comes back.
    void SetLargestKept(qint64 bytes);
    // No more paths will come; Next says Done once every result is taken.
    void Finish();

    // The result of the next path in order: Ready with it in result; Waiting when it is not read
    // within wait (so the caller can do something else and ask again); Done after Finish when
    // every result was taken.
    TNext Next(TResult& result, std::chrono::milliseconds wait);
    // The same, waiting as long as the result takes.
    TNext Next(TResult& result);

    // The number of reader threads a browse uses: the environment variable VARNHOLM_READERS when
    // it holds a number from 1 to 256 (for measuring), else many per processor, since on a cold
    // disk or a share the readers mostly wait for the storage.
    static int ThreadCount();
    // How many of them read while the files come from the system's cache (where the processors
    // set the pace): VARNHOLM_READERS when set, else a few per processor. The others join in as
    // soon as a file has to come from the storage.
    static int CachedThreadCount();

private:
    struct TShared;
    std::unique_ptr<TShared> FShared;
};
