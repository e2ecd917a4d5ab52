#pragma once

#include <QStringList>
#include <vector>

// The system limits how many bytes of arguments and environment a started program may get. A
// tool run over a large library is cut into batches that each fit, so that no file is left out.
namespace ArgumentBatches {

// The bytes that arguments may take in one start: the system's limit less this process's
// environment (which the child inherits) and a margin.
qsizetype Budget();

// The bytes one argument takes: its text, the terminating zero and its pointer.
qsizetype Cost(const QString& argument);

// Splits files into consecutive batches whose arguments, together with the fixed ones (the
// program and its switches), fit in budget. Every file is in exactly one batch, in order; a
// file that cannot fit even alone still gets a batch of its own, for the system to refuse.
// No files give no batch.
std::vector<QStringList> Split(const QStringList& fixed, const QStringList& files,
                               qsizetype budget = Budget());

} // namespace ArgumentBatches
