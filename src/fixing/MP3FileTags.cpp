#include "fixing/MP3FileTags.h"

#include "fixing/FileWriter.h"
#include "support/Error.h"
#include "tags/ID3FileEnds.h"
#include "tags/ID3FileIO.h"
#include "tags/ID3v1Tag.h"
#include "tags/ID3v2Tag.h"

TID3FileEnds CurrentFileEnds(const QString& fileName, std::optional<TID3FileEnds> kept) {
    // One look at the file costs less than opening and reading it again.
    if (kept && kept->Opened && kept->ErrorCode == 0) {
        const std::optional<TFileIdentity> now = FileIdentityOf(fileName);
        if (now && *now == kept->Identity)
            return std::move(*kept);
    }
    return ReadID3FileEnds(fileName);
}

TMP3FileTags::TMP3FileTags(const QString& fileName, TID3v2Tag& id3v2, TID3v1Tag& id3v1,
                           TFileWriter& writer, std::optional<TID3FileEnds> kept)
    : FFileName(fileName), FEnds(CurrentFileEnds(fileName, std::move(kept))), FID3v2(id3v2),
      FID3v1(id3v1), FWriter(writer) {
    // Both ends in one open. A file that cannot be read is not written: its tags would be
    // taken as missing and written over.
    const TID3FileEnds& ends = FEnds;
    if (!ends.Opened || ends.ErrorCode != 0)
        ID3FileIO::Fail(ends.Opened ? ID3FileIO::Operation::Read : ID3FileIO::Operation::Open,
                        fileName, ends.ErrorCode);
    FID3v1.SetFileName(fileName);
    FID3v1.OpenFromLastBytes(ends.Last);
    FID3v2.SetFileName(fileName);
    try {
        FID3v2.OpenFromFileStart(ends.Start);
    } catch (...) {
        FID3v1.Close();
        throw;
    }
    FWriter.TagsOpened(*this);
}

TMP3FileTags::~TMP3FileTags() {
    FID3v2.Close();
    FID3v1.Close();
}

void TMP3FileTags::Commit(bool writeID3v1) {
    FWriter.CommitTags(*this, writeID3v1);
}

void TMP3FileTags::WriteToFile(bool writeID3v1, std::optional<TID3FileEnds>* after) {
    if (after)
        after->reset();
    FID3v2.Frames().RemoveEmptyFrames();
    // Both tags go through one open and lock of the file.
    TID3v1Tag* id3v1 = writeID3v1 && FID3v1.HasTag() ? &FID3v1 : nullptr;
    bool id3v1Written = true;
    TID3Version version;
    if (FID3v2.FrameCount() > 0 || TID3v2Tag::ProbeID3v2Header(FFileName, version))
        id3v1Written = FID3v2.Commit(id3v1, after);
    else if (id3v1)
        id3v1Written = id3v1->Commit();
    if (!id3v1Written)
        throw TError(QStringLiteral("The ID3v1 tag could not be written."));
}
