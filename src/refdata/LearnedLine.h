#pragma once

#include <QString>
#include <QStringList>

// A learned line: artist, a tab, the album title, "|", the genre. An album title may itself
// hold "|"; the genre is always the text after the last one.
namespace LearnedLine {

QString Make(const QString& artist, const QString& album, const QString& genre);

// The text before the first tab; the whole line when it has none.
QString Artist(const QString& line);
// Of the text after the first tab, the part after its last "|"; empty when it has no "|".
QString Genre(const QString& line);
// Of the text after the first tab, the part before its last "|"; the whole text when it has
// no "|".
QString Album(const QString& line);

// The position in lines of the line for this artist and album: the first whose artist and album
// are exactly these, else the first among lines[0, prefixLimit) that begins with artist, a tab
// and album (so a line for "X Deluxe" stands in for a missing "X"); -1 when there is none.
qsizetype Find(const QStringList& lines, const QString& artist, const QString& album,
               qsizetype prefixLimit);

} // namespace LearnedLine
