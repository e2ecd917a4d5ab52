#include "tags/ID3FileEndsReader.h"

#include "support/ThreadPriority.h"

#include <QtGlobal>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <deque>
#include <limits>
#include <malloc.h>
#include <mutex>
#include <new>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

namespace {

// How far the readers may run ahead of the one taking the results: enough files to keep every
// reader busy on a slow share, few enough bytes that a library of large tags (embedded pictures)
// holds little memory.
constexpr qsizetype ReadAheadFiles = 4096;
constexpr qint64 ReadAheadBytes = 16 * 1024 * 1024;
// The largest array a reader keeps for the next file when it lets the tag bytes go.
constexpr qsizetype LargestReusedBuffer = 1024 * 1024;

// The readers allocate the results that the thread taking them frees. glibc lets several threads
// share an arena, each behind a lock: the taker, freeing a result, then waits for a reader
// allocating the next. One arena per reader and one for the taker (unless the environment says
// otherwise) keeps them apart. Each arena costs memory of its own, so the limit follows the
// readers running; it is the process's, so it only grows.
void ArenaPerThread(int readers) {
#ifdef __GLIBC__
    static std::mutex mutex;
    static int arenas = 0;
    const std::lock_guard lock(mutex);
    if (readers + 1 > arenas && !qEnvironmentVariableIsSet("MALLOC_ARENA_MAX")) {
        arenas = readers + 1;
        mallopt(M_ARENA_MAX, arenas);
    }
#else
    Q_UNUSED(readers);
#endif
}

qint64 SizeOf(const TID3FileEnds& ends) {
    return ends.Start.capacity() + ends.Last.capacity();
}

// A read that cannot get its memory is handed back as a failed open, so that the consumer's
// own fallback reads the file again and meets the failure on its thread.
TID3FileEnds ReadSafely(const QString& path, QByteArray* buffer) {
    try {
        return ReadID3FileEnds(path, buffer);
    } catch (const std::bad_alloc&) {
        TID3FileEnds failed;
        failed.ErrorCode = ENOMEM;
        return failed;
    }
}

// The values of the tags in ends, or nothing when taking them fails here (out of memory, or
// anything else a tag throws): the taker then takes them on its own thread and meets the failure
// there, as it would without the readers.
std::optional<TID3TagValues> TakeValuesSafely(const QString& path, const TID3FileEnds& ends) {
    try {
        return ReadID3TagValues(path, ends);
    } catch (...) {
        return std::nullopt;
    }
}

} // namespace

struct TID3FileEndsReader::TShared {
    // A path in order and, once a reader has read it, its result (made on the reader's thread).
    struct TSlot {
        QString Path;
        std::unique_ptr<TResult> Result;
    };

    TShared(TRead read, int threads, int cachedReaders)
        : What(read), ThreadCount(threads), CachedReaders(std::min(cachedReaders, threads)),
          ActiveReaders(CachedReaders) {}
    const TRead What;
    // The largest tag whose bytes the taker may keep (see SetLargestKept).
    std::atomic<qint64> LargestKept = std::numeric_limits<qint64>::max();
    const int ThreadCount;
    // The readers that read while the files come from the system's cache: then the processors
    // set the pace, and more readers only contend for them. Once a few files had to come from
    // the storage (one now and then is a file the cache let go), every reader reads, until
    // CachedRunToCalmDown files in a row came from the cache.
    const int CachedReaders;
    static constexpr int UncachedToCallAll = 8;
    static constexpr qsizetype CachedRunToCalmDown = 1024;

