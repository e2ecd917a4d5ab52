#pragma once

#include "settings/KelmRegistryEnhanced.h"
#include "settings/OptionSet.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// "Options\" followed by the option's name.
QString OptionValuePath(const QString& optionName);

// Reads one single-valued option into options; a value that is missing, of a kind the option
// cannot take, or outside the option's range leaves the value options already holds.
void ReadOption(const TKelmRegistryEnhanced& store, const TOptionDescriptor& option,
                TOptionSet& options);
// Writes one single-valued option: Booleans as 0 or 1, integers as integers, the rest as strings.
bool WriteOption(TKelmRegistryEnhanced& store, const TOptionDescriptor& option,
                 const TOptionSet& options);

// The lines of MP3Genres.def in the data folder, read whole (nothing stripped), except its
// comment lines (first character "#") and empty lines. Empty when the file is missing or
// cannot be read.
QStringList ReadGenreFileLines(const QString& dataFolder);

// Reads every option, each with its default when the store has none. The Genres list defaults
// to genreFileLines and Update Data Files to the entry names of the loaded update list, all
// checked; the check lists come back sorted. A stored Genres list that holds comment lines of the
// genre file (stored so by an earlier version) loses them and its empty items.
TOptionSet LoadOptionsFromRegistry(TKelmRegistryEnhanced& store, const TOptionDefaults& platform,
                                   const QStringList& genreFileLines,
                                   const QStringList& updateListEntryNames);

// Writes every option, the check lists whole; all of it reaches the file in one step.
// False when the store could not be written.
bool SaveOptionsToRegistry(TKelmRegistryEnhanced& store, const TOptionSet& options);

// The components that keep a copy of an option value. Each component wires itself in when it
// exists; targets left empty are skipped.
struct TOptionTargets {
    std::function<void(bool)> SetFileSearchRecursive;
    // The main list's column widths, read and set back after the stored widths are applied.
    std::function<QList<int>()> MainListColumnWidths;
    std::function<void(const QList<int>&)> SetMainListColumnWidths;
    std::function<void(const QString&)> SetMP3valFolder;
    std::function<void(const QString&)> SetMP3GainFolder;
    std::function<void(bool)> SetMP3GainDefaultVolumeEnabled;
    std::function<void(const QString&)> SetMp3tagFolder;
    std::function<void(const QString& address, const QString& port)> SetUpdateCheckerProxy;
};

// Pushes the values other components keep into them, and restores the main list's column
// widths, or forgets them in the store while RememberColumnsSize is off.
void ActivateOptions(const TOptionSet& options, TKelmRegistryEnhanced& store,
                     const TOptionTargets& targets);
