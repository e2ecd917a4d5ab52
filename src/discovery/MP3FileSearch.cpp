#include "discovery/MP3FileSearch.h"

#include "settings/OptionSet.h"
#include "support/Error.h"

void PrepareMP3FileSearch(TKelmFileFind& find, const QString& folder, const TOptionSet& options) {
    find.SetFilePattern(MP3FilePattern);
    find.SetFileType(MP3SearchFileType);
    find.SetRecursive(options.Recursive);
    find.SetStartDirs({folder});
}

const QStringList& RunMP3FileSearch(TKelmFileFind& find, const TOptionSet& options,
                                    const TMP3FilesFound& onFound) {
    // Taken once: the options may change while the walk lets the window handle events.
    const bool limitDepth = options.LimitSearchDepth;
    const int maxDepth = options.MaxSearchDepth;
    const auto wanted =
        limitDepth ? find.DepthFilter(0, maxDepth) : std::function<bool(const QString&)>();
    // Hands over the files appended since the last call.
    qsizetype handed = 0;
    const auto handOver = [&](qsizetype found) {
        QStringList files;
        for (; handed < found; ++handed) {
            const QString& file = find.FilesFound()[handed];
            if (!wanted || wanted(file))
                files.append(file);
        }
        return onFound(files);
    };
    if (onFound)
        find.SetOnFolder([&](const QString&, qsizetype found) { return handOver(found); });
    try {
        find.Execute();
    } catch (const TError&) {
        // A search that ran out of memory still lists what it found.
    }
    if (onFound) {
        find.SetOnFolder({});
        if (!find.Stopped())
            handOver(find.FilesFound().size());
    }
    if (limitDepth)
        find.FilterFilesFoundDepth(0, maxDepth);
    return find.FilesFound();
}
