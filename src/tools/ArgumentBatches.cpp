#include "tools/ArgumentBatches.h"

#include <unistd.h>

extern char** environ;

namespace ArgumentBatches {

namespace {

// Room left for what the system itself puts beside the arguments (the program's path, the
// auxiliary vector, alignment).
constexpr qsizetype Margin = 16 * 1024;
// The smallest limit POSIX allows, used when the system does not tell.
constexpr qsizetype PosixMinimum = 4096;

} // namespace

qsizetype Cost(const QString& argument) {
    return argument.toLocal8Bit().size() + 1 + qsizetype(sizeof(char*));
}

qsizetype Budget() {
    const long limit = sysconf(_SC_ARG_MAX);
    qsizetype budget = limit > 0 ? qsizetype(limit) : PosixMinimum;
    for (char** entry = environ; entry && *entry; ++entry)
        budget -= qsizetype(qstrlen(*entry)) + 1 + qsizetype(sizeof(char*));
    return std::max<qsizetype>(budget - Margin, PosixMinimum / 2);
}

std::vector<QStringList> Split(const QStringList& fixed, const QStringList& files,
                               qsizetype budget) {
    qsizetype fixedCost = 0;
    for (const QString& argument : fixed)
        fixedCost += Cost(argument);
    std::vector<QStringList> batches;
    qsizetype used = 0;
    for (const QString& file : files) {
        const qsizetype cost = Cost(file);
        if (batches.empty() || used + cost > budget) {
            batches.emplace_back();
            used = fixedCost;
        }
        batches.back() << file;
        used += cost;
    }
    return batches;
}

} // namespace ArgumentBatches
