#include "ui/DataFileUpdate.h"

#include "net/TransferText.h"
#include "net/WebSources.h"
#include "refdata/DataFileNames.h"
#include "refdata/FlatFile.h"
#include "refdata/ReferenceData.h"
#include "settings/OptionSet.h"
#include "support/Error.h"
#include "support/TextFile.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr qint64 CopyBlockSize = 16384;
constexpr int FileLabelLength = 60;

const QString Success =
    QStringLiteral("The update has been completed successfully. All files are up-to-date.");
const QString NotComplete = QStringLiteral(
    "The update has not been completed successfully. One or more files may not be up-to-date.");

// "MP3Genres.def" is backed up as "MP3Genres.~def", a name without extension as "name.~".
QString BackupName(const QString& fileName) {
    const qsizetype slash = fileName.lastIndexOf(u'/');
    const qsizetype dot = fileName.lastIndexOf(u'.');
    if (dot <= slash)
        return fileName + QStringLiteral(".~");
    return fileName.left(dot + 1) + u'~' + fileName.mid(dot + 1);
}

// A ".def" file must read as a data file with at least one entry: an error page or a binary
// answered with success status must not replace the genre list.
bool PlausibleDataFile(const QString& fileName, const QByteArray& body) {
    if (!fileName.endsWith(QStringLiteral(".def"), Qt::CaseInsensitive))
        return true;
    if (body.contains('\0'))
        return false;
    const QStringList lines = TextFile::SplitLines(TextFile::Decode(body));
    for (const QString& line : lines)
        if (!line.isEmpty() && !line.startsWith(u'#') && !line.startsWith(u'\t'))
            return true;
    return false;
}

// The local name of a source; empty (and the invalid-source message) when it has none that can
// safely be joined to the data folder.
QString LocalNameOf(const QString& source, QString& error) {
    QString name;
    if (IsFileSource(source) && !IsUNCPath(source)) {
        error.clear();
        name = QFileInfo(FileSourcePath(source)).fileName();
    } else {
        name = GetFileNameFromSource(source, error);
    }
    if (error.isEmpty() && !IsPlainFileName(name))
        error = InvalidSourceMessage(source);
    return error.isEmpty() ? name : QString();
}

} // namespace

TDataFileUpdate::TDataFileUpdate(UiPort& ui, const TOptionSet& options,
                                 const TKelmFlatFile& updateList, TReferenceData& referenceData)
    : FUi(ui), FOptions(options), FUpdateList(updateList), FReferenceData(referenceData) {
    for (THttpClient* client : {&FPlain, &FTls}) {
        client->MaxBodySize = MaxDataFileSize;
        client->OnDocData = [this](qint64 count) { Received(count); };
        client->OnWait = [this] {
            FUi.ProcessPendingEvents();
            Tick();
        };
    }
}

void TDataFileUpdate::Changed() {
    if (OnViewChanged)
        OnViewChanged();
}

THttpClient& TDataFileUpdate::ClientFor(const QString& url) {
    return IsHTTPSURL(url) ? FTls : FPlain;
}

