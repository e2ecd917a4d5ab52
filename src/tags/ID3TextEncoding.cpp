#include "tags/ID3TextEncoding.h"

#include <algorithm>

namespace ID3Text {

namespace {

QString ReadSingleByte(QByteArrayView data, qsizetype& pos, bool utf8) {
    const qsizetype start = pos;
    const char* begin = data.data() + start;
    const char* end = data.data() + data.size();
    const char* zero = std::find(begin, end, '\0');
    pos = zero == end ? data.size() : (zero - data.data()) + 1;
    const QByteArrayView bytes(begin, zero - begin);
    return utf8 ? QString::fromUtf8(bytes) : QString::fromLatin1(bytes);
}

enum class Order { Little, Big };

QString ReadUnits(QByteArrayView data, qsizetype& pos, Order order, bool skipOnly) {
    const auto* bytes = reinterpret_cast<const uchar*>(data.data());
    QString text;
    qsizetype i = pos;
    for (; i + 1 < data.size(); i += 2) {
        const char16_t unit = order == Order::Little ? char16_t(bytes[i] | (bytes[i + 1] << 8))
                                                     : char16_t((bytes[i] << 8) | bytes[i + 1]);
        if (unit == 0) {
            pos = i + 2;
            return text;
        }
        if (!skipOnly)
            text.append(QChar(unit));
    }
    pos = data.size();
    return text;
}

QString ReadUtf16WithMark(QByteArrayView data, qsizetype& pos) {
    if (pos + 1 < data.size()) {
        const uchar first = uchar(data[pos]);
        const uchar second = uchar(data[pos + 1]);
        if (first == 0xFF && second == 0xFE) {
            pos += 2;
            return ReadUnits(data, pos, Order::Little, false);
        }
        if (first == 0xFE && second == 0xFF) {
            pos += 2;
            return ReadUnits(data, pos, Order::Big, false);
        }
    }
    ReadUnits(data, pos, Order::Little, true);
    return QString();
}

void AppendUnits(QByteArray& out, QStringView text, Order order) {
    const qsizetype at = out.size();
    out.resize(at + 2 * text.size());
    char* bytes = out.data() + at;
    for (const QChar c : text) {
        const char16_t unit = c.unicode();
        const char low = char(unit & 0xFF);
        const char high = char(unit >> 8);
        *bytes++ = order == Order::Little ? low : high;
        *bytes++ = order == Order::Little ? high : low;
    }
}

// As QString::toLatin1: a character above U+00FF becomes "?".
void AppendLatin1(QByteArray& out, QStringView text) {
    const qsizetype at = out.size();
    out.resize(at + text.size());
    char* bytes = out.data() + at;
    for (const QChar c : text)
        *bytes++ = c.unicode() > 0xFF ? '?' : char(c.unicode());
}

} // namespace

QString Read(QByteArrayView data, qsizetype& pos, TID3Encoding encoding) {
    if (pos >= data.size()) {
        pos = data.size();
        return QString();
    }
    switch (encoding) {
    case ienISO_8859_1:
        return ReadSingleByte(data, pos, false);
    case ienUTF_8:
        return ReadSingleByte(data, pos, true);
    case ienUTF_16:
        return ReadUtf16WithMark(data, pos);
    case ienUTF_16BE:
        return ReadUnits(data, pos, Order::Big, false);
    }
    return QString();
}

void AppendEncoded(QByteArray& out, QStringView text, TID3Encoding encoding,
                   Terminator terminator) {
    const bool wide = encoding == ienUTF_16 || encoding == ienUTF_16BE;
    switch (encoding) {
    case ienISO_8859_1:
        AppendLatin1(out, text);
        break;
    case ienUTF_8:
        out.append(text.toUtf8());
        break;
    case ienUTF_16:
        out.append("\xFF\xFE", 2);
        AppendUnits(out, text, Order::Little);
        break;
    case ienUTF_16BE:
        AppendUnits(out, text, Order::Big);
        break;
    }
    if (terminator == Terminator::With)
        out.append(wide ? 2 : 1, '\0');
}

QByteArray Encode(QStringView text, TID3Encoding encoding, Terminator terminator) {
    QByteArray out;
    out.reserve(encoding == ienUTF_16 || encoding == ienUTF_16BE ? 4 + 2 * text.size()
                                                                 : 1 + text.size());
    AppendEncoded(out, text, encoding, terminator);
    return out;
}

bool EncodesToNothing(QStringView text, TID3Encoding encoding) {
    // Every character gives at least one byte in every encoding.
    return text.isEmpty() && encoding != ienUTF_16;
}

bool NeedsUnicode(QStringView text) {
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() > 0xFF; });
}

TID3Encoding ChooseWriteEncoding(std::initializer_list<QStringView> texts) {
    for (const QStringView text : texts)
        if (NeedsUnicode(text))
            return ienUTF_16;
    return ienISO_8859_1;
}

TID3Encoding ChooseWriteEncoding(const QStringList& texts) {
    for (const QString& text : texts)
        if (NeedsUnicode(text))
            return ienUTF_16;
    return ienISO_8859_1;
}

} // namespace ID3Text
