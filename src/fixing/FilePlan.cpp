#include "fixing/FilePlan.h"

#include "fixing/MP3FileTags.h"
#include "fixing/SafeRename.h"
#include "tags/ID3FileIO.h"
#include "tags/ID3v1Tag.h"
#include "tags/ID3v2FileWriter.h"
#include "tags/ID3v2Tag.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int WriteAccess(const QString& path) {
    return ::access(QFile::encodeName(path).constData(), W_OK) == 0 ? 0 : errno;
}

// The size of the tag area the file has now: header, tag and padding.
qint64 PresentAreaSize(const TID3v2Tag& v2) {
    return v2.HasTag() && v2.Header() ? ID3v2HeaderSize + qint64(v2.Header()->Size) : 0;
}

// The name of the file a path leads to, as QFileInfo::fileName gives it.
QString FileNameOf(const QString& path) {
    return path.sliced(path.lastIndexOf(u'/') + 1);
}

} // namespace

void TFilePlan::TagsOpened(TMP3FileTags& tags) {
    const TID3v2Tag& v2 = tags.ID3v2();
    SetTagFields(FBefore, v2, v2.WriteVersion(), tags.ID3v1().HasTag() ? &tags.ID3v1() : nullptr,
                 true);
}

void TFilePlan::CommitTags(TMP3FileTags& tags, bool writeID3v1) {
    // The steps of TMP3FileTags::WriteToFile and TID3v2Tag::Commit up to the write itself.
    const QString& fileName = tags.FileName();
    TID3v2Tag& v2 = tags.ID3v2();
    TID3v1Tag& v1 = tags.ID3v1();
    v2.Frames().RemoveEmptyFrames();
    TID3Version present;
    const bool writesID3v2 = v2.FrameCount() > 0 || TID3v2Tag::ProbeID3v2Header(fileName, present);
    const bool writesID3v1 = writeID3v1 && v1.HasTag();
    if (!writesID3v2 && !writesID3v1)
        return;
    const TID3v2WriteLayout layout = v2.WriteLayout();
    const TID3Version version = layout.Version;
    if (writesID3v2)
        PrepareID3v2FramesForWriting(v2.Frames());
    // The fields build the frames' contents, which then measure the tag: the tag itself is
    // never built.
    SetTagFields(FAfter, v2, version, nullptr, false, &FContents, &FBefore);
    if (writesID3v2) {
        const qint64 size = ID3v2TagSize(
            v2.Frames(), layout, [this, version](qsizetype index, const TID3Frame& frame) {
                const QByteArray& built = FContents[index];
                return built.isNull() ? frame.BuildContent(version) : built;
            });
        const qint64 area = PresentAreaSize(v2);
        // Throws when the tag is too big, as the image would.
        ID3v2AreaSize(size, ID3v2Padding(size, area));
        // A tag that does not fill its area exactly is written by rebuilding the file in the
        // folder of the file a link leads to.
        if (ID3v2TagRebuildsFile(size, area))
            if (const int error = FolderWriteAccess(ID3v2RebuiltFile(fileName)))
                ID3FileIO::Fail(ID3FileIO::Operation::Create, fileName, error);
    }
    if (const int error = WriteAccess(fileName))
        ID3FileIO::Fail(ID3FileIO::Operation::Open, fileName, error);

    if (writesID3v1) {
        TID3v1Tag written;
        written.OpenFromLastBytes(v1.TagBytes());
        AppendID3v1Fields(FAfter, written);
    } else {
        for (const TTagField& field : std::as_const(FBefore))
            if (field.ComparesText)
                FAfter.append(field);
    }
    for (const TFieldChange& change : ChangedFields(FBefore, FAfter))
        FChanges.append({fileName, TPlannedChange::Kind::Tag, change.Name, change.Old, change.New});
}

int TFilePlan::FolderWriteAccess(const QString& path) {
    // Asked once per folder: nothing the run does changes a folder's permissions, and a folder
    // holds many files, mostly one after the other.
    const qsizetype slash = path.lastIndexOf(u'/');
    const QStringView folder = QStringView(path).first(slash + 1);
    if (FLastFolderAccess >= 0 && folder == FLastFolder)
        return FLastFolderAccess;
    FLastFolder = folder.toString();
    const auto known = FFolderAccess.constFind(FLastFolder);
    if (known != FFolderAccess.cend()) {
        FLastFolderAccess = *known;
    } else {
        FLastFolderAccess = WriteAccess(QFileInfo(path).absolutePath());
        FFolderAccess.insert(FLastFolder, FLastFolderAccess);
    }
    return FLastFolderAccess;
}

int TFilePlan::MoveError(const QString& from, const QString& to) {
    const auto moved = FMoved.constFind(to);
    if (moved != FMoved.cend() && *moved == TNameState::Taken)
        return EEXIST;
    if (moved == FMoved.cend() && NameExists(to) && !SameFile(from, to))
        return EEXIST;
    return FolderWriteAccess(to);
}

TMoveResult TFilePlan::Move(const QString& from, const QString& to) {
    if (const int error = MoveError(from, to)) {
        const TMoveResult failed = MoveFailure(error);
        FChanges.append(
            {from, TPlannedChange::Kind::Skip, QString(), FileNameOf(from),
             QStringLiteral("not renamed to \"%1\": %2").arg(FileNameOf(to), failed.Error)});
        return failed;
    }
    FMoved.insert(from, TNameState::Freed);
    FMoved.insert(to, TNameState::Taken);
    FChanges.append(
        {from, TPlannedChange::Kind::Rename, QString(), FileNameOf(from), FileNameOf(to)});
    TMoveResult moved;
    moved.Moved = true;
    return moved;
}

void TFilePlan::FileSkipped(const QString& fileName, const QString& reason) {
    FChanges.append({fileName, TPlannedChange::Kind::Skip, QString(), QString(), reason});
}

bool TFilePlan::HasChanges() const {
    for (const TPlannedChange& change : FChanges)
        if (change.Change != TPlannedChange::Kind::Skip)
            return true;
    return false;
}
