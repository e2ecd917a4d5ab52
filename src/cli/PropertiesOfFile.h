#pragma once

#include <QString>
#include <cstdio>

class TMainWindowState;
class TPropertiesDialogState;

// Opens the properties dialog's state on the one row that reading path gave the list, as the
// desktop program does for a selected row. Null, with a message on err, when the list holds no
// row or more than one, or when the file's tags cannot be read.
TPropertiesDialogState* OpenPropertiesOf(TMainWindowState& state, const QString& path,
                                         std::FILE* err);
