#include "refdata/LearnedData.h"

#include "refdata/LearnedLine.h"

namespace LearnedData {

void MergeNewLines(QStringList& stored, const QStringList& newLines) {
    const qsizetype storedBefore = stored.size();
    for (const QString& line : newLines) {
        const qsizetype found = LearnedLine::Find(stored, LearnedLine::Artist(line),
                                                  LearnedLine::Album(line), storedBefore);
        if (found >= 0)
            stored[found] = line;
        else
            stored.append(line);
    }
}

QStringList DeriveArtistGenres(const QStringList& sortedLines,
                               const std::function<bool(const QString&)>& isGenreName,
                               const std::function<void(const QString&)>& log) {
    QStringList derived;
    QString previousArtist;
    QString previousGenre;
    int conflicts = 0;
    bool first = true;
    const auto closeGroup = [&] {
        if (conflicts == 0 && !previousArtist.isEmpty() && !previousGenre.isEmpty()) {
            if (!isGenreName(previousGenre))
                log(QStringLiteral("Unregistered Genre \"") + previousGenre +
                    QStringLiteral("\" // ") + previousArtist);
            derived.append(previousArtist + u'\t' + previousGenre);
        } else if (!previousArtist.isEmpty() && previousGenre.isEmpty()) {
            log(QStringLiteral("Undefined Genre // ") + previousArtist);
        }
        conflicts = 0;
    };
    for (const QString& line : sortedLines) {
        const QString artist = LearnedLine::Artist(line);
        const QString genre = LearnedLine::Genre(line);
        // The first line has nothing before it to disagree with, even when its artist is empty.
        if (!first && artist == previousArtist && genre != previousGenre) {
            log(artist + QStringLiteral(" // ") + previousGenre + QStringLiteral(" <> ") + genre);
            ++conflicts;
        } else if (artist != previousArtist) {
            closeGroup();
        }
        previousArtist = artist;
        previousGenre = genre;
        first = false;
    }
    closeGroup();
    return derived;
}

} // namespace LearnedData
