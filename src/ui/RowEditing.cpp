#include "ui/RowEditing.h"

#include "fixing/FixEngine.h"
#include "ui/MainWindowState.h"

namespace {

std::optional<TRunJournal> JournalFor(const TMainWindowState& state, const QString& operation) {
    if (state.Plan() || state.JournalFolder().isEmpty())
        return std::nullopt;
    return std::optional<TRunJournal>(std::in_place, state.JournalFolder(), operation);
}

} // namespace

TRowEditRun::TRowEditRun(TMainWindowState& state, const QString& operation)
    : FState(state), FJournal(JournalFor(state, operation)),
      FDiskWriter(FJournal ? &*FJournal : nullptr),
      FContext{state.ID3v2Tag1(),    state.ID3v1Tag1(), state.ReferenceData(),
               state.Log(),          state.Options(),   state.Plan() ? *state.Plan() : FDiskWriter,
               &state.KeptTagBytes()} {}

TFixRow TRowEditRun::Row(int index) const {
    const TMainListRow& r = FState.MainList().Row(index);
    TFixRow row;
    row.Name = r.Cells[mcName];
    row.Location = r.Cells[mcLocation];
    row.ComputedName = r.Cells[mcComputedName];
    row.Mismatch = r.Cells[mcMismatch];
    row.Artist = r.Cells[mcArtist];
    row.Title = r.Cells[mcTitle];
    row.TrackNumber = r.Cells[mcTrackNumber];
    row.AlbumTitle = r.Cells[mcAlbumTitle];
    row.Year = r.Cells[mcYear];
    row.Genre = r.Cells[mcGenre];
    row.Comments = r.Cells[mcComments];
    row.CoverArt = r.Cells[mcCoverArt];
    row.Data = r.Data;
    return row;
}

void TRowEditRun::AnnounceFixes(std::span<const int> indexes) {
    QList<TFixRow> rows;
    rows.reserve(qsizetype(indexes.size()));
    for (const int index : indexes)
        rows.append(Row(index));
    ::AnnounceFixes(rows, FContext);
}

void TRowEditRun::SetRow(int index, const TFixRow& row) {
    TMainList& list = FState.MainList();
    const bool wasMismatch = list.Cell(index, mcMismatch) == u"Yes";
    const bool isMismatch = row.Mismatch == u"Yes";
    if (wasMismatch != isMismatch)
        FState.AddToMismatchCount(isMismatch ? 1 : -1);
    std::array<QString, MainListColumnCount> cells;
    cells[mcName] = row.Name;
    cells[mcLocation] = row.Location;
    cells[mcComputedName] = row.ComputedName;
    cells[mcMismatch] = row.Mismatch;
    cells[mcArtist] = row.Artist;
    cells[mcTitle] = row.Title;
    cells[mcTrackNumber] = row.TrackNumber;
    cells[mcAlbumTitle] = row.AlbumTitle;
    cells[mcYear] = row.Year;
    cells[mcGenre] = row.Genre;
    cells[mcComments] = row.Comments;
    cells[mcCoverArt] = row.CoverArt;
    if (cells != list.Row(index).Cells)
        list.SetCells(index, cells);
}

void TRowEditRun::Count(const TRowResult& result) {
    if (result.Failed())
        ++FFailed;
}

void TRowEditRun::ReportFailures(const QString& failedWhat) const {
    if (FFailed == 0 || !FContext.Files.WritesFiles())
        return;
    FState.Ui().ShowMessage(UiPort::MessageKind::Warning,
                            QStringLiteral("%1 file(s) could not be %2.\rThe activity log names "
                                           "each file and the error:\r%3")
                                .arg(FFailed)
                                .arg(failedWhat, FState.Log().FileName()));
}
