#pragma once

#include "catalogue/FileAnalysis.h"
#include "catalogue/KeptTagBytes.h"
#include "catalogue/MP3FileData.h"
#include "discovery/KelmFileFind.h"
#include "fixing/FixRow.h"
#include "refdata/FlatFile.h"
#include "refdata/ReferenceData.h"
#include "settings/KelmRegistryEnhanced.h"
#include "settings/OptionSet.h"
#include "support/LogFile.h"
#include "support/UiPort.h"
#include "tags/ID3v1Tag.h"
#include "tags/ID3v2Tag.h"
#include "ui/Commands.h"
#include "ui/ContextMenu.h"
#include "ui/KelmListView.h"
#include "ui/MainList.h"

#include <QObject>
#include <array>
#include <functional>
#include <memory>
#include <optional>

class TFileWriter;
class TOptionsDialogState;
class TPropertiesDialogState;
class TToolCommands;

// Where the main window keeps its files; the defaults are the per-user folders, tests and the
// command-line tool may point them elsewhere.
struct TMainWindowPaths {
    QString StoreFileName;
    QString LogFileName;
    QString InstalledDataFolder;
    QString ApplicationFolder; // where the running program lies, stored for outside tools
    // A dry run's session: the previous run's log is kept and nothing is logged, the data folder
    // is not seeded (its missing files are read from the installed data folder instead), the
    // settings are only read and nothing is saved at shut-down.
    bool ReadOnly = false;
    // Where the journals of the runs that change music files go (see fixing/RunJournal.h);
    // empty: no run is journalled.
    QString JournalFolder;
    static TMainWindowPaths Defaults();
};

// The main window without pixels: the catalogue, the main list, the mismatch count, the busy
// flag and stop request, the status text and every command's enabled state. The desktop
// program shows this state and forwards gestures to it; the command-line tool and the tests
// drive the very same handlers.
class TMainWindowState : public QObject {
    Q_OBJECT
public:
    TMainWindowState(UiPort& ui, const TMainWindowPaths& paths = TMainWindowPaths::Defaults());
    ~TMainWindowState() override;

    // Start-up: history lists, data folder and data files, learned data, the list sorted by
    // Name; then the options loaded and applied.
    void Startup();
    // Reads the option set from the store and pushes it into the components.
    void LoadAndApplyOptions();
    // Pushes the current option set into the components that keep a copy of a value, and
    // recomputes the command states that depend on the options.
    void ApplyOptions();
    // The folders and proxy the option defaults were computed from at start-up.
    const TOptionDefaults& OptionDefaults() const { return FOptionDefaults; }
    // The options dialog's values, page commands and the Options command.
    TOptionsDialogState& OptionsDialog() { return *FOptionsDialog; }
    // The properties dialog's values and cover, and its OK.
    TPropertiesDialogState& PropertiesDialog() { return *FPropertiesDialog; }
    // MP3val, MP3Gain and Mp3tag over the rows.
    TToolCommands& Tools() { return *FTools; }
    // The option set as the store holds it, each missing value with its default (the genre
    // list from the data folder, the update entries from the loaded update list).
    TOptionSet ReadOptionsFromStore();
    // Handles the program's arguments as a drop would, in order; a folder ends them.
    void HandleCommandLine(const QStringList& arguments);
    // Shut-down: column widths, program folder and version, history lists, learned data; then
    // the list and the catalogue emptied, unless the process ends right after (a command-line
    // run), which lets them go at once. Safe to call more than once.
    enum class TRowsAtShutdown { Freed, LeftToProcessEnd };
    void Shutdown(TRowsAtShutdown rows = TRowsAtShutdown::Freed);

    // The pieces of the window that the desktop program supplies; left empty elsewhere.
    std::function<QList<int>()> MainListColumnWidths;
    std::function<void(const QList<int>&)> SetMainListColumnWidths;

