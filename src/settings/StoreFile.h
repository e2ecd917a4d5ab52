#pragma once

#include "settings/StoreTree.h"

#include <QString>
#include <functional>
#include <memory>

class UiPort;
class TStoreFileLock;

// The settings file of one user: the whole key tree as JSON. Reads take the file as it is now,
// so another running instance's writes are seen at once. Every change re-reads the file under
// an advisory lock, applies itself and replaces the file atomically; a batch holds the lock
// over several changes and writes once.
//
// A file that cannot be parsed is never overwritten: it is renamed to "<name>.bad" (or
// "<name>.bad.1", ...), one warning says so, and the store starts empty. A file that exists but
// cannot be read gives empty reads and refuses changes, so it is not replaced by an empty tree.
class TSettingsFile {
public:
    explicit TSettingsFile(QString fileName, UiPort* ui = nullptr);
    ~TSettingsFile();

    const QString& FileName() const { return FFileName; }

    // The tree as stored now (the batch's tree while a batch is open).
    const TStoreKey& Read();

    // Applies the change to the stored tree; the change answers whether it changed anything.
    // False when the change could not be stored (LastError says why).
    bool Modify(const std::function<bool(TStoreKey&)>& change);

    // Batches nest; the outermost decides. A writing batch holds the lock and EndBatch writes;
    // changes made while the lock could not be had fail, and EndBatch then answers false.
    // A reading batch reads the file once and takes no lock; changes inside it fail.
    void BeginBatch(bool forWriting);
    bool EndBatch();

    const QString& LastError() const { return FLastError; }

private:
    enum class LoadResult { Loaded, Missing, Unreadable, Damaged };
    LoadResult LoadFile(TStoreKey& tree, QString& error) const;
    // Loads the tree without holding the lock; a damaged file is set aside under the lock.
    void LoadUnlocked(TStoreKey& tree);
    // Loads the tree while this instance holds the lock, setting damaged files aside.
    bool LoadLocked(TStoreKey& tree);
    void SetDamagedFileAside(const QString& parseError);
    bool WriteLocked(const TStoreKey& tree);
    std::unique_ptr<TStoreFileLock> Lock();

    QString FFileName;
    UiPort* FUi;
    TStoreKey FSnapshot;
    QString FLastError;
    bool FDamageReported = false;

    int FBatchDepth = 0;
    std::unique_ptr<TStoreFileLock> FBatchLock;
    TStoreKey FBatchTree;
    bool FBatchUsable = false;
    bool FReadingOnly = false; // an outer batch opened for reading only: no lock, no file moved
    bool FBatchChanged = false;
    bool FBatchFailed = false;
};
