#include "tags/ID3v2Tag.h"

#include "support/Error.h"
#include "tags/ID3FileIO.h"
#include "tags/ID3Timestamp.h"
#include "tags/ID3v1Tag.h"

namespace {

[[noreturn]] void FailNotActive() {
    throw TError(QStringLiteral("Controller is not active"));
}

} // namespace

// --- TID3Text

template <class T> T* TID3Text::Find(TID3FrameID id) const {
    TID3Frame* frame = FTag.Frames().FindFirst(id);
    return frame ? frame->As<T>() : nullptr;
}

template <class T> T* TID3Text::FindOrAdd(TID3FrameID id) {
    if (!FTag.Active())
        return nullptr;
    if (T* frame = Find<T>(id))
        return frame;
    return FTag.AddFrameAs<T>(id);
}

QStringList& TID3Text::List(TID3FrameID id) {
    if (auto* frame = FindOrAdd<TID3SimpleListFrame>(id))
        return frame->Strings();
    FScratch.clear();
    return FScratch;
}

QString TID3Text::Text(TID3FrameID id) const {
    const auto* frame = Find<TID3TextFrame>(id);
    return frame ? frame->Text() : QString();
}

void TID3Text::SetText(TID3FrameID id, const QString& value) {
    if (auto* frame = FindOrAdd<TID3TextFrame>(id))
        frame->SetText(value);
}

quint32 TID3Text::Number(TID3FrameID id) const {
    const auto* frame = Find<TID3NumberFrame>(id);
    return frame ? frame->Number() : 0;
}

void TID3Text::SetNumber(TID3FrameID id, quint32 value) {
    if (auto* frame = FindOrAdd<TID3NumberFrame>(id))
        frame->SetNumber(value);
}

QDateTime TID3Text::RecordingTime() const {
    const auto* frame = Find<TID3TimestampFrame>(fiRecordingTime);
    return frame ? frame->DateTime() : ID3ZeroDate();
}

void TID3Text::SetRecordingTime(const QDateTime& value) {
    if (auto* frame = FindOrAdd<TID3TimestampFrame>(fiRecordingTime))
        frame->SetDateTime(value);
}

// --- TID3ContentFrame lookups, which need the tag

TID3ContentFrame* TID3ContentFrame::Find(TID3v2Tag& tag, TID3FrameID id) {
    TID3Frame* frame = tag.Frames().FindFirst(id);
    return frame ? frame->As<TID3ContentFrame>() : nullptr;
}

TID3ContentFrame* TID3ContentFrame::FindOrCreate(TID3v2Tag& tag, TID3FrameID id) {
    if (TID3ContentFrame* frame = Find(tag, id))
        return frame;
    return tag.AddFrameAs<TID3ContentFrame>(id);
}

// --- TID3v2Tag

TID3v2Tag::TID3v2Tag() : FTexts(*this) {}

void TID3v2Tag::SetFileName(const QString& fileName) {
    if (fileName == FFileName)
        return;
    const bool wasActive = FActive;
    Close();
    FFileName = fileName;
    if (wasActive)
        Open();
}

void TID3v2Tag::Open() {
    Close();
    FData = ReadID3v2TagFile(FFileName);
    FActive = true;
}

void TID3v2Tag::OpenFromFileStart(QByteArrayView fileStart) {
    Close();
    FData = ReadID3v2TagBytes(fileStart, FFileName);
    FActive = true;
}

void TID3v2Tag::Close() {
    FActive = false;
    FData = TID3v2TagData();
}

TID3Version TID3v2Tag::WriteVersion() const {
    return ID3v2WriteVersionFor(Version());
}

bool TID3v2Tag::Commit(TID3v1Tag* id3v1, std::optional<TID3FileEnds>* after) {
    if (!FActive)
        FailNotActive();
    PrepareID3v2FramesForWriting(FData.Frames);
    const TID3v2WriteLayout layout = WriteLayout();
    const TID3v2TagImage image(FData.Frames, layout);
    const QByteArray id3v1Bytes = id3v1 ? id3v1->TagBytes() : QByteArray();
    const bool id3v1Written = WriteID3v2TagToFile(FFileName, image, FObserver, id3v1Bytes, after);
    if (id3v1 && id3v1Written)
        id3v1->NoteWritten();
    // The file now holds a tag of the write version; a later commit keeps to it.
    if (Version() != layout.Version) {
        TID3v2Header header;
        header.MajorVersion = ID3MajorByteOf(layout.Version);
        FData.Header = header;
    }
    return id3v1Written;
}

bool TID3v2Tag::FindFirstFrame(TID3FrameID id, TID3Frame*& frame) const {
    frame = FData.Frames.FindFirst(id);
    return frame != nullptr;
}

bool TID3v2Tag::FindNextFrame(TID3FrameID id, TID3Frame*& frame) const {
    frame = frame ? FData.Frames.FindNext(id, frame) : nullptr;
    return frame != nullptr;
}

TID3Frame* TID3v2Tag::AddFrame(TID3FrameID id) {
    if (!FActive)
        FailNotActive();
    return FData.Frames.Add(CreateID3Frame(id));
}

bool TID3v2Tag::ProbeID3v2Header(const QString& fileName, TID3Version& version) {
    version = iveLowerThan2_2;
    ID3FileIO::TFile file = ID3FileIO::TFile::OpenForReading(fileName);
    if (!file.IsOpen())
        return false;
    char head[ID3v2HeaderSize];
    if (ID3FileIO::ReadAt(file.Fd(), head, ID3v2HeaderSize, 0) != ID3v2HeaderSize)
        return false;
    const auto header = ParseID3v2Header(QByteArrayView(head, ID3v2HeaderSize));
    if (!header)
        return false;
    version = header->Version();
    return true;
}

QString MIMETypeForExtension(const QString& extension) {
    const QString lower = extension.toLower();
    if (lower == u".jpeg" || lower == u".jpg")
        return QStringLiteral("image/jpeg");
    if (lower == u".tiff" || lower == u".tif")
        return QStringLiteral("image/tif");
    if (lower == u".bmp")
        return QStringLiteral("image/bitmap");
    return QStringLiteral("image/") +
           (extension.startsWith(u'.') ? extension.sliced(1) : extension);
}
