#include "catalogue/FileAnalysis.h"

#include "catalogue/KeptTagBytes.h"
#include "catalogue/NameComputing.h"
#include "catalogue/TextHelpers.h"
#include "refdata/ReferenceData.h"
#include "settings/OptionSet.h"
#include "support/Error.h"
#include "support/LogFile.h"
#include "tags/Genres.h"
#include "tags/ID3FileEnds.h"
#include "tags/ID3FrameKinds.h"
#include "tags/ID3v1Tag.h"
#include "tags/ID3v2Tag.h"

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

// Fills a record's values from the open tags; true when some value had to be corrected.
class TRecordFiller {
public:
    TRecordFiller(TFileAnalysisContext& context, const QString& fileName, bool id3v2Readable)
        : FContext(context), FFileName(fileName), FHasID3v2(id3v2Readable) {}

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
    TID3v2Tag& V2() { return FContext.ID3v2Tag1; }
    TID3v1Tag& V1() { return FContext.ID3v1Tag1; }
    QStringList V2List(TID3FrameID id) {
        if (!FHasID3v2)
            return {};
        auto* frame = V2().Frames().FindFirst(id);
        auto* list = frame ? frame->As<TID3SimpleListFrame>() : nullptr;
        return list ? list->Strings() : QStringList();
    }
    QString V2First(TID3FrameID id) { return V2List(id).value(0); }
    void Flag() { FCorrected = true; }

    void FillArtist(TMP3TagData& tag) {
        QStringList parts = V2List(fiLeadArtist);
        tag.Artist = parts.value(0);
        if (tag.Artist.isEmpty())
            tag.Artist = V2First(fiOrigArtist);
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
        if (tag.Artist.isEmpty() && !V1().Artist.isEmpty()) {
            tag.Artist = V1().Artist;
            Flag();
        }
    }

