#pragma once

#include "tags/ID3FrameKinds.h"
#include "tags/ID3Frames.h"
#include "tags/ID3v2FileWriter.h"
#include "tags/ID3v2Reader.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

class TID3v1Tag;

class TID3v2Tag;

// Typed access to the frames the program reads and writes. Getters give the value of the first
// frame with the identifier; setters find that frame or add one, and do nothing while no tag
// is open.
class TID3Text {
public:
    explicit TID3Text(TID3v2Tag& tag) : FTag(tag) {}
    TID3Text(const TID3Text&) = delete;
    TID3Text& operator=(const TID3Text&) = delete;

    // The value lists of TPE1, TOPE and TCON, changed in place by the caller. While a tag is
    // open an empty frame is added when there is none (it is removed again as empty when the
    // tag is written); otherwise the list is a scratch list that belongs to no tag.
    QStringList& LeadArtist() { return List(fiLeadArtist); }
    QStringList& OrigArtist() { return List(fiOrigArtist); }
    QStringList& ContentType() { return List(fiContentType); }

    // TIT2, TRCK, TALB: "" when there is no frame.
    QString Title() const { return Text(fiTitle); }
    void SetTitle(const QString& value) { SetText(fiTitle, value); }
    QString TrackNum() const { return Text(fiTrackNum); }
    void SetTrackNum(const QString& value) { SetText(fiTrackNum, value); }
    QString Album() const { return Text(fiAlbum); }
    void SetAlbum(const QString& value) { SetText(fiAlbum, value); }

    // TYER and TLEN (milliseconds): 0 when there is no frame.
    quint32 Year() const { return Number(fiYear); }
    void SetYear(quint32 value) { SetNumber(fiYear, value); }
    quint32 SongLen() const { return Number(fiSongLen); }
    void SetSongLen(quint32 value) { SetNumber(fiSongLen, value); }

    // TDRC: the zero date (ID3ZeroDate) when there is no frame.
    QDateTime RecordingTime() const;
    void SetRecordingTime(const QDateTime& value);

private:
    template <class T> T* Find(TID3FrameID id) const;
    template <class T> T* FindOrAdd(TID3FrameID id);
    QStringList& List(TID3FrameID id);
    QString Text(TID3FrameID id) const;
    void SetText(TID3FrameID id, const QString& value);
    quint32 Number(TID3FrameID id) const;
    void SetNumber(TID3FrameID id, quint32 value);

    TID3v2Tag& FTag;
    QStringList FScratch;
};

// The ID3v2 tag at the start of one MP3 file: read into a frame list, changed by the caller,
// written back with Commit. One instance serves one file at a time.
class TID3v2Tag {
public:
    TID3v2Tag();
    TID3v2Tag(const TID3v2Tag&) = delete;
    TID3v2Tag& operator=(const TID3v2Tag&) = delete;

    const QString& FileName() const { return FFileName; }
    // A different name closes the tag and, when it was active, opens it with the new file.
    void SetFileName(const QString& fileName);

    // Whether a tag has been opened and not closed since.
    bool Active() const { return FActive; }
    // Reads the tag of FileName; afterwards the tag is active. Throws TError ("Unknown
    // encoding", "Could not read data from stream") or ID3FileIO::TFileError, and then stays
    // closed.
    void Open();
    // Open over the first bytes of FileName that the caller has read already (the 10-byte header
    // and the tag bytes it declares, as TID3FileEnds gives them), so that the analysis opens each
    // file once for both tags. Reads and fails as Open does; Commit writes to FileName.
    void OpenFromFileStart(QByteArrayView fileStart);
    // Discards the frames and every change not committed.
    void Close();
    // Writes the frame list into the file in WriteVersion: empty frames are removed, frames
    // corrected and de-duplicated, and the tag is placed in place or by rebuilding the file.
    // The tag stays open. Throws TError("Controller is not active") when no tag is open, and
    // the errors of writing (the file is then unchanged when the rebuild failed).
    // With id3v1, that tag is written in the same open as well (see WriteID3v2TagToFile);
    // returns false when only its write failed. With after, the file's ends once written, when
    // WriteID3v2TagToFile gives them.
    bool Commit(TID3v1Tag* id3v1 = nullptr, std::optional<TID3FileEnds>* after = nullptr);

    // Whether the file had a tag when it was read, and its header.
    bool HasTag() const { return FData.HasTag(); }
    const std::optional<TID3v2Header>& Header() const { return FData.Header; }
    const std::optional<TID3v2ExtendedHeader>& ExtendedHeader() const {
        return FData.ExtendedHeader;
    }
    TID3Version Version() const { return FData.Version(); }
    // The version read when it is 2.2, 2.3 or 2.4, otherwise 2.4.
    TID3Version WriteVersion() const;
    // How Commit lays the tag out: the write version, with the flags and extended header read.
    TID3v2WriteLayout WriteLayout() const { return ID3v2WriteLayoutFor(FData); }

    int FrameCount() const { return FData.Frames.Count(); }
    int GetFrameCountFor(TID3FrameID id) const { return FData.Frames.CountOf(id); }
    // Walk the frames with the identifier in list order: false, and frame nullptr, when there
    // is no further one. FindNextFrame takes the current frame and gives the next.
    bool FindFirstFrame(TID3FrameID id, TID3Frame*& frame) const;
    bool FindNextFrame(TID3FrameID id, TID3Frame*& frame) const;
    // Appends a new frame of the identifier's kind. Throws TError("Controller is not active")
    // when no tag is open.
    TID3Frame* AddFrame(TID3FrameID id);
    template <class T> T* AddFrameAs(TID3FrameID id) { return AddFrame(id)->As<T>(); }

    TID3Frames& Frames() { return FData.Frames; }
    const TID3Frames& Frames() const { return FData.Frames; }
    TID3Text& Texts() { return FTexts; }
    const TID3Text& Texts() const { return FTexts; }

    // Reads 10 bytes of the file: true when they begin with "ID3", and version then follows from
    // the fourth byte. A file that cannot be read has no tag.
    static bool ProbeID3v2Header(const QString& fileName, TID3Version& version);

    // Lets tests interrupt a commit at its stages.
    void SetCommitObserver(TID3CommitObserver observer) { FObserver = std::move(observer); }

private:
    QString FFileName;
    bool FActive = false;
    TID3v2TagData FData;
    TID3Text FTexts;
    TID3CommitObserver FObserver;
};

// The MIME type of a picture file's extension (with its dot, compared ignoring case): ".jpg"
// and ".jpeg" give "image/jpeg", ".tif" and ".tiff" "image/tif", ".bmp" "image/bitmap", any
// other "image/" and the extension without its dot.
QString MIMETypeForExtension(const QString& extension);
