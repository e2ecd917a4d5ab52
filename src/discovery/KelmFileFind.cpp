#include "discovery/KelmFileFind.h"

#include "discovery/FileNamePattern.h"
#include "discovery/FilePaths.h"
#include "discovery/FolderPrefetch.h"
#include "support/Error.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <new>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_set>
#include <vector>

namespace {

struct TFolderId {
    dev_t Device;
    ino_t Inode;
    bool operator==(const TFolderId&) const = default;
};

struct TFolderIdHash {
    size_t operator()(const TFolderId& id) const {
        return std::hash<unsigned long long>()(static_cast<unsigned long long>(id.Inode) * 31u +
                                               static_cast<unsigned long long>(id.Device));
    }
};

struct TListedEntry {
    QString Name;
    QByteArray Bytes;
    QString SortKey;
};

// Upper-cases unit by unit, as NTFS orders its folder entries.
QString SortKeyOf(const QString& name) {
    QString key(name.size(), Qt::Uninitialized);
    QChar* out = key.data();
    for (QChar c : name)
        *out++ = c.toUpper();
    return key;
}

void SortEntries(std::vector<TListedEntry>& entries) {
    std::sort(entries.begin(), entries.end(), [](const TListedEntry& a, const TListedEntry& b) {
        if (const int byKey = QString::compare(a.SortKey, b.SortKey, Qt::CaseSensitive))
            return byKey < 0;
        if (const int byName = QString::compare(a.Name, b.Name, Qt::CaseSensitive))
            return byName < 0;
        return a.Bytes < b.Bytes;
    });
}

// Closes a folder's descriptor when the listing ends.
class TFdCloser {
public:
    explicit TFdCloser(int fd) : FFd(fd) {}
    ~TFdCloser() { ::close(FFd); }
    TFdCloser(const TFdCloser&) = delete;
    TFdCloser& operator=(const TFdCloser&) = delete;

private:
    int FFd;
};

bool IsAscii(const QByteArray& bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// One walk of one start folder with one pattern.
class TWalk {
public:
    TWalk(const TFileNamePattern& pattern, bool listHidden, bool recursive,
          const TKelmFileFind::TFolderCallback& onFolder, QStringList& found, QStringList& skipped)
        : FPattern(pattern), FListHidden(listHidden), FRecursive(recursive), FOnFolder(onFolder),
          FFound(found), FSkipped(skipped) {}

    bool Stopped() const { return FStopped; }

    void Walk(const QString& folder, const QByteArray& folderBytes) {
        std::vector<TListedEntry> files;
        std::vector<TListedEntry> folders;
        if (!List(folder, folderBytes, files, folders))
            return;
        if (FOnFolder && !FOnFolder(folder, FFound.size())) {
            FStopped = true;
            return;
        }
        SortEntries(files);
        for (const TListedEntry& file : files)
            FFound.append(JoinPath(folder, file.Name));
        if (!FRecursive)
            return;
        SortEntries(folders);
        const QByteArray prefix = folderBytes.endsWith('/') ? folderBytes : folderBytes + '/';
        for (const TListedEntry& sub : folders) {
            Walk(JoinPath(folder, sub.Name), prefix + sub.Bytes);
            if (FStopped)
                return;
        }
    }

private:
    enum class TKind { Other, File, Folder };

    // Reads the folder once, keeping the matching files and the subfolders to enter. Returns
    // false when the folder cannot be opened or was walked before.
    bool List(const QString& folder, const QByteArray& folderBytes,
              std::vector<TListedEntry>& files, std::vector<TListedEntry>& folders) {
        const int fd = ::open(folderBytes.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            return false;
        const TFdCloser closer(fd);
        struct stat st;
        if (::fstat(fd, &st) != 0 || !FVisited.insert({st.st_dev, st.st_ino}).second)
            return false;
        std::vector<TListedEntry> skipped;
        // A listing that fails part way keeps the entries read so far, as readdir would.
        for (;;) {
            const ssize_t filled = ::getdents64(fd, FListing.data(), FListing.size());
            if (filled <= 0)
                break;
            for (ssize_t at = 0; at < filled;) {
                const auto* entry = reinterpret_cast<const dirent64*>(FListing.data() + at);
                at += entry->d_reclen;
                const char* const rawName = entry->d_name;
                if (std::strcmp(rawName, ".") == 0 || std::strcmp(rawName, "..") == 0)
                    continue;
                const QByteArray bytes(rawName);
                const bool hidden = bytes.startsWith('.');
                const QString name = QFile::decodeName(bytes);
                const bool wantFile = (FListHidden || !hidden) && FPattern.Matches(name);
                const bool wantFolder = FRecursive && !hidden;
                if (!wantFile && !wantFolder)
                    continue;
                const TKind kind = KindOf(fd, entry->d_type, rawName);
                if (!(kind == TKind::File && wantFile) && !(kind == TKind::Folder && wantFolder))
                    continue;
                if (!IsAscii(bytes) && QFile::encodeName(name) != bytes) {
                    skipped.push_back({name, bytes, SortKeyOf(name)});
                    continue;
                }
                (kind == TKind::File ? files : folders).push_back({name, bytes, SortKeyOf(name)});
            }
        }
        SortEntries(skipped);
        for (const TListedEntry& entry : skipped)
            FSkipped.append(JoinPath(folder, entry.Name));
        return true;
    }

    // The file type from the listing where it tells; links and unknown types cost one stat,
    // which follows the link (a dangling link is Other).
    static TKind KindOf(int dirFd, unsigned char type, const char* name) {
        switch (type) {
        case DT_REG:
            return TKind::File;
        case DT_DIR:
            return TKind::Folder;
        case DT_LNK:
        case DT_UNKNOWN: {
            struct stat st;
            if (::fstatat(dirFd, name, &st, 0) != 0)
                return TKind::Other;
            if (S_ISREG(st.st_mode))
                return TKind::File;
            return S_ISDIR(st.st_mode) ? TKind::Folder : TKind::Other;
        }
        default:
            return TKind::Other;
        }
    }

    const TFileNamePattern& FPattern;
    const bool FListHidden;
    const bool FRecursive;
    const TKelmFileFind::TFolderCallback& FOnFolder;
    QStringList& FFound;
    QStringList& FSkipped;
    std::unordered_set<TFolderId, TFolderIdHash> FVisited;
    // One buffer for every folder's listing: opendir would allocate and fault in a fresh one for
    // each folder, which costs more than listing a small folder.
    std::vector<char> FListing = std::vector<char>(32 * 1024);
    bool FStopped = false;
};

QString WithoutTrailingSeparators(QString folder) {
    while (folder.size() > 1 && folder.endsWith(u'/'))
        folder.chop(1);
    return folder;
}

} // namespace

void TKelmFileFind::SetStartDir(const QString& folders) {
    SetStartDirs(folders.split(u';'));
}

void TKelmFileFind::SetStartDirs(const QStringList& folders) {
    FStartDir.clear();
    for (const QString& folder : folders)
        if (!folder.isEmpty() && QFileInfo(folder).isDir())
            FStartDir.append(WithoutTrailingSeparators(folder));
}

void TKelmFileFind::SetFilePattern(const QString& patterns) {
    FFilePattern = patterns.split(u';');
}

void TKelmFileFind::Execute() {
    FFilesFound.clear();
    FSkippedNames.clear();
    FStopped = false;
    try {
        for (const QString& folder : std::as_const(FStartDir)) {
            std::optional<TFolderPrefetch> prefetch;
            if (FRecursive)
                prefetch.emplace(QFile::encodeName(folder));
            for (const QString& patternText : std::as_const(FFilePattern)) {
                const TFileNamePattern pattern(patternText);
                TWalk walk(pattern, FFileType.testFlag(ftHidden), FRecursive, FOnFolder,
                           FFilesFound, FSkippedNames);
                walk.Walk(folder, QFile::encodeName(folder));
                if (walk.Stopped()) {
                    FStopped = true;
                    return;
                }
            }
        }
    } catch (const std::bad_alloc&) {
        throw TError(QStringLiteral("Too many files"));
    }
}

QString TKelmFileFind::BaseFolder() const {
    if (FStartDir.isEmpty())
        return {};
    // Compare with a trailing "/" so that a folder shares its whole self with a folder below it.
    const auto withSlash = [](const QString& f) { return f.endsWith(u'/') ? f : f + u'/'; };
    QString base = withSlash(FStartDir.first());
    for (qsizetype i = 1; i < FStartDir.size(); ++i) {
        const QString other = withSlash(FStartDir[i]);
        qsizetype common = 0;
        while (common < base.size() && common < other.size() && base[common] == other[common])
            ++common;
        const qsizetype cut = base.left(common).lastIndexOf(u'/');
        base = base.left(cut + 1);
    }
    return base;
}

std::function<bool(const QString&)> TKelmFileFind::DepthFilter(int minDepth, int maxDepth) const {
    if (FStartDir.isEmpty())
        return [](const QString&) { return true; };
    const int baseDepth = PathDepth(BaseFolder());
    return [=](const QString& file) {
        const int depth = FileDepth(file) - baseDepth;
        return depth >= minDepth && depth <= maxDepth;
    };
}

qsizetype TKelmFileFind::FilterFilesFoundDepth(int minDepth, int maxDepth) {
    if (FStartDir.isEmpty())
        return 0;
    const auto keep = DepthFilter(minDepth, maxDepth);
    QStringList kept;
    kept.reserve(FFilesFound.size());
    for (QString& file : FFilesFound)
        if (keep(file))
            kept.append(std::move(file));
    const qsizetype removed = FFilesFound.size() - kept.size();
    FFilesFound = std::move(kept);
    return removed;
}
