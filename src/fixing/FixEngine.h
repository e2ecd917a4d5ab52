#pragma once

#include "fixing/FixRow.h"

#include <QList>

// Fixes one row: writes the row's values, cleaned and formatted, into the file's ID3v2 tag and
// its ID3v1 tag (when it has one), embeds the folder's front cover when the options ask for it,
// renames the file to its computed name without replacing any file, and updates the row and its
// record (and the learned artist/album/genre notes).
//
// Skipped (row unchanged): a row without a record, a row that needs no fix while
// ForceFixStateToEnabled is off, a file that is gone. Failed (row and record unchanged, the
// activity log names the file and the error): a file whose tags cannot be read or written or
// whose picture cannot be read. A move that finds the new name taken leaves the file under its
// name, written, and the row still a mismatch; the log notes it.
TRowResult FixMP3ListItem(TFixRow& MP3ListItem, TFixContext& context);

// Before the rows are fixed one after the other: the files the fix will change, read now (or
// from the bytes the browse kept), and the names they will move to, announced to the writer, so
// that their journal records share one flush. The fix of each row then uses the bytes read here.
void AnnounceFixes(const QList<TFixRow>& rows, TFixContext& context);

// The log line of a file that a command could not write.
void LogFileNotWritten(TFixContext& context, const QString& what, const QString& fileName,
                       const QString& error);
