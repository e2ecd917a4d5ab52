// Reads, for every *.mp3 under a folder, the eight values that the file analysis takes from the
// tags (artist, title, track number, album, year, genre, comment, cover art), through the
// program's own ID3v2 and ID3v1 components, with the ID3v1 fallbacks.
#include "BenchFiles.h"
#include "support/Error.h"
#include "tags/Genres.h"
#include "tags/ID3FileEnds.h"
#include "tags/ID3v1Tag.h"
#include "tags/ID3v2Tag.h"

#include <QFile>

namespace {

QString FirstOf(const QStringList& list) {
    return list.isEmpty() ? QString() : list.first();
}

QString Or(const QString& value, const QString& fallback) {
    return value.isEmpty() ? fallback : value;
}

// The comment rule of the analysis: the first comment when it has text, else the last other
// one with text.
QString CommentOf(TID3v2Tag& tag) {
    QString first;
    QString lastOther;
    TID3Frame* frame = nullptr;
    bool isFirst = true;
    for (bool found = tag.FindFirstFrame(fiComment, frame); found;
         found = tag.FindNextFrame(fiComment, frame)) {
        const auto* comment = frame->As<TID3ContentFrame>();
        const QString text = comment ? comment->Text() : QString();
        if (isFirst)
            first = text;
        else if (!text.isEmpty())
            lastOther = text;
        isFirst = false;
    }
    return first.isEmpty() ? lastOther : first;
}

QString CoverArtOf(TID3v2Tag& tag) {
    QString mime;
    bool found = false;
    TID3Frame* frame = nullptr;
    for (bool more = tag.FindFirstFrame(fiPicture, frame); more;
         more = tag.FindNextFrame(fiPicture, frame)) {
        const auto* picture = frame->As<TID3PictureFrame>();
        if (picture && picture->PictureType() == ptCoverFront) {
            mime = picture->MIMEType();
            found = true;
        }
    }
    return found ? "Yes (" + mime + ")" : QStringLiteral("No");
}

unsigned long long ReadFile(const std::string& path) {
    static TID3v2Tag v2;
    static TID3v1Tag v1;
    const QString name = QFile::decodeName(path.c_str());
    // One open for both tags, as the analysis does.
    const TID3FileEnds ends = ReadID3FileEnds(name);
    v1.SetFileName(name);
    v1.OpenFromLastBytes(ends.Last);
    // Tags are closed after each file: an active tag reads the next file when its name is set.
    if (!ends.Opened) {
        v1.Close();
        return 0;
    }
    v2.SetFileName(name);
    try {
        v2.OpenFromFileStart(ends.Start);
    } catch (const TError&) {
        v1.Close();
        return 0;
    }
    TID3Text& texts = v2.Texts();
    const QString artist =
        Or(Or(FirstOf(texts.LeadArtist()), FirstOf(texts.OrigArtist())), v1.Artist);
    const QString title = Or(texts.Title(), v1.SongName);
    const QString track =
        Or(texts.TrackNum(), v1.AlbumTrack > 0 ? QString::number(v1.AlbumTrack) : QString());
    const QString album = Or(texts.Album(), v1.Album);
    const int year2 =
        v2.Version() == ive2_4 ? texts.RecordingTime().date().year() : int(texts.Year());
    const QString year = Or(year2 >= 1900 ? QString::number(year2) : QString(), v1.Year);
    const QString genre =
        Or(DecodeGenreReferences(FirstOf(texts.ContentType())), v1.GenreAsString());
    const QString comment = Or(CommentOf(v2), v1.Comment);
    const QString cover = CoverArtOf(v2);
    v2.Close();
    v1.Close();
    return (artist + title + track + album + year + genre + comment + cover).size();
}

} // namespace

int main(int argc, char** argv) {
    return BenchFiles::Run(argc, argv, ReadFile);
}
