#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <variant>
#include <vector>

// One value of the settings store in the kind it was written: a 32-bit integer, a string or
// binary data.
using TStoreValue = std::variant<qint32, QString, QByteArray>;

// A key of the settings store: named sub-keys and named values, kept in the order they were
// created. Names compare without regard to case; a name keeps the spelling it was created with.
// The value with the empty name is the key's unnamed value.
struct TStoreKey {
    QString Name;
    std::vector<std::pair<QString, TStoreValue>> Values;
    std::vector<TStoreKey> SubKeys;

    const TStoreKey* FindSubKey(const QString& name) const;
    TStoreKey* FindSubKey(const QString& name);
    // The sub-key reached through the names, or nullptr when one of them is missing.
    const TStoreKey* FindPath(const QStringList& names) const;
    TStoreKey* FindPath(const QStringList& names);
    // The sub-key reached through the names, created with any missing key on the way.
    TStoreKey& CreatePath(const QStringList& names);
    bool RemoveSubKey(const QString& name);

    const TStoreValue* FindValue(const QString& name) const;
    // Replaces the value of that name (whatever its spelling) or appends a new one.
    void SetValue(const QString& name, TStoreValue value);
    bool RemoveValue(const QString& name);

    bool operator==(const TStoreKey&) const = default;
};

bool SameStoreName(const QString& a, const QString& b);

// The file form of a whole store: JSON with the tree of keys and values. The root key stands
// for the store's top (the platform's "current user"), so its name is not written.
QByteArray SerializeStore(const TStoreKey& root);
// nullopt when the bytes are not a store file; error then says why.
std::optional<TStoreKey> ParseStore(const QByteArray& bytes, QString* error = nullptr);
