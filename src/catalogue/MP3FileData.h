#pragma once

#include <QString>
#include <memory>
#include <vector>

// The eight tag values of one file. An empty string means the value is missing.
struct TMP3TagData {
    QString Artist;
    QString Title;
    QString TrackNumber; // decimal digits; empty (or "0" after a fix) when the file has none
    QString AlbumTitle;
    QString Year;
    QString Genre;
    QString Comment;
    QString CoverArt; // "No", or "Yes (" + MIME type + ")"

    bool operator==(const TMP3TagData&) const = default;
};

// One catalogue record: a file, its tag values and the name those values call for.
struct TMP3FileData {
    QString FileName;         // full path, exactly as the search, playlist or user gave it
    QString ComputedMP3Name;  // bare file name ending in ".mp3"
    bool MP3Mismatch = false; // the file needs fixing
    TMP3TagData MP3TagData;   // owned by the record
    QString MyMP3Genre;       // genre learned for the artist; empty when none is known
};

// The catalogue: records in the order the files were analysed. Records live on the heap so that
// rows of the main list can keep pointers to them while the list grows.
using TMP3FileDataList = std::vector<std::unique_ptr<TMP3FileData>>;

// The first record, in list order, whose FileName equals AFileName exactly (case-sensitive);
// null when none does.
TMP3FileData* GetMP3FileDataFromFileName(const TMP3FileDataList& AMP3FileDataList,
                                         const QString& AFileName);

// Destroys every record (and its tag values) and empties the list. Pointers held by rows
// dangle afterwards: whoever clears the catalogue empties the main list too.
void ClearMP3FileDataList(TMP3FileDataList& AMP3FileDataList);

// Copies the eight values of FromMP3TagData into ToMP3TagData and returns the destination.
// Without a source nothing is copied and null is returned.
TMP3TagData* CopyMP3TagData(const TMP3TagData* FromMP3TagData, TMP3TagData& ToMP3TagData);

// A new tag record, owned by the caller, holding the eight values of FromMP3TagData; null
// without a source.
std::unique_ptr<TMP3TagData> CopyMP3TagData(const TMP3TagData* FromMP3TagData);
