#pragma once

#include <QString>
#include <QStringList>

// Where the reference data live: the data folder (settings value DefFilesPath) holds the
// supplied files, the learned-data folder (AdvancedLibraryFilesPath) the learned ones.
namespace DataFolders {

// The folder with a trailing "/" (the root stays "/"); empty stays empty.
QString WithTrailingSlash(const QString& folder);

// The data folder for a DefFilesPath value, ending in "/". An empty value means the per-user
// data folder rather than the file-system root.
QString DataFolderFromSetting(const QString& defFilesPath);

// The learned-data folder for an AdvancedLibraryFilesPath value, ending in "/". An empty value
// means the data folder: learning stays on, in a folder the user owns.
QString LearnedDataFolderFromSetting(const QString& advancedLibraryFilesPath,
                                     const QString& dataFolder);

// Creates the data folder when needed and copies into it each supplied data file (genres,
// artist exceptions) that it lacks, from the installed data folder. The user's own "My" files
// and files already there are never touched. Returns the names copied; failures are left for
// the loading to meet as missing files.
QStringList SeedDataFolder(const QString& dataFolder, const QString& installedDataFolder);

} // namespace DataFolders
