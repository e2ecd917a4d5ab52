#pragma once

#include "settings/OptionSet.h"

#include <QString>

// Where the outside programs are, by the folders the options name. Each returns the full path of
// the executable, or an empty string when it is not there (its command then stays disabled).
namespace ToolExecutables {

QString MP3val(const TOptionSet& options);
// MP3Gain's own window when UseMP3GainUserInterface is on, else the command-line program.
QString MP3Gain(const TOptionSet& options);
// Mp3tag is a Windows program: it needs Mp3tag.exe in its folder and wine on PATH.
QString Mp3tag(const TOptionSet& options);

} // namespace ToolExecutables
