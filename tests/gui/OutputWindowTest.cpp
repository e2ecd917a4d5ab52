// The output window of MP3val and MP3Gain, shown by the real commands over files made by lame.
#include "gui/OutputWindow.h"
#include "GuiSession.h"
#include "GuiTests.h"
#include "ModalWindows.h"
#include "testsupport/LameMp3.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

namespace {

const QString ReFixQuestion = QStringLiteral(
    "MP3val has been run succesfully against file(s).\rDo you want to re-fix file(s)?");

// What the window showed when it opened.
struct Seen {
    QString Title;
    QStringList Report;
    bool ErrorCountShown = false;
    QString ErrorCount;
    bool BoxShown = false;
    bool BoxChecked = false;
    bool FixIsDefault = false;
};

Seen Look(OutputWindow* w) {
    return {w->windowTitle(),
            w->Report()->toPlainText().split(u'\n'),
            !w->ErrorCountLabel()->isHidden(),
            w->ErrorCountLabel()->text(),
            !w->DeleteBackupFilesBox()->isHidden(),
            w->DeleteBackupFilesBox()->isChecked(),
            w->FixButton()->isDefault()};
}

// Runs the command; its output window is looked at, then act presses what the test wants.
Seen RunShowing(Session& s, TCommand command, const std::function<void(OutputWindow*)>& act) {
    Seen seen;
    bool opened = false;
    WhenModal<OutputWindow>(s.window.get(), [&](OutputWindow* w) {
        opened = true;
        seen = Look(w);
        act(w);
    });
    s.window->Action(command)->trigger();
    [&] { QVERIFY(opened); }();
    return seen;
}

QStringList Files(const TempDir& dir, const QString& pattern) {
    return QDir(dir.Path()).entryList({pattern}, QDir::Files, QDir::Name);
}

class OutputWindowTest : public QObject {
    Q_OBJECT
private slots:
    void MP3valShowsTheErrorsAndTheCheckBoxKeepsItsState() {
        Session s;
        TempDir music;
        LameMp3::Write(music.File("clean.mp3"), 0.3, "clean");
        LameMp3::InsertGarbage(LameMp3::Write(music.File("garbage.mp3"), 0.3, "garbage"));
        LameMp3::TruncateLastFrame(LameMp3::Write(music.File("truncated.mp3"), 0.3, "truncated"));
        s.State().BrowseMP3Folder(music.Path());
        QVERIFY(s.window->Action(TCommand::MP3val)->isEnabled());
        const QByteArray damaged = music.Read("garbage.mp3");

        // The report with its error count; the box is cleared, then Close changes nothing.
        const Seen first = RunShowing(s, TCommand::MP3val, [](OutputWindow* w) {
            w->DeleteBackupFilesBox()->click();
            w->CloseButton()->click();
        });
        QCOMPARE(first.Title, QStringLiteral("MP3val Output"));
        const QStringList warnings = first.Report.filter(QRegularExpression("^WARNING"));
        QVERIFY(warnings.filter("garbage.mp3").size() >= 1);
        QVERIFY(warnings.filter("truncated.mp3").size() >= 1);
        QVERIFY(warnings.filter("clean.mp3").isEmpty());
        QVERIFY(first.ErrorCountShown);
        QCOMPARE(first.ErrorCount, QStringLiteral("%1 error(s)").arg(warnings.size()));
        QVERIFY(first.BoxShown);
        QVERIFY(first.BoxChecked);
        QVERIFY(first.FixIsDefault);
        QCOMPARE(music.Read("garbage.mp3"), damaged);
        QVERIFY(s.ui->Messages.isEmpty());

        // Opened again, the box is as it was left; Fix repairs and keeps the backups.
        const Seen second =
            RunShowing(s, TCommand::MP3val, [](OutputWindow* w) { w->FixButton()->click(); });
        QVERIFY(second.BoxShown);
        QVERIFY(!second.BoxChecked);
        QCOMPARE(s.ui->Messages, QStringList{ReFixQuestion});
        QCOMPARE(Files(music, "*.bak"), (QStringList{"garbage.mp3.bak", "truncated.mp3.bak"}));
        QVERIFY(music.Read("garbage.mp3") != damaged);

        // Nothing is left to repair: no window, the message instead.
        s.ui->Messages.clear();
        s.window->Action(TCommand::MP3val)->trigger();
        QCOMPARE(s.ui->Messages, QStringList{"No need to run MP3val against file(s)."});
    }

    void MP3GainShowsTheAnalysisWithoutCountOrCheckBox() {
        Session s;
        TempDir music;
        LameMp3::Write(music.File("loud.mp3"), 0.9, "loud");
        LameMp3::Write(music.File("quiet.mp3"), 0.01, "quiet");
        s.State().BrowseMP3Folder(music.Path());
        const QByteArray loud = music.Read("loud.mp3");

        const Seen closed =
            RunShowing(s, TCommand::MP3Gain, [](OutputWindow* w) { w->CloseButton()->click(); });
        QCOMPARE(closed.Title, QStringLiteral("MP3Gain Output"));
        QVERIFY(closed.Report.filter("loud.mp3").size() == 1);
        QVERIFY(closed.Report.filter("\"Album\"").size() == 1);
        QVERIFY(!closed.ErrorCountShown);
        QVERIFY(!closed.BoxShown);
        QCOMPARE(music.Read("loud.mp3"), loud);
        QVERIFY(s.ui->Messages.isEmpty());

        RunShowing(s, TCommand::MP3Gain, [](OutputWindow* w) { w->FixButton()->click(); });
        QVERIFY(music.Read("loud.mp3") != loud);
        QCOMPARE(s.ui->Messages, QStringList{"MP3Gain has been run succesfully against file(s)."});
    }
};

} // namespace

VARNHOLM_GUI_TEST(OutputWindowTest)
#include "OutputWindowTest.moc"
