#pragma once

#include <QString>

// Telling the kinds of download source apart and naming the local file a download is kept as.

// True when the text begins with two backslashes (a Windows network path).
bool IsUNCPath(const QString& source);
// True for a valid absolute address with a scheme that is not a network path.
bool IsURL(const QString& source);
// True when the text, lower-cased, begins with "https" (only the prefix counts).
bool IsHTTPSURL(const QString& source);
// A source the data file update copies as a file: a network path, an absolute local path (a
// mounted share) or a file:// address.
bool IsFileSource(const QString& source);
// The local path a file source is read from.
QString FileSourcePath(const QString& source);

// '"' + source + '" is an invalid source.'
QString InvalidSourceMessage(const QString& source);

// The local file name a download from the source is stored under: for an address, the text
// after its last "/" (empty when it ends with "/"); for an address of the IEEE registration
// authority with a query, its registry name with ".csv" or ".txt"; for a network path, its
// file-name part. For anything else, error receives InvalidSourceMessage and the name is empty.
QString GetFileNameFromSource(const QString& source, QString& error);

// A name that can safely be joined to a folder: not empty, not "." or "..", no "/" or "\".
bool IsPlainFileName(const QString& name);
