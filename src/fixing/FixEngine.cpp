#include "fixing/FixEngine.h"

#include "catalogue/FileAnalysis.h"
#include "catalogue/KeptTagBytes.h"
#include "catalogue/TextCleaning.h"
#include "fixing/CoverArt.h"
#include "fixing/FileTimes.h"
#include "fixing/FileWriter.h"
#include "fixing/MP3FileTags.h"
#include "fixing/RunJournal.h"
#include "fixing/TagEditing.h"
#include "refdata/BreakApart.h"
#include "refdata/ReferenceData.h"
#include "settings/OptionSet.h"
#include "support/LogFile.h"
#include "tags/ID3v1Tag.h"
#include "tags/ID3v2Tag.h"

#include <QFileInfo>

namespace {

const QString Yes = QStringLiteral("Yes");
const QString No = QStringLiteral("No");

// Step one: the values the row asks for, with the cells that cleaning and formatting change.
void CollectValues(TFixRow& row, TMP3TagData& values, const TMP3FileData& record,
                   const TOptionSet& options) {
    if (row.Artist.endsWith(u' '))
        row.Artist.chop(1);
    values.Artist = CleanMP3Attribute(row.Artist, options);
    row.Title = FormatTitle(CleanMP3Attribute(row.Title, options), options);
    values.Title = row.Title;
    values.TrackNumber = TrackNumberDigits(row.TrackNumber);
    values.AlbumTitle = CleanMP3Attribute(row.AlbumTitle, options);
    values.Year = FormatYear(row.Year);
    if (!record.MyMP3Genre.isEmpty()) {
        row.Genre = record.MyMP3Genre;
        values.Genre = row.Genre;
    } else {
        values.Genre = CleanMP3Attribute(row.Genre, options);
    }
    values.Comment = CleanMP3Attribute(row.Comments, options);
    values.CoverArt = row.CoverArt;
}

void WriteArtist(TID3v2Tag& v2, TID3v1Tag& v1, const QString& artist,
                 const TReferenceData& referenceData) {
    v1.Artist = artist;
    QStringList& values = v2.Texts().LeadArtist();
    const QStringList parts = TKelmBreakApart::Split(artist, QStringLiteral("/"));
    // Only a name the exception list knows keeps its "/": its parts become the values.
    if (!parts.isEmpty() && referenceData.IsArtistException(artist)) {
        SetLeadingValues(values, parts);
    } else {
        SetFirstOfList(values, artist);
    }
}

// The cover picture to embed, or "" when none is or when the options keep it out.
QString PictureToEmbed(const QString& fileName, const TFixRow& row, TFixContext& context) {
    if (!context.Options.EmbedCoverArtDuringFixingProcess)
        return {};
    const QString picture = GetPictureFileName(fileName, context.Log);
    if (picture.isEmpty())
        return {};
    QString home = context.Options.MusicLibraryHomePath;
    if (!home.endsWith(u'/'))
        home += u'/';
    // A picture in the music library's home folder itself belongs to no album.
    return RowFolder(row) == home ? QString() : picture;
}

// A computed name that could lead the file out of its folder is never used.
bool UsableFileName(const QString& name) {
    return !name.isEmpty() && name != u"." && name != u".." && !name.contains(u'/');
}

// Whether the fix changes the row's file at all.
bool NeedsFix(const TMP3FileData& record, const TFixContext& context) {
    return record.MP3Mismatch || context.Options.ForceFixStateToEnabled;
}

// The path the fix moves the row's file to; empty when it stays.
QString MoveTarget(const TFixRow& row) {
    const QString newName = RowFolder(row) + row.ComputedName;
    return newName != RowFilePath(row) && UsableFileName(row.ComputedName) ? newName : QString();
}

} // namespace

void AnnounceFixes(const QList<TFixRow>& rows, TFixContext& context) {
    if (!context.Files.TakesAnnouncements())
        return;
    QList<TAnnouncedChange> files;
    for (const TFixRow& row : rows) {
        const TMP3FileData* record = row.Data;
        if (!record || !NeedsFix(*record, context))
            continue;
        TAnnouncedChange file{RowFilePath(row), {}, MoveTarget(row)};
        file.Ends = CurrentFileEnds(
            file.Path, context.KeptTagBytes ? context.KeptTagBytes->Take(record) : std::nullopt);
        // The fix of the row takes the bytes read here rather than reading the file again.
        if (context.KeptTagBytes)
            context.KeptTagBytes->Hold(record, file.Ends);
        files.append(std::move(file));
    }
    context.Files.Announce(files);
}

