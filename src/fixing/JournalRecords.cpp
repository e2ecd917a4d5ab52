#include "fixing/JournalRecords.h"

#include "fixing/RunJournal.h"

#include <algorithm>
#include <charconv>
#include <openssl/evp.h>

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

void AppendBase64(QByteArray& out, QByteArrayView bytes) {
    const qsizetype at = out.size();
    // Four characters for every three bytes begun, and the terminating zero the encoder adds.
    out.resize(at + (bytes.size() + 2) / 3 * 4 + 1);
    const int written =
        EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data() + at),
                        reinterpret_cast<const unsigned char*>(bytes.data()), int(bytes.size()));
    out.truncate(at + written);
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

void AppendState(QByteArray& out, char kind, int number, const TJournalFileState& state) {
    const bool withTags = kind == 'b';
    const qsizetype padding = withTags ? TrailingZeros(state.ID3v2) : 0;
    // The buffer holds the records of many files: it grows by doubling, not by each record.
    const qsizetype need =
        400 + state.Path.size() * 3 +
        (withTags ? (state.ID3v2.size() - padding + state.ID3v1.size()) * 4 / 3 : 0);
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
        AppendField(out, "v2pad", padding);
        out += ",\"v2\":\"";
        AppendBase64(out, QByteArrayView(state.ID3v2).first(state.ID3v2.size() - padding));
        out += "\",\"v1\":\"";
        AppendBase64(out, state.ID3v1);
        out += '"';
    }
    out += "}\n";
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

std::optional<TJournalFileState> StateFrom(const QJsonObject& o, bool withTags) {
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
        state.ID3v2 = QByteArray::fromBase64(o.value(u"v2").toString().toLatin1());
        state.ID3v1 = QByteArray::fromBase64(o.value(u"v1").toString().toLatin1());
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
