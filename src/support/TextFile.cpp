#include "support/TextFile.h"

#include "support/Error.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

namespace TextFile {

namespace {

// Windows-1252 differs from ISO-8859-1 only in 0x80..0x9F; the five holes map to themselves.
constexpr char16_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool StartsWith(const QByteArray& bytes, std::initializer_list<unsigned char> prefix) {
    if (bytes.size() < qsizetype(prefix.size()))
        return false;
    qsizetype i = 0;
    for (unsigned char c : prefix)
        if (static_cast<unsigned char>(bytes[i++]) != c)
            return false;
    return true;
}

} // namespace

QString DecodeWindows1252(const QByteArray& bytes) {
    QString result(bytes.size(), Qt::Uninitialized);
    QChar* out = result.data();
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        *out++ = (b >= 0x80 && b <= 0x9F) ? QChar(Cp1252High[b - 0x80]) : QChar(b);
    }
    return result;
}

QString Decode(const QByteArray& bytes) {
    if (StartsWith(bytes, {0xEF, 0xBB, 0xBF}))
        return QString::fromUtf8(bytes.mid(3));
    if (StartsWith(bytes, {0xFF, 0xFE}) || StartsWith(bytes, {0xFE, 0xFF})) {
        QStringDecoder decoder(bytes[0] == '\xFF' ? QStringDecoder::Utf16LE
                                                  : QStringDecoder::Utf16BE);
        return decoder.decode(bytes.mid(2));
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return DecodeWindows1252(bytes);
}

QString Read(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw TError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, file.errorString()));
    return Decode(file.readAll());
}

QStringList SplitLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

bool WriteAtomically(const QString& path, const QByteArray& bytes, QString* error) {
    QSaveFile file(path);
    const bool written =
        file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
    // An uncommitted file removes its temporary file when it goes.
    if (!written && error)
        *error = file.errorString();
    return written;
}

QByteArray EncodeLines(const QStringList& lines, Bom bom) {
    QByteArray bytes;
    if (bom == Bom::With)
        bytes.append("\xEF\xBB\xBF");
    for (const QString& line : lines) {
        bytes.append(line.toUtf8());
        bytes.append("\r\n");
    }
    return bytes;
}

bool WriteLines(const QString& path, const QStringList& lines, Bom bom) {
    return WriteAtomically(path, EncodeLines(lines, bom));
}

} // namespace TextFile
