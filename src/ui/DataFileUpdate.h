#pragma once

#include "net/HttpClient.h"
#include "support/UiPort.h"
#include "ui/TransferView.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class TKelmFlatFile;
class TReferenceData;
struct TOptionSet;

// The data file update: every checked entry of the Update Data Files list is looked up in the
// update list (its data: the source, "|", the loaded table the file feeds), sized, fetched from
// the web or copied from a file source, and stored under the source's file name in the data
// folder when its content differs, the old file kept as a "~" backup. The genre and
// artist-exception tables are read again when their files were replaced.
//
// A fetched file replaces the old one in a single rename, and only when it is plausible: not
// empty, not larger than MaxDataFileSize, and for a ".def" file readable as a data file. A fetch
// that fails counts as a failure in the final message.
class TDataFileUpdate {
public:
    static constexpr qint64 MaxDataFileSize = 16 * 1024 * 1024;
    // The size assumed when a server does not give one and no local copy exists.
    static constexpr qint64 UnknownSize = 4 * 1024 * 1024;

    TDataFileUpdate(UiPort& ui, const TOptionSet& options, const TKelmFlatFile& updateList,
                    TReferenceData& referenceData);

    // The whole update, with its final message. True when every checked entry is up to date;
    // false when one failed or the update was cancelled.
    bool Run();
    bool Running() const { return FRunning; }
    bool Cancelled() const { return FCancelled; }

    // The window's Cancel: asks, then ends the transfer at once and closes the window.
    void CancelButtonClick();

    const TTransferView& View() const { return FView; }
    // Called after every change of View (the window repaints), and when the window should close.
    std::function<void()> OnViewChanged;
    std::function<void()> OnClose;
    // Tests shorten the limit after which a stalled server is given up.
    int TimeoutSeconds = THttpClient::DefaultTimeoutSeconds;
    // Tests trust their own certificate authority.
    QString CAFile;

private:
    struct TDataFileData {
        QString DisplayName;
        QString UpdateURL;
        QString OutputFileName; // the loaded table fed by the file
        QString LocalName;      // where the file is kept in the data folder
        qint64 FileSize = 0;    // 0: failed, or not replaced
    };
    enum class TFetch { Replaced, Unchanged, Failed };

    qint64 GetRemoteFileSize(TDataFileData& job);
    TFetch UpdateFileFromWeb(const TDataFileData& job);
    bool FetchFromWeb(const QString& url, QByteArray& body);
    bool CopyFileSource(const QString& path, QByteArray& body);
    TFetch Replace(const QString& fileName, const QByteArray& body);
    void Received(qint64 countInFile);
    void ShowTransfer();
    void Tick(bool force = false);
    void Changed();
    THttpClient& ClientFor(const QString& url);
    void ReloadTables(const std::vector<TDataFileData>& jobs);

    UiPort& FUi;
    const TOptionSet& FOptions;
    const TKelmFlatFile& FUpdateList;
    TReferenceData& FReferenceData;
    THttpClient FPlain{THttpClientRole::DataUpdatePlain};
    THttpClient FTls{THttpClientRole::DataUpdateTls};
    TTransferView FView;
    bool FRunning = false;
    bool FCancelled = false;
};
