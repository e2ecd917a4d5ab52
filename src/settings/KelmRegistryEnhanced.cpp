#include "settings/KelmRegistryEnhanced.h"

#include "support/PlatformFolders.h"

#include <cstring>

QString TKelmRegistryEnhanced::DefaultFileName() {
    return PlatformFolders::ConfigFolder() + QStringLiteral("/settings.json");
}

TKelmRegistryEnhanced::TKelmRegistryEnhanced(const QString& fileName, UiPort* ui)
    : FFile(fileName, ui) {}

QStringList TKelmRegistryEnhanced::SplitPath(const QString& path) {
    return path.split(u'\\', Qt::SkipEmptyParts);
}

TKelmRegistryEnhanced::TValuePath TKelmRegistryEnhanced::SplitValuePath(const QString& path) {
    TValuePath result;
    result.Keys = SplitPath(path);
    if (!result.Keys.isEmpty())
        result.Name = result.Keys.takeLast();
    return result;
}

QStringList TKelmRegistryEnhanced::RootPath() const {
    return SplitPath(FKey);
}

const TStoreKey* TKelmRegistryEnhanced::FindKey(const QStringList& keys) const {
    const QStringList root = RootPath();
    if (root.isEmpty())
        return nullptr;
    return FFile.Read().FindPath(root + keys);
}

const TStoreValue* TKelmRegistryEnhanced::FindValue(const QString& AValue) const {
    const TValuePath path = SplitValuePath(AValue);
    const TStoreKey* key = FindKey(path.Keys);
    return key ? key->FindValue(path.Name) : nullptr;
}

bool TKelmRegistryEnhanced::ModifyKey(const QStringList& keys, bool create,
                                      const std::function<bool(TStoreKey&)>& change) {
    const QStringList root = RootPath();
    if (root.isEmpty())
        return false;
    bool found = true;
    const bool stored = FFile.Modify([&](TStoreKey& tree) {
        TStoreKey* key = create ? &tree.CreatePath(root + keys) : tree.FindPath(root + keys);
        found = key != nullptr;
        return key && change(*key);
    });
    return stored && found;
}

bool TKelmRegistryEnhanced::KeyExists(const QString& ASubKey) const {
    return FindKey(SplitPath(ASubKey)) != nullptr;
}

bool TKelmRegistryEnhanced::SetStoreValue(const QString& AValue, const TStoreValue& AValueData) {
    const TValuePath path = SplitValuePath(AValue);
    return ModifyKey(path.Keys, true, [&](TStoreKey& key) {
        const TStoreValue* old = key.FindValue(path.Name);
        if (old && *old == AValueData)
            return false;
        key.SetValue(path.Name, AValueData);
        return true;
    });
}

bool TKelmRegistryEnhanced::SetValue(const QString& AValue, bool AValueData) {
    return SetStoreValue(AValue, qint32(AValueData ? 1 : 0));
}

bool TKelmRegistryEnhanced::SetValue(const QString& AValue, int AValueData) {
    return SetStoreValue(AValue, qint32(AValueData));
}

bool TKelmRegistryEnhanced::SetValue(const QString& AValue, const QString& AValueData) {
    return SetStoreValue(AValue, AValueData);
}

bool TKelmRegistryEnhanced::SetValue(const QString& AValue, const char* AValueData) {
    return SetStoreValue(AValue, QString::fromUtf8(AValueData));
}

bool TKelmRegistryEnhanced::SetValue(const QString& AValue, double AValueData) {
    QByteArray bytes(sizeof AValueData, Qt::Uninitialized);
    std::memcpy(bytes.data(), &AValueData, sizeof AValueData);
    return SetStoreValue(AValue, bytes);
}

bool TKelmRegistryEnhanced::SetValue(const QString& AValue, const QByteArray& AValueData) {
    return SetStoreValue(AValue, AValueData);
}

QVariant TKelmRegistryEnhanced::GetValueDefault(const QString& AValue,
                                                const QVariant& AValueDataDefault) const {
    const TStoreValue* value = FindValue(AValue);
    if (!value)
        return AValueDataDefault;
    if (const auto* i = std::get_if<qint32>(value))
        return QVariant(int(*i));
    if (const auto* s = std::get_if<QString>(value))
        return QVariant(*s);
    return QVariant(int(std::get<QByteArray>(*value).size()));
}

bool TKelmRegistryEnhanced::DeleteKey(const QString& AKey) {
    QStringList keys = SplitPath(AKey);
    if (keys.isEmpty())
        return false;
    const QString name = keys.takeLast();
    bool removed = false;
    return ModifyKey(keys, false,
                     [&](TStoreKey& parent) { return removed = parent.RemoveSubKey(name); }) &&
           removed;
}

bool TKelmRegistryEnhanced::DeleteValue(const QString& AValue) {
    const TValuePath path = SplitValuePath(AValue);
    bool removed = false;
    return ModifyKey(path.Keys, false,
                     [&](TStoreKey& key) { return removed = key.RemoveValue(path.Name); }) &&
           removed;
}

bool TKelmRegistryEnhanced::ReplaceKey(const QString& ASubKey,
                                       const std::function<void(TStoreKey&)>& fill) {
    const QStringList keys = SplitPath(ASubKey);
    if (keys.isEmpty())
        return false;
    return ModifyKey({}, true, [&](TStoreKey& root) {
        const bool existed = root.FindPath(keys) != nullptr;
        TStoreKey& key = root.CreatePath(keys);
        const TStoreKey before = key;
        key.Values.clear();
        key.SubKeys.clear();
        fill(key);
        return !existed || !(key == before);
    });
}

TKelmRegistryEnhanced::TBatch::TBatch(TKelmRegistryEnhanced& store, Mode mode) : FStore(&store) {
    FStore->FFile.BeginBatch(mode == Mode::Write);
}

TKelmRegistryEnhanced::TBatch::~TBatch() {
    Commit();
}

bool TKelmRegistryEnhanced::TBatch::Commit() {
    if (!FStore)
        return true;
    const bool ok = FStore->FFile.EndBatch();
    FStore = nullptr;
    return ok;
}