void LogFileNotWritten(TFixContext& context, const QString& what, const QString& fileName,
                       const QString& error) {
    context.Log.SetLogText(what + QStringLiteral(" // File=") + fileName + QStringLiteral(" // ") +
                           error);
    context.Files.FileSkipped(fileName, error);
}

TRowResult FixMP3ListItem(TFixRow& MP3ListItem, TFixContext& context) {
    TRowResult result;
    TMP3FileData* record = MP3ListItem.Data;
    if (!record)
        return result;
    const QString folder = RowFolder(MP3ListItem);
    context.Files.PrepareFolder(folder);
    if (!NeedsFix(*record, context))
        return result;
    const QString fileName = RowFilePath(MP3ListItem);
    const TPreservedFileTime time(fileName, context.Options.PreserveFileDateTime);

    // The row and the record change only once the file holds the new values.
    TFixRow row = MP3ListItem;
    TMP3TagData values = record->MP3TagData;
    CollectValues(row, values, *record, context.Options);

    // Announced before the tags are written, so that the journal can make the file's state and
    // its move durable together.
    const QString newName = folder + row.ComputedName;
    const bool moves = !MoveTarget(row).isEmpty();
    QString picture;
    try {
        // The bytes the browse read serve once: after the fix the file holds others.
        TMP3FileTags tags(fileName, context.ID3v2Tag1, context.ID3v1Tag1, context.Files,
                          context.KeptTagBytes ? context.KeptTagBytes->Take(record) : std::nullopt);
        TID3v2Tag& v2 = tags.ID3v2();
        TID3v1Tag& v1 = tags.ID3v1();
        WriteArtist(v2, v1, values.Artist, context.ReferenceData);
        WriteListValues(v2, v1,
                        {values.Title, values.TrackNumber, values.AlbumTitle, values.Year,
                         values.Genre, values.Comment});
        picture = PictureToEmbed(fileName, row, context);
        if (!picture.isEmpty())
            EmbedFrontCover(v2, picture);
        if (moves)
            context.Files.WillMove(fileName, newName);
        tags.Commit();
        // What the file holds now, which the cell shows whether or not the rename succeeds.
        row.CoverArt = CoverArtCell(v2, picture);
    } catch (const std::exception& e) {
        // A file that is gone is skipped without a word, as the list may be older than the
        // folder; looked for only now, so that a fix costs no extra call per file.
        if (!QFileInfo(fileName).isFile())
            return result;
        context.Files.RestoreTime(time, fileName);
        result.Outcome = TRowOutcome::Failed;
        result.Error = QString::fromUtf8(e.what());
        LogFileNotWritten(context, QStringLiteral("File not fixed"), fileName, result.Error);
        return result;
    }
    values.CoverArt = row.CoverArt;
    result.Outcome = TRowOutcome::Done;

    QString current = fileName;
    if (newName == fileName) {
        result.Renamed = true;
    } else if (moves) {
        const TMoveResult moved = context.Files.Move(fileName, newName);
        result.Renamed = moved.Moved;
        if (moved.Moved) {
            current = newName;
            record->FileName = newName;
            record->ComputedMP3Name = row.ComputedName;
        } else {
            context.Log.SetLogText(QStringLiteral("File not renamed // File=") + fileName +
                                   QStringLiteral(" // New name=") + row.ComputedName +
                                   QStringLiteral(" // ") + moved.Error);
        }
    }
    if (result.Renamed) {
        row.Name = row.ComputedName;
        row.Mismatch = No;
        record->MP3Mismatch = false;
    }
    record->MP3TagData = values;
    context.Files.RestoreTime(time, current);
    context.ReferenceData.NoteArtistAlbumGenre(values.Artist, values.AlbumTitle, values.Genre);
    MP3ListItem = row;
    return result;
}
