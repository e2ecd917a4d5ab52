#pragma once

#include <QString>

// Writes the file's pages out and asks the system to let them go from its cache, so that the
// next read has to come from the storage. False when the file cannot be opened or synced.
bool DropFromPageCache(const QString& path);
