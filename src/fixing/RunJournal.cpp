#include "fixing/RunJournal.h"

#include "fixing/JournalRecords.h"

#include "support/Error.h"
#include "tags/ID3FileEnds.h"
#include "tags/ID3FileIO.h"
#include "tags/ID3v2Header.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <openssl/evp.h>
#include <openssl/sha.h>
#include <sys/uio.h>
#include <unistd.h>
#include <xxhash.h>

namespace {

const QString JournalSuffix = QStringLiteral(".journal");
constexpr qsizetype XXH3Length = 16;

// The digest of a tag area, told apart by its length. This program takes XXH3's 128-bit hash
// (16 bytes): the digests tell whether a file is still as a run left it, a guard against
// accidents rather than attacks, and the hash costs a small part of what SHA-256 costs per byte,
// which a fix pays twice for every file it changes. Journals of format 1 hold SHA-256 digests
// (32 bytes, from libcrypto, with the algorithm looked up once).
QByteArray Digest(QByteArrayView bytes, qsizetype length = XXH3Length) {
    if (length == SHA256_DIGEST_LENGTH) {
        static EVP_MD* const sha256 = EVP_MD_fetch(nullptr, "SHA256", nullptr);
        QByteArray digest(SHA256_DIGEST_LENGTH, Qt::Uninitialized);
        if (!sha256 ||
            !EVP_Digest(bytes.data(), size_t(bytes.size()),
                        reinterpret_cast<unsigned char*>(digest.data()), nullptr, sha256, nullptr))
            SHA256(reinterpret_cast<const unsigned char*>(bytes.data()), size_t(bytes.size()),
                   reinterpret_cast<unsigned char*>(digest.data()));
        return digest;
    }
    XXH128_canonical_t canonical;
    XXH128_canonicalFromHash(&canonical, XXH3_128bits(bytes.data(), size_t(bytes.size())));
    return QByteArray(reinterpret_cast<const char*>(canonical.digest), sizeof canonical.digest);
}

// Whether two states hold the same area, by their digests; when the digests are of different
// kinds (a state noted by an older journal), the one whose bytes are known is taken again.
bool SameArea(const QByteArray& bytesA, qint64 sizeA, const QByteArray& digestA,
              const QByteArray& bytesB, qint64 sizeB, const QByteArray& digestB) {
    if (sizeA != sizeB)
        return false;
    if (digestA.size() == digestB.size())
        return digestA == digestB;
    if (bytesA.size() == sizeA)
        return Digest(bytesA, digestB.size()) == digestB;
    if (bytesB.size() == sizeB)
        return Digest(bytesB, digestA.size()) == digestA;
    return false;
}

void SyncFolder(const QString& folder) {
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

QStringList JournalFiles(const QString& folder) {
    // The names are start times: sorted by name is sorted by age, newest last.
    QStringList names =
        QDir(folder).entryList({QStringLiteral("*") + JournalSuffix}, QDir::Files, QDir::Name);
    for (QString& name : names)
        name = folder + u'/' + name;
    return names;
}

} // namespace

bool TJournalFileState::SameTagsAs(const TJournalFileState& other) const {
    return Size == other.Size &&
           SameArea(ID3v2, ID3v2Size, ID3v2Digest, other.ID3v2, other.ID3v2Size,
                    other.ID3v2Digest) &&
           SameArea(ID3v1, ID3v1Size, ID3v1Digest, other.ID3v1, other.ID3v1Size, other.ID3v1Digest);
}

bool TJournalFileState::SameAs(const TJournalFileState& other) const {
    return TimeNs == other.TimeNs && SameTagsAs(other);
}

std::optional<TJournalFileState> ReadJournalFileState(const QString& path) {
    return JournalFileStateOf(path, ReadID3FileEnds(path));
}

std::optional<TJournalFileState> JournalFileStateOf(const QString& path, const TID3FileEnds& ends) {
    if (!ends.Opened || ends.ErrorCode != 0)
        return std::nullopt;
    TJournalFileState state;
    state.Path = path;
    state.Size = ends.FileSize;
    state.TimeNs = ends.Identity.ModifiedNs;
    if (ParseID3v2Header(ends.Start))
        state.ID3v2 = ends.Start;
    if (ends.Last.size() == 128 && ends.Last.startsWith("TAG") &&
        ends.FileSize >= state.ID3v2.size() + 128)
        state.ID3v1 = ends.Last;
    state.ID3v2Size = state.ID3v2.size();
    state.ID3v1Size = state.ID3v1.size();
    state.ID3v2Digest = Digest(state.ID3v2);
    state.ID3v1Digest = Digest(state.ID3v1);
    return state;
}

std::optional<TJournalRun> ReadJournalRun(const QString& fileName) {
    QByteArray bytes;
    try {
        bytes = ID3FileIO::ReadWholeFile(fileName);
    } catch (const TError&) {
        return std::nullopt;
    }
    TJournalRun run;
    run.FileName = fileName;
    run.Id = QFileInfo(fileName).completeBaseName();
    QHash<int, qsizetype> index; // file number -> position in run.Files
    QSet<qsizetype> unchanged;   // positions of the files the run announced and left alone
    qsizetype start = 0;
    bool header = false;
    int format = 1;
    for (;;) {
        const qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            break; // a torn last record, or none
        QJsonParseError error;
        const QJsonObject o =
            QJsonDocument::fromJson(bytes.mid(start, end - start), &error).object();
        start = end + 1;
        if (error.error != QJsonParseError::NoError)
            break;
        const qsizetype tagBytes = JournalRecords::TagBytesAfter(o, format);
        if (tagBytes < 0 || tagBytes > bytes.size() - start)
            break; // torn within the tags that follow the line
        const QByteArrayView tags = QByteArrayView(bytes).sliced(start, tagBytes);
        start += tagBytes;
        const QString kind = o.value(u"k").toString();
        if (!header) {
            if (kind != u"run")
                return std::nullopt;
            header = true;
            format = o.value(u"v").toInt(1);
            run.Operation = o.value(u"op").toString();
            run.Started = QDateTime::fromString(o.value(u"start").toString(), Qt::ISODateWithMs);
            continue;
        }
        const int number = o.value(u"n").toInt(-1);
        if (kind == u"b") {
            const auto state = JournalRecords::StateFrom(o, format, true, tags);
            if (!state)
                break;
            if (!index.contains(number)) {
                index.insert(number, run.Files.size());
                run.Files.append(TJournalledFile{*state, std::nullopt, {}});
                continue;
            }
            // An announced file that changed before the run came to it: its state then.
            TJournalledFile& file = run.Files[index.value(number)];
            if (file.After)
                break;
            file = TJournalledFile{*state, std::nullopt, {}};
            continue;
        }
        if (kind == u"u") {
            // Announced, then left alone by the run: nothing of it to undo. Its announcement
            // may have failed to reach the file.
            if (index.contains(number))
                unchanged.insert(index.value(number));
            continue;
        }
        if (!index.contains(number))
            break;
        TJournalledFile& file = run.Files[index.value(number)];
        if (kind == u"m") {
            file.PendingMove = o.value(u"to").toString();
        } else if (kind == u"a") {
            const auto state = JournalRecords::StateFrom(o, format, false);
            if (!state)
                break;
            file.After = *state;
            file.PendingMove.clear();
        } else {
            break;
        }
    }
    if (!header)
        return std::nullopt;
    for (qsizetype i = run.Files.size() - 1; i >= 0; --i)
        if (unchanged.contains(i))
            run.Files.removeAt(i);
    return run;
}

TRunJournal::TRunJournal(QString folder, QString operation)
    : FFolder(std::move(folder)), FOperation(std::move(operation)),
      FStarted(QDateTime::currentDateTimeUtc()) {}

TRunJournal::~TRunJournal() {
    Settle();
    NoteUnchanged();
    try {
        Append(JournalRecords::TBuffer(), false);
    } catch (const TError&) {
        // What could not be written is what undo can do without (see NoteAfter).
    }
    if (FFd >= 0) {
        ::fsync(FFd);
        ::close(FFd);
    }
}

void TRunJournal::Open() {
    if (!QDir().mkpath(FFolder))
        throw TError(
            QStringLiteral("The journal folder \"%1\" could not be created.").arg(FFolder));
    const QString stamp = FStarted.toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"));
    for (int attempt = 1; FFd < 0; ++attempt) {
        // Two runs started in one millisecond still sort in the order they started.
        const QString name = FFolder + u'/' + stamp + u'-' +
                             QStringLiteral("%1").arg(attempt, 2, 10, QLatin1Char('0')) +
                             JournalSuffix;
        FFd = ::open(QFile::encodeName(name).constData(),
                     O_WRONLY | O_CREAT | O_EXCL | O_APPEND | O_CLOEXEC, 0600);
        if (FFd >= 0)
            FFileName = name;
        else if (errno != EEXIST || attempt >= 99)
            ID3FileIO::Fail(ID3FileIO::Operation::Create, name, errno);
    }
    QJsonObject header;
    header[u"k"] = QStringLiteral("run");
    header[u"v"] = JournalRecords::FormatVersion;
    header[u"op"] = FOperation;
    header[u"start"] = FStarted.toString(Qt::ISODateWithMs);
    JournalRecords::TBuffer line;
    line.Text() = QJsonDocument(header).toJson(QJsonDocument::Compact) + '\n';
    WriteAll({}, line);
    SyncFolder(FFolder);
    PruneJournals(FFolder);
}

void TRunJournal::WriteAll(const JournalRecords::TBuffer& first,
                           const JournalRecords::TBuffer& second) {
    std::vector<iovec> parts;
    first.AddTo(parts);
    second.AddTo(parts);
    // O_APPEND: a record is never written over another; a short write is retried with the rest.
    size_t next = 0;
    while (next < parts.size()) {
        const ssize_t n =
            ::writev(FFd, parts.data() + next, int(std::min<size_t>(parts.size() - next, IOV_MAX)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            ID3FileIO::Fail(ID3FileIO::Operation::Write, FFileName, errno);
        for (size_t left = size_t(n); left > 0;) {
            iovec& part = parts[next];
            const size_t taken = std::min(left, part.iov_len);
            part.iov_base = static_cast<char*>(part.iov_base) + taken;
            part.iov_len -= taken;
            left -= taken;
            if (part.iov_len == 0)
                ++next;
        }
    }
}

void TRunJournal::Append(const JournalRecords::TBuffer& records, bool durable) {
    // The records waiting in memory go first: a file's records stay in the order they came.
    if (!FUnwritten.IsEmpty() || !records.IsEmpty()) {
        if (FFd < 0)
            Open();
        WriteAll(FUnwritten, records);
        FUnwritten.Clear();
    }
    if (durable && ::fdatasync(FFd) != 0)
        ID3FileIO::Fail(ID3FileIO::Operation::Write, FFileName, errno);
}

int TRunJournal::FileNumber(const QString& path, bool* isNew) {
    const auto found = FNumbers.constFind(path);
    *isNew = found == FNumbers.constEnd();
    if (!*isNew)
        return *found;
    const int number = FNextNumber++;
    FNumbers.insert(path, number);
    return number;
}

void TRunJournal::WillMove(const QString& from, const QString& to) {
    FIntendedMove.emplace(from, to);
}

void TRunJournal::Announce(const QList<TAnnouncedChange>& files) {
    // The records go to the file a few MB at a time, and are flushed once at the end.
    constexpr qsizetype WrittenAtOnce = qsizetype(4) << 20;
    Settle();
    QList<int> numbers;
    JournalRecords::TBuffer records;
    try {
        for (const TAnnouncedChange& file : files) {
            bool isNew = false;
            const int number = FileNumber(file.Path, &isNew);
            if (!isNew)
                continue;
            auto state = JournalFileStateOf(file.Path, file.Ends);
            if (!state) {
                FNumbers.remove(file.Path); // BeforeChange reports it, should the run get there
                continue;
            }
            JournalRecords::AppendState(records, 'b', number, *state);
            if (!file.MoveTo.isEmpty())
                JournalRecords::AppendMove(records.Text(), number, file.MoveTo);
            state->ID3v2.clear();
            state->ID3v1.clear();
            FAnnounced.insert(
                number, TAnnounced{std::move(*state), file.Ends.Identity, file.MoveTo, false});
            numbers.append(number);
            if (records.Size() >= WrittenAtOnce) {
                Append(records, false);
                records.Clear();
            }
        }
        if (!numbers.isEmpty())
            Append(records, true);
    } catch (const TError&) {
        return; // not durable: each file's BeforeChange writes its record again
    }
    for (const int number : numbers)
        FAnnounced[number].Durable = true;
}

bool TRunJournal::StillAsAnnounced(const QString& path, const TAnnounced& announced,
                                   const TID3FileEnds* known) const {
    if (!announced.Durable)
        return false;
    if (known)
        return known->Opened && known->ErrorCode == 0 && known->Identity == announced.Identity;
    const std::optional<TFileIdentity> now = FileIdentityOf(path);
    return now && *now == announced.Identity;
}

void TRunJournal::BeforeChange(const QString& path, const TID3FileEnds* known) {
    QString moveTo;
    if (FIntendedMove && FIntendedMove->first == path)
        moveTo = FIntendedMove->second;
    FIntendedMove.reset();
    bool isNew = false;
    const int number = FileNumber(path, &isNew);
    std::optional<TAnnounced> announced;
    if (!isNew) {
        const auto found = FAnnounced.constFind(number);
        if (found == FAnnounced.constEnd())
            return; // changed before in this run: its first state is on disk
        announced = *found;
        FAnnounced.erase(found);
        if (StillAsAnnounced(path, *announced, known)) {
            Settle();
            if (!moveTo.isEmpty() && moveTo == announced->MoveTo)
                FPendingMove.emplace(number, moveTo);
            FLastNoted.emplace(number, announced->State);
            return;
        }
        // Changed since it was announced, or its record may not be on disk: its state now takes
        // the place of the one announced.
    }
    // Until its record is durable the file is not to be changed, and a later call tries again.
    const auto notChanging = [&] {
        if (announced) {
            announced->Durable = false;
            FAnnounced.insert(number, *announced);
        } else {
            FNumbers.remove(path);
        }
    };
    Settle();
    auto state = known ? JournalFileStateOf(path, *known) : ReadJournalFileState(path);
    if (!state) {
        notChanging();
        throw TError(QStringLiteral("\"%1\" could not be read for the journal.").arg(path));
    }
    JournalRecords::TBuffer records;
    JournalRecords::AppendState(records, 'b', number, *state);
    if (!moveTo.isEmpty())
        JournalRecords::AppendMove(records.Text(), number, moveTo);
    try {
        Append(records, true);
    } catch (const TError&) {
        notChanging();
        throw;
    }
    if (!moveTo.isEmpty())
        FPendingMove.emplace(number, moveTo);
    state->ID3v2.clear();
    state->ID3v1.clear();
    FLastNoted.emplace(number, std::move(*state));
}

void TRunJournal::BeforeMove(const QString& from, const QString& to) {
    BeforeChange(from);
    const int number = FNumbers.value(from);
    if (FPendingMove && FPendingMove->first == number && FPendingMove->second == to)
        return; // on disk since the file's first record
    Settle();
    JournalRecords::TBuffer record;
    JournalRecords::AppendMove(record.Text(), number, to);
    Append(record, true);
}

void TRunJournal::NoteUnchanged() {
    for (auto it = FAnnounced.cbegin(); it != FAnnounced.cend(); ++it)
        JournalRecords::AppendUnchanged(FUnwritten.Text(), it.key());
    FAnnounced.clear();
}

void TRunJournal::NotMoved(const QString&) {
    Settle();
}

void TRunJournal::Settle() {
    // Whatever move was pending is made or failed by now: the state noted last is where the
    // file stands.
    FPendingMove.reset();
    if (FAfterWaiting && FLastNoted)
        JournalRecords::AppendState(FUnwritten, 'a', FLastNoted->first, FLastNoted->second);
    FAfterWaiting = false;
}

void TRunJournal::Moved(const QString& from, const QString& to) {
    const auto found = FNumbers.constFind(from);
    if (found == FNumbers.constEnd())
        return;
    const int number = *found;
    FNumbers.remove(from);
    FNumbers.insert(to, number);
}

void TRunJournal::NoteAfter(int number, TJournalFileState state) {
    // Another file's state still waiting goes first.
    if (FAfterWaiting && FLastNoted && FLastNoted->first != number)
        Settle();
    state.ID3v2.clear();
    state.ID3v1.clear();
    FLastNoted.emplace(number, std::move(state));
    // The record waits until the run turns to another file (or ends): a file's steps (tags
    // written, moved, time put back) then leave one record instead of one each, and none that
    // would tell a reader that a pending move is done before it is. It goes to disk with the
    // next record that must be durable; a run killed before that leaves the file without an
    // after-state, which undo tells from the length of the audio.
    FAfterWaiting = true;
}

void TRunJournal::AfterChange(const QString& path, const TID3FileEnds* known) {
    const auto found = FNumbers.constFind(path);
    if (found == FNumbers.constEnd())
        return;
    if (auto state = known ? JournalFileStateOf(path, *known) : ReadJournalFileState(path)) {
        NoteAfter(*found, std::move(*state));
    } else {
        FLastNoted.reset(); // what the file holds now is not known
        FAfterWaiting = false;
    }
}

void TRunJournal::AfterMove(const QString& path) {
    FPendingMove.reset();
    NoteSameBytes(path, false);
}

void TRunJournal::AfterTimeChange(const QString& path) {
    NoteSameBytes(path, true);
}

void TRunJournal::NoteSameBytes(const QString& path, bool timeChanged) {
    const auto found = FNumbers.constFind(path);
    if (found == FNumbers.constEnd())
        return;
    const std::optional<TFileIdentity> now = FileIdentityOf(path);
    if (!FLastNoted || FLastNoted->first != *found || !now ||
        now->Size != FLastNoted->second.Size ||
        (!timeChanged && now->ModifiedNs != FLastNoted->second.TimeNs))
        return AfterChange(path);
    TJournalFileState state = FLastNoted->second;
    state.Path = path;
    state.TimeNs = now->ModifiedNs;
    NoteAfter(*found, std::move(state));
}

QList<TJournalRun> ListJournalRuns(const QString& folder) {
    QList<TJournalRun> runs;
    const QStringList files = JournalFiles(folder);
    for (auto it = files.crbegin(); it != files.crend(); ++it)
        if (auto run = ReadJournalRun(*it))
            runs.append(std::move(*run));
    return runs;
}

void PruneJournals(const QString& folder, int maxRuns, qint64 maxBytes) {
    const QStringList files = JournalFiles(folder);
    qint64 bytes = 0;
    int kept = 0;
    for (auto it = files.crbegin(); it != files.crend(); ++it) {
        bytes += QFileInfo(*it).size();
        if (kept == 0 || (kept < maxRuns && bytes <= maxBytes))
            ++kept;
        else
            QFile::remove(*it);
    }
}
