#include "catalogue/FileAnalysis.h"

#include "catalogue/KeptTagBytes.h"
#include "catalogue/NameComputing.h"
#include "catalogue/TextHelpers.h"
#include "refdata/ReferenceData.h"
#include "settings/OptionSet.h"
#include "support/Error.h"
#include "support/LogFile.h"
#include "tags/Genres.h"
#include "tags/ID3TagValues.h"

#include <QFileInfo>

namespace {

// The featuring markers, in the order they are looked for; the first one found is used.
struct TFeaturingMarker {
    const char* Marker;
    bool StripClosingParenthesis;
};
constexpr TFeaturingMarker FeaturingMarkers[] = {
    {" feat. ", false},     {" (feat. ", true},     {" feat ", false}, {" (feat ", true},
    {" ft. ", false},       {" (ft. ", true},       {" ft ", false},   {" (ft ", true},
    {" featuring ", false}, {" (featuring ", true},
};

// Lower-cases the ASCII letters only, as the marker search does.
QString LowerAscii(QString s) {
    for (QChar& c : s)
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + 32);
    return s;
}

QString DigitsOnly(const QString& s) {
    QString digits;
    for (QChar c : s)
        if (c >= u'0' && c <= u'9')
            digits += c;
    return digits;
}

QString FileNameOf(const QString& path) {
    return path.mid(path.lastIndexOf(u'/') + 1);
}

// Fills a record's values from the values of the file's tags; true when some value had to be
// corrected.
class TRecordFiller {
public:
    TRecordFiller(TFileAnalysisContext& context, const QString& fileName,
                  const TID3TagValues& values)
        : FContext(context), FFileName(fileName), FValues(values) {}

    bool Fill(TMP3FileData& record) {
        TMP3TagData& tag = record.MP3TagData;
        FillArtist(tag);
        FillTitle(tag);
        MoveFeaturing(tag);
        FillTrackNumber(tag);
        FillAlbum(tag);
        FillYear(tag);
        FillGenre(record);
        FillComment(tag);
        FillCoverArt(tag);
        return FCorrected;
    }

private:
    void Flag() { FCorrected = true; }

    void FillArtist(TMP3TagData& tag) {
        QStringList parts = FValues.LeadArtists;
        tag.Artist = parts.value(0);
        if (tag.Artist.isEmpty())
            tag.Artist = FValues.OrigArtist;
        parts.removeAll(QString());
        // A single name that is the artist already joins to itself.
        const bool joinsToItself = parts.size() == 1 && parts.first() == tag.Artist;
        if (!tag.Artist.isEmpty() && !joinsToItself) {
            // The tag splits a lead artist at every "/": a name that holds "/" itself is put
            // together again only when the exception list knows it.
            for (const QString& separator : {QStringLiteral("/"), QStringLiteral("//")}) {
                const QString joined = parts.join(separator);
                if (FContext.ReferenceData.IsArtistException(joined)) {
                    tag.Artist = joined;
                    break;
                }
            }
        }
        if (tag.Artist.isEmpty() && !FValues.V1Artist.isEmpty()) {
            tag.Artist = FValues.V1Artist;
            Flag();
        }
    }

    void FillTitle(TMP3TagData& tag) {
        tag.Title = FValues.Title;
        if (tag.Title.isEmpty() && !FValues.V1SongName.isEmpty()) {
            tag.Title = FValues.V1SongName;
            Flag();
        }
        if (tag.Title.isEmpty()) {
            tag.Title = ExtractTitleFromFileName(FFileName);
            Flag();
        }
    }

    void MoveFeaturing(TMP3TagData& tag) {
        if (!FContext.Options.MoveFeaturingsFromTitleToComments)
            return;
        const QString lowered = LowerAscii(tag.Title);
        for (const TFeaturingMarker& m : FeaturingMarkers) {
            const QString marker = QString::fromLatin1(m.Marker);
            if (!lowered.contains(marker))
                continue;
            const qsizetype at = tag.Title.indexOf(marker, 0, Qt::CaseInsensitive);
            QString featured = tag.Title.mid(at + marker.size());
            if (m.StripClosingParenthesis && featured.endsWith(u')'))
                featured.chop(1);
            tag.Comment = QStringLiteral("Feat. ") + featured;
            tag.Title = tag.Title.left(at);
            Flag();
            return;
        }
    }