bool TDataFileUpdate::Run() {
    if (FRunning)
        return false;
    FRunning = true;
    FCancelled = false;
    for (THttpClient* client : {&FPlain, &FTls}) {
        client->Proxy = FOptions.UseProxyServer ? FOptions.ProxyAddress : QString();
        client->ProxyPort = FOptions.UseProxyServer ? FOptions.ProxyPort : QStringLiteral("80");
        client->TimeoutSeconds = TimeoutSeconds;
        client->CAFile = CAFile;
    }
    FView = TTransferView();
    FUi.SetCursor(UiPort::Cursor::Background);
    FView.CancelEnabled = true;
    FView.StartClock();
    Changed();

    std::vector<TDataFileData> jobs;
    for (const TCheckListItem& item : FOptions.UpdateDataFiles) {
        if (!item.Checked)
            continue;
        const QString data = FUpdateList.GetValueData(item.Text);
        const qsizetype bar = data.indexOf(u'|');
        TDataFileData job;
        job.DisplayName = item.Text;
        job.UpdateURL = bar < 0 ? data : data.left(bar);
        job.OutputFileName = bar < 0 ? QString() : data.mid(bar + 1);
        job.FileSize = GetRemoteFileSize(job);
        jobs.push_back(job);
    }
    if (FCancelled) {
        FRunning = false;
        return false;
    }

    bool complete = true;
    QStringList failed;
    for (const TDataFileData& job : jobs) {
        FView.OverallMaximum += job.FileSize;
        if (job.FileSize == 0) {
            complete = false;
            failed.append(job.DisplayName);
        }
    }
    Changed();
    for (TDataFileData& job : jobs) {
        if (job.FileSize <= 0)
            continue;
        const TFetch fetch = UpdateFileFromWeb(job);
        if (fetch != TFetch::Replaced)
            job.FileSize = 0;
        // A fetch that failed leaves an old file in place: the update is not complete.
        if (fetch == TFetch::Failed && !FCancelled) {
            complete = false;
            failed.append(job.DisplayName);
        }
    }
    Tick(true);
    FView.OverallPosition = FView.OverallMaximum;
    Changed();
    if (FCancelled) {
        FRunning = false;
        return false;
    }
    FView.CancelEnabled = false;
    if (FView.OverallMaximum > 0) {
        FView.Speed = QStringLiteral("0 KB/sec");
        FView.Status = QStringLiteral("Converting file");
        FView.RemainingTime = QStringLiteral("00:00:00");
        Changed();
        FView.File = QStringLiteral("-");
        FView.Status = QStringLiteral("-");
        Changed();
        ReloadTables(jobs);
    }
    if (complete)
        FUi.ShowMessage(UiPort::MessageKind::Information, Success);
    else
        FUi.ShowMessage(UiPort::MessageKind::Error, NotComplete + u'\n' + failed.join(u'\n'));
    FUi.SetCursor(UiPort::Cursor::Normal);
    FRunning = false;
    return complete;
}

void TDataFileUpdate::ReloadTables(const std::vector<TDataFileData>& jobs) {
    for (const TDataFileData& job : jobs) {
        if (job.FileSize <= 0)
            continue;
        TKelmFlatFile* table = nullptr;
        if (job.OutputFileName == DataFileNames::MP3ArtistExceptions)
            table = &FReferenceData.MP3ArtistExceptionsKelmFlatFile();
        else if (job.OutputFileName == DataFileNames::MP3Genres)
            table = &FReferenceData.MP3GenresKelmFlatFile();
        if (!table)
            continue;
        try {
            table->Initialize();
        } catch (const TError& e) {
            FUi.ShowMessage(UiPort::MessageKind::Error, e.Message());
        }
    }
}

qint64 TDataFileUpdate::GetRemoteFileSize(TDataFileData& job) {
    if (FCancelled)
        return 0;
    const QString& source = job.UpdateURL;
    QString error;
    job.LocalName = LocalNameOf(source, error);
    if (!error.isEmpty()) {
        FUi.ShowMessage(UiPort::MessageKind::Error, error);
        return 0;
    }
    if (IsFileSource(source)) {
        const QFileInfo info(FileSourcePath(source));
        return info.isFile() && info.isReadable() ? info.size() : 0;
    }
    THttpClient& client = ClientFor(source);
    client.URL = source;
    client.RcvdStream = nullptr;
    FView.File = TransferText::ShortenedInTheMiddle(source, FileLabelLength);
    FView.Status = QStringLiteral("Getting file information");
    Changed();
    if (!client.Head())
        return 0;
    if (client.ContentLength() >= 0)
        return client.ContentLength();
    const QFileInfo local(FReferenceData.DataFolder() + job.LocalName);
    return local.isFile() && local.size() > 0 ? local.size() : UnknownSize;
}

