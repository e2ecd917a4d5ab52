#include "ui/AppUpdateCheck.h"

#include "BuildInfo.h"
#include "net/WebSources.h"
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
    for (THttpClient* client : {&FPlain, &FTls})
        client->OnWait = [this] { FUi.ProcessPendingEvents(); };
}

void TAppUpdateCheck::Abort() {
    FPlain.Abort();
    FTls.Abort();
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
            copied += block.size();
            if (copied > maxSize || into.write(block) != block.size()) {
                failure = QStringLiteral("The file is too large or cannot be stored");
                return false;
            }
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
    if (!ok)
        failure = QStringLiteral("Failed: ") + QString::number(client.StatusCode()) + u' ' +
                  client.ReasonPhrase();
    return ok;
}

bool TAppUpdateCheck::Execute(bool noMessages) {
    FDescription = TUpdateDescription();
    FReleaseNotes.clear();
    FDescriptionFailed = false;
    FDescriptionFailure.clear();
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
    QString failure;
    if (!Fetch(source, file, MaxInstallerSize, failure) || !file.flush()) {
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
