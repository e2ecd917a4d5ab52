#include "discovery/M3UPlaylistReader.h"

#include "discovery/FilePaths.h"
#include "support/Error.h"
#include "support/TextFile.h"

#include <QDir>
#include <QFileInfo>

TM3UInformation ParseM3UInformationLine(const QString& line) {
    const qsizetype comma = line.indexOf(u',');
    if (comma < 0)
        return {};
    const QString text = line.mid(comma + 1);
    static const QString separator = QStringLiteral(" - ");
    const qsizetype dash = text.indexOf(separator);
    if (dash < 0)
        return {text, QString()};
    return {text.left(dash), text.mid(dash + separator.size())};
}

namespace {

// The first candidate that is a regular file, as a clean absolute path.
QString FirstRegularFile(const QString& text, const QString& playlistFolder) {
    QStringList candidates;
    if (QDir::isAbsolutePath(text)) {
        candidates.append(text);
    } else {
        // The playlist's folder comes first: a relative entry means a file beside the playlist,
        // and a same-named file in whatever folder the program runs in must not win.
        candidates.append(QDir(playlistFolder).absoluteFilePath(text));
        candidates.append(QDir::current().absoluteFilePath(text));
    }
    for (const QString& candidate : std::as_const(candidates)) {
        const QString path = QDir::cleanPath(candidate);
        if (IsRegularFile(path))
            return path;
    }
    return {};
}

} // namespace

QString ResolveM3UEntry(const QString& line, const QString& playlistFolder) {
    if (line.isEmpty())
        return {};
    QString path = FirstRegularFile(line, playlistFolder);
    if (path.isEmpty() && line.contains(u'\\')) {
        QString slashed = line;
        path = FirstRegularFile(slashed.replace(u'\\', u'/'), playlistFolder);
    }
    return path;
}

QVector<TM3UEntry> ReadM3ULines(const QStringList& lines, const QString& playlistFolder) {
    QVector<TM3UEntry> entries;
    TM3UInformation current;
    for (const QString& line : lines) {
        if (line.contains(QLatin1String("#EXTINF"))) {
            current = ParseM3UInformationLine(line);
            continue;
        }
        if (line.contains(QLatin1String("#EXTM3U")) || line.contains(QLatin1String("http://")))
            continue;
        const QString path = ResolveM3UEntry(line, playlistFolder);
        if (!path.isEmpty())
            entries.append({path, current.Artist, current.Title});
    }
    return entries;
}

QVector<TM3UEntry> ReadM3UFile(const QString& playlistPath) {
    if (!IsRegularFile(playlistPath))
        return {};
    QString text;
    try {
        text = TextFile::Read(playlistPath);
    } catch (const TError&) {
        return {};
    }
    return ReadM3ULines(TextFile::SplitLines(text), QFileInfo(playlistPath).absolutePath());
}