TDataFileUpdate::TFetch TDataFileUpdate::UpdateFileFromWeb(const TDataFileData& job) {
    if (FCancelled)
        return TFetch::Failed;
    const QString& url = job.UpdateURL;
    FView.File = TransferText::ShortenedInTheMiddle(url, FileLabelLength);
    FView.Status = QStringLiteral("Downloading file");
    const bool web = !IsFileSource(url);
    if (web && !ClientFor(url).Proxy.isEmpty())
        FView.Status = QStringLiteral("Downloading file using proxy server (") +
                       ClientFor(url).Proxy + u':' + ClientFor(url).ProxyPort + u')';
    FView.FilePosition = 0;
    FView.FileMaximum = job.FileSize;
    Changed();

    QByteArray body;
    const bool fetched = web ? FetchFromWeb(url, body) : CopyFileSource(FileSourcePath(url), body);
    FView.FilePosition = FView.FileMaximum;
    Changed();
    if (!fetched || FCancelled)
        return TFetch::Failed;
    return Replace(FReferenceData.DataFolder() + job.LocalName, body);
}

bool TDataFileUpdate::FetchFromWeb(const QString& url, QByteArray& body) {
    QBuffer buffer(&body);
    buffer.open(QIODevice::WriteOnly);
    THttpClient& client = ClientFor(url);
    client.URL = url;
    client.RcvdStream = &buffer;
    const bool ok = client.Get();
    client.RcvdStream = nullptr;
    if (!ok) {
        FView.Status = QStringLiteral("Failed: ") + QString::number(client.StatusCode()) + u' ' +
                       client.ReasonPhrase();
        Changed();
        return false;
    }
    Received(client.RcvdCount());
    return true;
}

bool TDataFileUpdate::CopyFileSource(const QString& path, QByteArray& body) {
    QFile source(path);
    if (!source.open(QIODevice::ReadOnly))
        return false;
    ShowTransfer();
    for (;;) {
        FUi.ProcessPendingEvents();
        Tick();
        const QByteArray block = source.read(CopyBlockSize);
        if (FCancelled || (block.isEmpty() && source.error() != QFileDevice::NoError))
            return false;
        if (block.isEmpty())
            return true;
        body.append(block);
        if (body.size() > MaxDataFileSize) {
            FView.Status = QStringLiteral("Failed: the file is too large");
            Changed();
            return false;
        }
        Received(body.size());
    }
}

void TDataFileUpdate::Received(qint64 countInFile) {
    FView.OverallPosition += countInFile - FView.FilePosition;
    FView.FilePosition = countInFile;
    ShowTransfer();
    Changed();
}

void TDataFileUpdate::ShowTransfer() {
    if (FView.OverallMaximum > 0)
        FView.Transfer = TransferText::Transfer(FView.OverallPosition, FView.OverallMaximum);
}

TDataFileUpdate::TFetch TDataFileUpdate::Replace(const QString& fileName, const QByteArray& body) {
    QFile old(fileName);
    const bool oldExists = old.exists();
    QByteArray oldBytes;
    if (oldExists) {
        if (!old.open(QIODevice::ReadOnly))
            return TFetch::Failed;
        oldBytes = old.readAll();
        old.close();
        if (QCryptographicHash::hash(oldBytes, QCryptographicHash::Sha256) ==
            QCryptographicHash::hash(body, QCryptographicHash::Sha256))
            return TFetch::Unchanged;
    }
    if (body.isEmpty() || !PlausibleDataFile(fileName, body)) {
        FView.Status = QStringLiteral("Failed: the received file is not a data file");
        Changed();
        return TFetch::Failed;
    }
    if (oldExists && !TextFile::WriteAtomically(BackupName(fileName), oldBytes))
        return TFetch::Failed;
    return TextFile::WriteAtomically(fileName, body) ? TFetch::Replaced : TFetch::Failed;
}

void TDataFileUpdate::Tick(bool force) {
    if (FView.Tick(FView.OverallPosition, FView.OverallMaximum, force))
        Changed();
}

void TDataFileUpdate::CancelButtonClick() {
    if (!FRunning || !FView.CancelEnabled)
        return;
    if (!FUi.AskYesNo(QStringLiteral("Do you want to cancel the download?")))
        return;
    FCancelled = true;
    FPlain.Abort();
    FTls.Abort();
    FPlain.Close();
    FTls.Close();
    FView.CancelEnabled = false;
    Changed();
    FUi.ShowMessage(UiPort::MessageKind::Error, QStringLiteral("The update was not completed."));
    FUi.SetCursor(UiPort::Cursor::Normal);
    if (OnClose)
        OnClose();
}
