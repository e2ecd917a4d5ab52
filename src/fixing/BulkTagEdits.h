#pragma once

#include "fixing/FixRow.h"

// The edits of the list's context menu, each on one row: they write the file's tags, change the
// row's cell and the record's value to match, and put the file's time back when
// PreserveFileDateTime asks for it. They never rename a file or touch the Mismatch cell.
//
// Skipped (row unchanged): the file is gone, or the edit has nothing to change. Failed (row and
// record unchanged, the activity log names the file and the error): the file's tags cannot be
// read or written.

// "[" becomes "(" and "]" becomes ")" in the title (the file is written even when it has none).
TRowResult ReplaceBracketsInTitle(TFixRow& row, TFixContext& context);
// The title followed by a space and the suffix.
TRowResult AddSuffixToTitle(TFixRow& row, TFixContext& context, const QString& suffix);
// The title in small letters (LowerCaseWithAccents).
TRowResult LowercaseTitle(TFixRow& row, TFixContext& context);
// The genre becomes the given one: the ID3v1 genre number of its name (255 when it has none)
// and the first value of TCON.
TRowResult SetGenreTo(TFixRow& row, TFixContext& context, const QString& genre);
// The folder's cover picture becomes the front cover (also in the music library's home folder).
// Without a picture the tag is only written again without its empty frames and the cell stays.
TRowResult EmbedCoverArt(TFixRow& row, TFixContext& context);
TRowResult ClearComments(TFixRow& row, TFixContext& context);
// Every front cover goes, so that the cell's "No" is true of the file.
TRowResult ClearCoverArt(TFixRow& row, TFixContext& context);
TRowResult ClearGenre(TFixRow& row, TFixContext& context);
TRowResult ClearTrackNumber(TFixRow& row, TFixContext& context);
// Cuts the title before the first " " + suffix, for each checked suffix of the Suffixes option
// in its order. A title that holds none of them leaves the file untouched.
TRowResult ClearTitleSuffix(TFixRow& row, TFixContext& context);

// The title without the checked suffixes, as ClearTitleSuffix cuts it.
QString TitleWithoutSuffixes(const QString& title, const TFixContext& context);
