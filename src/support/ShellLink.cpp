#include "support/ShellLink.h"

#include "support/Error.h"
#include "support/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <optional>

namespace {

constexpr int MaxTargetLength = 260;
constexpr qsizetype MaxLinkFileSize = 1 << 20; // real shortcuts are a few kilobytes

// Link flags of the header.
constexpr quint32 HasLinkTargetIDList = 0x01;
constexpr quint32 HasLinkInfo = 0x02;
constexpr quint32 HasName = 0x04;
constexpr quint32 HasRelativePath = 0x08;
constexpr quint32 IsUnicode = 0x80;
// LinkInfo flags.
constexpr quint32 VolumeIDAndLocalBasePath = 0x01;

// Bounds-checked little-endian reads over the file's bytes.
class Reader {
public:
    explicit Reader(const QByteArray& bytes) : FBytes(bytes) {}

    std::optional<quint32> U32(qsizetype at) const { return Unsigned(at, 4); }
    std::optional<quint32> U16(qsizetype at) const { return Unsigned(at, 2); }

    // A NUL-terminated 8-bit string starting at `at`, read in the Windows code page.
    std::optional<QString> AnsiString(qsizetype at) const {
        if (at < 0 || at >= FBytes.size())
            return std::nullopt;
        const qsizetype end = FBytes.indexOf('\0', at);
        if (end < 0)
            return std::nullopt;
        return TextFile::DecodeWindows1252(FBytes.mid(at, end - at));
    }

    qsizetype Size() const { return FBytes.size(); }

private:
    std::optional<quint32> Unsigned(qsizetype at, int width) const {
        if (at < 0 || at + width > FBytes.size())
            return std::nullopt;
        quint32 value = 0;
        for (int i = width - 1; i >= 0; --i)
            value = (value << 8) | static_cast<unsigned char>(FBytes[at + i]);
        return value;
    }

    const QByteArray& FBytes;
};

QString ToLocalPath(QString windowsPath) {
    windowsPath.replace(u'\\', u'/');
    return windowsPath;
}

// The absolute target of the LinkInfo block: local base path plus common path suffix.
std::optional<QString> LinkInfoTarget(const Reader& r, qsizetype at) {
    const auto flags = r.U32(at + 8);
    const auto baseOffset = r.U32(at + 16);
    const auto suffixOffset = r.U32(at + 24);
    if (!flags || !baseOffset || !suffixOffset || !(*flags & VolumeIDAndLocalBasePath))
        return std::nullopt;
    const auto base = r.AnsiString(at + *baseOffset);
    const auto suffix = r.AnsiString(at + *suffixOffset);
    if (!base)
        return std::nullopt;
    return *base + suffix.value_or(QString());
}

struct ParsedLink {
    std::optional<QString> Absolute;
    std::optional<QString> Relative;
};

// A counted string of the string-data section: a 16-bit count of characters, then the
// characters in UTF-16 or the Windows code page. Advances `pos` past it.
std::optional<QString> CountedString(const QByteArray& bytes, const Reader& r, qsizetype& pos,
                                     bool unicode) {
    const auto count = r.U16(pos);
    const qsizetype length = count ? qsizetype(*count) * (unicode ? 2 : 1) : 0;
    if (!count || pos + 2 + length > r.Size())
        return std::nullopt;
    const QByteArray raw = bytes.mid(pos + 2, length);
    pos += 2 + length;
    if (!unicode)
        return TextFile::DecodeWindows1252(raw);
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(raw.constData()), *count);
}

std::optional<ParsedLink> Parse(const QByteArray& bytes) {
    const Reader r(bytes);
    static const QByteArray ShellLinkClsid =
        QByteArray::fromHex("0114020000000000c000000000000046");
    if (r.U32(0) != 0x4Cu || bytes.mid(4, 16) != ShellLinkClsid)
        return std::nullopt;
    const auto flags = r.U32(20);
    if (!flags)
        return std::nullopt;
    ParsedLink link;
    qsizetype at = 0x4C;
    if (*flags & HasLinkTargetIDList) {
        const auto idListSize = r.U16(at);
        if (!idListSize)
            return std::nullopt;
        at += 2 + *idListSize;
    }
    if (*flags & HasLinkInfo) {
        const auto infoSize = r.U32(at);
        if (!infoSize || *infoSize < 28)
            return std::nullopt;
        link.Absolute = LinkInfoTarget(r, at);
        at += *infoSize;
    }
    const bool unicode = *flags & IsUnicode;
    if ((*flags & HasName) && !CountedString(bytes, r, at, unicode))
        return link;
    if (*flags & HasRelativePath)
        link.Relative = CountedString(bytes, r, at, unicode);
    return link;
}

} // namespace

void TKelmShellLink::SetFileName(const QString& fileName) {
    QString name = fileName;
    if (!name.isEmpty() &&
        QFileInfo(name).suffix().compare(QStringLiteral("lnk"), Qt::CaseInsensitive) != 0)
        name = QFileInfo(name).path() + u'/' + QFileInfo(name).completeBaseName() +
               QStringLiteral(".lnk");
    if (name == FFileName)
        return;
    FFileName = name;
    FTarget.clear();
}

void TKelmShellLink::Read() {
    FTarget.clear();
    if (!QFileInfo(FFileName).isFile())
        throw TError(QStringLiteral("Link not found."));
    QFile file(FFileName);
    if (file.size() > MaxLinkFileSize || !file.open(QIODevice::ReadOnly))
        throw TError(QStringLiteral("Read error."));
    const QByteArray bytes = file.readAll();
    const auto link = Parse(bytes);
    if (!link)
        throw TError(QStringLiteral("Read error."));
    // A Windows absolute path rarely exists here; a relative one, resolved against the folder of
    // the shortcut, does when the shortcut travelled with the music it points to.
    QStringList candidates;
    if (link->Absolute)
        candidates << ToLocalPath(*link->Absolute);
    if (link->Relative)
        candidates << QDir::cleanPath(QFileInfo(FFileName).absolutePath() + u'/' +
                                      ToLocalPath(*link->Relative));
    for (const QString& candidate : candidates) {
        if (!candidate.isEmpty() && candidate.size() <= MaxTargetLength &&
            QFileInfo::exists(candidate)) {
            FTarget = candidate;
            return;
        }
    }
    throw TError(QStringLiteral("Read error."));
}
