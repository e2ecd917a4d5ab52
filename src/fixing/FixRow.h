#pragma once

#include "catalogue/MP3FileData.h"

#include <QString>

class TID3v1Tag;
class TID3v2Tag;
class TKelmLogFile;
class TKeptTagBytes;
class TFileWriter;
class TReferenceData;
struct TOptionSet;

// The cells of one row of the main list as the fix and the edits read and change them, and the
// record the row shows (not owned). The main window copies its row into this and back.
struct TFixRow {
    QString Name; // the file's name, the row's caption
    QString Location;
    QString ComputedName; // MP3 Name (Computed)
    QString Mismatch;     // "Yes" or "No"
    QString Artist;
    QString Title;
    QString TrackNumber;
    QString AlbumTitle;
    QString Year;
    QString Genre;
    QString Comments;
    QString CoverArt;
    TMP3FileData* Data = nullptr;

    bool operator==(const TFixRow&) const = default;
};

// What fixing and editing use besides the row: the tag components (one file at a time), the
// reference data (artist exceptions, learned genres), the activity log, the options, the
// writer through which every change reaches the disk (or a plan), and, when given, the tag
// bytes the analysis kept, which the fix uses instead of reading the file again.
struct TFixContext {
    TID3v2Tag& ID3v2Tag1;
    TID3v1Tag& ID3v1Tag1;
    TReferenceData& ReferenceData;
    TKelmLogFile& Log;
    const TOptionSet& Options;
    TFileWriter& Files;
    TKeptTagBytes* KeptTagBytes = nullptr;
};

// How one row came out of a fix or an edit.
enum class TRowOutcome {
    Skipped, // nothing to do, or the file is gone: the row is unchanged
    Done,    // the tags are written and the row shows the new values
    Failed,  // the file could not be written: the row is unchanged, Error says why
};

struct TRowResult {
    TRowOutcome Outcome = TRowOutcome::Skipped;
    QString Error;
    bool Renamed = false; // the fix renamed the file (or it had its computed name already)

    bool Done() const { return Outcome == TRowOutcome::Done; }
    bool Failed() const { return Outcome == TRowOutcome::Failed; }
};

// The folder of the row's file with a trailing "/" (the root keeps its one separator); empty
// for a file named without a folder.
QString RowFolder(const TFixRow& row);
// The row's file: its folder followed by its Name cell.
QString RowFilePath(const TFixRow& row);
