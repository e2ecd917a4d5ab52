#pragma once

#include <QString>

// Path helpers shared by the file search and the playlists. Paths use "/"; the root "/" keeps
// its separator.

// The folder and the name joined by one "/", without doubling a separator the folder ends with.
QString JoinPath(const QString& folder, const QString& name);

// The number of non-empty components of a folder path: "/" is 0, "/music/Album" is 2.
int PathDepth(const QString& folder);

// The depth of the folder that holds the file.
int FileDepth(const QString& filePath);

// True when the path names a regular file, following symbolic links. Folders, devices, named
// pipes and dangling links are not files: reading a named pipe would block for ever.
bool IsRegularFile(const QString& path);
