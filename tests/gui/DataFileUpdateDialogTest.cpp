#include "gui/DataFileUpdateDialog.h"
#include "GuiSession.h"
#include "GuiTests.h"
#include "testsupport/TestWebServer.h"
#include "ui/DataFileUpdate.h"

#include <QAction>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

namespace {

// A session whose update list names one genre file on a local server.
struct UpdateSession {
    TempDir web;
    TestWebServer server{web.Path()};
    Session s;
    QString dataFolder = s.home.File("data/Tessaly/Varnholm/");

    UpdateSession(const QString& path, const QByteArray& served) {
        server.Serve("MP3Genres.def", served);
        s.home.Write("data/Tessaly/Varnholm/Quenlor.def",
                     ("Genres\t" + server.Url(path) + "|MP3Genres.def\r\n").toUtf8());
        s.Restart();
    }
    QByteArray Genres() const { return s.home.Read("data/Tessaly/Varnholm/MP3Genres.def"); }
};

class DataFileUpdateDialogTest : public QObject {
    Q_OBJECT
private slots:
    void TheCommandReplacesTheGenreFile() {
        // Two pieces with a pause between them: the window shows while the transfer waits.
        const QByteArray served = "Rock\r\nChillwave\r\n# " + QByteArray(1100, '-') + "\r\n";
        UpdateSession u("/slow/MP3Genres.def", served);
        QAction* action = u.s.window->Action(TCommand::UpdateDataFiles);
        QVERIFY(action->isEnabled());
        DataFileUpdateDialog* dialog = u.s.window->DataFileUpdateWindow();
        bool shown = false;
        u.s.ui->OnPendingEvents = [&] { shown = shown || dialog->isVisible(); };
        action->trigger();
        QVERIFY(shown);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(u.Genres(), served);
        QVERIFY(u.s.State().ReferenceData().IsGenreName("Chillwave"));
        QCOMPARE(
            u.s.ui->Messages,
            QStringList{"The update has been completed successfully. All files are up-to-date."});
        QVERIFY(!dialog->CancelButton()->isEnabled());
    }

    void CancelInTheWindowStopsTheTransfer() {
        UpdateSession u("/slow/MP3Genres.def", QByteArray(30 * 1024, 'x') + "\r\n");
        const QByteArray before = u.Genres();
        DataFileUpdateDialog* dialog = u.s.window->DataFileUpdateWindow();
        QStringList fileLabels;
        u.s.ui->Answers.enqueue(true);
        u.s.ui->OnPendingEvents = [&] {
            const TTransferView& view = u.s.window->DataFileUpdate().View();
            if (view.FilePosition > 0 && dialog->CancelButton()->isEnabled()) {
                fileLabels << view.File;
                QVERIFY(dialog->isVisible());
                dialog->CancelButton()->click();
            }
        };
        u.s.window->Action(TCommand::UpdateDataFiles)->trigger();
        QCOMPARE(u.s.ui->Messages, (QStringList{"Do you want to cancel the download?",
                                                "The update was not completed."}));
        QCOMPARE(fileLabels.size(), 1);
        QVERIFY(fileLabels[0].endsWith("MP3Genres.def"));
        QVERIFY(!dialog->isVisible());
        QCOMPARE(u.Genres(), before);
        QCOMPARE(QDir(u.dataFolder).entryList({"*.tmp", "*~*"}, QDir::Files), QStringList());
    }
};

} // namespace

VARNHOLM_GUI_TEST(DataFileUpdateDialogTest)
#include "DataFileUpdateDialogTest.moc"
