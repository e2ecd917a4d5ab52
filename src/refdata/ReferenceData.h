#pragma once

#include "refdata/FlatFile.h"
#include "refdata/SortedTextList.h"

#include <QString>
#include <QStringList>
#include <optional>

class TKelmLogFile;
class UiPort;

// The genre names, the artist-name exceptions and the learned genres of artists and albums.
// The main window owns one instance for the whole run: Load at start-up, lookups and notes
// while files are analysed and fixed, SaveLearnedData at shut-down.
class TReferenceData {
public:
    // Start-up. defFilesPath and advancedLibraryFilesPath are the settings values DefFilesPath
    // and AdvancedLibraryFilesPath (empty: the per-user data folder, and then the data folder).
    // The user's "My" file is chosen over the supplied one when it exists. The learned files are
    // read when the learned-data folder exists. A file that exists but cannot be read is
    // reported through ui and leaves its list empty; when the artist/album file is the one,
    // learning is off for the run so that the file is not overwritten with a partial list.
    // A supplied file the data folder lacks is read from fallbackFolder when one is given (a
    // run that may not seed the data folder reads what seeding would have copied).
    void Load(const QString& defFilesPath, const QString& advancedLibraryFilesPath, UiPort& ui,
              const QString& fallbackFolder = {});

    // Both end in "/".
    const QString& DataFolder() const { return FDataFolder; }
    const QString& LearnedDataFolder() const { return FLearnedDataFolder; }
    // Decided once by Load; every learning step is skipped when false.
    bool LearnedDataFolderPresent() const { return FLearnedDataFolderPresent; }

    // The supplied tables, read again with Initialize after the data-file update replaced them.
    TKelmFlatFile& MP3GenresKelmFlatFile() { return FMP3GenresKelmFlatFile; }
    TKelmFlatFile& MP3ArtistExceptionsKelmFlatFile() { return FMP3ArtistExceptionsKelmFlatFile; }
    const QStringList& GenreNames() const { return FMP3GenresKelmFlatFile.Values(); }
    const QStringList& ArtistExceptions() const {
        return FMP3ArtistExceptionsKelmFlatFile.Values();
    }
    // Both compare without regard to letter case.
    bool IsGenreName(const QString& genre) const;
    bool IsArtistException(const QString& artist) const;

    // The genre learned for the artist up to the previous run: the text after the tab of the
    // first learned line that begins with the artist and a tab (case-sensitive); empty when
    // the artist is empty or unknown.
    QString GetGenreByArtist(const QString& Artist) const;

    // Notes what a file says about its artist, album and genre, when learning is on. A tab or
    // line break inside a value becomes a space so that the note stays one well-formed line.
    void NoteArtistAlbumGenre(const QString& artist, const QString& album, const QString& genre);
    // Forgets the first note for this artist and album (a row about to be fixed is noted again).
    void RemoveNotedArtistAlbum(const QString& artist, const QString& album);
    void ClearNewArtistAlbumGenreList() {
        FNewArtistAlbumGenreList.Clear();
        FLastNote.reset();
    }

    const QStringList& ArtistAlbumGenreList() const { return FArtistAlbumGenreList; }
    const QStringList& ArtistGenreList() const { return FArtistGenreList.Lines(); }
    const QStringList& NewArtistAlbumGenreList() const { return FNewArtistAlbumGenreList.Lines(); }

    // Shut-down, when learning is on: merges this run's notes into the artist/album file,
    // derives one genre per artist (disagreements and unknown genres go to the log) and writes
    // the artist file. A file in use or not written is reported through ui; the next step
    // still runs.
    void SaveLearnedData(TKelmLogFile& log, UiPort& ui);

private:
    QString FDataFolder;
    QString FLearnedDataFolder;
    bool FLearnedDataFolderPresent = false;
    TKelmFlatFile FMP3GenresKelmFlatFile;
    TKelmFlatFile FMP3ArtistExceptionsKelmFlatFile;
    QStringList FArtistAlbumGenreList;
    TSortedTextList FArtistGenreList;
    TSortedTextList FNewArtistAlbumGenreList;

    // The files of an album come one after another: the last question and the last note are
    // kept, so that most files cost no search. Both are forgotten when their list changes.
    struct TArtistGenre {
        QString Artist;
        QString Genre;
    };
    mutable std::optional<TArtistGenre> FLastGenreLookup;
    struct TNote {
        QString Artist;
        QString Album;
        QString Genre;
    };
    std::optional<TNote> FLastNote;
};
