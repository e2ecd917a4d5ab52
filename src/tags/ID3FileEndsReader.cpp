#include "tags/ID3FileEndsReader.h"

#include <QtGlobal>
#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <deque>
#include <malloc.h>
#include <mutex>
#include <new>
#include <optional>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// How far the readers may run ahead of the one taking the results: enough files to keep every
// reader busy on a slow share, few enough bytes that a library of large tags (embedded pictures)
// holds little memory.
constexpr qsizetype ReadAheadFiles = 4096;
constexpr qint64 ReadAheadBytes = 16 * 1024 * 1024;

// The readers allocate the results that the thread taking them frees. glibc gives each thread an
// arena of its own, which grows and shrinks apart from the others: with many readers that costs
// tens of MB and page faults for nothing, so the process keeps to two arenas (unless the
// environment says otherwise).
void LimitAllocatorArenas() {
#ifdef __GLIBC__
    if (!qEnvironmentVariableIsSet("MALLOC_ARENA_MAX"))
        mallopt(M_ARENA_MAX, 2);
#endif
}

// The readers mostly wait for the storage. Where they compute instead (a warm cache), dozens of
// them would outweigh the thread taking their results, often the window's, and hold up its
// events; at the lowest priority they take what that thread leaves.
void LowerThreadPriority() {
    ::setpriority(PRIO_PROCESS, id_t(::syscall(SYS_gettid)), 19);
}

qint64 SizeOf(const TID3FileEnds& ends) {
    return ends.Start.capacity() + ends.Last.capacity();
}

// A read that cannot get its memory is handed back as a failed open, so that the consumer's
// own fallback reads the file again and meets the failure on its thread.
TID3FileEnds ReadSafely(const QString& path) {
    try {
        return ReadID3FileEnds(path);
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
    struct TSlot {
        QString Path;
        std::optional<TID3FileEnds> Ends;
        std::optional<TID3TagValues> Values;
    };

    explicit TShared(TRead read) : Read(read) {}
    const TRead Read;

    std::mutex Mutex;
    std::condition_variable WorkChanged; // a reader may take a path, or must stop
    std::condition_variable ResultReady; // the first slot got its result
    // The paths not yet taken by the consumer, in order; Slots[0] has the index First.
    std::deque<TSlot> Slots;
    qsizetype First = 0;
    qsizetype NextToRead = 0;
    qint64 HeldBytes = 0;
    int IdleReaders = 0;
    bool ConsumerWaiting = false;
    bool Finished = false;
    bool Stopping = false;
    std::vector<std::thread> Threads;

    bool CanRead() const {
        return NextToRead < First + qsizetype(Slots.size()) &&
               NextToRead < First + ReadAheadFiles && HeldBytes < ReadAheadBytes;
    }

    bool PathsWaiting() const { return NextToRead < First + qsizetype(Slots.size()); }

    // Idle readers are woken only when the read-ahead has run half empty, so that each wake-up
    // reads a batch of files instead of one (waking for every file taken costs more than the
    // read on a warm cache).
    void WakeReadersIfWorthIt() {
        if (IdleReaders > 0 && PathsWaiting() && NextToRead - First <= ReadAheadFiles / 2 &&
            HeldBytes <= ReadAheadBytes / 2)
            WorkChanged.notify_all();
    }

    void ReadLoop() {
        LowerThreadPriority();
        std::unique_lock lock(Mutex);
        for (;;) {
            if (!Stopping && !CanRead()) {
                ++IdleReaders;
                WorkChanged.wait(lock, [this] { return Stopping || CanRead(); });
                --IdleReaders;
            }
            if (Stopping)
                return;
            const qsizetype index = NextToRead++;
            const QString path = Slots[std::size_t(index - First)].Path;
            lock.unlock();
            TID3FileEnds ends = ReadSafely(path);
            std::optional<TID3TagValues> values;
            if (Read == TRead::TagValues)
                values = TakeValuesSafely(path, ends);
            lock.lock();
            // The consumer takes only slots whose result is there, so this one is still held.
            HeldBytes += SizeOf(ends);
            TSlot& slot = Slots[std::size_t(index - First)];
            slot.Values = std::move(values);
            slot.Ends = std::move(ends);
            if (index == First && ConsumerWaiting)
                ResultReady.notify_one();
        }
    }

    bool FirstReadyOrDone() const {
        return Slots.empty() ? Finished : Slots.front().Ends.has_value();
    }

    // Called with the lock held once FirstReadyOrDone() holds.
    TNext Take(TResult& result) {
        if (Slots.empty())
            return TNext::Done;
        TSlot& slot = Slots.front();
        result.Path = std::move(slot.Path);
        result.Ends = std::move(*slot.Ends);
        result.Values = std::move(slot.Values);
        HeldBytes -= SizeOf(result.Ends);
        Slots.pop_front();
        ++First;
        WakeReadersIfWorthIt();
        return TNext::Ready;
    }
};

TID3FileEndsReader::TID3FileEndsReader(int threads, TRead read)
    : FShared(std::make_unique<TShared>(read)) {
    LimitAllocatorArenas();
    const int count = std::max(threads, 1);
    FShared->Threads.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i)
        FShared->Threads.emplace_back([shared = FShared.get()] { shared->ReadLoop(); });
}