    void FillTrackNumber(TMP3TagData& tag) {
        QString track = FValues.TrackNum;
        for (QChar separator : {u'\\', u'/', u'.'}) {
            const qsizetype at = track.indexOf(separator);
            if (at >= 0) {
                track = track.left(at);
                break;
            }
        }
        if (track.isEmpty() || !IsDecimalNumber(track))
            track = DigitsOnly(track);
        if ((track.isEmpty() || track == u"0") && FValues.V1AlbumTrack > 0) {
            track = QString::number(FValues.V1AlbumTrack);
            Flag();
        }
        if (track.isEmpty() || track == u"0") {
            const QString fromName = ExtractTrackNumberFromFileName(FFileName);
            if (fromName != u"0") {
                track = fromName;
                Flag();
            }
        }
        if (track.size() > 1 && track.startsWith(u'0')) {
            track.remove(0, 1);
            Flag();
        }
        if (track == u"0") {
            track.clear();
        } else if (!track.isEmpty()) {
            qsizetype prefix = 0;
            if (track.size() == 1 && tag.Title.size() >= 2 && tag.Title.at(0) == u'0' &&
                tag.Title.at(1) == track.at(0))
                prefix = 2;
            else if (tag.Title.startsWith(track))
                prefix = track.size();
            if (prefix > 0)
                tag.Title = RemoveLeadingTrackSeparators(tag.Title.mid(prefix));
        }
        tag.TrackNumber = track;
    }

    void FillAlbum(TMP3TagData& tag) {
        tag.AlbumTitle = FValues.Album;
        if (tag.AlbumTitle.isEmpty() && !FValues.V1Album.isEmpty()) {
            tag.AlbumTitle = FValues.V1Album;
            Flag();
        }
    }

    void FillYear(TMP3TagData& tag) {
        tag.Year = FValues.ID3v2Readable ? FValues.Year : QStringLiteral("0");
        const QString& v1Year = FValues.V1Year;
        if ((tag.Year.isEmpty() || tag.Year == u"0" || tag.Year == u"1899") && !v1Year.isEmpty() &&
            v1Year != u"0") {
            tag.Year = v1Year;
            Flag();
        }
        if (tag.Year == u"0")
            tag.Year.clear();
    }

    void FillGenre(TMP3FileData& record) {
        TMP3TagData& tag = record.MP3TagData;
        tag.Genre = DecodeGenreReferences(FValues.ContentType);
        record.MyMP3Genre = FContext.ReferenceData.GetGenreByArtist(tag.Artist);
        if (tag.Genre.isEmpty() && !FValues.V1Genre.isEmpty()) {
            tag.Genre = FValues.V1Genre;
            Flag();
        }
        if (!record.MyMP3Genre.isEmpty() && record.MyMP3Genre != tag.Genre) {
            Flag();
            FContext.KelmLogFile1.SetLogText(QStringLiteral("Genre mismatch for ") + tag.Artist +
                                             QStringLiteral(" // OLD=") + tag.Genre +
                                             QStringLiteral(" NEW=") + record.MyMP3Genre);
        }
    }

    void FillComment(TMP3TagData& tag) {
        if (tag.Comment.isEmpty()) {
            const QStringList& texts = FValues.Comments;
            if (texts.size() <= 1) {
                tag.Comment = texts.value(0);
            } else if (!texts.first().isEmpty()) {
                tag.Comment = texts.first();
            } else {
                for (qsizetype i = texts.size() - 1; i > 0 && tag.Comment.isEmpty(); --i)
                    tag.Comment = texts[i];
            }
        }
        if (tag.Comment.isEmpty() && !FValues.V1Comment.isEmpty()) {
            tag.Comment = FValues.V1Comment;
            Flag();
        }
    }

    void FillCoverArt(TMP3TagData& tag) {
        tag.CoverArt = FValues.FrontCoverMIME
                           ? QStringLiteral("Yes (") + *FValues.FrontCoverMIME + u')'
                           : QStringLiteral("No");
        if (tag.CoverArt == u"No" && FContext.Options.EmbedCoverArtDuringFixingProcess &&
            !GetPictureFileName(FFileName, FContext.KelmLogFile1).isEmpty())
            Flag();
    }

