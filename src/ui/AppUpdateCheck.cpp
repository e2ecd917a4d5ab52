#include "ui/AppUpdateCheck.h"

#include "BuildInfo.h"
#include "net/TransferText.h"
#include "net/WebSources.h"
#include "settings/OptionSet.h"
#include "support/TextFile.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <cstdio>
#include <optional>
#include <unistd.h>

namespace {

constexpr qint64 CopyBlockSize = 16384;

// The strongest digest the description gives; none: nothing to compare.
std::optional<std::pair<QCryptographicHash::Algorithm, QString>>
ExpectedDigest(const TUpdateDescription& d) {
    if (!d.SHA256Hash.isEmpty())
        return std::pair{QCryptographicHash::Sha256, d.SHA256Hash};
    if (!d.SHA1Hash.isEmpty())
        return std::pair{QCryptographicHash::Sha1, d.SHA1Hash};
    if (!d.MD5Hash.isEmpty())
        return std::pair{QCryptographicHash::Md5, d.MD5Hash};
    return std::nullopt;
}

} // namespace

TAppUpdateCheck::TAppUpdateCheck(UiPort& ui) : FUi(ui) {
    const QString fromEnvironment = qEnvironmentVariable("VARNHOLM_UPDATE_FILE_URL");
    UpdateFileURL =
        fromEnvironment.isEmpty() ? QString::fromUtf8(BuildInfo::UpdateFileURL) : fromEnvironment;
    UpdatePageURL = QString::fromUtf8(BuildInfo::UpdatePageURL);
    for (THttpClient* client : {&FPlain, &FTls}) {
        client->OnWait = [this] {
            FUi.ProcessPendingEvents();
            if (FDownloading)
                Tick();
        };
        client->OnDocData = [this](qint64 count) {
            if (FDownloading)
                Received(count);
        };
    }
}

void TAppUpdateCheck::ApplyOptions(const TOptionSet& options) {
    ProxyAddress = options.UseProxyServer ? options.ProxyAddress : QString();
    ProxyPort = options.UseProxyServer ? options.ProxyPort : QStringLiteral("80");
}

void TAppUpdateCheck::Abort() {
    FPlain.Abort();
    FTls.Abort();
}

void TAppUpdateCheck::Changed() {
    if (OnViewChanged)
        OnViewChanged();
}

QString TAppUpdateCheck::DownloadFolder() {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                           QStringLiteral("/Downloaded Installations");
    return QFileInfo(folder).isDir() ? folder : QDir::tempPath();
}

bool TAppUpdateCheck::Fetch(const QString& source, QIODevice& into, qint64 maxSize,
                            QString& failure) {
    failure.clear();
    if (IsFileSource(source)) {
        QFile file(FileSourcePath(source));
        if (!file.open(QIODevice::ReadOnly)) {
            failure = file.errorString();
            return false;
        }
        qint64 copied = 0;
        for (QByteArray block; !(block = file.read(CopyBlockSize)).isEmpty();) {
            FUi.ProcessPendingEvents();
            if (FDownloading) {
                Tick();
                if (FCancelled)
                    return false;
            }
            copied += block.size();
            if (copied > maxSize || into.write(block) != block.size()) {
                failure = QStringLiteral("The file is too large or cannot be stored");
                return false;
            }
            if (FDownloading)
                Received(copied);
        }
        if (copied == 0)
            failure = QStringLiteral("Failed: the file is empty");
        return copied > 0;
    }
    if (!IsURL(source)) {
        FUi.ShowMessage(UiPort::MessageKind::Error, InvalidSourceMessage(source));
        return false;
    }
    THttpClient& client = IsHTTPSURL(source) ? FTls : FPlain;
    client.Proxy = ProxyAddress;
    client.ProxyPort = ProxyPort;
    client.URL = source;
    client.RcvdStream = &into;
    client.MaxBodySize = maxSize;
    const bool ok = client.Get();
    client.RcvdStream = nullptr;
    // A cancelled download has said so already.
    if (!ok && !FCancelled)
        failure = QStringLiteral("Failed: ") + QString::number(client.StatusCode()) + u' ' +
                  client.ReasonPhrase();
    if (!failure.isEmpty() && FDownloading) {
        FView.Status = failure;
        Changed();
    }
    return ok;
}

