#include "GuiSession.h"
#include "GuiTests.h"
#include "ModalWindows.h"
#include "gui/DownloadWindow.h"
#include "gui/UpdateNotificationWindow.h"
#include "net/TransferText.h"
#include "testsupport/TestWebServer.h"
#include "ui/AppUpdateCheck.h"
#include "ui/Version.h"

#include <QAction>
#include <QApplication>
#include <QCryptographicHash>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

namespace {

const QByteArray Installer(5 * 1024, 'i');
const QString Notes = QStringLiteral("Better tags.");
const QString Closing = QStringLiteral("The application will close to start the update.");

// Every state the download window painted, in order and without repeats: once the window is
// shown, each change of the check's view is followed by a look at the window's labels.
class DownloadRecorder : public QObject {
public:
    explicit DownloadRecorder(TAppUpdateCheck& check) : FCheck(check) {
        qApp->installEventFilter(this);
    }
    QStringList Titles;
    QStringList Files;
    QStringList Statuses;
    QStringList Transfers;
    bool CancelOffered = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* window = qobject_cast<DownloadWindow*>(watched);
        if (window && event->type() == QEvent::Show) {
            Add(Titles, window->windowTitle());
            const std::function<void()> paint = FCheck.OnViewChanged;
            FCheck.OnViewChanged = [this, window, paint] {
                if (paint)
                    paint();
                Add(Files, window->FileLabel()->text());
                Add(Statuses, window->StatusLabel()->text());
                Add(Transfers, window->TransferLabel()->text());
                CancelOffered = CancelOffered || window->CancelButton()->isEnabled();
            };
        }
        return false;
    }

private:
    static void Add(QStringList& seen, const QString& text) {
        if (seen.isEmpty() || seen.last() != text)
            seen << text;
    }
    TAppUpdateCheck& FCheck;
};

// A desktop session whose update check asks a local server; what the notification window
// showed, the pages it opened and the installer it would start are recorded.
struct UpdateSession {
    TempDir web;
    TestWebServer server{web.Path()};
    Session s;
    QString downloads = s.home.File("data/Downloaded Installations");
    QStringList pages;
    QStringList installers;
    bool downloadWindowOpenAtStart = false;
    // The notification window as it was shown: its notes and whether Download was enabled.
    bool notified = false;
    QString notes;
    bool downloadEnabled = false;

    UpdateSession() {
        QDir().mkpath(downloads);
        server.Serve("notes.txt", Notes.toUtf8() + "\r\n");
        server.Serve("setup.bin", Installer);
        TAppUpdateCheck& check = s.window->AppUpdate();
        check.UpdateFileURL = server.Url("/files/TessalyUpdates.txt");
        check.UpdatePageURL = "https://maker.example/";
        check.OpenWebPage = [this](const QString& page) { pages << page; };
        check.StartInstaller = [this](const QString& path) {
            installers << path;
            downloadWindowOpenAtStart = Download() && Download()->isVisible();
        };
    }
    void Describe(const QByteArray& keys) const {
        server.Serve("TessalyUpdates.txt", "[Quenlor]\r\n" + keys);
    }
    QByteArray Keys(const QString& version, const QByteArray& extra = {}) const {
        return "Version=" + version.toUtf8() +
               "\r\nReadmeFileURL=" + server.Url("/files/notes.txt").toUtf8() +
               "\r\nDownloadFileURL64=" + server.Url("/slow/setup.bin").toUtf8() + "\r\n" + extra;
    }
    // F9; the notification window, when it comes, is answered by pressing one of its buttons.
    void Check(const std::function<QPushButton*(UpdateNotificationWindow*)>& press) {
        WhenModal<UpdateNotificationWindow>(s.window.get(), [this, press](auto* window) {
            notified = true;
            notes = window->Notes()->toPlainText();
            downloadEnabled = window->DownloadButton()->isEnabled();
            QCOMPARE(window->windowTitle(), QStringLiteral("New Version Available"));
            QPushButton* button = press(window);
            button->click();
            // Open Web Page leaves the window open; OK closes it.
            if (window->isVisible())
                window->OKButton()->click();
        });
        s.window->Action(TCommand::CheckForUpdates)->trigger();
    }
    DownloadWindow* Download() const { return s.window->findChild<DownloadWindow*>(); }
    QStringList Downloaded() const {
        return QDir(downloads).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }
};

QPushButton* PressDownload(UpdateNotificationWindow* w) {
    return w->DownloadButton();
}
QPushButton* PressOK(UpdateNotificationWindow* w) {
    return w->OKButton();
}

