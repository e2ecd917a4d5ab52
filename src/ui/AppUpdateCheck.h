#pragma once

#include "net/HttpClient.h"
#include "net/UpdateDescription.h"
#include "support/UiPort.h"
#include "ui/TransferView.h"

#include <QString>
#include <functional>

struct TOptionSet;

// Check for Updates: reads the maker's update description file, compares the version it
// advertises with the running one (as numbers, part by part), and fetches the release notes.
// Download fetches the advertised installer into a folder and keeps it only when it arrived
// whole and matches the advertised digest (SHA-256, else SHA-1, else MD5); nothing opens it
// before that.
class TAppUpdateCheck {
public:
    static constexpr qint64 MaxDescriptionSize = 1024 * 1024;
    static constexpr qint64 MaxInstallerSize = 2LL * 1024 * 1024 * 1024;
    // The size assumed while a server does not tell the installer's.
    static constexpr qint64 UnknownSize = 4 * 1024 * 1024;

    explicit TAppUpdateCheck(UiPort& ui);

    // Set from the options each time they are applied.
    QString ProxyAddress;
    QString ProxyPort = QStringLiteral("80");
    void ApplyOptions(const TOptionSet& options);
    // The build's update file address unless VARNHOLM_UPDATE_FILE_URL names another.
    QString UpdateFileURL;
    QString UpdatePageURL;
    QString Version; // the running version text
    // Opens the maker's page in the web browser (the window sets it).
    std::function<void(const QString&)> OpenWebPage;
    // Opens a downloaded, verified installer once the program is told to close (the window
    // sets it; the command-line tool never starts an installer).
    std::function<void(const QString&)> StartInstaller;

    // True when a newer version is advertised: Description() and ReleaseNotes() tell about it.
    // Otherwise, unless noMessages, ReportNoNewVersion() says so.
    bool Execute(bool noMessages);
    // "There are no new versions available.", or the update page offered when nothing is
    // advertised. A description that could not be fetched is an error, not "no new version".
    void ReportNoNewVersion();
    // The description file could not be fetched; ReportDescriptionFailure() shows why (unless
    // the reason was already shown, as for an invalid source).
    bool DescriptionFailed() const { return FDescriptionFailed; }
    void ReportDescriptionFailure();
    const TUpdateDescription& Description() const { return FDescription; }
    const QString& ReleaseNotes() const { return FReleaseNotes; }

    // The notification window's buttons. Download fetches into DownloadFolder() while the
    // download window shows View(); a whole, verified installer is announced ("The application
    // will close to start the update.") and handed to StartInstaller.
    bool DownloadEnabled() const { return !FDescription.DownloadFileURL.isEmpty(); }
    void DownloadButtonClick();
    void OpenWebPageButtonClick();

    // Fetches the installer into folder; the path of the verified file, empty on failure (the
    // reason shown as an error message; a partial or corrupted file is never left behind).
    QString Download(const QString& folder);
    bool Downloading() const { return FDownloading; }
    // A check or a download runs (another one is refused meanwhile).
    bool Busy() const { return FChecking || FDownloading; }
    // The download window's Cancel: asks, then ends the transfer at once.
    void CancelButtonClick();
    void Abort();

    // What the download window shows; OnViewChanged runs after every change of it, OnClose
    // when the window should close before the installer takes over.
    const TTransferView& View() const { return FView; }
    std::function<void()> OnViewChanged;
    std::function<void()> OnClose;

    // The folder downloads go to: the per-user data folder's "Downloaded Installations" when it
    // exists, else the temporary folder.
    static QString DownloadFolder();

private:
    bool Check(bool noMessages);
    bool Fetch(const QString& source, QIODevice& into, qint64 maxSize, QString& failure);
    qint64 ExpectedSize(const QString& source, QString& failure);
    void Received(qint64 count);
    void Tick(bool force = false);
    void Changed();

    UiPort& FUi;
    THttpClient FPlain{THttpClientRole::AppUpdatePlain};
    THttpClient FTls{THttpClientRole::AppUpdateTls};
    TUpdateDescription FDescription;
    QString FReleaseNotes;
    bool FDescriptionFailed = false;
    QString FDescriptionFailure;
    TTransferView FView;
    bool FChecking = false;
    bool FDownloading = false;
    bool FCancelled = false;
};