bool TAppUpdateCheck::Execute(bool noMessages) {
    // The window keeps handling events while it waits: a second check meanwhile would reuse
    // the clients of the running request.
    if (Busy())
        return false;
    FChecking = true;
    const bool newer = Check(noMessages);
    FChecking = false;
    return newer;
}

bool TAppUpdateCheck::Check(bool noMessages) {
    FDescription = TUpdateDescription();
    FReleaseNotes.clear();
    FDescriptionFailed = false;
    FDescriptionFailure.clear();
    FCancelled = false;
    QString failure;
    if (!UpdateFileURL.isEmpty()) {
        QByteArray text;
        QBuffer buffer(&text);
        buffer.open(QIODevice::WriteOnly);
        if (Fetch(UpdateFileURL, buffer, MaxDescriptionSize, failure)) {
            FDescription = ReadUpdateDescription(text, QStringLiteral("Quenlor"));
        } else {
            FReleaseNotes = failure;
            FDescriptionFailed = true;
            FDescriptionFailure = failure;
        }
    }
    if (FDescription.UpdatePageURL.isEmpty())
        FDescription.UpdatePageURL = UpdatePageURL;
    if (!FDescription.ReadmeFileURL.isEmpty()) {
        QByteArray notes;
        QBuffer buffer(&notes);
        buffer.open(QIODevice::WriteOnly);
        if (Fetch(FDescription.ReadmeFileURL, buffer, MaxDescriptionSize, failure))
            FReleaseNotes = TextFile::Decode(notes);
        else
            FReleaseNotes = failure;
    }
    if (IsNewerVersion(Version, FDescription.Version))
        return true;
    if (!noMessages)
        ReportNoNewVersion();
    return false;
}

void TAppUpdateCheck::ReportDescriptionFailure() {
    if (FDescriptionFailed && !FDescriptionFailure.isEmpty())
        FUi.ShowMessage(UiPort::MessageKind::Error,
                        QStringLiteral("The update information could not be fetched. ") +
                            FDescriptionFailure);
}

void TAppUpdateCheck::ReportNoNewVersion() {
    // Saying "no new versions" when nothing could be asked would be a failure told as success;
    // the update page is still offered.
    ReportDescriptionFailure();
    if (FDescriptionFailed && FDescription.UpdatePageURL.isEmpty())
        return;
    if (!FDescription.Version.isEmpty() || FDescription.UpdatePageURL.isEmpty())
        FUi.ShowMessage(UiPort::MessageKind::Information,
                        QStringLiteral("There are no new versions available."));
    else if (FUi.AskYesNo(QStringLiteral("There are no advertised versions available.\nDo you "
                                         "want to open the update web page?")))
        if (OpenWebPage)
            OpenWebPage(FDescription.UpdatePageURL);
}

