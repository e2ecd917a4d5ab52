#pragma once

#include "tags/ID3Types.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class TID3v1Tag;
class TID3v2Tag;

// The values of a file's tags as a list of named fields, so that what a write changes can be
// listed field by field: each ID3v2 frame under its identifier (a repeated one numbered, "COMM
// 2"), each ID3v1 field as "ID3v1 Title" and so on. A plan compares every field of every file
// and shows only the few that change: a field keeps what it shows as the values it is made of,
// put into words only when it changed, and a picture's bytes are shared with its frame.
struct TTagField {
    enum class Shown { Text, Values, Comment, Picture, Size, Decoded };
    QByteArray Name;           // the identifier, or "ID3v1 " and the field
    int Number = 1;            // counts the fields of one name
    QByteArray Content;        // what is compared: the frame's content as the version writes it
    QByteArray Picture;        // a picture's bytes, which follow Content in the frame
    bool ComparesText = false; // an ID3v1 field compares as its text (Content stays empty)
    Shown How = Shown::Text;
    QString Text;        // Text, and a comment's text; a picture's MIME type
    QString Language;    // a comment's
    QString Description; // a comment's
    QStringList Values;  // joined by "/"
    int PictureType = 0;
    bool ContentFromValues = false; // Content follows from the values shown alone
};
using TTagFields = QList<TTagField>;

// Each frame's content as the version writes it, by the frame's position in the tag; null where
// none was built (a picture's, whose field holds only the part before the picture's bytes).
using TFrameContents = QList<QByteArray>;

// Replaces fields by the frames of the tag as they would be written in the version (frames the
// version has no identifier for are left out), and with id3v1 its fields. asRead: a date shows
// the text the file holds, which writing may turn into a fuller date. With contents, the
// contents built on the way are kept there. earlier: fields made of the same tag before it
// changed; a text, list or comment frame whose values are still those of the field at its
// place (same name and number) takes that field's content instead of building it again.
void SetTagFields(TTagFields& fields, const TID3v2Tag& v2, TID3Version version,
                  const TID3v1Tag* id3v1, bool asRead = false, TFrameContents* contents = nullptr,
                  const TTagFields* earlier = nullptr);
// The fields of an ID3v1 tag as its 128 bytes read back hold them.
void AppendID3v1Fields(TTagFields& fields, const TID3v1Tag& tag);

// The field's name as a plan shows it ("COMM 2" for the second COMM).
QString FieldName(const TTagField& field);
// What the field shows.
QString FieldText(const TTagField& field);

struct TFieldChange {
    QString Name;
    QString Old; // "" when the field was not there
    QString New; // "" when the field goes
};
// The fields whose content differs, in the order of before and then of the new fields.
QList<TFieldChange> ChangedFields(const TTagFields& before, const TTagFields& after);
