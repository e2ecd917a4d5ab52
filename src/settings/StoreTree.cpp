#include "settings/StoreTree.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <limits>

bool SameStoreName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

const TStoreKey* TStoreKey::FindSubKey(const QString& name) const {
    for (const TStoreKey& key : SubKeys)
        if (SameStoreName(key.Name, name))
            return &key;
    return nullptr;
}

TStoreKey* TStoreKey::FindSubKey(const QString& name) {
    return const_cast<TStoreKey*>(std::as_const(*this).FindSubKey(name));
}

const TStoreKey* TStoreKey::FindPath(const QStringList& names) const {
    const TStoreKey* key = this;
    for (const QString& name : names) {
        key = key->FindSubKey(name);
        if (!key)
            return nullptr;
    }
    return key;
}

TStoreKey* TStoreKey::FindPath(const QStringList& names) {
    return const_cast<TStoreKey*>(std::as_const(*this).FindPath(names));
}

TStoreKey& TStoreKey::CreatePath(const QStringList& names) {
    TStoreKey* key = this;
    for (const QString& name : names) {
        TStoreKey* next = key->FindSubKey(name);
        if (!next) {
            key->SubKeys.push_back(TStoreKey{name, {}, {}});
            next = &key->SubKeys.back();
        }
        key = next;
    }
    return *key;
}

bool TStoreKey::RemoveSubKey(const QString& name) {
    const auto it = std::find_if(SubKeys.begin(), SubKeys.end(),
                                 [&](const TStoreKey& k) { return SameStoreName(k.Name, name); });
    if (it == SubKeys.end())
        return false;
    SubKeys.erase(it);
    return true;
}

const TStoreValue* TStoreKey::FindValue(const QString& name) const {
    for (const auto& [valueName, value] : Values)
        if (SameStoreName(valueName, name))
            return &value;
    return nullptr;
}

void TStoreKey::SetValue(const QString& name, TStoreValue value) {
    for (auto& [valueName, existing] : Values)
        if (SameStoreName(valueName, name)) {
            existing = std::move(value);
            return;
        }
    Values.emplace_back(name, std::move(value));
}

bool TStoreKey::RemoveValue(const QString& name) {
    const auto it = std::find_if(Values.begin(), Values.end(),
                                 [&](const auto& v) { return SameStoreName(v.first, name); });
    if (it == Values.end())
        return false;
    Values.erase(it);
    return true;
}

namespace {

const QString KeysField = QStringLiteral("keys");
const QString ValuesField = QStringLiteral("values");
const QString NameField = QStringLiteral("name");
const QString IntegerField = QStringLiteral("integer");
const QString StringField = QStringLiteral("string");
const QString BinaryField = QStringLiteral("binary");

// The file is written by hand rather than through QJsonObject, which sorts members: a person
// reading the file sees each key's name first and one value per line.
QByteArray JsonString(const QString& text) {
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2); // strip the brackets of ["..."]
}

void WriteKeyBody(QByteArray& out, const TStoreKey& key, int depth, const QByteArray& nameMember) {
    const QByteArray indent(depth * 2, ' ');
    QByteArrayList members;
    if (!nameMember.isEmpty())
        members.append(indent + "  " + nameMember);
    if (!key.Values.empty()) {
        QByteArray values = indent + "  \"values\": [\n";
        for (std::size_t i = 0; i < key.Values.size(); ++i) {
            const auto& [name, value] = key.Values[i];
            values += indent + "    {\"name\": " + JsonString(name) + ", ";
            if (const auto* n = std::get_if<qint32>(&value))
                values += "\"integer\": " + QByteArray::number(*n);
            else if (const auto* t = std::get_if<QString>(&value))
                values += "\"string\": " + JsonString(*t);
            else
                values += "\"binary\": \"" + std::get<QByteArray>(value).toBase64() + '"';
            values += i + 1 < key.Values.size() ? "},\n" : "}\n";
        }
        members.append(values + indent + "  ]");
    }
    if (!key.SubKeys.empty()) {
        QByteArray keys = indent + "  \"keys\": [\n";
        for (std::size_t i = 0; i < key.SubKeys.size(); ++i) {
            keys += indent + "    {\n";
            WriteKeyBody(keys, key.SubKeys[i], depth + 2,
                         "\"name\": " + JsonString(key.SubKeys[i].Name));
            keys += indent + (i + 1 < key.SubKeys.size() ? "    },\n" : "    }\n");
        }
        members.append(keys + indent + "  ]");
    }
    out += members.join(",\n");
    if (!members.isEmpty())
        out += '\n';
}

