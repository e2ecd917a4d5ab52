#pragma once

#include <QString>

// Where the program keeps its files on a Linux desktop (XDG base directories).
namespace PlatformFolders {

QString ConfigFolder();        // $XDG_CONFIG_HOME/Tessaly/Varnholm
QString DataFolder();          // $XDG_DATA_HOME/Tessaly/Varnholm
QString StateFolder();         // $XDG_STATE_HOME/Tessaly/Varnholm
QString MusicFolder();         // the user's music folder, empty when there is none
QString InstalledDataFolder(); // data files shipped with the program

// The folder holding the executable found on PATH under one of the names, else "/usr/bin".
QString ToolFolder(const QStringList& executableNames);
QString Mp3tagFolder(); // Mp3tag has no Linux build; it runs under wine

} // namespace PlatformFolders
