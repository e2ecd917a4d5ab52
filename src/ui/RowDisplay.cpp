#include "ui/MainWindowState.h"

#include "catalogue/NameComputing.h"

namespace {

// The folder part of a path without its trailing "/"; the root keeps its separator.
QStringView LocationOf(const QString& fileName) {
    const qsizetype slash = fileName.lastIndexOf(u'/');
    if (slash < 0)
        return {};
    return QStringView(fileName).first(slash == 0 ? 1 : slash);
}

} // namespace

int TMainWindowState::DisplayMP3FileData(TMP3FileData* AMP3FileData, bool EnableFind,
                                         int AMP3ListItem) {
    if (!AMP3FileData)
        return -1;
    const TMP3TagData& tag = AMP3FileData->MP3TagData;
    const QString& fileName = AMP3FileData->FileName;
    std::array<QString, MainListColumnCount> cells;
    cells[mcName] = fileName.mid(fileName.lastIndexOf(u'/') + 1);
    // Rows come folder by folder: a row in the same folder as the last one shares its text.
    const QStringView location = LocationOf(fileName);
    const int last = FMainList.Count() - 1;
    if (last >= 0 && FMainList.Cell(last, mcLocation) == location)
        cells[mcLocation] = FMainList.Cell(last, mcLocation);
    else
        cells[mcLocation] = location.toString();
    // Computed afresh, so that a changed naming option shows as soon as the row is shown again.
    cells[mcComputedName] =
        BuildMP3Name(tag, GetMP3NameComputingMode(tag, fileName, FOptions), FOptions);
    // The record's text when they agree, so that the name is held once.
    if (cells[mcComputedName] == AMP3FileData->ComputedMP3Name)
        cells[mcComputedName] = AMP3FileData->ComputedMP3Name;
    const bool mismatch = cells[mcName] != cells[mcComputedName] || AMP3FileData->MP3Mismatch;
    cells[mcMismatch] = mismatch ? QStringLiteral("Yes") : QStringLiteral("No");
    cells[mcArtist] = tag.Artist;
    cells[mcTitle] = tag.Title;
    cells[mcTrackNumber] = tag.TrackNumber;
    cells[mcAlbumTitle] = tag.AlbumTitle;
    cells[mcYear] = tag.Year;
    cells[mcGenre] = tag.Genre;
    cells[mcComments] = tag.Comment;
    cells[mcCoverArt] = tag.CoverArt;

    int row = AMP3ListItem;
    if (row < 0 && EnableFind)
        row = FindMP3ListItem(FMainList, AMP3FileData);
    // A row shown again (a refresh, the same file opened twice) replaces its own share of the
    // count instead of adding to it.
    if (row >= 0 && FMainList.Cell(row, mcMismatch) == u"Yes")
        --FMismatchCount;
    if (mismatch)
        ++FMismatchCount;
    if (row >= 0) {
        FMainList.SetCells(row, cells);
        return row;
    }
    return FMainList.Append(AMP3FileData, std::move(cells));
}
