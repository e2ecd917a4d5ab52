#include "export/TrackSeconds.h"

#include "export/TrackLength.h"
#include "tags/ID3FileEndsReader.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// Files a thread takes at a time: few enough to share out the last ones evenly, enough that
// the threads rarely meet at the counter.
constexpr qsizetype Batch = 16;

} // namespace

QList<qint64> MeasureTrackSeconds(const QStringList& paths, int threadCount) {
    QList<qint64> seconds(paths.size(), -1);
    if (threadCount <= 0)
        threadCount = TID3FileEndsReader::ThreadCount();
    threadCount = int(std::min<qsizetype>(threadCount, (paths.size() + Batch - 1) / Batch));
    // Each thread writes only the entries of the batches it took.
    qint64* const out = seconds.data();
    std::atomic<qsizetype> next = 0;
    std::exception_ptr failure;
    std::mutex failureLock;
    const auto measure = [&] {
        try {
            TTrackLength lengths;
            for (qsizetype first = next.fetch_add(Batch); first < paths.size();
                 first = next.fetch_add(Batch))
                for (qsizetype i = first; i < std::min(first + Batch, paths.size()); ++i)
                    out[i] = lengths.Seconds(paths[i]);
        } catch (...) {
            const std::lock_guard lock(failureLock);
            if (!failure)
                failure = std::current_exception();
            // The other threads find nothing left to take.
            next = paths.size();
        }
    };
    if (threadCount <= 1) {
        measure();
    } else {
        std::vector<std::jthread> threads;
        for (int t = 0; t < threadCount; ++t)
            threads.emplace_back(measure);
    }
    if (failure)
        std::rethrow_exception(failure);
    return seconds;
}
