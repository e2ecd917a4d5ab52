#pragma once

#include "tags/ID3FileEnds.h"
#include "tags/ID3v2Writer.h"

#include <QString>
#include <functional>
#include <optional>

// Placing a built tag into its MP3 file.

// The padding behind a new tag of newSize bytes (header included) that replaces a tag area of
// oldSize bytes (0 when the file has no tag). A smaller tag fills the old area exactly; any
// other gets an area that is a multiple of 2048 bytes with at least 2048 bytes of padding,
// grown from the old area by half its size at a time.
qint64 ID3v2Padding(qint64 newSize, qint64 oldSize);

// Whether a new tag of newSize bytes (header included) is written by rebuilding the file rather
// than over the present tag area of oldSize bytes (0 when the file has no tag).
bool ID3v2TagRebuildsFile(qint64 newSize, qint64 oldSize);
// The file a rebuild replaces: the target of a link, so that the link itself stays a link. The
// temporary file of the rebuild goes into that file's folder.
QString ID3v2RebuiltFile(const QString& path);

// Points in a commit at which tests interrupt or disturb it.
enum class TID3CommitStage {
    Locked,           // the file is open and locked, nothing written yet
    TemporaryCreated, // rebuilding: the temporary file exists and is empty
    AudioCopied,      // rebuilding: the temporary file is complete but not yet flushed
};
using TID3CommitObserver = std::function<void(TID3CommitStage stage, const QString& temporaryPath)>;

// Writes the tag into the file. When it fits into the present tag area, the file is opened
// for exclusive reading and writing and only the tag area is written. Otherwise the file is
// rebuilt: the new tag area and the rest of the file go into a temporary file in the same
// folder, which is flushed to disk and renamed over the file in one step; on any failure the
// file stays untouched and the temporary file is removed. Throws ID3FileIO::TFileError, or
// TError("Tag is too big") before anything is written.
//
// With id3v1 (a 128-byte ID3v1 tag), that tag is written too, through the same open and lock:
// over the file's ID3v1 tag when it ends with one, else appended; in a rebuild it goes into
// the temporary file. Returns false when the ID3v2 tag was written in place but the ID3v1 tag
// could not be; true otherwise.
//
// With after, the file's ends as they are once written (see ID3FileEndsOf), when the tag was
// written in place and both writes succeeded; otherwise nothing, and the caller reads them.
bool WriteID3v2TagToFile(const QString& path, const TID3v2TagImage& image,
                         const TID3CommitObserver& observer = {}, QByteArrayView id3v1 = {},
                         std::optional<TID3FileEnds>* after = nullptr);
