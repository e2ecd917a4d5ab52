#pragma once

#include "net/HttpClient.h"
#include "net/UpdateDescription.h"
#include "support/UiPort.h"

#include <QString>
#include <functional>

// Check for Updates: reads the maker's update description file, compares the version it
// advertises with the running one (as numbers, part by part), and fetches the release notes.
// Download fetches the advertised installer into a folder and keeps it only when it arrived
// whole and matches the advertised digest (SHA-256, else SHA-1, else MD5); it never starts it.
class TAppUpdateCheck {
public:
    static constexpr qint64 MaxDescriptionSize = 1024 * 1024;
    static constexpr qint64 MaxInstallerSize = 2LL * 1024 * 1024 * 1024;

    explicit TAppUpdateCheck(UiPort& ui);

    // Set from the options each time they are applied.
    QString ProxyAddress;
    QString ProxyPort = QStringLiteral("80");
    // The build's update file address unless VARNHOLM_UPDATE_FILE_URL names another.
    QString UpdateFileURL;
    QString UpdatePageURL;
    QString Version; // the running version text
    // Opens the maker's page in the web browser (the window sets it).
    std::function<void(const QString&)> OpenWebPage;

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

    // Fetches the installer into folder; the path of the verified file, empty on failure (the
    // reason shown as an error message; a partial or corrupted file is never left behind).
    QString Download(const QString& folder);
    void Abort();

    // The folder downloads go to: the per-user data folder's "Downloaded Installations" when it
    // exists, else the temporary folder.
    static QString DownloadFolder();

private:
    bool Fetch(const QString& source, QIODevice& into, qint64 maxSize, QString& failure);

    UiPort& FUi;
    THttpClient FPlain{THttpClientRole::AppUpdatePlain};
    THttpClient FTls{THttpClientRole::AppUpdateTls};
    TUpdateDescription FDescription;
    QString FReleaseNotes;
    bool FDescriptionFailed = false;
    QString FDescriptionFailure;
};
