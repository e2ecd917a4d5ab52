#include "tags/ID3TagValues.h"

#include "support/Error.h"
#include "tags/ID3FrameKinds.h"
#include "tags/ID3Timestamp.h"
#include "tags/ID3v1Tag.h"
#include "tags/ID3v2Tag.h"

#include <QFileInfo>
#include <bitset>

namespace {

QStringList ListOf(const TID3v2Tag& tag, TID3FrameID id) {
    const auto* frame = tag.Frames().FindFirst(id);
    const auto* list = frame ? frame->As<TID3SimpleListFrame>() : nullptr;
    return list ? list->Strings() : QStringList();
}

QString YearOf(const QDateTime& recordingTime) {
    const int year = recordingTime.date().year();
    return year >= 1900 ? QString::number(year) : QString();
}

// The year of a tag without the frame the version keeps it in.
QString MissingYear(TID3Version version) {
    return version == ive2_4 ? YearOf(ID3ZeroDate()) : QString::number(0);
}

// Takes the values as the frames are walked, building only the frames they come from (the
// first of each single value, every comment, the head of every picture), the way the lookups
// of TakeID3v2TagValues find them. Listing a library reads each tag once, and most of a tag is
// frames the list does not show and picture bytes. The other frames are checked only for what
// parsing them could fail on, so that a damaged tag fails as when read whole.
class TValueTaker {
public:
    explicit TValueTaker(TID3TagValues& values) : FValues(values) {}

    void Take(const TID3FrameBytes& frame) {
        // A compressed or encrypted frame reads as an unknown one, its bytes unparsed.
        if (frame.KeptEncoded)
            return;
        switch (frame.ID) {
        case fiLeadArtist:
            if (First(frame))
                FValues.LeadArtists = Parsed<TID3SimpleListFrame>(frame).Strings();
            return;
        case fiOrigArtist:
            if (First(frame))
                FValues.OrigArtist = Parsed<TID3SimpleListFrame>(frame).Strings().value(0);
            return;
        case fiContentType:
            if (First(frame))
                FValues.ContentType = Parsed<TID3SimpleListFrame>(frame).Strings().value(0);
            return;
        case fiTitle:
            if (First(frame))
                FValues.Title = Parsed<TID3TextFrame>(frame).Text();
            return;
        case fiTrackNum:
            if (First(frame))
                FValues.TrackNum = Parsed<TID3TextFrame>(frame).Text();
            return;
        case fiAlbum:
            if (First(frame))
                FValues.Album = Parsed<TID3TextFrame>(frame).Text();
            return;
        case fiRecordingTime: // the year of version 2.4
            if (frame.Version != ive2_4)
                Check(frame);
            else if (First(frame))
                TakeYear(YearOf(Parsed<TID3TimestampFrame>(frame).DateTime()));
            return;
        case fiYear: // the year before version 2.4
            if (frame.Version == ive2_4)
                Check(frame);
            else if (First(frame))
                TakeYear(QString::number(Parsed<TID3NumberFrame>(frame).Number()));
            return;
        case fiComment:
            FValues.Comments.append(Parsed<TID3ContentFrame>(frame).Text());
            return;
        case fiPicture:
            TakePicture(frame);
            return;
        default:
            Check(frame);
            return;
        }
    }

    // Whether a frame gave the year.
    bool TookYear() const { return FTookYear; }

private:
    // True for the first frame of its identifier; a later one is only checked, as the values
    // come from the first.
    bool First(const TID3FrameBytes& frame) {
        if (!FTaken[frame.ID]) {
            FTaken.set(frame.ID);
            return true;
        }
        Check(frame);
        return false;
    }

    static void Check(const TID3FrameBytes& frame) {
        if (frame.Content)
            CheckID3FrameEncoding(frame.ID, *frame.Content);
    }

    void TakeYear(const QString& year) {
        FValues.Year = year;
        FTookYear = true;
    }

    // The frame of the identifier's class read from the bytes; left empty when there is no
    // content to read.
    template <class T> class Parsed : public T {
    public:
        explicit Parsed(const TID3FrameBytes& frame) : T(frame.ID) {
            if (frame.Content)
                T::ParseContent(*frame.Content, frame.Version);
        }
    };

    void TakePicture(const TID3FrameBytes& frame) {
        TID3PictureFrame picture(frame.ID);
        if (frame.Content)
            picture.ParseContentHead(*frame.Content, frame.Version);
        if (picture.PictureType() == ptCoverFront)
            FValues.FrontCoverMIME = picture.MIMEType();
    }

    TID3TagValues& FValues;
    std::bitset<fiFrameIDCount> FTaken;
    bool FTookYear = false;
};

// The ID3v2 values from the tag bytes at the start of the file; throws as reading the tag does.
void TakeID3v2Values(const QString& fileName, QByteArrayView fileStart, TID3TagValues& values) {
    TValueTaker taker(values);
    const std::optional<TID3v2Header> header = VisitID3v2TagBytes(
        fileStart, fileName, [&taker](const TID3FrameBytes& frame) { taker.Take(frame); });
    if (!taker.TookYear())
        values.Year = MissingYear(header ? header->Version() : iveLowerThan2_2);
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

void TakeID3v2TagValues(const TID3v2Tag& tag, TID3TagValues& values) {
    values.LeadArtists = ListOf(tag, fiLeadArtist);
    values.OrigArtist = ListOf(tag, fiOrigArtist).value(0);
    values.Title = tag.Texts().Title();
    values.TrackNum = tag.Texts().TrackNum();
    values.Album = tag.Texts().Album();
    values.ContentType = ListOf(tag, fiContentType).value(0);
    values.Year = tag.Version() == ive2_4 ? YearOf(tag.Texts().RecordingTime())
                                          : QString::number(tag.Texts().Year());
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

TID3TagValues ReadID3TagValues(const QString& fileName, const TID3FileEnds& ends) {
    TID3TagValues values;
    // Reading a library is mostly opening files, so both tags come from the bytes one open read;
    // only a file that this failed on (not there, not a regular file, unreadable) is looked at
    // again, so that it is either no file at all or read as the tag components read it.
    const bool fromEnds = ends.Opened && ends.ErrorCode == 0;
    if (!fromEnds && !QFileInfo(fileName).isFile())
        return values;
    values.IsFile = true;
    try {
        if (fromEnds) {
            TakeID3v2Values(fileName, ends.Start, values);
        } else {
            TID3v2Tag v2;
            v2.SetFileName(fileName);
            v2.Open();
            TakeID3v2TagValues(v2, values);
        }
        values.ID3v2Readable = true;
    } catch (const TError& e) {
        // The values of a tag that failed part way are not kept.
        values = TID3TagValues();
        values.IsFile = true;
        values.ID3v2Error = e.Message();
    }
    TID3v1Tag v1;
    v1.SetFileName(fileName);
    fromEnds ? v1.OpenFromLastBytes(ends.Last) : v1.Open();
    TakeID3v1Values(v1, values);
    return values;
}
