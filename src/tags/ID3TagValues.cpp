#include "tags/ID3TagValues.h"

#include "support/Error.h"
#include "tags/ID3FrameKinds.h"
#include "tags/ID3v1Tag.h"
#include "tags/ID3v2Tag.h"

#include <QFileInfo>

namespace {

QStringList ListOf(const TID3v2Tag& tag, TID3FrameID id) {
    const auto* frame = tag.Frames().FindFirst(id);
    const auto* list = frame ? frame->As<TID3SimpleListFrame>() : nullptr;
    return list ? list->Strings() : QStringList();
}

void TakeID3v2Values(const TID3v2Tag& tag, TID3TagValues& values) {
    values.LeadArtists = ListOf(tag, fiLeadArtist);
    values.OrigArtist = ListOf(tag, fiOrigArtist).value(0);
    values.Title = tag.Texts().Title();
    values.TrackNum = tag.Texts().TrackNum();
    values.Album = tag.Texts().Album();
    values.ContentType = ListOf(tag, fiContentType).value(0);
    if (tag.Version() == ive2_4) {
        const int year = tag.Texts().RecordingTime().date().year();
        values.Year = year >= 1900 ? QString::number(year) : QString();
    } else {
        values.Year = QString::number(tag.Texts().Year());
    }
    for (const auto& frame : tag.Frames()) {
        if (frame->ID() == fiComment) {
            if (const auto* comment = frame->As<TID3ContentFrame>())
                values.Comments.append(comment->Text());
        } else if (frame->ID() == fiPicture) {
            if (const auto* picture = frame->As<TID3PictureFrame>();
                picture && picture->PictureType() == ptCoverFront)
                values.FrontCoverMIME = picture->MIMEType();
        }
    }
}

void TakeID3v1Values(const TID3v1Tag& tag, TID3TagValues& values) {
    values.V1SongName = tag.SongName;
    values.V1Artist = tag.Artist;
    values.V1Album = tag.Album;
    values.V1Year = tag.Year;
    values.V1Comment = tag.Comment;
    values.V1Genre = tag.GenreAsString();
    values.V1AlbumTrack = tag.AlbumTrack;
}

} // namespace

TID3TagValues ReadID3TagValues(const QString& fileName, const TID3FileEnds& ends) {
    TID3TagValues values;
    TID3v1Tag v1;
    TID3v2Tag v2;
    // Reading a library is mostly opening files, so both tags come from the bytes one open read;
    // only a file that this failed on (not there, not a regular file, unreadable) is looked at
    // again, so that it is either no file at all or read as the tag components read it.
    const bool fromEnds = ends.Opened && ends.ErrorCode == 0;
    if (!fromEnds && !QFileInfo(fileName).isFile())
        return values;
    values.IsFile = true;
    v1.SetFileName(fileName);
    fromEnds ? v1.OpenFromLastBytes(ends.Last) : v1.Open();
    TakeID3v1Values(v1, values);
    v2.SetFileName(fileName);
    try {
        fromEnds ? v2.OpenFromFileStart(ends.Start) : v2.Open();
        values.ID3v2Readable = true;
    } catch (const TError& e) {
        values.ID3v2Error = e.Message();
        return values;
    }
    TakeID3v2Values(v2, values);
    return values;
}
