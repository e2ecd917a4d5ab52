#include "refdata/LearnedData.h"

#include "refdata/LearnedLine.h"

#include <QHash>
#include <optional>
#include <set>
#include <vector>

namespace LearnedData {

namespace {

// Where each line stands, so that a merge of a large library's lines does not search the whole
// list once per new line. The answers are those of LearnedLine::Find over the current lines.
class TLineIndex {
public:
    explicit TLineIndex(const QStringList& stored) : FStored(stored) {
        for (qsizetype i = 0; i < stored.size(); ++i) {
            FByArtist[LearnedLine::Artist(stored[i])].push_back(i);
            AddKey(i);
        }
    }

    qsizetype Find(const QString& artist, const QString& album) const {
        // The first line whose artist and album are exactly these...
        const auto exact = FByKey.constFind(artist + u'\t' + album);
        if (exact != FByKey.cend() && !exact->empty())
            return *exact->begin();
        // ...else the first line stored before the merge that begins with them, which can only
        // be one of the artist's (an artist holds no tab).
        const QString prefix = artist + u'\t' + album;
        const auto lines = FByArtist.constFind(artist);
        if (lines != FByArtist.cend())
            for (const qsizetype i : *lines)
                if (FStored[i].startsWith(prefix))
                    return i;
        return -1;
    }

    // Call before a line changes, and after it changed or was appended.
    void RemoveKey(qsizetype i) {
        if (const auto key = KeyOf(FStored[i]))
            FByKey[*key].erase(i);
    }
    void AddKey(qsizetype i) {
        if (const auto key = KeyOf(FStored[i]))
            FByKey[*key].insert(i);
    }

private:
    // Artist, tab and album; none for a line without a tab, which no artist and album match.
    static std::optional<QString> KeyOf(const QString& line) {
        if (!line.contains(u'\t'))
            return std::nullopt;
        return LearnedLine::Artist(line) + u'\t' + LearnedLine::Album(line);
    }

    const QStringList& FStored;
    // Lines stored before the merge, by artist, in list order; their artist never changes,
    // because a line is replaced only by one of the same artist.
    QHash<QString, std::vector<qsizetype>> FByArtist;
    QHash<QString, std::set<qsizetype>> FByKey;
};

// Artist, tab and album of a line with a tab (what TLineIndex keys it by), without copying.
QStringView KeyView(const QString& line, qsizetype tab) {
    const qsizetype bar = line.lastIndexOf(u'|');
    return bar > tab ? QStringView(line).first(bar) : QStringView(line);
}

// Whether merging would change nothing: every new line is already the first stored line of its
// artist and album. That is the usual case (a browse of a library learned before), and it is
// told without the index.
bool AllStoredAlready(const QStringList& stored, const QStringList& newLines) {
    QHash<QStringView, qsizetype> firstByKey;
    firstByKey.reserve(stored.size());
    // From the last line back, so that the first of a key is the one that stays.
    for (qsizetype i = stored.size() - 1; i >= 0; --i)
        if (const qsizetype tab = stored[i].indexOf(u'\t'); tab >= 0)
            firstByKey.insert(KeyView(stored[i], tab), i);
    for (const QString& line : newLines) {
        const qsizetype tab = line.indexOf(u'\t');
        if (tab < 0)
            return false;
        const auto first = firstByKey.constFind(KeyView(line, tab));
        if (first == firstByKey.cend() || stored[*first] != line)
            return false;
    }
    return true;
}

} // namespace

void MergeNewLines(QStringList& stored, const QStringList& newLines) {
    if (AllStoredAlready(stored, newLines))
        return;
    TLineIndex index(stored);
    for (const QString& line : newLines) {
        const qsizetype found = index.Find(LearnedLine::Artist(line), LearnedLine::Album(line));
        if (found >= 0) {
            index.RemoveKey(found);
            stored[found] = line;
            index.AddKey(found);
        } else {
            stored.append(line);
            index.AddKey(stored.size() - 1);
        }
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
