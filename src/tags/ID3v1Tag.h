#pragma once

#include <QByteArrayView>
#include <QString>
#include <QtGlobal>
#include <optional>

// The 128-byte ID3v1 tag (with the ID3v1.1 track number) at the end of an MP3 file.
//
// The text fields hold what the tag holds: ISO-8859-1, each up to its area's size. Values set
// by the caller may be longer or hold characters outside ISO-8859-1; Commit cuts them to their
// area and writes '?' for such characters.
class TID3v1Tag {
public:
    static constexpr int TagSize = 128;
    static constexpr int TextFieldSize = 30; // title, artist, album and comment
    static constexpr int YearSize = 4;

    TID3v1Tag();

    const QString& FileName() const { return FFileName; }
    // A different name closes the tag and, when it was active, opens it again with the new file.
    void SetFileName(const QString& fileName);

    bool Active() const { return FActive; }

    // Reads the tag of FileName. A file that cannot be read or has no tag leaves the fields
    // empty (Genre ID3v1NoGenre, AlbumTrack 0); the tag is active afterwards in every case.
    void Open();
    // The same from the file's last 128 bytes read elsewhere (ReadID3FileEnds reads them in the
    // same open as the ID3v2 tag); fewer bytes count as no tag.
    void OpenFromLastBytes(QByteArrayView lastBytes);
    // Clears the fields as for a file without a tag.
    void Close();
    // Writes the fields as a 128-byte tag: over the file's tag when it ends with one, else
    // appended. Throws TError("Not active") when the tag is not open; otherwise returns whether
    // all 128 bytes were written. Callers write only when HasTag() is true, so that no command
    // adds an ID3v1 tag to a file.
    bool Commit();
    // The 128 bytes that Commit writes. Throws TError("Not active") when the tag is not open.
    QByteArray TagBytes() const;
    // Tells the tag that its bytes were written to FileName by another writer (one that writes
    // both tags of a file through one open).
    void NoteWritten();

    // Whether FileName ends with an ID3v1 tag; looked up once after the name changed or the tag
    // was written.
    bool HasTag() const;

    // The name of Genre; "" when the number has none.
    QString GenreAsString() const;
    // Genre becomes the number of the name (ignoring case); unknown names give ID3v1NoGenre.
    void SetGenreAsString(const QString& name);

    QString SongName;
    QString Artist;
    QString Album;
    QString Year;
    QString Comment;
    quint8 Genre;
    quint8 AlbumTrack = 0; // 0: no track number

private:
    void ClearFields();

    QString FFileName;
    bool FActive = false;
    mutable std::optional<bool> FHasTag;
};

// Writes a 128-byte tag into the open file of fileSize bytes: over its ID3v1 tag when it ends
// with one, else appended. False with errno set when reading or writing fails.
bool WriteID3v1TagAtEnd(int fd, qint64 fileSize, QByteArrayView tag);
