#pragma once

#include <QByteArray>
#include <QString>

// Writing an export file (a CSV table or a playlist) in place of whatever had its name.
namespace ExportFile {

// The extension of a path's file name with its dot (".csv"), "" when the name has none.
QString Extension(const QString& path);

// The name of the copy kept of a CSV file before it is replaced: the extension gets a tilde
// after its dot ("list.csv" becomes "list.~csv"), a name without one gets ".~" appended.
QString BackupName(const QString& path);

enum class TBackup { None, Keep };

// Writes bytes to path through a temporary file renamed into place, so that an earlier file of
// that name is never left half-written. With TBackup::Keep an existing file is first copied to
// its backup name (an older backup is replaced; a failed copy does not stop the write).
// False on failure, with the reason in error.
bool Write(const QString& path, const QByteArray& bytes, TBackup backup, QString& error);

// "Cannot write "PATH": REASON", the message of a failed Write.
QString WriteErrorMessage(const QString& path, const QString& error);

} // namespace ExportFile
