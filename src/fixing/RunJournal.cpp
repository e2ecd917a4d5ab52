#include "fixing/RunJournal.h"

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
#include <cstring>
#include <fcntl.h>
#include <openssl/evp.h>
#include <openssl/sha.h>
#include <unistd.h>

namespace {

const QString JournalSuffix = QStringLiteral(".journal");
constexpr int FormatVersion = 1;

// SHA-256 from libcrypto, which uses the processor's SHA instructions: a fix takes a digest of
// every tag it changes, and the portable one cost more than the rest of the fix together. The
// algorithm is looked up once: a lookup per digest costs as much as the digest of a small tag.
QByteArray Digest(const QByteArray& bytes) {
    static EVP_MD* const sha256 = EVP_MD_fetch(nullptr, "SHA256", nullptr);
    QByteArray digest(SHA256_DIGEST_LENGTH, Qt::Uninitialized);
    if (!sha256 ||
        !EVP_Digest(bytes.constData(), size_t(bytes.size()),
                    reinterpret_cast<unsigned char*>(digest.data()), nullptr, sha256, nullptr))
        SHA256(reinterpret_cast<const unsigned char*>(bytes.constData()), size_t(bytes.size()),
               reinterpret_cast<unsigned char*>(digest.data()));
    return digest;
}

QJsonObject StateObject(const TJournalFileState& state) {
    QJsonObject o;
    o[u"path"] = state.Path;
    o[u"size"] = QString::number(state.Size);
    o[u"time"] = QString::number(state.TimeNs);
    o[u"v2size"] = QString::number(state.ID3v2Size);
    o[u"v1size"] = QString::number(state.ID3v1Size);
    o[u"v2digest"] = QString::fromLatin1(state.ID3v2Digest.toHex());
    o[u"v1digest"] = QString::fromLatin1(state.ID3v1Digest.toHex());
    return o;
}

qint64 Number(const QJsonObject& o, QStringView key, bool* ok) {
    bool good = false;
    const qint64 value = o.value(key).toString().toLongLong(&good);
    *ok = *ok && good;
    return value;
}

std::optional<TJournalFileState> StateFromObject(const QJsonObject& o, bool withTags) {
    bool ok = o.value(u"path").isString();
    TJournalFileState state;
    state.Path = o.value(u"path").toString();
    state.Size = Number(o, u"size", &ok);
    state.TimeNs = Number(o, u"time", &ok);
    state.ID3v2Size = Number(o, u"v2size", &ok);
    state.ID3v1Size = Number(o, u"v1size", &ok);
    state.ID3v2Digest = QByteArray::fromHex(o.value(u"v2digest").toString().toLatin1());
    state.ID3v1Digest = QByteArray::fromHex(o.value(u"v1digest").toString().toLatin1());
    if (withTags) {
        state.ID3v2 = QByteArray::fromBase64(o.value(u"v2").toString().toLatin1());
        state.ID3v1 = QByteArray::fromBase64(o.value(u"v1").toString().toLatin1());
        ok = ok && state.ID3v2.size() == state.ID3v2Size && state.ID3v1.size() == state.ID3v1Size;
    }
    if (!ok)
        return std::nullopt;
    return state;
}

QByteArray Line(const QJsonObject& o) {
    return QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n';
}

// The record of a file's state before a change: the fields of o, then both tags in Base64, which
// needs no escaping. Spliced in here rather than passed through the JSON writer, which would
// copy the largest part of the journal twice more for nothing.
QByteArray BeforeLine(const QJsonObject& o, const TJournalFileState& state) {
    QByteArray line = QJsonDocument(o).toJson(QJsonDocument::Compact);
    line.chop(1); // its closing brace
    line.reserve(line.size() + (state.ID3v2.size() + state.ID3v1.size()) * 4 / 3 + 32);
    line += ",\"v2\":\"";
    line += state.ID3v2.toBase64();
    line += "\",\"v1\":\"";
    line += state.ID3v1.toBase64();
    line += "\"}\n";
    return line;
}

QByteArray MoveLine(int number, const QString& to) {
    QJsonObject o;
    o[u"k"] = QStringLiteral("m");
    o[u"n"] = number;
    o[u"to"] = to;
    return Line(o);
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

bool TJournalFileState::SameAs(const TJournalFileState& other) const {
    return Size == other.Size && TimeNs == other.TimeNs && ID3v2Size == other.ID3v2Size &&
           ID3v1Size == other.ID3v1Size && ID3v2Digest == other.ID3v2Digest &&
           ID3v1Digest == other.ID3v1Digest;
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
        const QString kind = o.value(u"k").toString();
        if (!header) {
            if (kind != u"run")
                return std::nullopt;
            header = true;
            run.Operation = o.value(u"op").toString();
            run.Started = QDateTime::fromString(o.value(u"start").toString(), Qt::ISODateWithMs);
            continue;
        }
        const int number = o.value(u"n").toInt(-1);
        if (kind == u"b") {
            const auto state = StateFromObject(o, true);
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
            const auto state = StateFromObject(o, false);
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
    header[u"v"] = FormatVersion;
    header[u"op"] = FOperation;
    header[u"start"] = FStarted.toString(Qt::ISODateWithMs);
    Append(Line(header), false);
    SyncFolder(FFolder);
    PruneJournals(FFolder);
}

void TRunJournal::Append(const QByteArray& line, bool durable) {
    if (FFd < 0)
        Open();
    // O_APPEND: a record is never written over another; a short write is retried with the rest.
    for (qsizetype done = 0; done < line.size();) {
        const ssize_t n = ::write(FFd, line.constData() + done, size_t(line.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            ID3FileIO::Fail(ID3FileIO::Operation::Write, FFileName, errno);
        done += n;
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
    QByteArray records;
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
            QJsonObject o = StateObject(*state);
            o[u"k"] = QStringLiteral("b");
            o[u"n"] = number;
            records += BeforeLine(o, *state);
            if (!file.MoveTo.isEmpty())
                records += MoveLine(number, file.MoveTo);
            state->ID3v2.clear();
            state->ID3v1.clear();
            FAnnounced.insert(
                number, TAnnounced{std::move(*state), file.Ends.Identity, file.MoveTo, false});
            numbers.append(number);
            if (records.size() >= WrittenAtOnce) {
                Append(records, false);
                records.clear();
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
    QJsonObject o = StateObject(*state);
    o[u"k"] = QStringLiteral("b");
    o[u"n"] = number;
    try {
        Append(BeforeLine(o, *state), moveTo.isEmpty());
        if (!moveTo.isEmpty())
            Append(MoveLine(number, moveTo), true);
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
    Append(MoveLine(number, to), true);
}

void TRunJournal::NoteUnchanged() {
    for (auto it = FAnnounced.cbegin(); it != FAnnounced.cend(); ++it) {
        QJsonObject o;
        o[u"k"] = QStringLiteral("u");
        o[u"n"] = it.key();
        try {
            Append(Line(o), false);
        } catch (const TError&) {
            return; // the file stays in the journal as unchanged, which undo finds it is
        }
    }
    FAnnounced.clear();
}

void TRunJournal::NotMoved(const QString&) {
    Settle();
}

void TRunJournal::Settle() {
    std::optional<std::pair<int, TJournalFileState>> waiting;
    if (FAfterWaiting && FPendingMove && FLastNoted && FLastNoted->first == FPendingMove->first)
        waiting = FLastNoted;
    FPendingMove.reset();
    FAfterWaiting = false;
    if (waiting)
        NoteAfter(waiting->first, std::move(waiting->second));
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
    state.ID3v2.clear();
    state.ID3v1.clear();
    QJsonObject o = StateObject(state);
    o[u"k"] = QStringLiteral("a");
    o[u"n"] = number;
    FLastNoted.emplace(number, std::move(state));
    if (FPendingMove && FPendingMove->first == number) {
        FAfterWaiting = true;
        return;
    }
    try {
        Append(Line(o), false);
    } catch (const TError&) {
        // The change is made and its before-record is durable: undo still finds the file by
        // its audio, which the change left as it was.
    }
}

void TRunJournal::AfterChange(const QString& path) {
    const auto found = FNumbers.constFind(path);
    if (found == FNumbers.constEnd())
        return;
    if (auto state = ReadJournalFileState(path)) {
        NoteAfter(*found, std::move(*state));
    } else {
        FLastNoted.reset(); // what the file holds now is not known
        FAfterWaiting = false;
    }
}

void TRunJournal::AfterMove(const QString& path) {
    FPendingMove.reset();
    FAfterWaiting = false;
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
