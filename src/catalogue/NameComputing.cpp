#include "catalogue/NameComputing.h"

#include "catalogue/TextCleaning.h"
#include "catalogue/TextHelpers.h"

#include <algorithm>

namespace {

// Everything a compact name leaves out: spaces and punctuation, and whatever a file name may
// not hold on some file system.
constexpr QStringView CompactRemovalSet = u" .-'\u00B4\u2019,;:/\\?*\"<>|~";
// Characters that become a space in an expanded or folded name.
constexpr QStringView NameReplacementSet = u";:/\\?*\"<>|~";
// The same for folder names, which may hold a tilde.
constexpr QStringView FolderReplacementSet = u";:/\\?*\"<>|";

// Control characters (C0, DEL and C1) come from damaged tags. They break shells and scripts, can
// carry terminal escape sequences and cannot stand in names on FAT, exFAT or SMB disks, so a
// name treats them as it treats the sets above.
bool IsControlCharacter(QChar c) {
    const char16_t u = c.unicode();
    return u < 0x20 || (u >= 0x7F && u <= 0x9F);
}

QString CompactPiece(const QString& text) {
    QString piece = RemoveCharacters(text, CompactRemovalSet);
    piece.removeIf(IsControlCharacter);
    return piece;
}

const QString Separator = QStringLiteral(" - ");
const QString Suffix = QStringLiteral(".mp3");

bool HasTrackNumber(const QString& trackNumber) {
    return !trackNumber.isEmpty() && trackNumber != u"0";
}

// Every name of a library is built at least twice (analysis and row), so a name is written into
// one buffer: pieces copied with a set's characters turned into spaces, then the spaces tidied
// in place as CleanMP3Name does.
class TNameBuffer {
public:
    explicit TNameBuffer(qsizetype pieces) {
        FText.reserve(pieces + Suffix.size());
        FText.resize(pieces);
        FOut = FText.data();
    }
    void Add(QStringView piece, const TCharacterSet& replaced) {
        for (QChar c : piece)
            *FOut++ = replaced.Contains(c) || IsControlCharacter(c) ? QChar(u' ') : c;
    }
    void AddSeparator() {
        for (QChar c : Separator)
            *FOut++ = c;
    }
    // The track number filled to two digits with "0".
    void AddTrackNumber(const QString& trackNumber, const TCharacterSet& replaced) {
        for (qsizetype i = trackNumber.size(); i < 2; ++i)
            *FOut++ = u'0';
        Add(trackNumber, replaced);
    }
    // The text without leading and trailing spaces and with runs of spaces made one.
    QString Tidied() && {
        const QChar* in = FText.constData();
        const QChar* end = FOut;
        QChar* out = FText.data();
        while (in < end && *in == u' ')
            ++in;
        bool afterSpace = false;
        for (; in < end; ++in) {
            if (*in == u' ' && afterSpace)
                continue;
            afterSpace = *in == u' ';
            *out++ = *in;
        }
        if (afterSpace)
            --out;
        FText.truncate(out - FText.constData());
        return std::move(FText);
    }

private:
    QString FText;
    QChar* FOut = nullptr;
};

// The file's name without its folder.
QString NamePart(const QString& fileName) {
    return fileName.mid(fileName.lastIndexOf(u'/') + 1);
}

// The name of the folder that holds the file (the last non-empty piece of the path before its
// last "/"); empty when the path names none.
QStringView HoldingFolderName(const QString& fileName) {
    qsizetype end = fileName.lastIndexOf(u'/');
    while (end > 0 && fileName.at(end - 1) == u'/')
        --end;
    if (end <= 0)
        return {};
    const qsizetype begin = fileName.lastIndexOf(u'/', end - 1) + 1;
    return QStringView(fileName).sliced(begin, end - begin);
}

QString ExpectedFolderName(const TMP3TagData& tags) {
    static const TCharacterSet folderSet(FolderReplacementSet);
    TNameBuffer name(tags.Artist.size() + Separator.size() + tags.AlbumTitle.size());
    name.Add(tags.Artist, folderSet);
    name.AddSeparator();
    name.Add(tags.AlbumTitle, folderSet);
    // Folders made on Windows lose trailing full stops and spaces, so an album "Vol. 1." is
    // kept in a folder "... - Vol. 1".
    QString folder = std::move(name).Tidied();
    folder = TrimTrailing(folder, u'.');
    folder = TrimTrailing(folder, u' ');
    return TrimTrailing(folder, u'.');
}

} // namespace

