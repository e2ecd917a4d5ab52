#pragma once

#include "tags/ID3Types.h"

#include <QByteArray>
#include <QList>
#include <QString>

class TID3v1Tag;
class TID3v2Tag;

// The values of a file's tags as a list of named fields, so that what a write changes can be
// listed field by field: each ID3v2 frame under its identifier (a repeated one numbered, "COMM
// 2"), each ID3v1 field as "ID3v1 Title" and so on.
struct TTagField {
    QString Name;
    QByteArray Content; // what is compared: the frame's content as the version writes it
    QString Text;       // what is shown
};
using TTagFields = QList<TTagField>;

// The frames of the tag as they would be written in the version (frames the version has no
// identifier for are left out), and with id3v1 its fields. asRead: a date shows the text the
// file holds, which writing may turn into a fuller date.
TTagFields TagFields(const TID3v2Tag& v2, TID3Version version, const TID3v1Tag* id3v1,
                     bool asRead = false);
// The fields of an ID3v1 tag as its 128 bytes read back hold them.
void AppendID3v1Fields(TTagFields& fields, const TID3v1Tag& tag);

struct TFieldChange {
    QString Name;
    QString Old; // "" when the field was not there
    QString New; // "" when the field goes
};
// The fields whose content differs, in the order of before and then of the new fields.
QList<TFieldChange> ChangedFields(const TTagFields& before, const TTagFields& after);
