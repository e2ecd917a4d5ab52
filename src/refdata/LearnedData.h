#pragma once

#include <QString>
#include <QStringList>
#include <functional>

// The shut-down steps over the learned lines, kept free of files so they can be checked alone.
namespace LearnedData {

// Puts every new line into stored: it replaces the line for the same artist and album (see
// LearnedLine::Find; only lines stored before the merge stand in by prefix, so two new lines
// never replace each other unless artist and album agree), or is appended.
void MergeNewLines(QStringList& stored, const QStringList& newLines);

// Walks the sorted artist/album lines and returns one "artist<tab>genre" line for every artist
// whose lines all carry the same non-empty genre, in walking order. Disagreements, genres that
// isGenreName does not know and artists without a genre are reported through log.
QStringList DeriveArtistGenres(const QStringList& sortedLines,
                               const std::function<bool(const QString&)>& isGenreName,
                               const std::function<void(const QString&)>& log);

} // namespace LearnedData
