#include "fixing/FixRow.h"

QString RowFolder(const TFixRow& row) {
    // A file given by a bare name lies in the working folder, not in the root.
    if (row.Location.isEmpty() || row.Location.endsWith(u'/'))
        return row.Location;
    return row.Location + u'/';
}

QString RowFilePath(const TFixRow& row) {
    return RowFolder(row) + row.Name;
}
