#pragma once

#include "discovery/KelmFileFind.h"

struct TOptionSet;

// The pattern and file kinds the main window searches with: MP3 files, hidden ones included.
inline const QString MP3FilePattern = QStringLiteral("*.mp3");
constexpr TFileType MP3SearchFileType{ftReadOnly | ftHidden | ftSystem | ftArchive | ftNormal};

// Sets up a search for the MP3 files of one folder as a folder browse does: the pattern and
// file kinds above, recursion from the option Recursive, the folder taken whole (a ";" in its
// name does not split it).
void PrepareMP3FileSearch(TKelmFileFind& find, const QString& folder, const TOptionSet& options);

// Runs a prepared search the way a browse does: a "Too many files" error keeps what was found,
// and with LimitSearchDepth on the files deeper than MaxSearchDepth below the folder are dropped.
// Returns the files found, in the search's order.
const QStringList& RunMP3FileSearch(TKelmFileFind& find, const TOptionSet& options);
