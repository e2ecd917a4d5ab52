#pragma once

#include <QString>
#include <array>

// The twelve columns of the main list, in display order.
enum TMainListColumn {
    mcName,
    mcLocation,
    mcComputedName,
    mcMismatch,
    mcArtist,
    mcTitle,
    mcTrackNumber,
    mcAlbumTitle,
    mcYear,
    mcGenre,
    mcComments,
    mcCoverArt,
    MainListColumnCount
};

struct TMainListColumnInfo {
    const char* Caption;
    int DefaultWidth; // pixels
};

inline constexpr std::array<TMainListColumnInfo, MainListColumnCount> MainListColumns = {{
    {"Name", 200},
    {"Location", 300},
    {"MP3 Name (Computed)", 300},
    {"Mismatch", 150},
    {"Artist", 200},
    {"Title", 200},
    {"Track Number", 150},
    {"Album Title", 200},
    {"Year", 75},
    {"Genre", 150},
    {"Comments", 300},
    {"Cover Art", 150},
}};
