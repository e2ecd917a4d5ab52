#include "refdata/ReferenceData.h"

#include "refdata/DataFileNames.h"
#include "refdata/DataFolders.h"
#include "refdata/LearnedData.h"
#include "refdata/LearnedFile.h"
#include "refdata/LearnedLine.h"
#include "support/Error.h"
#include "support/LogFile.h"
#include "support/UiPort.h"

#include <QFileInfo>
#include <algorithm>

namespace {

// The user's own file wins when it exists; the two are never merged.
QString ChooseDataFile(const QString& folder, const QString& myName, const QString& name,
                       const QString& fallbackFolder) {
    if (QFileInfo::exists(folder + myName))
        return folder + myName;
    if (!fallbackFolder.isEmpty() && !QFileInfo::exists(folder + name))
        return DataFolders::WithTrailingSlash(fallbackFolder) + name;
    return folder + name;
}

bool LoadTable(TKelmFlatFile& table, const QString& fileName, UiPort& ui) {
    table.SetFileName(fileName);
    try {
        table.Initialize();
        return true;
    } catch (const TError& e) {
        ui.ShowMessage(UiPort::MessageKind::Error, e.Message());
        return false;
    }
}

bool LoadLearnedLines(const QString& path, QStringList& lines, UiPort& ui) {
    try {
        lines = LearnedFile::Load(path);
        return true;
    } catch (const TError& e) {
        ui.ShowMessage(UiPort::MessageKind::Error, e.Message());
        lines.clear();
        return false;
    }
}

QString OneLine(QString value) {
    // Most values hold no break: they are returned without a copy.
    const auto isBreak = [](QChar c) { return c == u'\t' || c == u'\r' || c == u'\n'; };
    if (std::none_of(value.cbegin(), value.cend(), isBreak))
        return value;
    for (QChar& c : value)
        if (isBreak(c))
            c = u' ';
    return value;
}

} // namespace

void TReferenceData::Load(const QString& defFilesPath, const QString& advancedLibraryFilesPath,
                          UiPort& ui, const QString& fallbackFolder) {
    FDataFolder = DataFolders::DataFolderFromSetting(defFilesPath);
    LoadTable(FMP3ArtistExceptionsKelmFlatFile,
              ChooseDataFile(FDataFolder, DataFileNames::MyMP3ArtistExceptions,
                             DataFileNames::MP3ArtistExceptions, fallbackFolder),
              ui);
    LoadTable(FMP3GenresKelmFlatFile,
              ChooseDataFile(FDataFolder, DataFileNames::MyMP3Genres, DataFileNames::MP3Genres,
                             fallbackFolder),
              ui);

    FLearnedDataFolder =
        DataFolders::LearnedDataFolderFromSetting(advancedLibraryFilesPath, FDataFolder);
    FLearnedDataFolderPresent = QFileInfo(FLearnedDataFolder).isDir();
    FArtistAlbumGenreList.clear();
    FArtistGenreList.Clear();
    FNewArtistAlbumGenreList.Clear();
    FLastGenreLookup.reset();
    FLastNote.reset();
    if (!FLearnedDataFolderPresent)
        return;
    if (!LoadLearnedLines(FLearnedDataFolder + DataFileNames::ArtistsAlbumsGenres,
                          FArtistAlbumGenreList, ui)) {
        FLearnedDataFolderPresent = false;
        return;
    }
    QStringList artistGenres;
    LoadLearnedLines(FLearnedDataFolder + DataFileNames::ArtistGenre, artistGenres, ui);
    for (const QString& line : std::as_const(artistGenres))
        FArtistGenreList.Add(line);
}

bool TReferenceData::IsGenreName(const QString& genre) const {
    return FMP3GenresKelmFlatFile.ContainsValue(genre);
}

bool TReferenceData::IsArtistException(const QString& artist) const {
    return FMP3ArtistExceptionsKelmFlatFile.ContainsValue(artist);
}

QString TReferenceData::GetGenreByArtist(const QString& Artist) const {
    if (Artist.isEmpty())
        return {};
    if (FLastGenreLookup && FLastGenreLookup->Artist == Artist)
        return FLastGenreLookup->Genre;
    const QString prefix = Artist + u'\t';
    // The lines are sorted without regard to case, so every line that begins with the prefix in
    // any letter case stands in one run, starting at the first line not below the prefix; the
    // first exact match of that run is the first of the whole list. Each analysed file asks.
    const QStringList& lines = FArtistGenreList.Lines();
    auto line = std::lower_bound(lines.begin(), lines.end(), prefix,
                                 [](const QString& present, const QString& wanted) {
                                     return present.compare(wanted, Qt::CaseInsensitive) < 0;
                                 });
    QString genre;
    for (; line != lines.end() && line->startsWith(prefix, Qt::CaseInsensitive); ++line) {
        if (line->startsWith(prefix)) {
            genre = line->mid(prefix.size());
            break;
        }
    }
    FLastGenreLookup = TArtistGenre{Artist, genre};
    return genre;
}

void TReferenceData::NoteArtistAlbumGenre(const QString& artist, const QString& album,
                                          const QString& genre) {
    if (!FLearnedDataFolderPresent)
        return;
    // The same note as the last one is in the list already.
    if (FLastNote && FLastNote->Artist == artist && FLastNote->Album == album &&
        FLastNote->Genre == genre)
        return;
    FNewArtistAlbumGenreList.Add(
        LearnedLine::Make(OneLine(artist), OneLine(album), OneLine(genre)));
    FLastNote = TNote{artist, album, genre};
}

void TReferenceData::RemoveNotedArtistAlbum(const QString& artist, const QString& album) {
    const QStringList& lines = FNewArtistAlbumGenreList.Lines();
    const qsizetype found = LearnedLine::Find(lines, OneLine(artist), OneLine(album), lines.size());
    if (found >= 0) {
        FNewArtistAlbumGenreList.RemoveAt(found);
        FLastNote.reset();
    }
}

void TReferenceData::SaveLearnedData(TKelmLogFile& log, UiPort& ui) {
    if (!FLearnedDataFolderPresent)
        return;
    if (!FNewArtistAlbumGenreList.IsEmpty()) {
        LearnedData::MergeNewLines(FArtistAlbumGenreList, FNewArtistAlbumGenreList.Lines());
        SortLearnedLines(FArtistAlbumGenreList);
        LearnedFile::Save(FLearnedDataFolder + DataFileNames::ArtistsAlbumsGenres,
                          FArtistAlbumGenreList, ui);
    }

    SortLearnedLines(FArtistAlbumGenreList);
    FArtistGenreList.Clear();
    FLastGenreLookup.reset();
    if (FArtistAlbumGenreList.isEmpty())
        return;
    const QStringList derived = LearnedData::DeriveArtistGenres(
        FArtistAlbumGenreList, [this](const QString& genre) { return IsGenreName(genre); },
        [&log](const QString& line) { log.SetLogText(line); });
    for (const QString& line : derived)
        FArtistGenreList.Add(line);
    LearnedFile::Save(FLearnedDataFolder + DataFileNames::ArtistGenre, FArtistGenreList.Lines(),
                      ui);
}
