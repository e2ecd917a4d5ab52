#pragma once

#include <chrono>
#include <string>
#include <vector>

// What the tag benchmark programs share, so that they differ only in how they read a file.
namespace BenchFiles {

// Every *.mp3 under the folder, recursively, sorted.
std::vector<std::string> ListMP3Files(const std::string& folder);

// Runs the reader over every file and prints "files N seconds S checksum C"; the listing is not
// timed. Returns the exit status for main(). With threadSafe, "--threads N" before the folder
// runs the reader on N threads that take the files in turn (the same bytes read, in parallel).
int Run(int argc, char** argv, unsigned long long (*readFile)(const std::string& path),
        bool threadSafe = false);

} // namespace BenchFiles