    std::mutex Mutex;
    std::condition_variable WorkChanged; // an active reader may take a path, or must stop
    std::condition_variable MoreReaders; // the readers beyond the active ones may read, or stop
    // Readers with a lower index read; the others wait on MoreReaders.
    int ActiveReaders;
    int Uncached = 0;                    // files read from the storage since the last calm-down
    qsizetype CachedRun = 0;             // files read from the cache in a row
    std::condition_variable ResultReady; // the first slot got its result
    // The paths not yet taken by the consumer, in order; Slots[0] has the index First.
    std::deque<TSlot> Slots;
    qsizetype First = 0;
    qsizetype NextToRead = 0;
    qint64 HeldBytes = 0;
    // The most bytes one file's result held so far, what a file read next may hold; below zero
    // before the first result.
    qint64 LargestResult = -1;
    int IdleReaders = 0; // active readers waiting for a path
    bool ConsumerWaiting = false;
    bool Finished = false;
    bool Stopping = false;
    // Started as they are first needed; joined by the destructor once Stopping is set, after
    // which no more start.
    std::vector<std::thread> Threads;
    // The consumer's own: results taken out of Slots in one go, handed out one by one without
    // the lock (taking them one at a time would contend with the readers for every file).
    std::deque<std::unique_ptr<TResult>> Taken;
    // The consumer's own too: paths added while a reader held the lock. The one adding paths
    // never waits for the lock: a reader holding it runs ten priority steps down and may wait
    // for a processor, and the window would wait with it.
    QStringList Pending;

    // Called with the lock held: the pending paths join the queue.
    void HandOverPending() {
        if (Pending.isEmpty())
            return;
        for (const QString& path : std::as_const(Pending))
            Slots.push_back({path, nullptr});
        WakeReadersFor(Pending.size());
        Pending.clear();
    }

    void HandOverPendingIfFree() {
        const std::unique_lock lock(Mutex, std::try_to_lock);
        if (lock)
            HandOverPending();
    }

    bool CanRead() const {
        return NextToRead < First + qsizetype(Slots.size()) &&
               NextToRead < First + ReadAheadFiles && HeldBytes < ReadAheadBytes;
    }

    bool PathsWaiting() const { return NextToRead < First + qsizetype(Slots.size()); }

    // How many paths a reader takes at once. One while few wait, so that a slow storage gets as
    // many requests at a time as there are readers; more when many wait, so that on a warm cache
    // a lock round and a wake-up serve several files. Every reader may take as many, so the batch
    // is kept small enough that they all together, with files as large as the largest result so
    // far, stay within the read-ahead's bytes.
    qsizetype BatchSize() const {
        constexpr qsizetype MostPerBatch = 8;
        const qsizetype readable =
            std::min(First + qsizetype(Slots.size()), First + ReadAheadFiles) - NextToRead;
        if (LargestResult < 0)
            return 1;
        const qint64 perFile = std::max<qint64>(LargestResult, 1) * ActiveReaders;
        const qint64 byBytes = (ReadAheadBytes - HeldBytes) / perFile;
        const qsizetype wanted = std::min<qsizetype>(readable / ActiveReaders, MostPerBatch);
        return std::clamp<qsizetype>(std::min<qint64>(wanted, byBytes), 1, readable);
    }

    // Idle readers are woken only when the read-ahead has run half empty, so that each wake-up
    // reads a batch of files instead of one (waking for every file taken costs more than the
    // read on a warm cache).
    void WakeReadersIfWorthIt() {
        if (IdleReaders > 0 && PathsWaiting() && NextToRead - First <= ReadAheadFiles / 2 &&
            HeldBytes <= ReadAheadBytes / 2)
            WorkChanged.notify_all();
    }

    // An idle reader for every few new paths: waking them all for a folder of a few files costs
    // the one adding the paths a wake-up for each. Readers are idle only while they keep up with
    // the paths added (a fast storage); a woken reader goes on with the next path while any wait.
    void WakeReadersFor(qsizetype added) {
        constexpr qsizetype PathsPerWakeUp = 4;
        if (!CanRead())
            return;
        const qsizetype wanted = (added + PathsPerWakeUp - 1) / PathsPerWakeUp;
        for (qsizetype i = 0; i < std::min<qsizetype>(wanted, IdleReaders); ++i)
            WorkChanged.notify_one();
    }

