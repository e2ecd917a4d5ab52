#pragma once

#include <QString>
#include <QStringList>

class UiPort;

// Reading and writing the learned-data files (UTF-8 with a byte-order mark, CR LF).
namespace LearnedFile {

// The non-empty lines of the file; none when it does not exist. Throws TError when it exists
// but cannot be read.
QStringList Load(const QString& path);

// True when another process holds an advisory lock (flock or fcntl) on the file, or when it
// exists and cannot be opened for writing.
bool IsInUse(const QString& path);

// Writes the lines in place of the file, in one step. A file in use is first reported with a
// warning; when it is still in use afterwards, or the writing fails, an error says so and the
// file stays as it was. Returns true when the file was written.
bool Save(const QString& path, const QStringList& lines, UiPort& ui);

} // namespace LearnedFile
