#pragma once

#include "tags/ID3FileEnds.h"

#include <QString>
#include <QStringList>
#include <optional>

// What listing a file takes from its two tags, as plain values. Parsing the tags is most of the
// work of listing a file, and plain values can be made on the thread that read the bytes, while
// the analysis that depends on the order of the files (learned data, the log) stays on one thread.
struct TID3TagValues {
    // False when no regular file is at the path; nothing else is set then.
    bool IsFile = false;
    // False when the ID3v2 tag could not be read: the ID3v2 values are empty and ID3v2Error
    // holds the reader's message. A file without an ID3v2 tag reads as an empty tag.
    bool ID3v2Readable = false;
    QString ID3v2Error;

    // From the ID3v2 tag: every lead artist (TPE1), the first original artist (TOPE), title,
    // track and album ("" when missing), the first content type (TCON, genre references not
    // decoded), the texts of the comment frames in tag order.
    QStringList LeadArtists;
    QString OrigArtist;
    QString Title;
    QString TrackNum;
    QString Album;
    QString ContentType;
    QStringList Comments;
    // The year as the tag's version keeps it: the year of the recording time in 2.4 ("" before
    // 1900, which a missing frame gives), the year frame otherwise ("0" when missing).
    QString Year;
    // The MIME type of the last front cover picture; nothing when there is none.
    std::optional<QString> FrontCoverMIME;

    // From the ID3v1 tag (empty, track 0, when there is none).
    QString V1SongName;
    QString V1Artist;
    QString V1Album;
    QString V1Year;
    QString V1Comment;
    QString V1Genre;
    int V1AlbumTrack = 0;
};

class TID3v2Tag;

// The values of the file's tags, from its bytes read beforehand; a file those bytes could not be
// read from is looked at again (and is no file, or read as the tag components read it). Touches
// nothing shared, so it runs on any thread; it may throw what reading a tag throws besides its
// own errors (running out of memory).
TID3TagValues ReadID3TagValues(const QString& fileName, const TID3FileEnds& ends);

// The ID3v2 values of a tag read whole (ID3v2Readable and ID3v2Error untouched); what
// ReadID3TagValues gives without building the tag's frames.
void TakeID3v2TagValues(const TID3v2Tag& tag, TID3TagValues& values);
