#pragma once

#include <QStringList>

// What the list's context menu offers when it opens: which items are enabled and the items of
// its two submenus. The desktop program builds the menu from it each time the menu opens.
struct TContextMenuState {
    bool Properties = false;
    bool Fix = false;
    bool Refresh = false;
    bool Explore = false;
    bool Mp3tag = false;
    bool Clear =
        false; // the "Clear" submenu: Comments, Cover Art, Genre, Title Suffix, Track Number
    bool AddSuffixToTitle = false;
    bool LowercaseTitle = false;
    bool ReplaceByInTitle = false;
    bool SetGenreTo = false;
    bool EmbedCoverArt = false;
    // One item per checked entry of the Suffixes and Genres options, in their order, captioned
    // with the entry's text as it stands; the caption is what the item passes to its handler.
    QStringList AddSuffixToTitleItems;
    QStringList SetGenreToItems;

    bool operator==(const TContextMenuState&) const = default;
};
