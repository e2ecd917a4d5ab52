#include "tags/ID3v1Tag.h"

#include "support/Error.h"
#include "tags/Genres.h"
#include "tags/ID3FileIO.h"

#include <array>
#include <cerrno>
#include <cstring>

namespace {

using namespace ID3FileIO;

constexpr int TitleOffset = 3;
constexpr int ArtistOffset = 33;
constexpr int AlbumOffset = 63;
constexpr int YearOffset = 93;
constexpr int CommentOffset = 97;
constexpr int TrackMarkerOffset = 125; // zero when the byte after it holds the track number
constexpr int TrackOffset = 126;
constexpr int GenreOffset = 127;

using TTagBytes = std::array<char, TID3v1Tag::TagSize>;

bool StartsWithTagMarker(const char* bytes) {
    return std::memcmp(bytes, "TAG", 3) == 0;
}

// Reads the last 128 bytes of the file; nothing when the file is shorter or cannot be read.
QByteArray ReadLastBytes(const QString& path) {
    const TFile file = TFile::OpenForReading(path);
    if (!file.IsOpen())
        return {};
    const qint64 size = RegularFileSize(file.Fd());
    if (size < TID3v1Tag::TagSize)
        return {};
    QByteArray bytes(TID3v1Tag::TagSize, Qt::Uninitialized);
    if (ReadAt(file.Fd(), bytes.data(), TID3v1Tag::TagSize, size - TID3v1Tag::TagSize) !=
        TID3v1Tag::TagSize)
        return {};
    return bytes;
}

bool IsTag(QByteArrayView bytes) {
    return bytes.size() == TID3v1Tag::TagSize && bytes.startsWith("TAG");
}

// The bytes of an area up to its first zero byte, one character per byte.
QString ReadText(QByteArrayView bytes, int offset, int size) {
    const char* area = bytes.data() + offset;
    const auto length = qsizetype(::strnlen(area, size_t(size)));
    return QString::fromLatin1(area, length);
}

// Writes text into an area, cut to the area's size, one byte per character. A character that
// ISO-8859-1 cannot hold becomes '?' (one per character, so a surrogate pair is one '?').
void WriteText(TTagBytes& bytes, int offset, int size, const QString& text) {
    char* area = bytes.data() + offset;
    int written = 0;
    for (qsizetype i = 0; i < text.size() && written < size; ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        area[written++] = c.unicode() <= 0xFF ? char(c.unicode()) : '?';
    }
}

} // namespace

TID3v1Tag::TID3v1Tag() {
    ClearFields();
}

void TID3v1Tag::ClearFields() {
    SongName.clear();
    Artist.clear();
    Album.clear();
    Year.clear();
    Comment.clear();
    Genre = ID3v1NoGenre;
    AlbumTrack = 0;
}

void TID3v1Tag::SetFileName(const QString& fileName) {
    if (fileName == FFileName)
        return;
    const bool wasActive = FActive;
    Close();
    FFileName = fileName;
    FHasTag.reset();
    if (wasActive)
        Open();
}

void TID3v1Tag::Open() {
    OpenFromLastBytes(ReadLastBytes(FFileName));
}

void TID3v1Tag::OpenFromLastBytes(QByteArrayView bytes) {
    ClearFields();
    FActive = true;
    FHasTag = IsTag(bytes);
    if (!*FHasTag)
        return;
    SongName = ReadText(bytes, TitleOffset, TextFieldSize);
    Artist = ReadText(bytes, ArtistOffset, TextFieldSize);
    Album = ReadText(bytes, AlbumOffset, TextFieldSize);
    Year = ReadText(bytes, YearOffset, YearSize);
    Comment = ReadText(bytes, CommentOffset, TextFieldSize);
    Genre = quint8(bytes[GenreOffset]);
    AlbumTrack = bytes[TrackMarkerOffset] == 0 ? quint8(bytes[TrackOffset]) : 0;
}

void TID3v1Tag::Close() {
    FActive = false;
    ClearFields();
}

QByteArray TID3v1Tag::TagBytes() const {
    if (!FActive)
        throw TError(QStringLiteral("Not active"));

    TTagBytes bytes{};
    std::memcpy(bytes.data(), "TAG", 3);
    WriteText(bytes, TitleOffset, TextFieldSize, SongName);
    WriteText(bytes, ArtistOffset, TextFieldSize, Artist);
    WriteText(bytes, AlbumOffset, TextFieldSize, Album);
    WriteText(bytes, YearOffset, YearSize, Year);
    WriteText(bytes, CommentOffset, TextFieldSize, Comment);
    bytes[GenreOffset] = char(Genre);
    // A comment of 29 or 30 bytes fills the track number's place (ID3v1.0).
    if (bytes[TrackMarkerOffset] == 0)
        bytes[TrackOffset] = char(AlbumTrack);
    return QByteArray(bytes.data(), TagSize);
}

bool TID3v1Tag::Commit() {
    const QByteArray bytes = TagBytes();
    FHasTag.reset();
    // Opening never creates the file. Failures are answered with false, not raised: the
    // writers go on with the ID3v2 tag and the next file.
    TFile file;
    qint64 size = 0;
    try {
        file = TFile::OpenExclusive(FFileName, &size);
    } catch (const TFileError&) {
        return false;
    }
    return WriteID3v1TagAtEnd(file.Fd(), size, bytes) && file.Close();
}

void TID3v1Tag::NoteWritten() {
    FHasTag = true;
}

bool WriteID3v1TagAtEnd(int fd, qint64 fileSize, QByteArrayView tag) {
    qint64 offset = fileSize;
    if (fileSize >= TID3v1Tag::TagSize) {
        std::array<char, 3> marker{};
        const qint64 read =
            ReadAt(fd, marker.data(), qint64(marker.size()), fileSize - TID3v1Tag::TagSize);
        if (read != qint64(marker.size())) {
            if (read >= 0)
                errno = EIO; // the file became shorter
            return false;
        }
        if (StartsWithTagMarker(marker.data()))
            offset = fileSize - TID3v1Tag::TagSize;
    }
    return WriteAt(fd, tag.data(), tag.size(), offset);
}

bool TID3v1Tag::HasTag() const {
    if (!FHasTag)
        FHasTag = IsTag(ReadLastBytes(FFileName));
    return *FHasTag;
}

QString TID3v1Tag::GenreAsString() const {
    return GenreNameFromNumber(Genre);
}

void TID3v1Tag::SetGenreAsString(const QString& name) {
    Genre = quint8(GenreNumberFromName(name));
}
