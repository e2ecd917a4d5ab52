#include "ui/MainWindowState.h"

#include "catalogue/KeptTagBytes.h"
#include "discovery/M3UPlaylistReader.h"
#include "discovery/MP3FileSearch.h"
#include "support/Error.h"
#include "support/ShellLink.h"
#include "tags/ID3FileEndsReader.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <algorithm>

namespace {

// The longest the window goes without handling its events while a browse waits for the walk
// or the readers.
constexpr std::chrono::milliseconds ResponsiveInterval(10);

QString LowerExtension(const QString& path) {
    return QFileInfo(path).suffix().toLower();
}

// What a browse replaces: the rows, the records and the kept tag bytes of the list before.
// Freeing a hundred thousand of each at once would hold the window for a noticeable time, so
// they go a slice at a time, the window handling its events between the slices; all before the
// walk, so that what the walk and the readers hold never comes on top of them.
struct TReplacedCatalogue {
    std::vector<TMainListRow> Rows;
    TMP3FileDataList Records;
    TKeptTagBytes KeptTagBytes;

    // Frees a slice; false when nothing is left.
    bool ReleaseSlice() {
        constexpr int Slice = 1000;
        for (int i = 0; i < Slice && !Rows.empty(); ++i)
            Rows.pop_back();
        for (int i = 0; i < Slice && !Records.empty(); ++i)
            Records.pop_back();
        const bool bytesLeft = KeptTagBytes.ForgetSome(Slice);
        return bytesLeft || !Rows.empty() || !Records.empty();
    }
};

// Waits for the tag bytes of the next file, letting the window handle its events meanwhile.
// False when the person stopped the operation (or nothing more comes).
bool WaitForNextFile(TID3FileEndsReader& reader, TID3FileEndsReader::TResult& read,
                     TLongOperation& operation) {
    for (;;) {
        switch (reader.Next(read, ResponsiveInterval)) {
        case TID3FileEndsReader::TNext::Ready:
            return true;
        case TID3FileEndsReader::TNext::Done:
            return false;
        case TID3FileEndsReader::TNext::Waiting:
            if (!operation.KeepResponsive())
                return false;
        }
    }
}

} // namespace

void TMainWindowState::AddToHistory(QStringList& history, const QString& path, int maximum) {
    if (path.isEmpty())
        return;
    for (qsizetype i = 0; i < history.size(); ++i) {
        if (history[i].compare(path, Qt::CaseInsensitive) == 0) {
            history.move(i, 0); // keeps the letter case it was first added with
            return;
        }
    }
    history.prepend(path);
    if (history.size() > maximum)
        history.removeLast();
}

