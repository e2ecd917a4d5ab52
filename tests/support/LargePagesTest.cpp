#include "support/LargePages.h"

#include <QFile>
#include <QList>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

// The VmFlags of the mappings of the heap, from /proc/self/smaps.
QList<QByteArray> HeapFlags() {
    QFile smaps(QStringLiteral("/proc/self/smaps"));
    if (!smaps.open(QIODevice::ReadOnly))
        return {};
    QList<QByteArray> flags;
    bool inHeap = false;
    for (const QByteArray& line : smaps.readAll().split('\n')) {
        const QList<QByteArray> words = line.simplified().split(' ');
        if (!words.isEmpty() && words.first().contains('-') && !words.first().endsWith(':'))
            inHeap = words.last() == "[heap]";
        else if (inHeap && line.startsWith("VmFlags:"))
            flags.append(line.mid(8).simplified());
    }
    return flags;
}

bool LargePagesOnRequest() {
    QFile enabled(QStringLiteral("/sys/kernel/mm/transparent_hugepage/enabled"));
    QFile overcommit(QStringLiteral("/proc/sys/vm/overcommit_memory"));
    return enabled.open(QIODevice::ReadOnly) && overcommit.open(QIODevice::ReadOnly) &&
           overcommit.readAll().trimmed() != "2";
}

// The heap grows at once by a step marked for large pages ("hg"), which the rows of a browse
// then fill; what came before keeps its pages.
TEST(LargePages, TheHeapGrowsByAStepMarkedForLargePages) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "a sanitizer's allocator does not use glibc's heap";
#endif
    if (!LargePagesOnRequest())
        GTEST_SKIP() << "no transparent huge pages here, or strict accounting";
    PreferLargePagesForHeap();
    const QList<QByteArray> flags = HeapFlags();
    EXPECT_TRUE(std::any_of(flags.begin(), flags.end(), [](const QByteArray& f) {
        return f.split(' ').contains("hg");
    })) << flags.join(" / ").toStdString();
}

} // namespace