    // Opening folders, files and playlists.
    void BrowseMP3Folder(const QString& FolderName);
    TMP3FileData* OpenMP3File(const QString& FileName);
    void OpenM3UFile(const QString& FileName);
    void BrowseCommand();
    void OpenCommand();
    void BrowseHistoryClick(int index);
    void OpenHistoryClick(int index);
    void HandleDrop(const QStringList& paths);
    const QStringList& BrowseHistory() const { return FBrowseHistory; }
    const QStringList& OpenHistory() const { return FOpenHistory; }
    const QString& PickerFolder() const { return FPickerFolder; }
    const QString& OpenFileName() const { return FOpenFileName; }

    // Writes a record into a row: the given row, else with EnableFind the row already showing
    // it, else a new row at the bottom. Returns the row, or -1 without a record.
    int DisplayMP3FileData(TMP3FileData* AMP3FileData, bool EnableFind, int AMP3ListItem = -1);

    TKelmRegistryEnhanced& Store() { return FStore; }
    TReferenceData& ReferenceData() { return FReferenceData; }
    TKelmLogFile& Log() { return FLog; }
    // Where the runs that change music files keep their journals; empty: none are kept.
    const QString& JournalFolder() const { return FPaths.JournalFolder; }
    TKelmFlatFile& UpdateDataFilesKelmFlatFile() { return FUpdateDataFilesKelmFlatFile; }
    TKelmListView& ListView() { return FListView; }
    TID3v2Tag& ID3v2Tag1() { return FID3v2Tag1; }
    TID3v1Tag& ID3v1Tag1() { return FID3v1Tag1; }
    TFileAnalysisContext AnalysisContext();

    UiPort& Ui() { return FUi; }
    TOptionSet& Options() { return FOptions; }
    const TOptionSet& Options() const { return FOptions; }
    TMP3FileDataList& Catalogue() { return FCatalogue; }
    // The tag bytes of the browse that the fix uses instead of reading the files again.
    TKeptTagBytes& KeptTagBytes() { return FKeptTagBytes; }
    TMainList& MainList() { return FMainList; }
    const TMainList& MainList() const { return FMainList; }

    int MismatchCount() const { return FMismatchCount; }
    void AddToMismatchCount(int delta) { FMismatchCount += delta; }
    bool Busy() const { return FBusy; }
    bool StopRequested() const { return FStopRequest; }
    bool StatisticsValid() const { return FStatisticsValid; }
    void SetStatisticsValid(bool valid) { FStatisticsValid = valid; }

    bool CommandEnabled(TCommand c) const { return FEnabled[std::size_t(c)]; }
    const QString& StatusText() const { return FStatusText; }
    const QString& ListToolTip() const { return FListToolTip; }

    // Recomputes the status text and the enabled state of the commands that depend on the list.
    void UpdateStatusBar();

    // A click on the list (or Up/Down released in it): while busy, offers to stop the running
    // operation; otherwise shows the suggested genre of the selected row as the tooltip.
    void ListClick();

    // Empties the main list (the catalogue keeps its records).
    void ClearMainList();

    // The file-menu and list commands that change the list or the catalogue cannot start while
    // a long operation runs: its loop would go on over rows and records that are gone.
    bool CanChangeList() const { return !FOperationRunning; }

    // Fix and Refresh: the selected rows (context menu) or every row (toolbar, Tools menu, F5
    // for Refresh). A file that cannot be written is skipped with its row unchanged and named
    // in the activity log; one warning at the end counts them.
    void Fix1Click();
    void FixToolButtonClick();
    void Refresh1Click();
    void RefreshToolButtonClick();
    // Shows the row again from its record; false when the row was removed because its file is
    // gone.
    bool RefreshMP3ListItem(int MP3ListItem);

