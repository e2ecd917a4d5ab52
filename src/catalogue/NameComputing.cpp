#include "catalogue/NameComputing.h"

#include "catalogue/TextCleaning.h"
#include "catalogue/TextHelpers.h"

namespace {

// Everything a compact name leaves out: spaces and punctuation, and whatever a file name may
// not hold on some file system.
constexpr QStringView CompactRemovalSet = u" .-'\u00B4\u2019,;:/\\?*\"<>|~";
// Characters that become a space in an expanded or folded name.
constexpr QStringView NameReplacementSet = u";:/\\?*\"<>|~";
// The same for folder names, which may hold a tilde.
constexpr QStringView FolderReplacementSet = u";:/\\?*\"<>|";

const QString Separator = QStringLiteral(" - ");
const QString Suffix = QStringLiteral(".mp3");

QString ReplaceForName(const QString& s) {
    return ReplaceCharacters(s, NameReplacementSet, u' ');
}

bool HasTrackNumber(const QString& trackNumber) {
    return !trackNumber.isEmpty() && trackNumber != u"0";
}

QString TwoDigitTrackNumber(const QString& trackNumber) {
    return trackNumber.rightJustified(2, u'0');
}

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
    QString name =
        CleanMP3Name(ReplaceCharacters(tags.Artist, FolderReplacementSet, u' ') + Separator +
                     ReplaceCharacters(tags.AlbumTitle, FolderReplacementSet, u' '));
    // Folders made on Windows lose trailing full stops and spaces, so an album "Vol. 1." is
    // kept in a folder "... - Vol. 1".
    name = TrimTrailing(name, u'.');
    name = TrimTrailing(name, u' ');
    return TrimTrailing(name, u'.');
}

} // namespace

QString BuildMP3Name(const TMP3TagData& MP3TagData, int MP3NameComputingMode,
                     const TOptionSet& Options) {
    const QString title = FormatTitle(CleanMP3Attribute(MP3TagData.Title, Options), Options);
    const bool hasTrackNumber = HasTrackNumber(MP3TagData.TrackNumber);
    // The track number is digits in every record the program makes; should one still hold a
    // "/", it must not turn the name into a path.
    const auto trackNumber = [&] {
        return ReplaceForName(TwoDigitTrackNumber(MP3TagData.TrackNumber));
    };
    // Every name of a library is built at least twice (analysis and row): one buffer each.
    QString name;
    switch (MP3NameComputingMode) {
    case nmCompact:
        return RemoveCharacters(MP3TagData.Artist, CompactRemovalSet) + u'-' +
               RemoveCharacters(title, CompactRemovalSet) + Suffix;
    case nmExpanded:
        name.reserve(MP3TagData.Artist.size() + MP3TagData.AlbumTitle.size() + title.size() + 12);
        name += ReplaceForName(MP3TagData.Artist);
        name += Separator;
        if (!MP3TagData.AlbumTitle.isEmpty()) {
            name += ReplaceForName(MP3TagData.AlbumTitle);
            name += Separator;
            if (hasTrackNumber) {
                name += trackNumber();
                name += Separator;
            }
        }
        name += ReplaceForName(title);
        break;
    case nmFolded:
        name.reserve(title.size() + 8);
        if (hasTrackNumber) {
            name += trackNumber();
            name += Separator;
        }
        name += ReplaceForName(title);
        break;
    default:
        return QString();
    }
    return CleanMP3Name(name) + Suffix;
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
