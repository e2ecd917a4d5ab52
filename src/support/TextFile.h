#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Reading and writing the text files the program keeps (data files, playlists, exports, logs).
namespace TextFile {

// A byte-order mark decides (UTF-8, UTF-16 LE/BE); without one the bytes are UTF-8 when they
// are valid UTF-8, Windows-1252 otherwise.
QString Decode(const QByteArray& bytes);
QString DecodeWindows1252(const QByteArray& bytes);

// Reads and decodes a whole file; throws TError when the file exists but cannot be read.
QString Read(const QString& path);

// Cuts text at CR LF, lone LF and lone CR; a final line break adds no empty line.
QStringList SplitLines(const QString& text);

enum class Bom { Without, With };

// The lines as UTF-8, each ended by CR LF.
QByteArray EncodeLines(const QStringList& lines, Bom bom = Bom::Without);

// Writes the lines as UTF-8, each ended by CR LF, to a temporary file beside the target that
// is then renamed over it, so a crash never leaves half a file. Returns false on failure.
bool WriteLines(const QString& path, const QStringList& lines, Bom bom = Bom::Without);

// Replaces the file's contents atomically, as WriteLines does. Returns false on failure, with
// the reason in error when one is given.
bool WriteAtomically(const QString& path, const QByteArray& bytes, QString* error = nullptr);

} // namespace TextFile
