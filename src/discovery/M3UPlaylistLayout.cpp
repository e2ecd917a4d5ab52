#include "discovery/M3UPlaylistLayout.h"

#include "discovery/FilePaths.h"
#include "settings/OptionSet.h"

#include <QDir>
#include <QFileInfo>

namespace {

// Folder names with "." dropped and each ".." taking the name before it away.
QStringList CanonicalNames(const QString& folder) {
    QStringList names;
    for (const QString& name : folder.split(u'/', Qt::SkipEmptyParts)) {
        if (name == u'.')
            continue;
        if (name == QLatin1String("..")) {
            if (!names.isEmpty())
                names.removeLast();
            continue;
        }
        names.append(name);
    }
    return names;
}

bool SameName(const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) == 0;
}

} // namespace

QString M3URelativeFolder(const QString& playlistFolder, const QString& trackFolder) {
    if (QDir::isAbsolutePath(playlistFolder) != QDir::isAbsolutePath(trackFolder))
        return trackFolder;
    const QStringList from = CanonicalNames(playlistFolder);
    const QStringList to = CanonicalNames(trackFolder);
    qsizetype common = 0;
    while (common < from.size() && common < to.size() && SameName(from[common], to[common]))
        ++common;
    if (common == from.size() && common == to.size())
        return QStringLiteral(".");
    QStringList parts;
    for (qsizetype i = common; i < from.size(); ++i)
        parts.append(QStringLiteral(".."));
    parts.append(to.mid(common));
    return parts.join(u'/');
}

QString M3UEntryLine(const QString& playlistFolder, const TM3UTrack& track, bool absolutePath) {
    if (absolutePath)
        return JoinPath(track.Folder, track.FileName);
    return JoinPath(M3URelativeFolder(playlistFolder, track.Folder), track.FileName);
}

QString M3UInformationLine(qint64 lengthSeconds, const QString& artist, const QString& title) {
    return QStringLiteral("#EXTINF:") + QString::number(lengthSeconds) + u',' + artist +
           QStringLiteral(" - ") + title;
}

QStringList M3UPlaylistLines(const QString& playlistPath, const QVector<TM3UTrack>& tracks,
                             const TOptionSet& options, const TM3UTrackLength& trackLength) {
    const QString playlistFolder = QFileInfo(playlistPath).absolutePath();
    const bool extended = options.ExportPlaylistUsingExtendedM3UFormat;
    QStringList lines;
    lines.reserve(tracks.size() * (extended ? 2 : 1) + 1);
    if (extended)
        lines.append(QStringLiteral("#EXTM3U"));
    for (const TM3UTrack& track : tracks) {
        if (extended) {
            const qint64 seconds = trackLength ? trackLength(track) : 0;
            lines.append(M3UInformationLine(seconds, track.Artist, track.Title));
        }
        lines.append(M3UEntryLine(playlistFolder, track, options.ExportPlaylistUsingAbsolutePath));
    }
    return lines;
}
