#include "discovery/MP3FileSearch.h"

#include "settings/OptionSet.h"
#include "support/Error.h"

void PrepareMP3FileSearch(TKelmFileFind& find, const QString& folder, const TOptionSet& options) {
    find.SetFilePattern(MP3FilePattern);
    find.SetFileType(MP3SearchFileType);
    find.SetRecursive(options.Recursive);
    find.SetStartDirs({folder});
}

const QStringList& RunMP3FileSearch(TKelmFileFind& find, const TOptionSet& options) {
    try {
        find.Execute();
    } catch (const TError&) {
        // A search that ran out of memory still lists what it found.
    }
    if (options.LimitSearchDepth)
        find.FilterFilesFoundDepth(0, options.MaxSearchDepth);
    return find.FilesFound();
}
