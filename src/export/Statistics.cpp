#include "export/Statistics.h"

#include "catalogue/TextCleaning.h"

#include <QHash>
#include <QSet>
#include <algorithm>

namespace {

const QString Undefined = QStringLiteral("<Undefined>");

// The distinct values of one column: the first form met of each case-folded value, and how
// many rows hold each exact text.
class TColumnGroups {
public:
    // Notes one row's cell.
    void Add(const QString& text) {
        ++FExactCount[text];
        const QString folded = text.toCaseFolded();
        if (!FFolded.contains(folded)) {
            FFolded.insert(folded);
            FFirstForms.append({folded, text});
        }
    }
    int DistinctCount() const { return int(FFirstForms.size()); }
    // The first forms, sorted without regard to case.
    QStringList SortedValues() {
        std::sort(FFirstForms.begin(), FFirstForms.end());
        QStringList values;
        values.reserve(FFirstForms.size());
        for (const auto& form : FFirstForms)
            values.append(form.second);
        return values;
    }
    // The rows whose cell shows as the caption: an empty cell shows as "<Undefined>".
    int CaptionCount(const QString& caption) const {
        int count = FExactCount.value(caption);
        if (caption == Undefined)
            count += FExactCount.value(QString());
        return count;
    }

private:
    QHash<QString, int> FExactCount;
    QSet<QString> FFolded;
    QList<std::pair<QString, QString>> FFirstForms; // case-folded value, first form
};

// Fills one table from the sorted values; false when a step asked to stop.
bool FillTable(const QStringList& values, const TStatisticsProgress& progress,
               const std::function<TStatisticsEntry(const QString& caption)>& entry,
               QList<TStatisticsEntry>& table) {
    table.reserve(values.size());
    for (const QString& value : values) {
        if (progress.Step && !progress.Step())
            return false;
        table.append(entry(FormatCaption(value)));
    }
    return true;
}

} // namespace

TStatistics ComputeStatistics(const QList<TStatisticsRow>& rows,
                              const TStatisticsProgress& progress) {
    TStatistics result;
    TColumnGroups artists, years, genres;
    // The album titles (case-folded) of each exact artist text.
    QHash<QString, QSet<QString>> albums;
    for (const TStatisticsRow& row : rows) {
        if (progress.Step && !progress.Step()) {
            result.Stopped = true;
            return result;
        }
        artists.Add(row.Artist);
        years.Add(row.Year);
        genres.Add(row.Genre);
        albums[row.Artist].insert(row.Album.toCaseFolded());
    }
    result.Tracks = int(rows.size());
    result.Artists = artists.DistinctCount();
    result.Years = years.DistinctCount();
    result.Genres = genres.DistinctCount();
    if (progress.Phase)
        progress.Phase(result.Artists + result.Years + result.Genres);

    const auto artistEntry = [&](const QString& caption) {
        QSet<QString> titles = albums.value(caption);
        if (caption == Undefined)
            titles.unite(albums.value(QString()));
        result.Albums += int(titles.size());
        return TStatisticsEntry{caption, int(titles.size()), artists.CaptionCount(caption)};
    };
    const auto countEntry = [](const TColumnGroups& groups) {
        return [&groups](const QString& caption) {
            return TStatisticsEntry{caption, 0, groups.CaptionCount(caption)};
        };
    };
    result.Stopped =
        !FillTable(artists.SortedValues(), progress, artistEntry, result.ArtistEntries) ||
        !FillTable(years.SortedValues(), progress, countEntry(years), result.YearEntries) ||
        !FillTable(genres.SortedValues(), progress, countEntry(genres), result.GenreEntries);
    return result;
}