    // Reads one file. Taking the values, the reader reads the tag into its own buffer and hands
    // back a copy of the bytes only when the taker may keep them (or needs them: the values could
    // not be taken here); the others' Start is dropped.
    void Read(TResult& result, QByteArray& buffer) const {
        if (What == TRead::Bytes) {
            result.Ends = ReadSafely(result.Path, nullptr);
            return;
        }
        result.Ends = ReadSafely(result.Path, &buffer);
        result.Values = TakeValuesSafely(result.Path, result.Ends);
        if (result.Values &&
            result.Ends.Start.size() > LargestKept.load(std::memory_order_relaxed)) {
            result.Ends.Start = QByteArray();
            result.Ends.StartDropped = true;
        } else {
            result.Ends.Start.detach(); // an array of its own: the buffer serves the next file
        }
        // A rare huge tag does not keep its memory for the rest of the browse.
        if (buffer.capacity() > LargestReusedBuffer)
            buffer = QByteArray();
    }

    // Called with the lock held (or before any reader runs): starts the readers up to
    // ActiveReaders that are not running yet. When the system gives no more threads, those
    // running read.
    void StartReaders() {
        if (Stopping)
            return;
        ArenaPerThread(ActiveReaders);
        for (int i = int(Threads.size()); i < ActiveReaders; ++i) {
            try {
                Threads.emplace_back([this, i] { ReadLoop(i); });
            } catch (const std::system_error&) {
                ActiveReaders = int(Threads.size());
                return;
            }
        }
    }

    // Called with the lock held for each result a reader stores.
    void CountCached(const TResult& result) {
        if (result.Ends.Uncached) {
            CachedRun = 0;
            if (++Uncached >= UncachedToCallAll && ActiveReaders < ThreadCount) {
                ActiveReaders = ThreadCount;
                StartReaders();
                MoreReaders.notify_all();
            }
        } else if (++CachedRun >= CachedRunToCalmDown) {
            Uncached = 0;
            if (ActiveReaders > CachedReaders) {
                ActiveReaders = CachedReaders;
                // Those waiting for a path that are no longer active move over to MoreReaders.
                WorkChanged.notify_all();
            }
        }
    }

    void ReadLoop(int index) {
        LowerThreadPriority();
        std::vector<std::unique_ptr<TResult>> batch;
        // Where the tags are read: one array for every file spares an allocation and fresh pages
        // for each whose bytes are let go.
        QByteArray buffer;
        std::unique_lock lock(Mutex);
        for (;;) {
            while (!Stopping && !(index < ActiveReaders && CanRead())) {
                if (index < ActiveReaders) {
                    ++IdleReaders;
                    WorkChanged.wait(lock);
                    --IdleReaders;
                } else {
                    MoreReaders.wait(lock);
                }
            }
            if (Stopping)
                return;
            const qsizetype first = NextToRead;
            const qsizetype count = BatchSize();
            NextToRead += count;
            batch.clear();
            for (qsizetype slot = first; slot < first + count; ++slot) {
                batch.push_back(std::make_unique<TResult>());
                batch.back()->Path = Slots[std::size_t(slot - First)].Path;
            }
            lock.unlock();
            for (const std::unique_ptr<TResult>& result : batch)
                Read(*result, buffer);
            lock.lock();
            // The consumer takes only slots whose result is there, so these are still held.
            for (qsizetype i = 0; i < count; ++i) {
                const qint64 size = SizeOf(batch[std::size_t(i)]->Ends);
                CountCached(*batch[std::size_t(i)]);
                HeldBytes += size;
                LargestResult = std::max(LargestResult, size);
                Slots[std::size_t(first + i - First)].Result = std::move(batch[std::size_t(i)]);
            }
            if (first == First && ConsumerWaiting)
                ResultReady.notify_one();
        }
    }

    bool FirstReadyOrDone() const {
        return Slots.empty() ? Finished : Slots.front().Result != nullptr;
    }

