#include "ui/ExportCommand.h"

#include "discovery/FilePaths.h"
#include "discovery/M3UPlaylistLayout.h"
#include "export/ExportFile.h"
#include "export/TrackSeconds.h"
#include "support/TextFile.h"
#include "ui/MainListCsv.h"
#include "ui/MainWindowState.h"

#include <QStandardPaths>
#include <algorithm>

namespace {

const QStringList ExportFilters = {QStringLiteral("CSV files (*.csv)"),
                                   QStringLiteral("M3U files (*.m3u)"),
                                   QStringLiteral("All files (*.*)")};

} // namespace

void TExportCommand::ExportToolButtonClick() {
    QString start = FState.PickerFolder();
    if (start.isEmpty())
        start = FState.Options().MusicLibraryHomePath;
    if (start.isEmpty())
        start = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const TSaveFileChoice choice = FState.Ui().PickSaveFile(
        {QStringLiteral("Export"), start, ExportFilters, FFilterIndex, QStringLiteral("csv"),
         FState.Options().PromptBeforeOverwritingFiles});
    if (choice.FileName.isEmpty())
        return;
    FFilterIndex = choice.FilterIndex;
    // The filter decides, whatever the name's extension says.
    const TFormat format = choice.FilterIndex == 0   ? TFormat::Csv
                           : choice.FilterIndex == 1 ? TFormat::M3U
                                                     : TFormat::None;
    Export(choice.FileName, format);
}

int TExportCommand::Export(const QString& fileName, TFormat format) {
    FFailed = false;
    const int count = format == TFormat::Csv   ? ExportToCSVFile(fileName)
                      : format == TFormat::M3U ? ExportToM3UFile(fileName)
                                               : 0;
    if (FFailed)
        return 0;
    if (count > 0)
        FState.Ui().ShowMessage(UiPort::MessageKind::Information,
                                QString::number(count) +
                                    QStringLiteral(" items have been exported."));
    else
        FState.Ui().ShowMessage(UiPort::MessageKind::Warning,
                                QStringLiteral("No item has been exported."));
    return count;
}

bool TExportCommand::WriteFile(const QString& fileName, const QByteArray& bytes, bool backup) {
    QString error;
    if (ExportFile::Write(fileName, bytes,
                          backup ? ExportFile::TBackup::Keep : ExportFile::TBackup::None, error))
        return true;
    FFailed = true;
    FState.Ui().ShowMessage(UiPort::MessageKind::Error,
                            ExportFile::WriteErrorMessage(fileName, error));
    return false;
}

int TExportCommand::ExportToCSVFile(const QString& fileName) {
    FFailed = false;
    QByteArray bytes;
    int written = 0;
    {
        TLongOperation operation(FState, UiPort::Cursor::Background, {},
                                 QStringLiteral("Exporting ") + fileName,
                                 FState.MainList().Count());
        written = WriteMainListCsv(
            FState.MainList(),
            [&bytes](const QByteArray& line) {
                bytes += line;
                return true;
            },
            [&operation] { return operation.Step(); });
        FState.Ui().SetProgressPosition(FState.MainList().Count());
        // Written while the operation still holds the list, so rows cannot change meanwhile.
        if (!WriteFile(fileName, bytes, true))
            written = 0;
    }
    FState.UpdateStatusBar();
    return written;
}

int TExportCommand::ExportToM3UFile(const QString& fileName) {
    FFailed = false;
    UiPort& ui = FState.Ui();
    ui.SetCursor(UiPort::Cursor::Background);
    ui.SetStatusText(QStringLiteral("Exporting ") + fileName);
    const TMainList& list = FState.MainList();
    QVector<TM3UTrack> tracks;
    tracks.reserve(list.Count());
    for (int i = 0; i < list.Count(); ++i)
        tracks.append({list.Cell(i, mcLocation), list.Cell(i, mcName), list.Cell(i, mcArtist),
                       list.Cell(i, mcTitle)});
    // The lengths are measured all together, so that several threads can share the files.
    QList<qint64> seconds;
    if (FState.Options().ExportPlaylistUsingExtendedM3UFormat) {
        QStringList paths;
        paths.reserve(tracks.size());
        for (const TM3UTrack& track : std::as_const(tracks))
            paths.append(JoinPath(track.Folder, track.FileName));
        seconds = MeasureTrackSeconds(paths);
    }
    const auto unknown =
        std::count_if(seconds.cbegin(), seconds.cend(), [](qint64 s) { return s < 0; });
    qsizetype nextTrack = 0;
    const QStringList lines =
        M3UPlaylistLines(fileName, tracks, FState.Options(), [&](const TM3UTrack&) {
            return nextTrack < seconds.size() ? seconds[nextTrack++] : -1;
        });
    const int written =
        WriteFile(fileName, TextFile::EncodeLines(lines), false) ? int(tracks.size()) : 0;
    ui.SetStatusText(QString::number(written) + QStringLiteral(" item(s)"));
    ui.SetCursor(UiPort::Cursor::Normal);
    if (unknown > 0 && written > 0)
        ui.ShowMessage(UiPort::MessageKind::Warning,
                       QStringLiteral("The length of %1 file(s) could not be determined; their "
                                      "entries give -1 seconds.")
                           .arg(unknown));
    return written;
}
