#pragma once

#include "tags/ID3FileEnds.h"

#include <QString>
#include <optional>

class TFileWriter;
class TID3v1Tag;
class TID3v2Tag;

// The bytes kept from an earlier read of the file while it is still what they were read from
// (same file, size and times); otherwise the file's bytes read now.
TID3FileEnds CurrentFileEnds(const QString& fileName, std::optional<TID3FileEnds> kept);

// Both tags of one MP3 file, open for one change: read on construction, changed by the caller,
// committed through the writer (which writes them, or records them in a plan), closed when the
// object goes (written or not).
//
// Commit writes the ID3v2 tag before the ID3v1 tag. The ID3v2 write is the one that meets
// damaged tags, oversized tags and full disks, and it leaves the file untouched when it fails;
// so a file that cannot be written is most often not half written either.
class TMP3FileTags {
public:
    // Opens both tags of fileName, read in one open, and shows them to the writer. Throws TError
    // when the file or its ID3v2 tag cannot be read. Bytes kept from an earlier read of the file
    // serve instead when the file is still what they were read from; otherwise it is read.
    TMP3FileTags(const QString& fileName, TID3v2Tag& id3v2, TID3v1Tag& id3v1, TFileWriter& writer,
                 std::optional<TID3FileEnds> kept = std::nullopt);
    ~TMP3FileTags();
    TMP3FileTags(const TMP3FileTags&) = delete;
    TMP3FileTags& operator=(const TMP3FileTags&) = delete;

    const QString& FileName() const { return FFileName; }
    TID3v2Tag& ID3v2() { return FID3v2; }
    TID3v1Tag& ID3v1() { return FID3v1; }
    // The file's bytes that the tags were opened from, and the file's identity then.
    const TID3FileEnds& Ends() const { return FEnds; }

    // Hands the changed tags to the writer.
    void Commit(bool writeID3v1 = true);
    // Writes the ID3v2 tag without its empty frames (a file without an ID3v2 tag gets none when
    // no frame is left), then, with writeID3v1, the ID3v1 tag when the file has one (no ID3v1 tag
    // is ever created); both through one open of the file. Throws TError when a write fails.
    // With after, the file's ends once written when the write knows them (else nothing).
    void WriteToFile(bool writeID3v1, std::optional<TID3FileEnds>* after = nullptr);

private:
    QString FFileName;
    TID3FileEnds FEnds;
    TID3v2Tag& FID3v2;
    TID3v1Tag& FID3v1;
    TFileWriter& FWriter;
};
