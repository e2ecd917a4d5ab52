#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <optional>

struct TJournalFileState;

// The lines of a journal: one JSON object each. A fix writes a record of every file it changes
// (most of a journal is the original tags, in Base64), so the records are written straight into
// the caller's buffer rather than built as JSON objects first; reading them back goes through the
// JSON reader.
//
// A state record holds the file's path, size, last-write time, the sizes and digests of its tag
// areas and, with the tags, both tag areas. The zero bytes that end most ID3v2 tag areas (the
// padding) are counted ("v2pad") rather than written out.
namespace JournalRecords {

// Appends the record of a file's state: kind "b" (before the change, with both tags) or "a"
// (after it, without them).
void AppendState(QByteArray& out, char kind, int number, const TJournalFileState& state);
// Appends the record of a move about to be made.
void AppendMove(QByteArray& out, int number, const QString& to);
// Appends the record of a file announced and then left alone.
void AppendUnchanged(QByteArray& out, int number);

// The state in a record read back; with tags, both tag areas too. Nothing when a field is
// missing or does not agree with the others.
std::optional<TJournalFileState> StateFrom(const QJsonObject& o, bool withTags);

} // namespace JournalRecords
