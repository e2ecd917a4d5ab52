#include "fixing/PropertiesEdit.h"

#include "fixing/CoverArt.h"
#include "fixing/FileTimes.h"
#include "fixing/FileWriter.h"
#include "fixing/FixEngine.h"
#include "fixing/MP3FileTags.h"
#include "fixing/TagEditing.h"
#include "refdata/ReferenceData.h"
#include "settings/OptionSet.h"
#include "support/Error.h"
#include "tags/ID3v1Tag.h"
#include "tags/ID3v2Tag.h"

#include <QFileInfo>

namespace {

bool AllDigits(const QString& text) {
    for (const QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

// Only a name of the exceptions list keeps its "/": the text before the first "/" becomes the
// first value and the rest the second (where a further "/" is dropped when the tag is written).
void WriteArtist(TID3v2Tag& v2, TID3v1Tag& v1, const QString& artist,
                 const TReferenceData& referenceData) {
    v1.Artist = artist;
    QStringList& values = v2.Texts().LeadArtist();
    const qsizetype slash = artist.indexOf(u'/');
    if (slash >= 0 && referenceData.IsArtistException(artist))
        SetLeadingValues(values, {artist.left(slash), artist.mid(slash + 1)});
    else
        SetFirstOfList(values, artist);
}

void WriteCover(TID3v2Tag& v2, const TCoverEdit& cover) {
    switch (cover.Change) {
    case TCoverEdit::TChange::Keep:
        break;
    case TCoverEdit::TChange::Clear:
        RemoveFrontCovers(v2);
        break;
    case TCoverEdit::TChange::Assign:
        SetOnlyFrontCover(v2, cover.Data, cover.MIMEType);
        break;
    }
}

void WriteValues(TMP3FileTags& tags, const TPropertiesValues& values, const TCoverEdit& cover,
                 const TReferenceData& referenceData) {
    TID3v2Tag& v2 = tags.ID3v2();
    TID3v1Tag& v1 = tags.ID3v1();
    WriteArtist(v2, v1, values.Artist, referenceData);
    WriteListValues(v2, v1,
                    {values.Title, values.TrackNumber, values.AlbumTitle, values.Year, values.Genre,
                     values.Comments});
    WriteCover(v2, cover);
}

} // namespace

TPropertiesValues PropertiesValuesOfRow(const TFixRow& row) {
    return {row.Artist,
            row.Title,
            row.TrackNumber.isEmpty() ? QStringLiteral("0") : row.TrackNumber,
            row.AlbumTitle,
            row.Year,
            row.Genre,
            row.Comments};
}

QString PropertiesValuesProblem(const TPropertiesValues& values) {
    if (values.Artist.isEmpty())
        return QStringLiteral("The artist value must be non-empty.");
    if (values.TrackNumber.isEmpty() || !AllDigits(values.TrackNumber))
        return QStringLiteral("The track number value must be a number.");
    if (values.Year.size() > 4 || !AllDigits(values.Year))
        return QStringLiteral("The year value must be empty or a number of at most four digits.");
    return {};
}

TFrontCover ReadFrontCover(const TID3v2Tag& tag) {
    TFrontCover cover;
    if (const TID3PictureFrame* frame = LastFrontCover(tag)) {
        cover.Present = true;
        cover.Data = frame->PictureData();
        cover.MIMEType = frame->MIMEType();
    }
    return cover;
}

TRowResult WriteProperties(TFixRow& row, TFixContext& context, const TPropertiesValues& values,
                           const TCoverEdit& cover) {
    TRowResult result;
    const QString fileName = RowFilePath(row);
    context.Files.PrepareFolder(RowFolder(row));
    const TPreservedFileTime time(fileName, context.Options.PreserveFileDateTime);
    QString coverArt;
    try {
        // A file that went while the dialog was open is not made anew by the write.
        if (!QFileInfo(fileName).isFile())
            throw TError(QStringLiteral("The file does not exist."));
        TMP3FileTags tags(fileName, context.ID3v2Tag1, context.ID3v1Tag1, context.Files);
        WriteValues(tags, values, cover, context.ReferenceData);
        tags.Commit();
        coverArt = CoverArtCell(tags.ID3v2(), QString());
    } catch (const std::exception& e) {
        context.Files.RestoreTime(time, fileName);
        result.Outcome = TRowOutcome::Failed;
        result.Error = QString::fromUtf8(e.what());
        LogFileNotWritten(context, QStringLiteral("File not changed"), fileName, result.Error);
        return result;
    }
    context.Files.RestoreTime(time, fileName);
    row.Artist = values.Artist;
    row.Title = values.Title;
    row.TrackNumber = values.TrackNumber;
    row.AlbumTitle = values.AlbumTitle;
    row.Year = values.Year;
    row.Genre = values.Genre;
    row.Comments = values.Comments;
    row.CoverArt = coverArt;
    if (row.Data)
        row.Data->MP3TagData = {values.Artist, values.Title, values.TrackNumber, values.AlbumTitle,
                                values.Year,   values.Genre, values.Comments,    coverArt};
    result.Outcome = TRowOutcome::Done;
    return result;
}