void TMainWindowState::BrowseMP3Folder(const QString& FolderName) {
    if (!CanChangeList())
        return;
    TLongOperation operation(
        *this, UiPort::Cursor::Busy,
        {TCommand::Browse, TCommand::Open, TCommand::Export, TCommand::Fix, TCommand::Refresh},
        QStringLiteral("Searching files"), 0);
    AddToHistory(FBrowseHistory, FolderName, FOptions.RecentlyUsedFileList);
    // Emptied before the walk, which lets the window handle events: no old row can be acted on.
    TReplacedCatalogue replaced{FMainList.TakeRows(), std::move(FCatalogue),
                                TKeptTagBytes(FKeptTagBytes.Budget())};
    std::swap(replaced.KeptTagBytes, FKeptTagBytes);
    ClearMainList();
    ClearMP3FileDataList(FCatalogue);

    QElapsedTimer sinceEvents;
    sinceEvents.start();
    const auto keepResponsive = [&] {
        if (sinceEvents.elapsed() < ResponsiveInterval.count())
            return true;
        sinceEvents.restart();
        return operation.KeepResponsive();
    };
    while (replaced.ReleaseSlice())
        keepResponsive();

    // The readers take the files while the walk goes on; the analysis takes their results in the
    // walk's order, so the records, the learned data and the log come out as one reader gives.
    // The readers hand back the bytes only of the tags the kept bytes could still take: none for
    // a listing that never fixes, and fewer as the budget fills.
    TID3FileEndsReader reader(TID3FileEndsReader::ThreadCount(),
                              TID3FileEndsReader::TRead::TagValues);
    reader.SetLargestKept(FKeptTagBytes.LargestThatFits());
    QStringList files;
    if (!operation.Stopped()) {
        PrepareMP3FileSearch(FFileFind, FolderName, FOptions);
        files = RunMP3FileSearch(FFileFind, FOptions, [&](const QStringList& found) {
            reader.Add(found);
            return keepResponsive();
        });
        // A name that is not valid UTF-8 cannot be opened by its decoded path; say which were
        // left out.
        for (const QString& skipped : FFileFind.SkippedNames())
            FLog.SetLogText(QStringLiteral("Unreadable file name // File=") + skipped);
    }
    reader.Finish();
    operation.SetPhase(QStringLiteral("Processing files"), int(files.size()));

    // Each record gets its row as soon as it is made, so that a stop leaves nothing more to do
    // than to show the rows so far; the list is told once, at the end of the batch.
    {
        TMainListUpdateGuard batch(FMainList);
        FMainList.Reserve(int(files.size()));
        TFileAnalysisContext context = AnalysisContext();
        TID3FileEndsReader::TResult read;
        for (qsizetype i = 0; i < files.size() && !operation.Stopped(); ++i) {
            if (!operation.Step() || !WaitForNextFile(reader, read, operation))
                break;
            DisplayMP3FileData(AddMP3FileToMP3FileDataList(read.Path, false, context, read), false);
            reader.SetLargestKept(FKeptTagBytes.LargestThatFits());
        }
    }
    if (FMainList.Count() > 0 && !operation.Stopped()) {
        FMainList.SelectOnly(0);
        FMainList.FocusRow(0);
    }
    UpdateStatusBar();
}

TMP3FileData* TMainWindowState::OpenMP3File(const QString& FileName) {
    AddToHistory(FOpenHistory, FileName, FOptions.RecentlyUsedFileList);
    TFileAnalysisContext context = AnalysisContext();
    TMP3FileData* record = AddMP3FileToMP3FileDataList(FileName, true, context);
    if (record) {
        const int row = DisplayMP3FileData(record, true);
        FMainList.SetSelected(row, true);
        FMainList.FocusRow(row);
    }
    return record;
}

void TMainWindowState::OpenM3UFile(const QString& FileName) {
    AddToHistory(FOpenHistory, FileName, FOptions.RecentlyUsedFileList);
    FUi.SetCursor(UiPort::Cursor::Background);
    TFileAnalysisContext context = AnalysisContext();
    const QList<TM3UEntry> entries = ReadM3UFile(FileName);
    TID3FileEndsReader reader(int(std::min<qsizetype>(TID3FileEndsReader::ThreadCount(),
                                                      std::max<qsizetype>(entries.size(), 1))),
                              TID3FileEndsReader::TRead::TagValues);
    reader.SetLargestKept(FKeptTagBytes.LargestThatFits());
    for (const TM3UEntry& entry : entries)
        reader.Add(entry.FileName);
    reader.Finish();
    TID3FileEndsReader::TResult read;
    for (const TM3UEntry& entry : entries) {
        reader.Next(read);
        TMP3FileData* record = AddMP3FileToMP3FileDataList(entry.FileName, false, context, read);
        reader.SetLargestKept(FKeptTagBytes.LargestThatFits());
        const int row = DisplayMP3FileData(record, false);
        if (row < 0)
            continue;
        // The playlist's own artist and title fill only the cells the tags left empty.
        if (FMainList.Cell(row, mcArtist).isEmpty())
            FMainList.SetCell(row, mcArtist, entry.Artist);
        if (FMainList.Cell(row, mcTitle).isEmpty())
            FMainList.SetCell(row, mcTitle, entry.Title);
    }
    FUi.SetCursor(UiPort::Cursor::Normal);
}

void TMainWindowState::OpenByExtension(const QString& path) {
    const QString extension = LowerExtension(path);
    if (extension == u"mp3")
        OpenMP3File(path);
    else if (extension == u"m3u")
        OpenM3UFile(path);
}