class CheckForUpdatesTest : public QObject {
    Q_OBJECT
private slots:
    void OnlyANewerVersionIsAnnounced() {
        const struct {
            const char* Case;
            QString Advertised;
            bool Newer;
        } cases[] = {
            {"older", "0.00.01", false},
            {"the same", VersionText(), false},
            {"newer", "99.00.00", true},
        };
        for (const auto& c : cases) {
            UpdateSession u;
            QVERIFY(u.s.window->Action(TCommand::CheckForUpdates)->isEnabled());
            u.Describe(u.Keys(c.Advertised));
            u.Check(PressOK);
            QVERIFY2(u.notified == c.Newer, c.Case);
            QCOMPARE(u.s.ui->Messages,
                     c.Newer ? QStringList() : QStringList{"There are no new versions available."});
            if (c.Newer) {
                QCOMPARE(u.notes, Notes + "\n");
                QVERIFY(u.downloadEnabled);
            }
            QVERIFY(u.Downloaded().isEmpty());
            QVERIFY(u.installers.isEmpty());
        }
    }

    void TheWideKeysComeFirstAndThePageCanBeOpened() {
        UpdateSession u;
        // No wide download key and no plain one: Download stays disabled. The wide page key
        // wins over the plain one.
        u.Describe(
            "Version=99.00.00\r\nReadmeFileURL64=" + u.server.Url("/files/notes.txt").toUtf8() +
            "\r\nReadmeFileURL=" + u.server.Url("/status/404").toUtf8() +
            "\r\nUpdatePageURL64=https://maker.example/wide\r\n"
            "UpdatePageURL=https://maker.example/plain\r\n");
        u.Check([](UpdateNotificationWindow* w) { return w->OpenWebPageButton(); });
        QVERIFY(u.notified);
        QVERIFY(!u.downloadEnabled);
        QCOMPARE(u.notes, Notes + "\n");
        QCOMPARE(u.pages, QStringList{"https://maker.example/wide"});
        QVERIFY(u.s.ui->Messages.isEmpty());
    }

    void WithoutAVersionThePageIsOffered() {
        UpdateSession u;
        u.Describe("UpdatePageURL=https://maker.example/news\r\n");
        u.s.ui->Answers.enqueue(true);
        u.Check(PressOK);
        QVERIFY(!u.notified);
        QCOMPARE(u.s.ui->Messages, QStringList{"There are no advertised versions available.\nDo "
                                               "you want to open the update web page?"});
        QCOMPARE(u.pages, QStringList{"https://maker.example/news"});
    }

    void ADescriptionThatCannotBeFetchedIsAnError() {
        UpdateSession u;
        u.s.window->AppUpdate().UpdateFileURL = u.server.Url("/status/404");
        u.Check(PressOK);
        QVERIFY(!u.notified);
        QCOMPARE(u.s.ui->Messages,
                 (QStringList{"The update information could not be fetched. Failed: 404 Not Found",
                              "There are no advertised versions available.\nDo you want to open "
                              "the update web page?"}));
        QVERIFY(u.pages.isEmpty());
    }

    void DownloadShowsItsProgressAndHandsOverTheVerifiedInstaller() {
        UpdateSession u;
        const QByteArray sha256 = QCryptographicHash::hash(Installer, QCryptographicHash::Sha256);
        u.Describe(u.Keys("99.00.00", "SHA256Hash64=" + sha256.toHex() + "\r\n"));
        DownloadRecorder shown(u.s.window->AppUpdate());
        // F9 again while the installer arrives: refused, the running download goes on.
        bool checkedAgain = false;
        u.s.ui->OnPendingEvents = [&] {
            if (!checkedAgain && u.Download() && u.Download()->isVisible()) {
                checkedAgain = true;
                u.s.window->Action(TCommand::CheckForUpdates)->trigger();
            }
        };
        u.Check(PressDownload);
        QVERIFY(checkedAgain);
        QCOMPARE(u.server.Requests().filter("TessalyUpdates.txt").size(), 1);
        QVERIFY(u.notified);
        QCOMPARE(u.s.ui->Messages, QStringList{Closing});
        QCOMPARE(u.installers, QStringList{u.downloads + "/setup.bin"});
        QCOMPARE(u.Downloaded(), QStringList{"setup.bin"});
        QCOMPARE(u.s.home.Read("data/Downloaded Installations/setup.bin"), Installer);
        QCOMPARE(shown.Titles, QStringList{"Download New Version"});
        QCOMPARE(shown.Files, QStringList{"setup.bin"});
        QCOMPARE(shown.Statuses, (QStringList{"Getting file information", "Downloading file"}));
        QVERIFY(shown.CancelOffered);
        QCOMPARE(shown.Transfers.mid(0, 2), (QStringList{"0 KB of 0 KB", "0 KB of 5 KB (0%)"}));
        QVERIFY(shown.Transfers.contains("1 KB of 5 KB (20%)"));
        QCOMPARE(shown.Transfers.last(), QStringLiteral("5 KB of 5 KB (100%)"));
        // The window is closed before the installer takes over, and released afterwards.
        QVERIFY(!u.downloadWindowOpenAtStart);
        QVERIFY(!u.Download());
    }

