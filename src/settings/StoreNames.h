#pragma once

#include <QString>

// The names the program keeps in the settings store, below its root key, besides the options
// themselves (those are "Options\" followed by the option's name, and the check list keys).
namespace StoreNames {

inline const QString OptionsKey = QStringLiteral("Options");
// Folder settings, read at start-up and never written by the program.
inline const QString DefFilesPath = QStringLiteral("DefFilesPath");
inline const QString AdvancedLibraryFilesPath = QStringLiteral("AdvancedLibraryFilesPath");
// Written at close for outside tools; never read.
inline const QString ApplicationPath = QStringLiteral("ApplicationPath");
inline const QString Version = QStringLiteral("Version");
inline const QString MainWindowFormInfo = QStringLiteral("FormInfo\\Main Window");
inline const QString ListViewInfoKey = QStringLiteral("ListViewInfo");
inline const QString MainWindowListViewInfo = QStringLiteral("ListViewInfo\\Main Window");
inline const QString BrowseHistory = QStringLiteral("History Lists\\Browse");
inline const QString OpenHistory = QStringLiteral("History Lists\\Open");

} // namespace StoreNames
