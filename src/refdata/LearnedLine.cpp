#include "refdata/LearnedLine.h"

namespace LearnedLine {

namespace {

QString AfterFirstTab(const QString& line) {
    const qsizetype tab = line.indexOf(u'\t');
    return tab < 0 ? QString() : line.mid(tab + 1);
}

} // namespace

QString Make(const QString& artist, const QString& album, const QString& genre) {
    return artist + u'\t' + album + u'|' + genre;
}

QString Artist(const QString& line) {
    const qsizetype tab = line.indexOf(u'\t');
    return tab < 0 ? line : line.left(tab);
}

QString Genre(const QString& line) {
    const QString rest = AfterFirstTab(line);
    const qsizetype bar = rest.lastIndexOf(u'|');
    return bar < 0 ? QString() : rest.mid(bar + 1);
}

QString Album(const QString& line) {
    // Cutting at the last "|" keeps an album title such as "A|Rock Years" whole even when the
    // genre's name appears in it.
    const QString rest = AfterFirstTab(line);
    const qsizetype bar = rest.lastIndexOf(u'|');
    return bar < 0 ? rest : rest.left(bar);
}

qsizetype Find(const QStringList& lines, const QString& artist, const QString& album,
               qsizetype prefixLimit) {
    const QString prefix = artist + u'\t' + album;
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (lines[i].startsWith(prefix) && Artist(lines[i]) == artist && Album(lines[i]) == album)
            return i;
    const qsizetype limit = std::min(prefixLimit, lines.size());
    for (qsizetype i = 0; i < limit; ++i)
        if (lines[i].startsWith(prefix))
            return i;
    return -1;
}

} // namespace LearnedLine
