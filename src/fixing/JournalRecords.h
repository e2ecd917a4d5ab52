#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <optional>
#include <sys/uio.h>
#include <vector>

struct TJournalFileState;

// The records of a journal: one JSON object per line, and after the line of a state record with
// tags, those tags as they are (the ID3v2 area without its padding, then the ID3v1 tag), as many
// bytes as its sizes say. A fix writes a record of every file it changes, and most of a journal
// is the original tags: the records are written straight into the caller's buffer rather than
// built as JSON objects first, and the tag bytes go to the file from where they are. Reading
// them back goes through the JSON reader.
//
// A state record holds the file's path, size, last-write time, the sizes and digests of its tag
// areas and, with the tags, both tag areas. The zero bytes that end most ID3v2 tag areas (the
// padding) are counted ("v2pad") rather than written out. Journals of format 1 held the tags in
// Base64 inside the line ("v2", "v1"); they still read.
namespace JournalRecords {

// The format this program writes.
inline constexpr int FormatVersion = 2;

// Records on their way to the journal: their text, with the tag bytes that follow a state record
// held by reference (the bytes are shared, not copied) until they are written.
class TBuffer {
public:
    QByteArray& Text() { return FText; }
    // Bytes that follow the text so far.
    void AppendBytes(const QByteArray& bytes, qsizetype length);
    bool IsEmpty() const { return FText.isEmpty(); }
    qsizetype Size() const { return FText.size() + FBytesSize; }
    void Clear();
    // The buffer as pieces for writev, in order, appended to parts.
    void AddTo(std::vector<iovec>& parts) const;

private:
    struct TBytes {
        qsizetype TextEnd; // the text that goes before them
        QByteArray Bytes;
        qsizetype Length;
    };
    QByteArray FText;
    QList<TBytes> FBytes;
    qsizetype FBytesSize = 0;
};

// Appends the record of a file's state: kind "b" (before the change, with both tags) or "a"
// (after it, without them).
void AppendState(TBuffer& out, char kind, int number, const TJournalFileState& state);
// Appends the record of a move about to be made.
void AppendMove(QByteArray& out, int number, const QString& to);
// Appends the record of a file announced and then left alone.
void AppendUnchanged(QByteArray& out, int number);

// How many tag bytes follow the line of the record o in a journal of the given format.
qsizetype TagBytesAfter(const QJsonObject& o, int format);
// The state in a record read back; with tags (tagBytes: those that followed its line), both tag
// areas too. Nothing when a field is missing or does not agree with the others.
std::optional<TJournalFileState> StateFrom(const QJsonObject& o, int format, bool withTags,
                                           QByteArrayView tagBytes = {});

} // namespace JournalRecords
