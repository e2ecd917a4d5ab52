#pragma once

#include <QString>
#include <cstdio>

class TMainWindowState;
class TPropertiesDialogState;

// Reads one path as the list command reads its paths and opens the properties dialog's state on
// the one row it gives, as the desktop program does for a selected row. Null, with a message on
// err, when the path gives no row or more than one, or when the file's tags cannot be read.
TPropertiesDialogState* OpenPropertiesOf(TMainWindowState& state, const QString& path,
                                         std::FILE* err);