    TFileAnalysisContext& FContext;
    const QString& FFileName;
    const TID3TagValues& FValues;
    bool FCorrected = false;
};

// Files come album by album: a value equal to the last record's shares its text, so that a
// large library holds an album's artist, title, year and genre once rather than once a file.
void ShareWithLast(TMP3TagData& tag, const TMP3FileDataList& records) {
    if (records.empty())
        return;
    const TMP3TagData& last = records.back()->MP3TagData;
    for (auto field : {&TMP3TagData::Artist, &TMP3TagData::AlbumTitle, &TMP3TagData::Year,
                       &TMP3TagData::Genre, &TMP3TagData::Comment, &TMP3TagData::CoverArt})
        if (tag.*field == last.*field)
            tag.*field = last.*field;
}

} // namespace

TMP3FileData* AddMP3FileToMP3FileDataList(const QString& FileName, bool EnableFind,
                                          TFileAnalysisContext& context) {
    TID3FileEndsReader::TResult read{FileName, ReadID3FileEnds(FileName), std::nullopt};
    return AddMP3FileToMP3FileDataList(FileName, EnableFind, context, read);
}

TMP3FileData* AddMP3FileToMP3FileDataList(const QString& FileName, bool EnableFind,
                                          TFileAnalysisContext& context,
                                          const TID3FileEndsReader::TResult& read) {
    const TID3FileEnds& ends = read.Ends;
    // Taken here when the reader did not take them.
    std::optional<TID3TagValues> taken;
    if (!read.Values)
        taken = ReadID3TagValues(FileName, ends);
    const TID3TagValues& values = read.Values ? *read.Values : *taken;
    if (!values.IsFile)
        return nullptr;
    if (!values.ID3v2Readable)
        context.KelmLogFile1.SetLogText(QStringLiteral("Unreadable ID3v2 tag // File=") + FileName +
                                        QStringLiteral(" // ") + values.ID3v2Error);

    TMP3FileData* record =
        EnableFind ? GetMP3FileDataFromFileName(context.MP3FileDataList, FileName) : nullptr;
    std::unique_ptr<TMP3FileData> created;
    if (!record) {
        created = std::make_unique<TMP3FileData>();
        created->FileName = FileName;
        record = created.get();
    }
    // A reused record is read afresh, its comment included, so that it shows what the file
    // holds now rather than what it held when it was first read.
    record->MP3TagData = TMP3TagData();

    // A file whose tag could not be read always needs attention.
    const bool corrected =
        TRecordFiller(context, FileName, values).Fill(*record) || !values.ID3v2Readable;

    TMP3TagData& tag = record->MP3TagData;
    const int mode = GetMP3NameComputingMode(tag, FileName, context.Options);
    record->ComputedMP3Name = BuildMP3Name(tag, mode, context.Options);
    record->MP3Mismatch = FileNameOf(FileName) != record->ComputedMP3Name || corrected;

    // Kept for the fix: only a file that the fix will write is worth the memory.
    if (context.KeptTagBytes && (record->MP3Mismatch || context.Options.ForceFixStateToEnabled))
        context.KeptTagBytes->Keep(record, ends);
    if (created) {
        ShareWithLast(tag, context.MP3FileDataList);
        context.MP3FileDataList.push_back(std::move(created));
    }
    context.ReferenceData.NoteArtistAlbumGenre(tag.Artist, tag.AlbumTitle, tag.Genre);
    return record;
}

QString GetPictureFileName(const QString& MP3FileName, TKelmLogFile& log) {
    const QString folder = MP3FileName.left(MP3FileName.lastIndexOf(u'/') + 1);
    for (const char* name : {"Cover.jpg", "Front.jpg", "Folder.jpg"}) {
        const QString path = folder + QString::fromLatin1(name);
        const QFileInfo info(path);
        if (!info.isFile())
            continue;
        if (!info.isWritable())
            log.SetLogText(QStringLiteral("Covert art file is read-only // File=") + path);
        return path;
    }
    return {};
}
