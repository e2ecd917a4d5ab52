#pragma once

#include <QFlags>
#include <QString>
#include <QStringList>
#include <functional>

// Which kinds of files a search lists besides plain ones. On Linux only ftHidden has an effect
// (names beginning with "."); files carry no read-only, system or archive attribute, and folders
// are never listed.
enum TFileTypeFlag {
    ftReadOnly = 0x01,
    ftHidden = 0x02,
    ftSystem = 0x04,
    ftVolumeID = 0x08,
    ftDirectory = 0x10,
    ftArchive = 0x20,
    ftNormal = 0x40,
};
Q_DECLARE_FLAGS(TFileType, TFileTypeFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TFileType)

// Lists the files under one or more folders whose names match one or more patterns.
//
// Walk order: a folder's own matches, then each subfolder's whole tree (depth-first, pre-order).
// Within a folder, names are sorted by their UTF-16 units upper-cased one by one, the order an
// NTFS folder lists them in, so that every run lists a library the same way; names equal
// without regard to case are ordered by their exact UTF-16 units.
//
// Hidden folders (names beginning with ".") are never entered. Symbolic links are followed,
// but a folder already walked in the same walk (same device and inode) is not entered again,
// so link loops end and a tree reached twice is listed once. Folders that cannot be opened are
// skipped with everything below them; dangling links, named pipes and devices are not listed.
// Names that do not survive decoding to text and back (bytes that are not valid UTF-8) cannot
// be opened again by path, so they are not listed; SkippedNames() names them for a log.
class TKelmFileFind {
public:
    // Called before a folder's own files are added, with the folder and the number of files
    // found so far; returning false stops the search where it is.
    using TFolderCallback = std::function<bool(const QString& folder, qsizetype filesFound)>;

    // Folders separated by ";". Entries that are not existing folders are dropped; trailing
    // "/" are removed, except from the root "/".
    void SetStartDir(const QString& folders);
    // The same for a list of folders that is not split, for folder names containing ";".
    void SetStartDirs(const QStringList& folders);
    const QStringList& StartDir() const { return FStartDir; }

    // Patterns separated by ";", wildcards "*" and "?"; "*.*" until set.
    void SetFilePattern(const QString& patterns);
    const QStringList& FilePattern() const { return FFilePattern; }

    void SetFileType(TFileType fileType) { FFileType = fileType; }
    TFileType FileType() const { return FFileType; }

    void SetRecursive(bool recursive) { FRecursive = recursive; }
    bool Recursive() const { return FRecursive; }

    void SetOnFolder(TFolderCallback onFolder) { FOnFolder = std::move(onFolder); }

    // Empties FilesFound, then walks every start folder with every pattern, in list order, one
    // complete walk each. Throws TError("Too many files") when memory runs out; what was found
    // until then stays in FilesFound.
    void Execute();

    // True when the last Execute was ended by the folder callback.
    bool Stopped() const { return FStopped; }

    // Removes every file lying less than minDepth or more than maxDepth folder levels below the
    // start folder (0: the start folder itself) and returns how many were removed. With several
    // start folders the depth counts from the deepest folder holding them all. Without a start
    // folder nothing is removed.
    qsizetype FilterFilesFoundDepth(int minDepth, int maxDepth);
    // Whether a file is one that FilterFilesFoundDepth(minDepth, maxDepth) keeps, for taking the
    // files while the walk goes on.
    std::function<bool(const QString& file)> DepthFilter(int minDepth, int maxDepth) const;

    // Full paths of the matching files in the order found.
    const QStringList& FilesFound() const { return FFilesFound; }
    // Paths, decoded as well as they go, of names left out because they cannot round-trip.
    const QStringList& SkippedNames() const { return FSkippedNames; }

    // The folder the depth filter counts from; empty without a start folder.
    QString BaseFolder() const;

private:
    QStringList FStartDir;
    QStringList FFilePattern{QStringLiteral("*.*")};
    TFileType FFileType = ftNormal;
    bool FRecursive = true;
    TFolderCallback FOnFolder;
    bool FStopped = false;
    QStringList FFilesFound;
    QStringList FSkippedNames;
};
