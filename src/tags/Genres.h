#pragma once

#include <QString>
#include <QStringList>

// The ID3v1 genre list (the 80 genres of the ID3v1 standard and 68 common extensions) and the
// genre notation of the ID3v2 content type frame.

// Genre numbers 0 to ID3v1GenreCount - 1 have names; every other byte value has none.
inline constexpr int ID3v1GenreCount = 148;
// The genre byte of an ID3v1 tag that names no genre.
inline constexpr int ID3v1NoGenre = 255;

// The 148 names in number order.
const QStringList& ID3v1GenreNames();

// The name of a genre number; "" for a number without a name.
QString GenreNameFromNumber(int number);

// The number of a genre name compared as a whole and ignoring case; the common misspelling
// "Psychadelic" gives Psychedelic. An unknown or empty name gives ID3v1NoGenre.
int GenreNumberFromName(const QString& name);

// Turns a content type value with leading references such as "(17)", "(RX)" and "(CR)" into
// genre text: "(17)" gives "Rock", "(17)Classic" gives "Rock Classic", "((Folk)" gives "(Folk)".
// Text that only repeats the references ("(17)Rock") is not added twice.
QString DecodeGenreReferences(const QString& value);
