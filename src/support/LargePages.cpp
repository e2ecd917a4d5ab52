#include "support/LargePages.h"

#include <QFile>
#include <cstdint>
#include <cstdlib>

#ifdef __GLIBC__
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace {

constexpr std::size_t HeapStep = std::size_t(256) << 20;
constexpr std::uintptr_t LargePage = std::uintptr_t(2) << 20;
// Blocks from this size on get a mapping of their own, apart from the heap.
constexpr std::size_t OwnMappingFrom = std::size_t(32) << 20;

// vm.overcommit_memory 2: every byte the heap maps counts against a limit, used or not.
bool StrictAccounting() {
    QFile setting(QStringLiteral("/proc/sys/vm/overcommit_memory"));
    return setting.open(QIODevice::ReadOnly) && setting.readAll().trimmed() == "2";
}

} // namespace

void PreferLargePagesForHeap() {
#ifdef __GLIBC__
    if (StrictAccounting() || mallopt(M_TOP_PAD, int(HeapStep)) != 1)
        return;
    // Setting the pad stops glibc from raising the size above which a block gets a mapping of
    // its own as large blocks come and go: a fix's 1 MB copy block would be mapped and unmapped
    // for every file. The size is set where that adjustment ends.
    mallopt(M_MMAP_THRESHOLD, int(OwnMappingFrom));
    // The next time the heap grows it takes the whole step: make it grow now, with blocks the
    // heap serves (smaller than those glibc maps on their own), then advise the new part.
    char* const before = static_cast<char*>(::sbrk(0));
    constexpr int MostBlocks = 64;
    void* blocks[MostBlocks];
    int count = 0;
    while (count < MostBlocks && static_cast<char*>(::sbrk(0)) == before)
        blocks[count++] = std::malloc(64 << 10);
    for (int i = 0; i < count; ++i)
        std::free(blocks[i]);
    const auto start =
        (reinterpret_cast<std::uintptr_t>(before) + LargePage - 1) & ~(LargePage - 1);
    const auto end = reinterpret_cast<std::uintptr_t>(::sbrk(0));
    if (end > start)
        ::madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
#endif
}
