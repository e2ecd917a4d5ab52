#pragma once

#include "ui/ListFind.h"
#include "ui/ListSort.h"

// The list control without its pixels: the rows it shows, sorted by a clicked column and
// searched by the find. The desktop program draws it as a table view over the same rows.
class TKelmListView : public TKelmListSort, public TKelmListFind {
public:
    TKelmListView(TKelmListRows& rows, UiPort& ui, const QLocale& locale = QLocale())
        : TKelmListSort(rows, locale), TKelmListFind(rows, ui) {}
};
