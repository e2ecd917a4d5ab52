#pragma once

#include <QString>

// Moving a file to a new name without ever replacing a file that has that name, also not one
// that another program creates at the same moment.

// How the move is made. Each is tried when the file system cannot do the one before it.
enum class TMoveMethod {
    Rename, // renameat2 with RENAME_NOREPLACE: one atomic step
    Link,   // link to the new name (fails when it exists), then unlink the old one
    Copy,   // create the new name exclusively, copy, flush, then delete the old one
};

struct TMoveResult {
    bool Moved = false;
    bool TargetExists = false; // a file of the new name was there and is left untouched
    QString Error;             // why the move failed; empty when it succeeded
};

// Moves from to to. On failure both names are as they were. A name that differs only in letter
// case on a file system that ignores case is the same file: it is simply renamed.
TMoveResult MoveFileNoReplace(const QString& from, const QString& to);

// The same, starting with the given method (the tests reach the fallbacks through it).
TMoveResult MoveFileNoReplace(const QString& from, const QString& to, TMoveMethod first);