    void WithoutALengthTheSizeIsEstimated() {
        UpdateSession u;
        u.Describe("Version=99.00.00\r\nDownloadFileURL=" +
                   u.server.Url("/nolength/setup.bin").toUtf8() + "\r\n");
        DownloadRecorder shown(u.s.window->AppUpdate());
        u.Check(PressDownload);
        QCOMPARE(u.s.ui->Messages, QStringList{Closing});
        QCOMPARE(u.s.home.Read("data/Downloaded Installations/setup.bin"), Installer);
        const qint64 estimate = TAppUpdateCheck::UnknownSize;
        QVERIFY(shown.Transfers.contains(TransferText::Transfer(0, estimate)));
        QCOMPARE(shown.Transfers.last(), TransferText::Transfer(Installer.size(), estimate));
    }

    void ACorruptedOrFailedDownloadLeavesNothing() {
        const QByteArray wrong = "SHA256Hash=" + QByteArray(64, '0') + "\r\n";
        const struct {
            const char* Case;
            QString Source;
            QByteArray Digest;
            QString Message;
            QString Status;
        } cases[] = {
            {"digest mismatch", "/slow/setup.bin", wrong, "The downloaded file is corrupted.",
             "Downloading file"},
            {"not found", "/status/404", {}, "Failed: 404 Not Found", "Failed: 404 Not Found"},
        };
        for (const auto& c : cases) {
            UpdateSession u;
            u.Describe("Version=99.00.00\r\nDownloadFileURL=" + u.server.Url(c.Source).toUtf8() +
                       "\r\n" + c.Digest);
            u.Check(PressDownload);
            QCOMPARE(u.s.ui->Messages, QStringList{c.Message});
            QCOMPARE(u.s.window->AppUpdate().View().Status, c.Status);
            QVERIFY2(u.Downloaded().isEmpty(), c.Case);
            QVERIFY(u.installers.isEmpty());
        }
    }

    void CancelInTheDownloadWindowLeavesNoFile() {
        const QString question = QStringLiteral("Do you want to cancel the download?");
        const auto cancel = [](DownloadWindow* w) { w->CancelButton()->click(); };
        // Closing the window while it downloads asks as Cancel does.
        const auto close = [](DownloadWindow* w) { w->close(); };
        const struct {
            const char* Case;
            std::function<void(DownloadWindow*)> Stop;
            bool Yes;
        } cases[] = {
            {"Cancel, Yes", cancel, true},
            {"closing the window, Yes", close, true},
            {"Cancel, No", cancel, false},
        };
        for (const auto& c : cases) {
            UpdateSession u;
            u.Describe(u.Keys("99.00.00"));
            u.s.ui->Answers.enqueue(c.Yes);
            int stops = 0;
            u.s.ui->OnPendingEvents = [&] {
                DownloadWindow* w = u.Download();
                if (stops == 0 && w && w->isVisible() &&
                    u.s.window->AppUpdate().View().FilePosition > 0 &&
                    w->CancelButton()->isEnabled()) {
                    ++stops;
                    c.Stop(w);
                }
            };
            u.Check(PressDownload);
            QVERIFY2(stops == 1, c.Case);
            if (!c.Yes) {
                QCOMPARE(u.s.ui->Messages, (QStringList{question, Closing}));
                QCOMPARE(u.Downloaded(), QStringList{"setup.bin"});
                continue;
            }
            QCOMPARE(u.s.ui->Messages, (QStringList{question, "The update was not completed."}));
            QVERIFY(!u.s.window->AppUpdate().View().Transfer.endsWith("(100%)"));
            QCOMPARE(u.Downloaded(), QStringList());
            QVERIFY(u.installers.isEmpty());
        }
    }

    void TheDownloadGoesThroughTheProxyOfTheOptions() {
        UpdateSession u;
        TOptionSet& options = u.s.State().Options();
        options.UseProxyServer = true;
        options.ProxyAddress = "127.0.0.1";
        options.ProxyPort = QString::number(u.server.Port());
        // Addresses that only the proxy can reach.
        u.s.window->AppUpdate().UpdateFileURL =
            "http://updates.varnholm.invalid/files/TessalyUpdates.txt";
        u.Describe("Version=99.00.00\r\nDownloadFileURL=http://updates.varnholm.invalid/files/"
                   "setup.bin\r\n");
        DownloadRecorder shown(u.s.window->AppUpdate());
        u.Check(PressDownload);
        QCOMPARE(u.s.ui->Messages, QStringList{Closing});
        QCOMPARE(u.Downloaded(), QStringList{"setup.bin"});
        QCOMPARE(shown.Statuses, (QStringList{"Getting file information",
                                              "Downloading file using proxy server (127.0.0.1:" +
                                                  options.ProxyPort + ")"}));
        const QStringList requests = u.server.Requests();
        QVERIFY(!requests.isEmpty());
        for (const QString& request : requests)
            QVERIFY2(request.section('\t', 1).startsWith("http://updates.varnholm.invalid/"),
                     qPrintable(request));
    }
};

} // namespace

VARNHOLM_GUI_TEST(CheckForUpdatesTest)
#include "CheckForUpdatesTest.moc"
