#include "discovery/FolderPrefetch.h"

#include "support/ThreadPriority.h"

#include <condition_variable>
#include <cstring>
#include <deque>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

// Enough listings at once to keep ahead of the walk beside the file readers.
constexpr int Threads = 8;

} // namespace

struct TFolderPrefetch::TShared {
    std::mutex Mutex;
    std::condition_variable WorkChanged;
    // Folders to list, in the order found: breadth first, which the depth-first walk follows
    // closely enough, since the folders of one level are listed many at a time.
    std::deque<std::string> Folders;
    int Busy = 0;
    bool Stopping = false;
    std::vector<std::thread> Pool;

    void Run() {
        LowerThreadPriority();
        std::vector<char> listing(32 * 1024);
        std::vector<std::string> found;
        std::unique_lock lock(Mutex);
        for (;;) {
            WorkChanged.wait(lock, [this] { return Stopping || !Folders.empty() || Busy == 0; });
            if (Stopping || Folders.empty())
                break; // stopped, or nothing left to list and nobody listing
            const std::string folder = std::move(Folders.front());
            Folders.pop_front();
            ++Busy;
            lock.unlock();
            found.clear();
            List(folder, listing, found);
            lock.lock();
            --Busy;
            for (std::string& sub : found)
                Folders.push_back(std::move(sub));
            if (!found.empty() || Busy == 0)
                WorkChanged.notify_all();
        }
        // Whoever ends the work wakes the others, so that they end too.
        WorkChanged.notify_all();
    }

    static void List(const std::string& folder, std::vector<char>& listing,
                     std::vector<std::string>& found) {
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0)
            return;
        for (;;) {
            const ssize_t filled = ::getdents64(fd, listing.data(), listing.size());
            if (filled <= 0)
                break;
            for (ssize_t at = 0; at < filled;) {
                const auto* entry = reinterpret_cast<const dirent64*>(listing.data() + at);
                at += entry->d_reclen;
                if (entry->d_type == DT_DIR && entry->d_name[0] != '.')
                    found.push_back(folder + '/' + entry->d_name);
            }
        }
        ::close(fd);
    }
};

TFolderPrefetch::TFolderPrefetch(const QByteArray& folder) : FShared(std::make_unique<TShared>()) {
    FShared->Folders.push_back(folder.size() > 1 && folder.endsWith('/')
                                   ? folder.chopped(1).toStdString()
                                   : folder.toStdString());
    FShared->Pool.reserve(Threads);
    for (int i = 0; i < Threads; ++i)
        FShared->Pool.emplace_back([shared = FShared.get()] { shared->Run(); });
}

TFolderPrefetch::~TFolderPrefetch() {
    {
        std::lock_guard lock(FShared->Mutex);
        FShared->Stopping = true;
    }
    FShared->WorkChanged.notify_all();
    for (std::thread& thread : FShared->Pool)
        thread.join();
}
