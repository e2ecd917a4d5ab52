#pragma once

#include <QByteArray>
#include <memory>

// Lists the folders below a start folder on a few threads of its own, ahead of a walk that lists
// them one after the other. On a cold disk or a share every listing waits for the storage, which
// answers many requests at once; and while a browse reads its files on many threads, a walk
// asking for one folder at a time is served last. What the prefetch reads only fills the
// system's caches: the walk lists every folder itself, so what it finds never depends on it.
//
// Like the walk, it enters no hidden folder; unlike the walk it follows no symbolic link, so
// that it needs no record of where it has been.
class TFolderPrefetch {
public:
    explicit TFolderPrefetch(const QByteArray& folder);
    // Stops: listings in flight finish, the rest is dropped.
    ~TFolderPrefetch();
    TFolderPrefetch(const TFolderPrefetch&) = delete;
    TFolderPrefetch& operator=(const TFolderPrefetch&) = delete;

private:
    struct TShared;
    std::unique_ptr<TShared> FShared;
};
