#include "fixing/JournalRecords.h"

#include "fixing/RunJournal.h"

#include <algorithm>
#include <charconv>

namespace JournalRecords {

namespace {

constexpr char HexDigits[] = "0123456789abcdef";

void AppendNumber(QByteArray& out, qint64 value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end - digits);
}

// A JSON string: quotes, backslashes and control characters escaped, the rest as UTF-8.
void AppendString(QByteArray& out, const QString& text) {
    out += '"';
    for (const char c : text.toUtf8()) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            out += "\\u00";
            out += HexDigits[byte >> 4];
            out += HexDigits[byte & 0xF];
        } else {
            out += c;
        }
    }
    out += '"';
}

void AppendHex(QByteArray& out, const QByteArray& bytes) {
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        out += HexDigits[byte >> 4];
        out += HexDigits[byte & 0xF];
    }
}

// Fields are numbers in strings: JSON readers may take a plain number as a double, which holds
// a time in nanoseconds only to the microsecond.
void AppendField(QByteArray& out, const char* key, qint64 value) {
    out += ",\"";
    out += key;
    out += "\":\"";
    AppendNumber(out, value);
    out += '"';
}

void AppendKind(QByteArray& out, char kind, int number) {
    out += "{\"k\":\"";
    out += kind;
    out += "\",\"n\":";
    AppendNumber(out, number);
}

qsizetype TrailingZeros(const QByteArray& bytes) {
    qsizetype count = 0;
    for (qsizetype i = bytes.size(); i > 0 && bytes.at(i - 1) == '\0'; --i)
        ++count;
    return count;
}

qint64 Number(const QJsonObject& o, QStringView key, bool* ok) {
    bool good = false;
    const qint64 value = o.value(key).toString().toLongLong(&good);
    *ok = *ok && good;
    return value;
}

} // namespace

void TBuffer::AppendBytes(const QByteArray& bytes, qsizetype length) {
    if (length <= 0)
        return;
    FBytes.append({FText.size(), bytes, length});
    FBytesSize += length;
}

void TBuffer::Clear() {
    FText.truncate(0);
    FBytes.clear();
    FBytesSize = 0;
}

void TBuffer::AddTo(std::vector<iovec>& parts) const {
    qsizetype at = 0;
    const auto addText = [&](qsizetype end) {
        if (end > at)
            parts.push_back({const_cast<char*>(FText.constData() + at), size_t(end - at)});
        at = end;
    };
    for (const TBytes& bytes : FBytes) {
        addText(bytes.TextEnd);
        parts.push_back({const_cast<char*>(bytes.Bytes.constData()), size_t(bytes.Length)});
    }
    addText(FText.size());
}

void AppendState(TBuffer& buffer, char kind, int number, const TJournalFileState& state) {
    const bool withTags = kind == 'b';
    QByteArray& out = buffer.Text();
    // The text holds the records of many files: it grows by doubling, not by each record.
    const qsizetype need = 400 + state.Path.size() * 3;
    if (out.capacity() - out.size() < need)
        out.reserve(std::max(out.size() + need, out.capacity() * 2));
    AppendKind(out, kind, number);
    out += ",\"path\":";
    AppendString(out, state.Path);
    AppendField(out, "size", state.Size);
    AppendField(out, "time", state.TimeNs);
    AppendField(out, "v2size", state.ID3v2Size);
    AppendField(out, "v1size", state.ID3v1Size);
    out += ",\"v2digest\":\"";
    AppendHex(out, state.ID3v2Digest);
    out += "\",\"v1digest\":\"";
    AppendHex(out, state.ID3v1Digest);
    out += '"';
    if (withTags) {
        const qsizetype padding = TrailingZeros(state.ID3v2);
        AppendField(out, "v2pad", padding);
        out += "}\n";
        buffer.AppendBytes(state.ID3v2, state.ID3v2.size() - padding);
        buffer.AppendBytes(state.ID3v1, state.ID3v1.size());
    } else {
        out += "}\n";
    }
}

void AppendMove(QByteArray& out, int number, const QString& to) {
    AppendKind(out, 'm', number);
    out += ",\"to\":";
    AppendString(out, to);
    out += "}\n";
}

void AppendUnchanged(QByteArray& out, int number) {
    AppendKind(out, 'u', number);
    out += "}\n";
}

qsizetype TagBytesAfter(const QJsonObject& o, int format) {
    if (format < 2 || o.value(u"k").toString() != u"b")
        return 0;
    bool ok = true;
    const qint64 v2 = Number(o, u"v2size", &ok) - Number(o, u"v2pad", &ok);
    const qint64 v1 = Number(o, u"v1size", &ok);
    return ok && v2 >= 0 && v1 >= 0 ? qsizetype(v2 + v1) : -1;
}

std::optional<TJournalFileState> StateFrom(const QJsonObject& o, int format, bool withTags,
                                           QByteArrayView tagBytes) {
    bool ok = o.value(u"path").isString();
    TJournalFileState state;
    state.Path = o.value(u"path").toString();
    state.Size = Number(o, u"size", &ok);
    state.TimeNs = Number(o, u"time", &ok);
    state.ID3v2Size = Number(o, u"v2size", &ok);
    state.ID3v1Size = Number(o, u"v1size", &ok);
    state.ID3v2Digest = QByteArray::fromHex(o.value(u"v2digest").toString().toLatin1());
    state.ID3v1Digest = QByteArray::fromHex(o.value(u"v1digest").toString().toLatin1());
    if (withTags) {
        // Records without the padding count hold the whole area.
        const qint64 padding = o.contains(u"v2pad") ? Number(o, u"v2pad", &ok) : 0;
        if (format < 2) {
            state.ID3v2 = QByteArray::fromBase64(o.value(u"v2").toString().toLatin1());
            state.ID3v1 = QByteArray::fromBase64(o.value(u"v1").toString().toLatin1());
        } else if (ok && state.ID3v1Size >= 0 && state.ID3v1Size <= tagBytes.size()) {
            state.ID3v2 = tagBytes.first(tagBytes.size() - state.ID3v1Size).toByteArray();
            state.ID3v1 = tagBytes.last(state.ID3v1Size).toByteArray();
        }
        ok = ok && padding >= 0 && state.ID3v2.size() + padding == state.ID3v2Size &&
             state.ID3v1.size() == state.ID3v1Size;
        if (ok)
            state.ID3v2.append(qsizetype(padding), '\0');
    }
    if (!ok)
        return std::nullopt;
    return state;
}

} // namespace JournalRecords
