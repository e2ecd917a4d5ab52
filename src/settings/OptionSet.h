#pragma once

#include <QString>
#include <QVector>
#include <variant>

// One item of a check list: a text the user can tick.
struct TCheckListItem {
    QString Text;
    bool Checked = true;
    bool operator==(const TCheckListItem&) const = default;
};
using TCheckList = QVector<TCheckListItem>;

// The folders and proxy values that the defaults are computed from, once at start-up.
struct TOptionDefaults {
    QString MusicFolder;
    QString MP3valFolder;
    QString MP3GainFolder;
    QString Mp3tagFolder;
    bool SystemUsesProxy = false;
    QString SystemProxyHost;
    QString SystemProxyPort; // empty when the system names none
    static TOptionDefaults FromPlatform();
};

// The user's choice of how the program behaves. Every part of the program reads the current
// value from the one instance the application owns; the field names are the settings value names.
struct TOptionSet {
    // Preferences
    bool Recursive = true;
    bool PromptBeforeOverwritingFiles = true;
    bool CleanAttributesDuringReadingProcess = false;
    bool FormatTitleDuringFixingProcess = false;
    bool MoveFeaturingsFromTitleToComments = false;
    bool EmbedCoverArtDuringFixingProcess = false;
    bool ForceFixStateToEnabled = false;
    bool RememberColumnsSize = false;
    int RecentlyUsedFileList = 5;
    // Advanced
    bool LimitSearchDepth = false;
    int MaxSearchDepth = 8;
    bool PreserveFileDateTime = false;
    bool ExportPlaylistUsingExtendedM3UFormat = true;
    bool ExportPlaylistUsingAbsolutePath = false;
    QString MusicLibraryHomePath;
    // Integration
    QString MP3valPath;
    QString MP3GainPath;
    int MP3GainDefaultVolume = 89;
    bool UseMP3GainUserInterface = false;
    QString Mp3tagPath;
    // MP3 Name
    int MP3NameComputing = 3;
    // Check lists
    TCheckList Genres;
    TCheckList Suffixes = DefaultSuffixes();
    TCheckList UpdateDataFiles;
    // Update
    bool UseProxyServer = false;
    QString ProxyAddress;
    QString ProxyPort = QStringLiteral("80");

    bool operator==(const TOptionSet&) const = default;

    // The values loading uses when the store holds none. The Genres and Update Data Files
    // defaults come from the loaded data files and are filled in by their owners.
    static TOptionSet Defaults(const TOptionDefaults& platform);
    static TCheckList DefaultSuffixes();
};

// The naming modes of MP3NameComputing.
enum TMP3NameComputingMode { nmCompact = 0, nmExpanded = 1, nmFolded = 2, nmMixed = 3 };

// Describes one single-valued option: its settings value name, where it lives in TOptionSet,
// and the range an integer must lie in.
struct TOptionDescriptor {
    const char* Name;
    std::variant<bool TOptionSet::*, int TOptionSet::*, QString TOptionSet::*> Member;
    int Minimum = 0;
    int Maximum = 0;
};

// The twenty-four single values, in the order of the options dialog's pages.
const QVector<TOptionDescriptor>& OptionDescriptors();

// Check list names as the settings store knows them.
inline const QString GenresListName = QStringLiteral("Genres");
inline const QString SuffixesListName = QStringLiteral("Suffixes");
inline const QString UpdateDataFilesListName = QStringLiteral("Update Data Files");

// Describes one check list option: its settings key name and where it lives in TOptionSet.
struct TCheckListDescriptor {
    QString Name;
    TCheckList TOptionSet::*Member;
};

// The three check lists, in the order of the options dialog's pages.
const QVector<TCheckListDescriptor>& CheckListDescriptors();

// The option lists are shown sorted alphabetically without regard to case; items that compare
// equal keep their order.
void SortCheckList(TCheckList& list);
