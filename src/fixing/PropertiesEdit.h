#pragma once

#include "fixing/FixRow.h"

#include <QByteArray>
#include <QString>

class TID3v2Tag;

// The values the properties dialog shows and writes, in its tab order. They are texts as they
// stand in the fields; nothing cleans them.
struct TPropertiesValues {
    QString Artist;
    QString Title;
    QString TrackNumber;
    QString AlbumTitle;
    QString Year;
    QString Genre;
    QString Comments;

    bool operator==(const TPropertiesValues&) const = default;
};

// The fields as the dialog fills them from a row: each from its cell, the track number "0"
// when its cell is empty.
TPropertiesValues PropertiesValuesOfRow(const TFixRow& row);

// Why the dialog cannot be confirmed with these values (the message that keeps it open), or ""
// when it can: the artist must not be empty, the track number must be a number, the year empty
// or a number of at most four digits.
QString PropertiesValuesProblem(const TPropertiesValues& values);

// What the dialog does to the front cover. Kept: the picture frames are written back as they
// were read, byte for byte, whether or not the picture could be shown. Cleared: every front
// cover goes. Assigned: the picture becomes the one front cover.
struct TCoverEdit {
    enum class TChange { Keep, Clear, Assign };
    TChange Change = TChange::Keep;
    QByteArray Data;  // Assign: the bytes to embed
    QString MIMEType; // Assign: their MIME type
};

// The front cover the dialog shows: the last picture frame of type front cover.
struct TFrontCover {
    bool Present = false;
    QByteArray Data;
    QString MIMEType;
};
TFrontCover ReadFrontCover(const TID3v2Tag& tag);

// Writes the dialog's values into the row's file: the ID3v2 tag and, when the file has one, its
// ID3v1 tag (an artist of the exceptions list with a "/" is cut at its first "/" into the first
// two TPE1 values), and the cover as the edit says. The file's time is put back when
// PreserveFileDateTime asks for it.
//
// Done: the record holds the values and the Cover Art cell of what the file holds now, and the
// row's value cells show them. Failed (the file is gone, or its tags cannot be read or written):
// record, row and file stay as they were, the activity log names the file and the error, and
// Error says why. The file is never renamed.
TRowResult WriteProperties(TFixRow& row, TFixContext& context, const TPropertiesValues& values,
                           const TCoverEdit& cover);