    void FillTitle(TMP3TagData& tag) {
        tag.Title = FHasID3v2 ? V2().Texts().Title() : QString();
        if (tag.Title.isEmpty() && !V1().SongName.isEmpty()) {
            tag.Title = V1().SongName;
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
        QString track = FHasID3v2 ? V2().Texts().TrackNum() : QString();
        for (QChar separator : {u'\\', u'/', u'.'}) {
            const qsizetype at = track.indexOf(separator);
            if (at >= 0) {
                track = track.left(at);
                break;
            }
        }
        if (track.isEmpty() || !IsDecimalNumber(track))
            track = DigitsOnly(track);
        if ((track.isEmpty() || track == u"0") && V1().AlbumTrack > 0) {
            track = QString::number(V1().AlbumTrack);
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
        tag.AlbumTitle = FHasID3v2 ? V2().Texts().Album() : QString();
        if (tag.AlbumTitle.isEmpty() && !V1().Album.isEmpty()) {
            tag.AlbumTitle = V1().Album;
            Flag();
        }
    }

    void FillYear(TMP3TagData& tag) {
        if (FHasID3v2 && V2().Version() == ive2_4) {
            // A missing frame reads as the zero date, whose year is below 1900.
            const int year = V2().Texts().RecordingTime().date().year();
            tag.Year = year >= 1900 ? QString::number(year) : QString();
        } else {
            tag.Year = QString::number(FHasID3v2 ? V2().Texts().Year() : 0);
        }
        const QString v1Year = V1().Year;
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
        tag.Genre = DecodeGenreReferences(V2First(fiContentType));
        record.MyMP3Genre = FContext.ReferenceData.GetGenreByArtist(tag.Artist);
        if (tag.Genre.isEmpty() && !V1().GenreAsString().isEmpty()) {
            tag.Genre = V1().GenreAsString();
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
        if (tag.Comment.isEmpty() && FHasID3v2) {
            QStringList texts;
            for (const auto& frame : V2().Frames())
                if (frame->ID() == fiComment)
                    if (const auto* comment = frame->As<TID3ContentFrame>())
                        texts.append(comment->Text());
            if (texts.size() <= 1) {
                tag.Comment = texts.value(0);
            } else if (!texts.first().isEmpty()) {
                tag.Comment = texts.first();
            } else {
                for (qsizetype i = texts.size() - 1; i > 0 && tag.Comment.isEmpty(); --i)
                    tag.Comment = texts[i];
            }
        }
        if (tag.Comment.isEmpty() && !V1().Comment.isEmpty()) {
            tag.Comment = V1().Comment;
            Flag();
        }
    }

    void FillCoverArt(TMP3TagData& tag) {
        tag.CoverArt = QStringLiteral("No");
        if (FHasID3v2)
            for (const auto& frame : V2().Frames())
                if (frame->ID() == fiPicture)
                    if (const auto* picture = frame->As<TID3PictureFrame>();
                        picture && picture->PictureType() == ptCoverFront)
                        tag.CoverArt = QStringLiteral("Yes (") + picture->MIMEType() + u')';
        if (tag.CoverArt == u"No" && FContext.Options.EmbedCoverArtDuringFixingProcess &&
            !GetPictureFileName(FFileName, FContext.KelmLogFile1).isEmpty())
            Flag();
    }

    TFileAnalysisContext& FContext;
    const QString& FFileName;
    bool FHasID3v2;
    bool FCorrected = false;
};

// Runs one way of opening the ID3v2 tag (a file without one opens as an empty tag). A tag that
// cannot be read is logged and the file is read without it: false.
template <class TOpen>
bool OpenID3v2(TFileAnalysisContext& context, const QString& fileName, TOpen open) {
    try {
        open();
        return true;
    } catch (const TError& e) {
        context.ID3v2Tag1.Close();
        context.KelmLogFile1.SetLogText(QStringLiteral("Unreadable ID3v2 tag // File=") + fileName +
                                        QStringLiteral(" // ") + e.Message());
        return false;
    }
}

enum class TOpened { NoFile, WithID3v2, WithoutID3v2 };

// Opens both tags. Reading a library is mostly opening files, so both tags come from one open
// and one or two reads; only a file that this fails on (not there, not a regular file,
// unreadable) is looked at again, so that it is either no file at all or reported as the tag
// reader reports it.
TOpened OpenTags(TFileAnalysisContext& context, const QString& fileName, const TID3FileEnds& ends) {
    TID3v1Tag& v1 = context.ID3v1Tag1;
    TID3v2Tag& v2 = context.ID3v2Tag1;
    if (ends.Opened && ends.ErrorCode == 0) {
        v1.SetFileName(fileName);
        v1.OpenFromLastBytes(ends.Last);
        v2.SetFileName(fileName);
        return OpenID3v2(context, fileName, [&] { v2.OpenFromFileStart(ends.Start); })
                   ? TOpened::WithID3v2
                   : TOpened::WithoutID3v2;
    }
    if (!QFileInfo(fileName).isFile())
        return TOpened::NoFile;
    v1.SetFileName(fileName);
    v1.Open();
    v2.SetFileName(fileName);
    return OpenID3v2(context, fileName, [&] { v2.Open(); }) ? TOpened::WithID3v2
                                                            : TOpened::WithoutID3v2;
}

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
    return AddMP3FileToMP3FileDataList(FileName, EnableFind, context, ReadID3FileEnds(FileName));
}

TMP3FileData* AddMP3FileToMP3FileDataList(const QString& FileName, bool EnableFind,
                                          TFileAnalysisContext& context, const TID3FileEnds& ends) {
    const TOpened opened = OpenTags(context, FileName, ends);
    if (opened == TOpened::NoFile)
        return nullptr;
    const bool readable = opened == TOpened::WithID3v2;

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
    const bool corrected = TRecordFiller(context, FileName, readable).Fill(*record) || !readable;

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

    context.ID3v2Tag1.Close();
    context.ID3v1Tag1.Close();
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
