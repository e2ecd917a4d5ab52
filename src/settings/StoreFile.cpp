#include "settings/StoreFile.h"

#include "settings/StoreFileLock.h"
#include "support/TextFile.h"
#include "support/UiPort.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

TSettingsFile::TSettingsFile(QString fileName, UiPort* ui)
    : FFileName(std::move(fileName)), FUi(ui) {}

TSettingsFile::~TSettingsFile() {
    if (FBatchDepth > 0) {
        FBatchDepth = 1;
        EndBatch();
    }
}

TSettingsFile::LoadResult TSettingsFile::LoadFile(TStoreKey& tree, QString& error) const {
    tree = TStoreKey{};
    QFile file(FFileName);
    if (!file.exists())
        return LoadResult::Missing;
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return QFileInfo(FFileName).exists() ? LoadResult::Unreadable : LoadResult::Missing;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        error = file.errorString();
        return LoadResult::Unreadable;
    }
    if (bytes.trimmed().isEmpty()) // nothing to lose: an empty file is an empty store
        return LoadResult::Loaded;
    std::optional<TStoreKey> parsed = ParseStore(bytes, &error);
    if (!parsed)
        return LoadResult::Damaged;
    tree = std::move(*parsed);
    return LoadResult::Loaded;
}

std::unique_ptr<TStoreFileLock> TSettingsFile::Lock() {
    const QString folder = QFileInfo(FFileName).absolutePath();
    QDir().mkpath(folder);
    auto lock = std::make_unique<TStoreFileLock>(FFileName + QStringLiteral(".lock"));
    if (!lock->IsLocked())
        FLastError =
            QStringLiteral("cannot lock \"%1.lock\": %2").arg(FFileName, lock->ErrorString());
    return lock;
}

void TSettingsFile::SetDamagedFileAside(const QString& parseError) {
    QString aside = FFileName + QStringLiteral(".bad");
    for (int n = 1; QFileInfo::exists(aside); ++n)
        aside = FFileName + QStringLiteral(".bad.") + QString::number(n);
    // QFile::rename never replaces an existing file.
    const bool kept = QFile::rename(FFileName, aside);
    // A file that stays in place is met again at every read: say it once.
    if (!FUi || (!kept && FDamageReported))
        return;
    FDamageReported = !kept;
    const QString text =
        kept ? QStringLiteral("The settings file \"%1\" could not be read (%2). It has been kept "
                              "as \"%3\" and the default settings are used.")
                   .arg(FFileName, parseError, aside)
             : QStringLiteral("The settings file \"%1\" could not be read (%2). The default "
                              "settings are used and the file is left as it is.")
                   .arg(FFileName, parseError);
    FUi->ShowMessage(UiPort::MessageKind::Warning, text);
}

bool TSettingsFile::LoadLocked(TStoreKey& tree) {
    QString error;
    switch (LoadFile(tree, error)) {
    case LoadResult::Loaded:
    case LoadResult::Missing:
        return true;
    case LoadResult::Unreadable:
        FLastError = QStringLiteral("cannot read \"%1\": %2").arg(FFileName, error);
        return false;
    case LoadResult::Damaged:
        SetDamagedFileAside(error);
        if (QFileInfo::exists(FFileName)) {
            FLastError =
                QStringLiteral("\"%1\" is damaged and could not be set aside").arg(FFileName);
            return false;
        }
        tree = TStoreKey{};
        return true;
    }
    return false;
}

void TSettingsFile::LoadUnlocked(TStoreKey& tree) {
    QString error;
    if (LoadFile(tree, error) != LoadResult::Damaged)
        return;
    // Only the lock holder may move the file, and another instance may have replaced it
    // meanwhile: look again under the lock. A store opened for reading only (a dry run) leaves
    // the file, and the folder, as they are.
    const std::unique_ptr<TStoreFileLock> lock = FReadingOnly ? nullptr : Lock();
    if (lock && lock->IsLocked()) {
        if (!LoadLocked(tree))
            tree = TStoreKey{};
        return;
    }
    if (FUi && !FDamageReported)
        FUi->ShowMessage(UiPort::MessageKind::Warning,
                         QStringLiteral("The settings file \"%1\" could not be read (%2). The "
                                        "default settings are used.")
                             .arg(FFileName, error));
    FDamageReported = true;
    tree = TStoreKey{};
}

const TStoreKey& TSettingsFile::Read() {
    if (FBatchDepth > 0)
        return FBatchTree;
    LoadUnlocked(FSnapshot);
    return FSnapshot;
}

bool TSettingsFile::WriteLocked(const TStoreKey& tree) {
    if (!TextFile::WriteAtomically(FFileName, SerializeStore(tree))) {
        FLastError = QStringLiteral("cannot write \"%1\"").arg(FFileName);
        return false;
    }
    return true;
}

bool TSettingsFile::Modify(const std::function<bool(TStoreKey&)>& change) {
    if (FBatchDepth > 0) {
        if (!FBatchUsable) {
            FBatchFailed = true;
            return false;
        }
        if (change(FBatchTree))
            FBatchChanged = true;
        return true;
    }
    FLastError.clear();
    const std::unique_ptr<TStoreFileLock> lock = Lock();
    if (!lock->IsLocked())
        return false;
    TStoreKey tree;
    if (!LoadLocked(tree))
        return false;
    if (!change(tree))
        return true;
    return WriteLocked(tree);
}

void TSettingsFile::BeginBatch(bool forWriting) {
    if (FBatchDepth++ > 0)
        return;
    FBatchChanged = false;
    FBatchFailed = false;
    FLastError.clear();
    FBatchUsable = false;
    FReadingOnly = !forWriting;
    if (forWriting) {
        FBatchLock = Lock();
        FBatchUsable = FBatchLock->IsLocked() && LoadLocked(FBatchTree);
    } else {
        FLastError = QStringLiteral("the settings were opened for reading only");
    }
    // Reads inside the batch still see what can be read.
    if (!FBatchUsable)
        LoadUnlocked(FBatchTree);
}

bool TSettingsFile::EndBatch() {
    if (FBatchDepth == 0 || --FBatchDepth > 0)
        return true;
    bool ok = !FBatchFailed;
    if (FBatchUsable && FBatchChanged)
        ok = WriteLocked(FBatchTree) && ok;
    FBatchLock.reset();
    FBatchTree = TStoreKey{};
    FReadingOnly = false;
    return ok;
}
