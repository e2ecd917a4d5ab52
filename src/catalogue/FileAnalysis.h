#pragma once

#include "catalogue/MP3FileData.h"
#include "tags/ID3FileEndsReader.h"

class TKelmLogFile;
class TKeptTagBytes;
class TReferenceData;
struct TOptionSet;

// What the analysis of a file reads and writes besides the file: the catalogue, the reference
// data, the log and the options; and, when given, where the tag bytes read are kept for a fix.
struct TFileAnalysisContext {
    TMP3FileDataList& MP3FileDataList;
    TReferenceData& ReferenceData;
    TKelmLogFile& KelmLogFile1;
    const TOptionSet& Options;
    TKeptTagBytes* KeptTagBytes = nullptr;
};

// Reads the file's tags into a record: values from the ID3v2 tag, completed from the ID3v1 tag
// and the file name, the featuring, track, year, genre, comment and cover rules applied, the
// expected name computed and the mismatch decided. With EnableFind a record already holding
// this exact path is filled again; otherwise a new record is appended to the catalogue.
// Returns the record, or nullptr when no regular file exists at FileName. A damaged ID3v2 tag
// never ends the analysis: the file is read as if it had none, flagged, and the log names it.
TMP3FileData* AddMP3FileToMP3FileDataList(const QString& FileName, bool EnableFind,
                                          TFileAnalysisContext& context);
// The same over what a TID3FileEndsReader read of the file beforehand: its tag bytes, and the
// values of its tags when the reader took them; the result is the one the file read here
// would give.
TMP3FileData* AddMP3FileToMP3FileDataList(const QString& FileName, bool EnableFind,
                                          TFileAnalysisContext& context,
                                          const TID3FileEndsReader::TResult& read);

// The cover picture in the MP3 file's folder: "Cover.jpg", then "Front.jpg", then
// "Folder.jpg"; "" when there is none. A read-only picture is noted in the log.
QString GetPictureFileName(const QString& MP3FileName, TKelmLogFile& log);