    // Called with the lock held once FirstReadyOrDone() holds: moves the results ready in order
    // (a bounded number) to Taken.
    void TakeReady() {
        constexpr int Batch = 256;
        for (int i = 0; i < Batch && !Slots.empty() && Slots.front().Result; ++i) {
            HeldBytes -= SizeOf(Slots.front().Result->Ends);
            Taken.push_back(std::move(Slots.front().Result));
            Slots.pop_front();
            ++First;
        }
        WakeReadersIfWorthIt();
    }

    TNext HandOut(TResult& result) {
        if (Taken.empty())
            return TNext::Done;
        result = std::move(*Taken.front());
        Taken.pop_front();
        return TNext::Ready;
    }
};

TID3FileEndsReader::TID3FileEndsReader(int threads, TRead read)
    : FShared(std::make_unique<TShared>(read, std::max(threads, 1), CachedThreadCount())) {
    FShared->Threads.reserve(std::size_t(FShared->ThreadCount));
    FShared->StartReaders();
    if (FShared->Threads.empty())
        throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again),
                                "no reader thread");
}

TID3FileEndsReader::~TID3FileEndsReader() {
    {
        std::lock_guard lock(FShared->Mutex);
        FShared->Stopping = true;
    }
    FShared->WorkChanged.notify_all();
    FShared->MoreReaders.notify_all();
    for (std::thread& thread : FShared->Threads)
        thread.join();
}

void TID3FileEndsReader::Add(const QString& path) {
    FShared->Pending.append(path);
    FShared->HandOverPendingIfFree();
}

void TID3FileEndsReader::Add(const QStringList& paths) {
    FShared->Pending.append(paths);
    FShared->HandOverPendingIfFree();
}

void TID3FileEndsReader::SetLargestKept(qint64 bytes) {
    FShared->LargestKept.store(bytes, std::memory_order_relaxed);
}

void TID3FileEndsReader::Finish() {
    {
        std::lock_guard lock(FShared->Mutex);
        FShared->HandOverPending();
        FShared->Finished = true;
    }
    FShared->ResultReady.notify_all();
}

TID3FileEndsReader::TNext TID3FileEndsReader::Next(TResult& result,
                                                   std::chrono::milliseconds wait) {
    if (FShared->Taken.empty()) {
        std::unique_lock lock(FShared->Mutex);
        FShared->HandOverPending();
        FShared->ConsumerWaiting = true;
        const bool ready = FShared->ResultReady.wait_for(
            lock, wait, [this] { return FShared->FirstReadyOrDone(); });
        FShared->ConsumerWaiting = false;
        if (!ready)
            return TNext::Waiting;
        FShared->TakeReady();
    }
    return FShared->HandOut(result);
}

TID3FileEndsReader::TNext TID3FileEndsReader::Next(TResult& result) {
    if (FShared->Taken.empty()) {
        std::unique_lock lock(FShared->Mutex);
        FShared->HandOverPending();
        FShared->ConsumerWaiting = true;
        FShared->ResultReady.wait(lock, [this] { return FShared->FirstReadyOrDone(); });
        FShared->ConsumerWaiting = false;
        FShared->TakeReady();
    }
    return FShared->HandOut(result);
}

namespace {

// VARNHOLM_READERS when it holds a sensible number, else 0.
int ReadersFromEnvironment() {
    bool ok = false;
    const int readers = qEnvironmentVariableIntValue("VARNHOLM_READERS", &ok);
    return ok && readers >= 1 && readers <= 256 ? readers : 0;
}

int Processors() {
    return int(std::max(1u, std::thread::hardware_concurrency()));
}

} // namespace

int TID3FileEndsReader::ThreadCount() {
    if (const int readers = ReadersFromEnvironment())
        return readers;
    return std::clamp(16 * Processors(), 16, 64);
}

int TID3FileEndsReader::CachedThreadCount() {
    if (const int readers = ReadersFromEnvironment())
        return readers;
    return std::clamp(4 * Processors(), 8, 64);
}