class TParser {
public:
    QString Error;

    bool ReadKey(const QJsonObject& object, TStoreKey& key, const QString& where) {
        const QJsonValue values = object.value(ValuesField);
        if (!values.isUndefined()) {
            if (!values.isArray())
                return Fail(where, QStringLiteral("\"values\" is not a list"));
            for (const QJsonValue& v : values.toArray())
                if (!ReadValue(v, key, where))
                    return false;
        }
        const QJsonValue keys = object.value(KeysField);
        if (!keys.isUndefined()) {
            if (!keys.isArray())
                return Fail(where, QStringLiteral("\"keys\" is not a list"));
            for (const QJsonValue& k : keys.toArray()) {
                const QJsonValue name = k.toObject().value(NameField);
                if (!k.isObject() || !name.isString() || name.toString().isEmpty() ||
                    name.toString().contains(u'\\'))
                    return Fail(where, QStringLiteral("a key without a valid name"));
                if (key.FindSubKey(name.toString()))
                    return Fail(where,
                                QStringLiteral("two keys named \"%1\"").arg(name.toString()));
                key.SubKeys.push_back(TStoreKey{name.toString(), {}, {}});
                if (!ReadKey(k.toObject(), key.SubKeys.back(), where + u'\\' + name.toString()))
                    return false;
            }
        }
        return true;
    }

private:
    bool Fail(const QString& where, const QString& what) {
        Error = QStringLiteral("%1 at \"%2\"")
                    .arg(what, where.isEmpty() ? QStringLiteral("\\") : where);
        return false;
    }

    bool ReadValue(const QJsonValue& v, TStoreKey& key, const QString& where) {
        const QJsonObject object = v.toObject();
        const QJsonValue name = object.value(NameField);
        if (!v.isObject() || !name.isString())
            return Fail(where, QStringLiteral("a value without a name"));
        if (key.FindValue(name.toString()))
            return Fail(where, QStringLiteral("two values named \"%1\"").arg(name.toString()));
        const QJsonValue integer = object.value(IntegerField);
        const QJsonValue string = object.value(StringField);
        const QJsonValue binary = object.value(BinaryField);
        if (int(!integer.isUndefined()) + int(!string.isUndefined()) + int(!binary.isUndefined()) !=
            1)
            return Fail(where,
                        QStringLiteral("value \"%1\" has no single kind").arg(name.toString()));
        if (!integer.isUndefined()) {
            const double d = integer.toDouble(std::nan(""));
            if (!integer.isDouble() || d != std::floor(d) ||
                d < std::numeric_limits<qint32>::min() || d > std::numeric_limits<qint32>::max())
                return Fail(
                    where,
                    QStringLiteral("value \"%1\" is not a 32-bit integer").arg(name.toString()));
            key.Values.emplace_back(name.toString(), static_cast<qint32>(d));
        } else if (!string.isUndefined()) {
            if (!string.isString())
                return Fail(where,
                            QStringLiteral("value \"%1\" is not a string").arg(name.toString()));
            key.Values.emplace_back(name.toString(), string.toString());
        } else {
            const auto decoded = QByteArray::fromBase64Encoding(
                binary.toString().toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
            if (!binary.isString() || !decoded)
                return Fail(where,
                            QStringLiteral("value \"%1\" is not base64 data").arg(name.toString()));
            key.Values.emplace_back(name.toString(), decoded.decoded);
        }
        return true;
    }
};

} // namespace

QByteArray SerializeStore(const TStoreKey& root) {
    QByteArray out = "{\n";
    WriteKeyBody(out, root, 0, "\"format\": \"Varnholm settings 1\"");
    out += "}\n";
    return out;
}

std::optional<TStoreKey> ParseStore(const QByteArray& bytes, QString* error) {
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    QString why;
    TStoreKey root;
    if (document.isNull()) {
        why =
            QStringLiteral("%1 at offset %2").arg(parseError.errorString()).arg(parseError.offset);
    } else if (!document.isObject()) {
        why = QStringLiteral("the file does not hold a settings object");
    } else {
        TParser parser;
        if (parser.ReadKey(document.object(), root, QString()))
            return root;
        why = parser.Error;
    }
    if (error)
        *error = why;
    return std::nullopt;
}
