#pragma once

#include "tags/ID3Types.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

class TID3v1Tag;
class TID3v2Tag;

// Small steps on tag values that the fix, the bulk edits and the properties editor share.

// When the list is empty, adds S; otherwise S replaces its first value and the others stay.
void SetFirstOfList(QStringList& Strings, const QString& S);

// Removes every frame with the identifier from the tag's frame list.
void RemoveAllFramesByID(TID3v2Tag& AController, TID3FrameID FrameID);

// Writes the parts over the values by position, adding values where the list is shorter;
// values beyond the last part stay.
void SetLeadingValues(QStringList& values, const QStringList& parts);

// The year into both tags: the ID3v1 year; in a 2.4 tag the recording time moved to the year
// (ChangeYear), before 2.4 TYER. An empty year removes the recording time and leaves TYER; so
// does a year no date can have (0).
void WriteYear(TID3v2Tag& v2, TID3v1Tag& v1, const QString& year);

// The comment into both tags: every COMM frame goes and one new frame holds the text.
void WriteComment(TID3v2Tag& v2, TID3v1Tag& v1, const QString& comment);

// The values the list shows from title to comment, as Fix and the properties dialog write them
// (each writes the artist and the cover its own way).
struct TListValues {
    const QString& Title;
    const QString& TrackNumber;
    const QString& AlbumTitle;
    const QString& Year;
    const QString& Genre;
    const QString& Comment;
};
void WriteListValues(TID3v2Tag& v2, TID3v1Tag& v1, const TListValues& values);

// The date with its year replaced, keeping month and day and dropping the time of day. The 29th
// of February in a year without one becomes the 28th. A year no date can have (below 1 or above
// 9999) gives an invalid QDateTime.
QDateTime ChangeYear(const QDateTime& ADateTime, int NewYear);

// The Track Number cell as it is written: only the digits 0 to 9 when it holds anything else,
// and "0" when nothing is left ("3/12" gives "312").
QString TrackNumberDigits(const QString& cell);

// The ID3v1 track number of a track number text: its value modulo 256, computed from its digits
// so that a number too long for any integer type still has one (spaces are ignored, and so is
// anything else that is not a digit).
quint8 ID3v1TrackNumber(const QString& trackNumber);

// The letters A to Z and the accented capitals the title edit knows become small letters; every
// other character stays (Ì and Ú among them).
QString LowerCaseWithAccents(const QString& text);
