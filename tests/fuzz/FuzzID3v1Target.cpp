// Reads every input as an MP3 file's ID3v1 tag, writes a changed tag back and reads it again.
#include "fuzz/FuzzFile.h"
#include "tags/Genres.h"
#include "tags/ID3FileEnds.h"
#include "tags/ID3v1Tag.h"

#include <algorithm>
#include <cstring>

namespace {

void CheckFieldSizes(const TID3v1Tag& tag) {
    if (tag.SongName.size() > TID3v1Tag::TextFieldSize ||
        tag.Artist.size() > TID3v1Tag::TextFieldSize ||
        tag.Album.size() > TID3v1Tag::TextFieldSize ||
        tag.Comment.size() > TID3v1Tag::TextFieldSize || tag.Year.size() > TID3v1Tag::YearSize)
        FuzzFile::Fail("a field is longer than its area");
}

// What a text field reads back as after it was written: cut to its area, up to a NUL.
QString AsStored(const QString& value, int size) {
    const QString cut = value.left(size);
    const qsizetype nul = cut.indexOf(QChar(0));
    return nul < 0 ? cut : cut.left(nul);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The genre notation parser gets the raw bytes too.
    const QString text = QString::fromLatin1(reinterpret_cast<const char*>(data),
                                             qsizetype(std::min<size_t>(size, 512)));
    const QString decoded = DecodeGenreReferences(text);
    // Without references the value stays as it is, unless it is only spaces (then it reads as
    // no genre).
    if (!text.startsWith(u'(') && decoded != text && !text.trimmed().isEmpty())
        FuzzFile::Fail("a value without references changed");

    const QString path = FuzzFile::Write(data, size);
    TID3v1Tag tag;
    tag.SetFileName(path);
    tag.Open();
    CheckFieldSizes(tag);
    const bool endsWithTag = size >= size_t(TID3v1Tag::TagSize) &&
                             std::memcmp(data + size - TID3v1Tag::TagSize, "TAG", 3) == 0;
    if (tag.HasTag() != endsWithTag)
        FuzzFile::Fail("HasTag disagrees with the bytes");
    TID3v1Tag fromEnds;
    fromEnds.OpenFromLastBytes(ReadID3FileEnds(path).Last);
    if (fromEnds.HasTag() != tag.HasTag() || fromEnds.SongName != tag.SongName ||
        fromEnds.Comment != tag.Comment || fromEnds.AlbumTrack != tag.AlbumTrack ||
        fromEnds.Genre != tag.Genre)
        FuzzFile::Fail("the tag read from the file's ends differs");
    (void)tag.GenreAsString();
    (void)DecodeGenreReferences(tag.Comment);
    FuzzFile::CheckUnchanged(path, data, size);
    if (!tag.HasTag())
        return 0;

    // Read-modify-write: the tag is overwritten in place and reads back as written.
    const QString title = tag.Artist + tag.Album;
    const QString comment = tag.Comment + tag.Year;
    tag.SongName = title;
    tag.Comment = comment;
    tag.AlbumTrack = quint8(tag.AlbumTrack + 1);
    tag.SetGenreAsString(tag.SongName);
    if (!tag.Commit())
        FuzzFile::Fail("Commit failed");
    const QByteArray after = FuzzFile::Read(path);
    if (after.size() != qsizetype(size) ||
        std::memcmp(after.constData(), data, size - TID3v1Tag::TagSize) != 0)
        FuzzFile::Fail("Commit touched bytes outside the tag");

    TID3v1Tag again;
    again.SetFileName(path);
    again.Open();
    const QString storedComment = AsStored(comment, TID3v1Tag::TextFieldSize);
    if (again.SongName != AsStored(title, TID3v1Tag::TextFieldSize) ||
        again.Comment != storedComment || again.Artist != tag.Artist || again.Album != tag.Album ||
        again.Year != tag.Year || again.Genre != tag.Genre ||
        again.AlbumTrack != (comment.size() <= 28 ? tag.AlbumTrack : 0))
        FuzzFile::Fail("the written tag reads back differently");
    return 0;
}
