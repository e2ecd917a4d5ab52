#pragma once

#include <QString>

// Moving a file to a new name without ever replacing a file that has that name, also not one
// that another program creates at the same moment (where the file system allows it: see
// CheckedRename). A run killed at any moment leaves the file complete under its old or its new
// name (at worst under both, as two links of one file), and the next move recognises that.

// How the move is made. Each is tried when the file system cannot do the one before it.
enum class TMoveMethod {
    Rename,        // renameat2 with RENAME_NOREPLACE: one atomic step
    Link,          // link to the new name (fails when it exists), then unlink the old one
    CheckedRename, // rename once the new name is found free (replaces only a file created
                   // by another program between the check and the rename)
    Copy,          // across file systems: copy to a temporary file beside the new name, flush
                   // it, move it into place as above, then delete the old one
};

struct TMoveResult {
    bool Moved = false;
    bool TargetExists = false; // a file of the new name was there and is left untouched
    QString Error;             // why the move failed; empty when it succeeded
};

// Whether both names lead to one file (a name that differs in letter case on a file system that
// ignores case, or two links of one file); false when either cannot be looked at.
bool SameFile(const QString& a, const QString& b);
// Whether the folder holds an entry of this name (a dangling link included).
bool NameExists(const QString& path);

// The failed move for an errno value, with the reason a move gives for it.
TMoveResult MoveFailure(int error);

// Moves from to to. On failure both names are as they were. A name that differs only in letter
// case on a file system that ignores case is the same file: it is simply renamed. Two links of
// one file under both names are what a killed link-and-unlink move leaves: the old name goes.
TMoveResult MoveFileNoReplace(const QString& from, const QString& to);

// The same, starting with the given method (the tests reach the fallbacks through it).
TMoveResult MoveFileNoReplace(const QString& from, const QString& to, TMoveMethod first);

// Test seam, read only here: the environment variable VARNHOLM_TEST_MOVE_FALLBACK set to "link"
// makes RENAME_NOREPLACE report "not supported" (as on NFS, SMB and many FUSE file systems), set
// to "checked" makes link fail in the same way too, so that tests can kill real runs inside
// the fallbacks.