void TMainWindowState::BrowseCommand() {
    if (!CanChangeList())
        return;
    const QString start = FPickerFolder.isEmpty() ? FOptions.MusicLibraryHomePath : FPickerFolder;
    const QString folder = FUi.PickFolder(QStringLiteral("Browse for a music folder"), start);
    if (folder.isEmpty())
        return;
    FPickerFolder = folder;
    BrowseMP3Folder(folder);
}

void TMainWindowState::OpenCommand() {
    if (!CanChangeList())
        return;
    const QString start = FOpenFileName.isEmpty() ? FOptions.MusicLibraryHomePath
                                                  : QFileInfo(FOpenFileName).absolutePath();
    const QStringList chosen =
        FUi.PickOpenFiles(QStringLiteral("Open"), start,
                          {QStringLiteral("MP3 files (*.mp3)"), QStringLiteral("M3U files (*.m3u)"),
                           QStringLiteral("All files (*)")});
    if (chosen.isEmpty())
        return;
    FOpenFileName = chosen.first();
    ClearMainList();
    OpenByExtension(FOpenFileName);
    UpdateStatusBar();
}

void TMainWindowState::BrowseHistoryClick(int index) {
    if (!CanChangeList() || index < 0 || index >= FBrowseHistory.size())
        return;
    const QString path = FBrowseHistory[index];
    if (QFileInfo(path).isDir()) {
        FPickerFolder = path;
        BrowseMP3Folder(path);
        return;
    }
    FUi.ShowMessage(
        UiPort::MessageKind::Error,
        QStringLiteral("Cannot browse \"%1\".\rThe folder has been deleted or moved.").arg(path));
    FBrowseHistory.removeOne(path);
}

void TMainWindowState::OpenHistoryClick(int index) {
    if (!CanChangeList() || index < 0 || index >= FOpenHistory.size())
        return;
    const QString path = FOpenHistory[index];
    if (QFileInfo(path).isFile()) {
        ClearMainList();
        FOpenFileName = path;
        OpenByExtension(path);
        UpdateStatusBar();
        return;
    }
    FUi.ShowMessage(
        UiPort::MessageKind::Error,
        QStringLiteral("Cannot open \"%1\".\rThe file has been deleted or moved.").arg(path));
    FOpenHistory.removeOne(path);
}

void TMainWindowState::ResolveShortcut(QString& path) {
    if (LowerExtension(path) != u"lnk")
        return;
    TKelmShellLink link;
    link.SetFileName(path);
    link.Read();
    path = link.Target();
}

void TMainWindowState::HandleDrop(const QStringList& paths) {
    if (!CanChangeList())
        return;
    ClearMainList();
    try {
        for (QString path : paths) {
            ResolveShortcut(path);
            const QString extension = LowerExtension(path);
            if (extension == u"mp3" || extension == u"m3u") {
                FOpenFileName = path;
                OpenByExtension(path);
            } else if (QFileInfo(path).isDir()) {
                FPickerFolder = path;
                BrowseMP3Folder(path);
            }
        }
    } catch (const TError& e) {
        FUi.ShowMessage(UiPort::MessageKind::Error, e.Message());
        return;
    }
    UpdateStatusBar();
}

void TMainWindowState::HandleCommandLine(const QStringList& arguments) {
    if (arguments.isEmpty() || !CanChangeList())
        return;
    try {
        for (QString argument : arguments) {
            // Records keep full paths: the Location cell and the Mixed naming read the folder
            // from the path, and "." or "a.mp3" would name none.
            if (!argument.isEmpty())
                argument = QDir::cleanPath(QFileInfo(argument).absoluteFilePath());
            ResolveShortcut(argument);
            const QString extension = LowerExtension(argument);
            if (extension == u"mp3" || extension == u"m3u") {
                if (QFileInfo(argument).isFile())
                    OpenByExtension(argument);
            } else if (QFileInfo(argument).isDir()) {
                BrowseMP3Folder(argument);
                break;
            }
        }
    } catch (const TError& e) {
        FUi.ShowMessage(UiPort::MessageKind::Error, e.Message());
        return;
    }
    UpdateStatusBar();
}