QString TAppUpdateCheck::Download(const QString& folder) {
    const QString source = FDescription.DownloadFileURL;
    QString error;
    QString name = IsFileSource(source) && !IsUNCPath(source)
                       ? QFileInfo(FileSourcePath(source)).fileName()
                       : GetFileNameFromSource(source, error);
    if (error.isEmpty() && !IsPlainFileName(name))
        error = InvalidSourceMessage(source);
    if (!error.isEmpty()) {
        FUi.ShowMessage(UiPort::MessageKind::Error, error);
        return {};
    }
    // Written beside its final name and put there only once it is whole and verified.
    const QString path = folder + u'/' + name;
    QTemporaryFile file(folder + QStringLiteral("/.") + name + QStringLiteral(".XXXXXX"));
    if (!file.open()) {
        FUi.ShowMessage(UiPort::MessageKind::Error, file.errorString());
        return {};
    }
    FDownloading = true;
    FCancelled = false;
    FView = TTransferView();
    FView.File = name;
    QString failure;
    const qint64 expected = ExpectedSize(source, failure);
    const bool web = !IsFileSource(source);
    FView.Status = web && !ProxyAddress.isEmpty()
                       ? QStringLiteral("Downloading file using proxy server (") + ProxyAddress +
                             u':' + ProxyPort + u')'
                       : QStringLiteral("Downloading file");
    FView.FileMaximum = std::max<qint64>(expected, 0);
    FView.Transfer = TransferText::Transfer(0, FView.FileMaximum);
    FView.CancelEnabled = true;
    FView.StartClock();
    Changed();
    const bool fetched = expected >= 0 && Fetch(source, file, MaxInstallerSize, failure) &&
                         !FCancelled && file.flush();
    FView.Transfer = TransferText::Transfer(file.size(), FView.FileMaximum);
    FView.CancelEnabled = false;
    Tick(true);
    FView.FilePosition = FView.FileMaximum;
    Changed();
    FDownloading = false;
    if (!fetched) {
        if (!failure.isEmpty())
            FUi.ShowMessage(UiPort::MessageKind::Error, failure);
        return {};
    }
    if (const auto digest = ExpectedDigest(FDescription)) {
        QCryptographicHash hash(digest->first);
        file.seek(0);
        hash.addData(&file);
        if (QString::fromLatin1(hash.result().toHex())
                .compare(digest->second.trimmed(), Qt::CaseInsensitive) != 0) {
            FUi.ShowMessage(UiPort::MessageKind::Error,
                            QStringLiteral("The downloaded file is corrupted."));
            return {};
        }
    }
    if (::fsync(file.handle()) != 0 || std::rename(QFile::encodeName(file.fileName()).constData(),
                                                   QFile::encodeName(path).constData()) != 0) {
        FUi.ShowMessage(UiPort::MessageKind::Error,
                        QStringLiteral("The downloaded file could not be stored."));
        return {};
    }
    file.setAutoRemove(false);
    return path;
}

qint64 TAppUpdateCheck::ExpectedSize(const QString& source, QString& failure) {
    if (IsFileSource(source)) {
        const QFileInfo info(FileSourcePath(source));
        return info.isFile() ? info.size() : 0;
    }
    THttpClient& client = IsHTTPSURL(source) ? FTls : FPlain;
    client.Proxy = ProxyAddress;
    client.ProxyPort = ProxyPort;
    client.URL = source;
    client.RcvdStream = nullptr;
    FView.Status = QStringLiteral("Getting file information");
    Changed();
    // A server that does not answer HEAD may still serve the file; only a stop ends here.
    const bool ok = client.Head();
    if (FCancelled)
        return -1;
    if (!ok && client.Aborted()) {
        failure = QStringLiteral("Failed: ") + QString::number(client.StatusCode()) + u' ' +
                  client.ReasonPhrase();
        return -1;
    }
    return ok && client.ContentLength() > 0 ? client.ContentLength() : UnknownSize;
}

void TAppUpdateCheck::Received(qint64 count) {
    FView.FilePosition = count;
    FView.Transfer = TransferText::Transfer(count, FView.FileMaximum);
    Changed();
}

void TAppUpdateCheck::Tick(bool force) {
    if (FView.Tick(FView.FilePosition, FView.FileMaximum, force))
        Changed();
}

void TAppUpdateCheck::CancelButtonClick() {
    if (!FDownloading || !FView.CancelEnabled)
        return;
    if (!FUi.AskYesNo(QStringLiteral("Do you want to cancel the download?")))
        return;
    FCancelled = true;
    Abort();
    FPlain.Close();
    FTls.Close();
    FView.CancelEnabled = false;
    Changed();
    FUi.ShowMessage(UiPort::MessageKind::Error, QStringLiteral("The update was not completed."));
}

void TAppUpdateCheck::DownloadButtonClick() {
    if (Busy() || !DownloadEnabled())
        return;
    const QString path = Download(DownloadFolder());
    if (path.isEmpty())
        return;
    FUi.ShowMessage(UiPort::MessageKind::Information,
                    QStringLiteral("The application will close to start the update."));
    if (OnClose)
        OnClose();
    if (StartInstaller)
        StartInstaller(path);
}

void TAppUpdateCheck::OpenWebPageButtonClick() {
    if (OpenWebPage && !FDescription.UpdatePageURL.isEmpty())
        OpenWebPage(FDescription.UpdatePageURL);
}
