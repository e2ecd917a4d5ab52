// Reads every input as an MP3 file's ID3v2 tag and touches every value the program uses.
#include "fuzz/FuzzFile.h"
#include "support/Error.h"
#include "tags/Genres.h"
#include "tags/ID3FileEnds.h"
#include "tags/ID3TagValues.h"
#include "tags/ID3v2Tag.h"

namespace {

// Reads everything a frame offers and builds it in every version, as a commit would.
void Exercise(const TID3Frame& frame) {
    (void)frame.IsEmpty();
    (void)frame.DuplicateKey();
    if (const auto* list = frame.As<TID3SimpleListFrame>()) {
        for (const QString& value : list->Strings())
            (void)DecodeGenreReferences(value);
    } else if (const auto* picture = frame.As<TID3PictureFrame>()) {
        (void)ID3ImageFormatFromMIMEType(picture->MIMEType());
    }
    for (TID3Version version : {ive2_2, ive2_3, ive2_4}) {
        try {
            (void)frame.BuildContent(version);
        } catch (const TError&) {
            // "Frame size is too big" and the like are answers, not faults.
        }
    }
}

// Frame count of a read, or -1 when it failed with a message.
int FramesRead(const TID3v2TagData& data) {
    return data.Frames.Count();
}

// The values a listing takes while it walks the frames are the ones the whole tag gives, the
// message of a tag that cannot be read included.
void CheckListedValues(const QString& path, const TID3FileEnds& ends) {
    const TID3TagValues listed = ReadID3TagValues(path, ends);
    TID3TagValues whole;
    TID3v2Tag tag;
    tag.SetFileName(path);
    try {
        tag.OpenFromFileStart(ends.Start);
        whole.ID3v2Readable = true;
        TakeID3v2TagValues(tag, whole);
    } catch (const TError& e) {
        whole.ID3v2Error = e.Message();
    }
    if (listed.ID3v2Readable != whole.ID3v2Readable || listed.ID3v2Error != whole.ID3v2Error ||
        listed.LeadArtists != whole.LeadArtists || listed.OrigArtist != whole.OrigArtist ||
        listed.Title != whole.Title || listed.TrackNum != whole.TrackNum ||
        listed.Album != whole.Album || listed.ContentType != whole.ContentType ||
        listed.Comments != whole.Comments || listed.Year != whole.Year ||
        listed.FrontCoverMIME != whole.FrontCoverMIME)
        FuzzFile::Fail("the listed values are not the whole tag's");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray input(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString path = FuzzFile::Write(data, size);

    // The tag read from the bytes that one open gives (as the analysis reads it) is the tag
    // read from the file.
    int fromMemory = -1;
    const TID3FileEnds ends = ReadID3FileEnds(path);
    if (!ends.Opened || ends.FileSize != qint64(size) ||
        ends.Last != (size >= 128 ? input.right(128) : QByteArray()) ||
        !input.startsWith(ends.Start))
        FuzzFile::Fail("ReadID3FileEnds gave other bytes");
    try {
        fromMemory = FramesRead(ReadID3v2TagBytes(ends.Start, path));
    } catch (const TError&) {
    }
    CheckListedValues(path, ends);

    TID3v2Tag tag;
    tag.SetFileName(path);
    try {
        tag.Open();
    } catch (const TError&) {
        if (tag.Active())
            FuzzFile::Fail("a failed Open left the tag active");
        if (fromMemory >= 0)
            FuzzFile::Fail("the file failed to read but its bytes read from memory");
        return 0;
    }
    if (fromMemory != tag.FrameCount())
        FuzzFile::Fail("memory and file reads disagree");

    TID3Version probed = iveLowerThan2_2;
    const bool probedTag = TID3v2Tag::ProbeID3v2Header(path, probed);
    if (probedTag != tag.HasTag() || (probedTag && probed != tag.Version()))
        FuzzFile::Fail("ProbeID3v2Header disagrees with Open");

    for (const auto& frame : tag.Frames())
        Exercise(*frame);
    const TID3Text& texts = tag.Texts();
    (void)texts.Title();
    (void)texts.Album();
    (void)texts.TrackNum();
    (void)texts.Year();
    (void)texts.SongLen();
    (void)texts.RecordingTime();
    TID3Frame* frame = nullptr;
    for (bool found = tag.FindFirstFrame(fiComment, frame); found;
         found = tag.FindNextFrame(fiComment, frame)) {
        if (frame == nullptr || frame->ID() != fiComment)
            FuzzFile::Fail("the frame walk gave a wrong frame");
    }
    tag.Close();

    FuzzFile::CheckUnchanged(path, data, size);
    return 0;
}
