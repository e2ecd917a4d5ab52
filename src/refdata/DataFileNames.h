#pragma once

#include <QString>

// The names of the reference data files. The "My" files are the user's own versions of the
// supplied ones; the "~My" files are learned from the music.
namespace DataFileNames {

inline const QString MP3Genres = QStringLiteral("MP3Genres.def");
inline const QString MyMP3Genres = QStringLiteral("MyMP3Genres.def");
inline const QString MP3ArtistExceptions = QStringLiteral("MP3ArtistExceptions.def");
inline const QString MyMP3ArtistExceptions = QStringLiteral("MyMP3ArtistExceptions.def");
inline const QString ArtistsAlbumsGenres = QStringLiteral("~MyMP3ArtistsAlbumsGenres.def");
inline const QString ArtistGenre = QStringLiteral("~MyMP3ArtistGenre.def");
inline const QString UpdateList = QStringLiteral("Quenlor.def");
inline const QString ReleaseNotes = QStringLiteral("Quenlor.txt");

} // namespace DataFileNames
