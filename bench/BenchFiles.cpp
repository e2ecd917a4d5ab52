#include "BenchFiles.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace BenchFiles {

std::vector<std::string> ListMP3Files(const std::string& folder) {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file() && entry.path().extension() == ".mp3")
            files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

int Run(int argc, char** argv, unsigned long long (*readFile)(const std::string& path),
        bool threadSafe) {
    int threads = 1;
    if (threadSafe && argc == 4 && std::string(argv[1]) == "--threads") {
        threads = std::max(1, std::atoi(argv[2]));
        argv += 2;
        argc -= 2;
    }
    if (argc != 2) {
        std::fprintf(stderr, threadSafe ? "usage: %s [--threads N] FOLDER\n" : "usage: %s FOLDER\n",
                     argv[0]);
        return 2;
    }
    const std::vector<std::string> files = ListMP3Files(argv[1]);
    std::atomic<unsigned long long> checksum = 0;
    std::atomic<size_t> next = 0;
    const auto work = [&] {
        unsigned long long sum = 0;
        for (size_t i; (i = next++) < files.size();)
            sum += readFile(files[i]);
        checksum += sum;
    };
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::thread> pool;
    for (int i = 1; i < threads; ++i)
        pool.emplace_back(work);
    work();
    for (std::thread& thread : pool)
        thread.join();
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    // The checksum keeps the compiler from dropping the work, and shows that runs agree.
    std::printf("files %zu seconds %.4f checksum %llu\n", files.size(), elapsed.count(),
                checksum.load());
    return 0;
}

} // namespace BenchFiles
