#pragma once

#include "catalogue/MP3FileData.h"
#include "settings/OptionSet.h"

#include <QString>

// The file name (bare, ending in ".mp3") that the tag values call for in naming mode 0, 1 or 2
// (TMP3NameComputingMode); an empty string for any other mode. The title is cleaned and
// formatted as the options ask; artist and album title are used as stored.
QString BuildMP3Name(const TMP3TagData& MP3TagData, int MP3NameComputingMode,
                     const TOptionSet& Options);

// The naming mode for one file: MP3NameComputing itself, except that Mixed becomes Folded when
// the file's folder is named "Artist - Album Title" and Expanded otherwise. FileName is the full
// path.
int GetMP3NameComputingMode(const TMP3TagData& MP3TagData, const QString& FileName,
                            const TOptionSet& Options);

// MP3Name without leading and trailing spaces and with inner runs of spaces reduced to one.
QString CleanMP3Name(const QString& MP3Name);

// The track number (at most two digits) at the start of the file's name, or "0".
QString ExtractTrackNumberFromFileName(const QString& FileName);

// The file's name without its extension and without a leading track number and separator.
QString ExtractTitleFromFileName(const QString& FileName);

// s without what separates a track number from a title: leading spaces, then hyphens, then
// full stops, then spaces again ("05 - Song", "05. Song", "5-Song").
QString RemoveLeadingTrackSeparators(const QString& s);