QString BuildMP3Name(const TMP3TagData& MP3TagData, int MP3NameComputingMode,
                     const TOptionSet& Options) {
    static const TCharacterSet nameSet(NameReplacementSet);
    const QString title = FormatTitle(CleanMP3Attribute(MP3TagData.Title, Options), Options);
    // The track number is digits in every record the program makes; should one still hold a
    // "/", it must not turn the name into a path.
    const QString& track = MP3TagData.TrackNumber;
    const bool hasTrackNumber = HasTrackNumber(track);
    const qsizetype trackSize = hasTrackNumber ? std::max<qsizetype>(track.size(), 2) : 0;
    switch (MP3NameComputingMode) {
    case nmCompact:
        return CompactPiece(MP3TagData.Artist) + u'-' + CompactPiece(title) + Suffix;
    case nmExpanded: {
        const bool album = !MP3TagData.AlbumTitle.isEmpty();
        TNameBuffer name(MP3TagData.Artist.size() + MP3TagData.AlbumTitle.size() + trackSize +
                         title.size() + 3 * Separator.size());
        name.Add(MP3TagData.Artist, nameSet);
        name.AddSeparator();
        if (album) {
            name.Add(MP3TagData.AlbumTitle, nameSet);
            name.AddSeparator();
            if (hasTrackNumber) {
                name.AddTrackNumber(track, nameSet);
                name.AddSeparator();
            }
        }
        name.Add(title, nameSet);
        return std::move(name).Tidied() + Suffix;
    }
    case nmFolded: {
        TNameBuffer name(trackSize + Separator.size() + title.size());
        if (hasTrackNumber) {
            name.AddTrackNumber(track, nameSet);
            name.AddSeparator();
        }
        name.Add(title, nameSet);
        return std::move(name).Tidied() + Suffix;
    }
    default:
        return QString();
    }
}

int GetMP3NameComputingMode(const TMP3TagData& MP3TagData, const QString& FileName,
                            const TOptionSet& Options) {
    if (Options.MP3NameComputing != nmMixed) {
        return Options.MP3NameComputing;
    }
    // Case matters: a folder named in other letter case is not the album's folder.
    return HoldingFolderName(FileName) == ExpectedFolderName(MP3TagData) ? nmFolded : nmExpanded;
}

QString CleanMP3Name(const QString& MP3Name) {
    qsizetype begin = 0;
    qsizetype end = MP3Name.size();
    while (begin < end && MP3Name.at(begin) == u' ')
        ++begin;
    while (end > begin && MP3Name.at(end - 1) == u' ')
        --end;
    QString result(end - begin, Qt::Uninitialized);
    QChar* out = result.data();
    bool afterSpace = false;
    for (qsizetype i = begin; i < end; ++i) {
        const QChar c = MP3Name.at(i);
        if (c == u' ' && afterSpace)
            continue;
        afterSpace = c == u' ';
        *out++ = c;
    }
    result.truncate(out - result.constData());
    return result;
}

QString ExtractTrackNumberFromFileName(const QString& FileName) {
    const QString name = NamePart(FileName);
    if (name.size() <= 2) {
        return QStringLiteral("0");
    }
    QString number = name.left(2);
    for (QChar separator : {u' ', u'-', u'.'}) {
        const qsizetype at = number.indexOf(separator);
        if (at >= 0) {
            number.truncate(at);
            break;
        }
    }
    return IsDecimalNumber(number) ? number : QStringLiteral("0");
}

QString ExtractTitleFromFileName(const QString& FileName) {
    const QString name = NamePart(FileName);
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString extension = dot >= 0 ? name.mid(dot) : QString();
    // Cut at the first occurrence: "Song.mp3 remix.mp3" gives "Song".
    QString title =
        extension.isEmpty() ? name : name.left(name.indexOf(extension, 0, Qt::CaseInsensitive));
    const QString trackNumber = ExtractTrackNumberFromFileName(FileName);
    if (trackNumber != u"0") {
        const qsizetype at = title.indexOf(trackNumber);
        title = at >= 0 ? title.mid(at + trackNumber.size()) : QString();
    }
    return RemoveLeadingTrackSeparators(title);
}

QString RemoveLeadingTrackSeparators(const QString& s) {
    QString result = TrimLeading(s, u' ');
    result = TrimLeading(result, u'-');
    result = TrimLeading(result, u'.');
    return TrimLeading(result, u' ');
}
