#include "refdata/DataFolders.h"

#include "refdata/DataFileNames.h"
#include "support/PlatformFolders.h"
#include "support/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace DataFolders {

QString WithTrailingSlash(const QString& folder) {
    if (folder.isEmpty() || folder.endsWith(u'/'))
        return folder;
    return folder + u'/';
}

QString DataFolderFromSetting(const QString& defFilesPath) {
    return WithTrailingSlash(defFilesPath.isEmpty() ? PlatformFolders::DataFolder() : defFilesPath);
}

QString LearnedDataFolderFromSetting(const QString& advancedLibraryFilesPath,
                                     const QString& dataFolder) {
    return WithTrailingSlash(advancedLibraryFilesPath.isEmpty() ? dataFolder
                                                                : advancedLibraryFilesPath);
}

QStringList SeedDataFolder(const QString& dataFolder, const QString& installedDataFolder) {
    QStringList copied;
    if (dataFolder.isEmpty() || installedDataFolder.isEmpty() || !QDir().mkpath(dataFolder))
        return copied;
    const QString target = WithTrailingSlash(dataFolder);
    const QString source = WithTrailingSlash(installedDataFolder);
    for (const QString& name : {DataFileNames::MP3Genres, DataFileNames::MP3ArtistExceptions}) {
        if (QFileInfo::exists(target + name))
            continue;
        QFile original(source + name);
        if (!original.open(QIODevice::ReadOnly))
            continue;
        // Written in one step, so an interrupted first start never leaves half a file.
        if (TextFile::WriteAtomically(target + name, original.readAll()))
            copied.append(name);
    }
    return copied;
}

} // namespace DataFolders
