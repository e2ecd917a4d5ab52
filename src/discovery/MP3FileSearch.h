#pragma once

#include "discovery/KelmFileFind.h"

#include <functional>

struct TOptionSet;

// The pattern and file kinds the main window searches with: MP3 files, hidden ones included.
inline const QString MP3FilePattern = QStringLiteral("*.mp3");
constexpr TFileType MP3SearchFileType{ftReadOnly | ftHidden | ftSystem | ftArchive | ftNormal};

// Sets up a search for the MP3 files of one folder as a folder browse does: the pattern and
// file kinds above, recursion from the option Recursive, the folder taken whole (a ";" in its
// name does not split it).
void PrepareMP3FileSearch(TKelmFileFind& find, const QString& folder, const TOptionSet& options);

// Called while the walk goes on, before each folder and once at the end, with the files found
// since the last call that the result will hold (in the search's order; possibly none).
// Returning false stops the walk: the result is then what was found until then.
using TMP3FilesFound = std::function<bool(const QStringList& files)>;

// Runs a prepared search the way a browse does: a "Too many files" error keeps what was found,
// and with LimitSearchDepth on the files deeper than MaxSearchDepth below the folder are dropped.
// Returns the files found, in the search's order; onFound, when given, has been handed each of
// them once, in that order.
const QStringList& RunMP3FileSearch(TKelmFileFind& find, const TOptionSet& options,
                                    const TMP3FilesFound& onFound = {});
