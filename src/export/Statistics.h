#pragma once

#include <QList>
#include <QString>
#include <functional>

// The cells of one main-list row that the statistics count.
struct TStatisticsRow {
    QString Artist;
    QString Album;
    QString Year;
    QString Genre;
};

// One entry of a statistics table: its caption ("<Undefined>" for the empty value), the
// number of albums (artists only) and the number of tracks.
struct TStatisticsEntry {
    QString Caption;
    int Albums = 0;
    int Tracks = 0;
};

struct TStatistics {
    int Tracks = 0; // every row
    int Artists = 0;
    int Albums = 0; // the sum of the artist entries' album counts
    int Years = 0;
    int Genres = 0;
    // In the order of their distinct values sorted without regard to case; a table after a
    // stop is empty.
    QList<TStatisticsEntry> ArtistEntries;
    QList<TStatisticsEntry> YearEntries;
    QList<TStatisticsEntry> GenreEntries;
    bool Stopped = false;
};

// The steps of a computation: Step runs before each row and before each table entry and
// answers false to stop; Phase announces the number of table entries after the rows.
struct TStatisticsProgress {
    std::function<bool()> Step;
    std::function<void(int steps)> Phase;
};

// Counts the rows by artist, year and genre. Values that differ only in letter case are one
// entry, written as the first row met writes it, and an entry counts the rows whose cell, with
// an empty cell read as "<Undefined>", equals its caption exactly; an artist's albums are its
// rows' album titles without regard to case, an empty title being one album. Rows are grouped
// once by their exact and their case-folded text, so that the work grows as n log n.
TStatistics ComputeStatistics(const QList<TStatisticsRow>& rows,
                              const TStatisticsProgress& progress = {});
