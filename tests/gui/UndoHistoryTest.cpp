// Tools, Undo Last Changes and Undo History... on the real window: the question that names the
// run, the files put back, the list read again, and the history with its undo of an older run.
#include "GuiSession.h"
#include "GuiTests.h"
#include "gui/UndoHistoryDialog.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMap>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

namespace {

// The bytes of every file of a folder, by name.
QMap<QString, QByteArray> Files(const QString& folder) {
    QMap<QString, QByteArray> files;
    for (const QString& name : QDir(folder).entryList(QDir::Files)) {
        QFile file(folder + '/' + name);
        file.open(QIODevice::ReadOnly);
        files[name] = file.readAll();
    }
    return files;
}

QStringList Rows(const QTreeWidget* list) {
    QStringList rows;
    for (int r = 0; r < list->topLevelItemCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < list->columnCount(); ++c)
            cells << list->topLevelItem(r)->text(c);
        rows << cells.join('|');
    }
    return rows;
}

} // namespace

class UndoHistoryTest : public QObject {
    Q_OBJECT
private slots:
    void NothingToUndoIsSaid() {
        Session s;
        QVERIFY(s.window->Action(TCommand::UndoLastChanges)->isEnabled());
        s.window->Action(TCommand::UndoLastChanges)->trigger();
        QCOMPARE(s.ui->Messages, QStringList{"There are no changes to undo."});
        s.window->Action(TCommand::UndoHistory)->trigger();
        UndoHistoryDialog* dialog = s.window->UndoHistory();
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->List()->topLevelItemCount(), 0);
        QVERIFY(!dialog->UndoButton()->isEnabled());
        dialog->close();
    }

    void UndoLastChangesAsksNamingTheRunThenPutsBackAndReadsTheListAgain() {
        Session s;
        const QString folder = s.Library("lib", {"1 - alpha.mp3", "2 - beta.mp3"});
        const QMap<QString, QByteArray> start = Files(folder);
        s.Browse(folder);
        s.window->Action(TCommand::Fix)->trigger();
        const QMap<QString, QByteArray> fixed = Files(folder);
        QCOMPARE(fixed.keys(), QStringList({"- alpha.mp3", "- beta.mp3"}));
        const QString day = QDate::currentDate().toString(Qt::ISODate);

        // No: nothing changes.
        s.ui->Messages.clear();
        s.ui->Answers.enqueue(false);
        s.window->Action(TCommand::UndoLastChanges)->trigger();
        QCOMPARE(s.ui->Messages.size(), 1);
        QVERIFY2(s.ui->Messages[0].startsWith("Undo the Fix of 2 file(s) made on " + day + ' '),
                 qPrintable(s.ui->Messages[0]));
        QCOMPARE(Files(folder), fixed);

        s.ui->Answers.enqueue(true);
        s.window->Action(TCommand::UndoLastChanges)->trigger();
        QCOMPARE(Files(folder), start);
        QCOMPARE(s.Column(mcName), QStringList({"1 - alpha.mp3", "2 - beta.mp3"}));
        QCOMPARE(s.window->StatusLabel()->text(), QStringLiteral("2 file(s) - 2 mismatch(es)"));
        QCOMPARE(s.ui->Messages.size(), 2);

        // The undo is a run of its own: Ctrl+Z again gives the fix back.
        s.ui->Answers.enqueue(true);
        s.window->Action(TCommand::UndoLastChanges)->trigger();
        QVERIFY2(s.ui->Messages.last().startsWith("Undo the Undo Fix of 2 file(s)"),
                 qPrintable(s.ui->Messages.last()));
        QCOMPARE(Files(folder), fixed);
        QCOMPARE(s.Column(mcName), QStringList({"- alpha.mp3", "- beta.mp3"}));
    }

    void TheHistoryUndoesAnOlderRunAfterTheNewerOnesAndIsShownAgain() {
        Session s;
        const QString folder = s.Library("lib", {"1 - alpha.mp3", "2 - beta.mp3"});
        const QMap<QString, QByteArray> start = Files(folder);
        s.Browse(folder);
        s.window->Action(TCommand::Fix)->trigger();
        s.State().MainList().SelectOnly(0);
        s.State().SetGenreToPopupMenuClick(QStringLiteral("Jazz"));

        s.window->Action(TCommand::UndoHistory)->trigger();
        UndoHistoryDialog* dialog = s.window->UndoHistory();
        QVERIFY(dialog->isVisible());
        const QString day = QDate::currentDate().toString(Qt::ISODate);
        QStringList rows = Rows(dialog->List());
        QCOMPARE(rows.size(), 2);
        QVERIFY2(rows[0].startsWith(day) && rows[0].endsWith("|Set Genre|1|Yes"),
                 qPrintable(rows[0]));
        QVERIFY2(rows[1].endsWith("|Fix|2|Yes"), qPrintable(rows[1]));

        // The fix, chosen: the genre set on one of its files is undone first.
        dialog->List()->setCurrentItem(dialog->List()->topLevelItem(1));
        s.ui->Messages.clear();
        s.ui->Answers.enqueue(true);
        dialog->UndoButton()->click();
        QCOMPARE(s.ui->Messages.size(), 1);
        QVERIFY2(s.ui->Messages[0].startsWith("Undo the Fix of 2 file(s)") &&
                     s.ui->Messages[0].endsWith(
                         "\rThe 1 newer run(s) that changed the same files are undone first."),
                 qPrintable(s.ui->Messages[0]));
        QCOMPARE(Files(folder), start);
        QCOMPARE(s.Column(mcName), QStringList({"1 - alpha.mp3", "2 - beta.mp3"}));
        rows = Rows(dialog->List());
        QCOMPARE(rows.size(), 3);
        QVERIFY2(rows[0].endsWith("|Undo Fix|2|Yes"), qPrintable(rows[0]));
        dialog->close();
    }
};

VARNHOLM_GUI_TEST(UndoHistoryTest)
#include "UndoHistoryTest.moc"