    // The context menu: its state when it opens, and its edits over the selected rows.
    TContextMenuState PopupMenu1Popup() const;
    void AddSuffixToTitlePopupMenuClick(const QString& suffix);
    void LowercaseTitle1Click();
    void ReplaceByInTitle1Click();
    void SetGenreToPopupMenuClick(const QString& genre);
    void EmbedCoverArt1Click();
    void Comments1Click();    // Clear, Comments
    void CoverArt1Click();    // Clear, Cover Art
    void Genre1Click();       // Clear, Genre
    void TitleSuffix1Click(); // Clear, Title Suffix
    void TrackNumber1Click(); // Clear, Track Number
    // The files that the last fix or edit could not write.
    int FailedFileCount() const { return FFailedFileCount; }
    // While a plan is set, the fix and the edits go through it instead of the disk: it records
    // what they would change and nothing is written (not owned; nullptr for real runs).
    void SetPlan(TFileWriter* plan) { FPlan = plan; }
    TFileWriter* Plan() const { return FPlan; }

signals:
    void CommandStatesChanged();
    void StatusTextChanged(const QString& text);
    void ListToolTipChanged(const QString& text);

private:
    friend class TLongOperation;
    void SetEnabled(TCommand c, bool enabled);
    void UpdateCommandStates();
    void SetStatusText(const QString& text);

    enum class TAfterEdit { Nothing, Refresh, Statistics };
    // operation: the edit's name in the journal.
    void RunBulkEdit(const QString& operation, TAfterEdit after,
                     const std::function<TRowResult(TFixRow&, TFixContext&)>& edit);

    static void AddToHistory(QStringList& history, const QString& path, int maximum);
    void OpenByExtension(const QString& path);
    void ResolveShortcut(QString& path);

    UiPort& FUi;
    TMainWindowPaths FPaths;
    TKelmRegistryEnhanced FStore;
    // Held for the whole of a read-only session, so that no write reaches the settings file.
    std::optional<TKelmRegistryEnhanced::TBatch> FReadOnlyStore;
    TKelmLogFile FLog;
    TReferenceData FReferenceData;
    TKelmFlatFile FUpdateDataFilesKelmFlatFile;
    TKelmFileFind FFileFind;
    TID3v2Tag FID3v2Tag1;
    TID3v1Tag FID3v1Tag1;
    TOptionDefaults FOptionDefaults;
    TOptionSet FOptions;
    std::unique_ptr<TOptionsDialogState> FOptionsDialog;
    std::unique_ptr<TPropertiesDialogState> FPropertiesDialog;
    std::unique_ptr<TToolCommands> FTools;
    QStringList FBrowseHistory;
    QStringList FOpenHistory;
    QString FPickerFolder;
    QString FOpenFileName;
    bool FShutDown = false;
    TMP3FileDataList FCatalogue;
    TKeptTagBytes FKeptTagBytes;
    TMainList FMainList;
    TKelmListView FListView{FMainList, FUi};
    int FMismatchCount = 0;
    bool FBusy = false;
    bool FStopRequest = false;
    // A running operation that must not be ended half-way (a tool writing files).
    bool FStopRefused = false;
    // Set for the whole of a long operation, also after a stop request cleared the busy flag
    // while the operation finishes its current phase.
    bool FOperationRunning = false;
    bool FStatisticsValid = false;
    int FFailedFileCount = 0;
    TFileWriter* FPlan = nullptr;
    std::array<bool, std::size_t(TCommand::Count)> FEnabled{};
    QString FStatusText;
    QString FListToolTip;
};

// One long operation over files or rows: sets the cursor, disables its commands, shows its
// status text and progress and raises the busy flag; Step() before each item lets the window
// handle events and honours a stop request. Whatever ends the operation, leaving the scope puts
// the busy flag, the commands and the cursor back.
class TLongOperation {
public:
    TLongOperation(TMainWindowState& state, UiPort::Cursor cursor,
                   std::initializer_list<TCommand> disabled, const QString& statusText, int steps);
    ~TLongOperation();
    TLongOperation(const TLongOperation&) = delete;
    TLongOperation& operator=(const TLongOperation&) = delete;

    // False when the person asked to stop: the busy flag and the stop request are then cleared.
    bool Step();
    // Lets the window handle events while the operation waits between items, without a
    // progress step; false when the person asked to stop, as Step().
    bool KeepResponsive();
    bool Stopped() const { return FStopped; }
    // The operation cannot be stopped: a click on the list does not offer it.
    void RefuseStop();
    // A new phase of the same operation: its status text and number of steps.
    void SetPhase(const QString& statusText, int steps);

private:
    TMainWindowState& FState;
    std::vector<TCommand> FDisabled;
    bool FStopped = false;
};