TID3FileEndsReader::~TID3FileEndsReader() {
    {
        std::lock_guard lock(FShared->Mutex);
        FShared->Stopping = true;
    }
    FShared->WorkChanged.notify_all();
    for (std::thread& thread : FShared->Threads)
        thread.join();
}

void TID3FileEndsReader::Add(const QString& path) {
    std::lock_guard lock(FShared->Mutex);
    FShared->Slots.push_back({path, std::nullopt, std::nullopt});
    if (FShared->IdleReaders > 0 && FShared->CanRead())
        FShared->WorkChanged.notify_one();
}

void TID3FileEndsReader::Add(const QStringList& paths) {
    if (paths.isEmpty())
        return;
    std::lock_guard lock(FShared->Mutex);
    for (const QString& path : paths)
        FShared->Slots.push_back({path, std::nullopt, std::nullopt});
    if (FShared->IdleReaders > 0 && FShared->CanRead())
        FShared->WorkChanged.notify_all();
}

void TID3FileEndsReader::Finish() {
    {
        std::lock_guard lock(FShared->Mutex);
        FShared->Finished = true;
    }
    FShared->ResultReady.notify_all();
}

TID3FileEndsReader::TNext TID3FileEndsReader::Next(TResult& result,
                                                   std::chrono::milliseconds wait) {
    std::unique_lock lock(FShared->Mutex);
    FShared->ConsumerWaiting = true;
    const bool ready =
        FShared->ResultReady.wait_for(lock, wait, [this] { return FShared->FirstReadyOrDone(); });
    FShared->ConsumerWaiting = false;
    return ready ? FShared->Take(result) : TNext::Waiting;
}

TID3FileEndsReader::TNext TID3FileEndsReader::Next(TResult& result) {
    std::unique_lock lock(FShared->Mutex);
    FShared->ConsumerWaiting = true;
    FShared->ResultReady.wait(lock, [this] { return FShared->FirstReadyOrDone(); });
    FShared->ConsumerWaiting = false;
    return FShared->Take(result);
}

int TID3FileEndsReader::ThreadCount() {
    bool ok = false;
    const int fromEnvironment = qEnvironmentVariableIntValue("VARNHOLM_READERS", &ok);
    if (ok && fromEnvironment >= 1 && fromEnvironment <= 256)
        return fromEnvironment;
    const int processors = int(std::max(1u, std::thread::hardware_concurrency()));
    return std::clamp(16 * processors, 16, 64);
}
