#include "ui/MainWindowState.h"

#include "refdata/DataFileNames.h"
#include "refdata/DataFolders.h"
#include "settings/OptionPersistence.h"
#include "settings/StoreNames.h"
#include "support/Error.h"
#include "support/PlatformFolders.h"
#include "ui/Version.h"

#include <QCoreApplication>
#include <QFileInfo>

TMainWindowPaths TMainWindowPaths::Defaults() {
    TMainWindowPaths paths;
    paths.StoreFileName = TKelmRegistryEnhanced::DefaultFileName();
    paths.LogFileName = TKelmLogFile::DefaultFileName();
    paths.InstalledDataFolder = PlatformFolders::InstalledDataFolder();
    // Only for bench/run-fix-bench.sh, which measures what the journal costs: no folder, no
    // journal.
    if (!qEnvironmentVariableIsSet("VARNHOLM_BENCH_NO_JOURNAL"))
        paths.JournalFolder = PlatformFolders::DataFolder() + QStringLiteral("/journal");
    if (QCoreApplication::instance())
        paths.ApplicationFolder = QCoreApplication::applicationDirPath();
    return paths;
}

void TMainWindowState::Startup() {
    FOptionDefaults = TOptionDefaults::FromPlatform();
    FStore.GetMenu(StoreNames::BrowseHistory, FBrowseHistory);
    FStore.GetMenu(StoreNames::OpenHistory, FOpenHistory);

    const QString defFilesPath =
        FStore.GetValueDefault(StoreNames::DefFilesPath, QString()).toString();
    const QString learnedPath =
        FStore.GetValueDefault(StoreNames::AdvancedLibraryFilesPath, QString()).toString();
    if (!FPaths.ReadOnly)
        DataFolders::SeedDataFolder(DataFolders::DataFolderFromSetting(defFilesPath),
                                    FPaths.InstalledDataFolder);
    FReferenceData.Load(defFilesPath, learnedPath, FUi,
                        FPaths.ReadOnly ? FPaths.InstalledDataFolder : QString());

    // The update list of the data folder, else the one installed with the program.
    QString updateList = FReferenceData.DataFolder() + DataFileNames::UpdateList;
    if (!QFileInfo::exists(updateList))
        updateList =
            DataFolders::WithTrailingSlash(FPaths.InstalledDataFolder) + DataFileNames::UpdateList;
    FUpdateDataFilesKelmFlatFile.SetFileName(updateList);
    try {
        FUpdateDataFilesKelmFlatFile.Initialize();
    } catch (const TError& e) {
        FUi.ShowMessage(UiPort::MessageKind::Error, e.Message());
    }

    FListView.Sort(0, true);
    LoadAndApplyOptions();
}

TOptionSet TMainWindowState::ReadOptionsFromStore() {
    return LoadOptionsFromRegistry(FStore, FOptionDefaults,
                                   ReadGenreFileLines(FReferenceData.DataFolder()),
                                   FUpdateDataFilesKelmFlatFile.Values());
}

void TMainWindowState::LoadAndApplyOptions() {
    FOptions = ReadOptionsFromStore();
    ApplyOptions();
}

void TMainWindowState::ApplyOptions() {
    TOptionTargets targets;
    targets.SetFileSearchRecursive = [this](bool recursive) { FFileFind.SetRecursive(recursive); };
    targets.MainListColumnWidths = MainListColumnWidths;
    targets.SetMainListColumnWidths = SetMainListColumnWidths;
    ActivateOptions(FOptions, FStore, targets);
    // The tool folders decide whether the tool commands can run.
    UpdateCommandStates();
}

void TMainWindowState::Shutdown(TRowsAtShutdown rows) {
    if (FShutDown)
        return;
    FShutDown = true;
    if (!FPaths.ReadOnly) {
        TKelmRegistryEnhanced::TBatch batch(FStore);
        if (FOptions.RememberColumnsSize && MainListColumnWidths)
            FStore.SetListViewInfo(StoreNames::MainWindowListViewInfo, MainListColumnWidths());
        else if (!FOptions.RememberColumnsSize)
            FStore.DeleteKey(StoreNames::ListViewInfoKey);
        if (!FPaths.ApplicationFolder.isEmpty())
            FStore.SetValue(StoreNames::ApplicationPath,
                            DataFolders::WithTrailingSlash(FPaths.ApplicationFolder));
        FStore.SetValue(StoreNames::Version, VersionTextWithBuild());
        FStore.SetMenu(StoreNames::BrowseHistory, FBrowseHistory);
        FStore.SetMenu(StoreNames::OpenHistory, FOpenHistory);
        batch.Commit();
        if (FReferenceData.LearnedDataFolderPresent())
            FReferenceData.SaveLearnedData(FLog, FUi);
    }
    if (rows == TRowsAtShutdown::LeftToProcessEnd)
        return;
    ClearMainList();
    ClearMP3FileDataList(FCatalogue);
    FKeptTagBytes.Clear();
}
