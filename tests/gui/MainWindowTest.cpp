#include "gui/MainWindow.h"
#include "ui/MainListColumns.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QTableView>
#include <QToolBar>
#include <QtTest>

namespace {

// Describes a run of actions as "Text|Text|-|Text", "-" standing for a separator.
QString Describe(const QList<QAction*>& actions, bool useIconText) {
    QStringList parts;
    for (QAction* a : actions)
        parts << (a->isSeparator() ? QStringLiteral("-") : useIconText ? a->iconText() : a->text());
    return parts.join(u'|');
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void CaptionAndListColumns() {
        MainWindow w;
        QCOMPARE(w.windowTitle(), QStringLiteral("Varnholm"));
        QAbstractItemModel* model = w.ListView()->model();
        QCOMPARE(model->columnCount(), 12);
        for (int c = 0; c < MainListColumnCount; ++c) {
            QCOMPARE(model->headerData(c, Qt::Horizontal).toString(),
                     QString::fromLatin1(MainListColumns[c].Caption));
            QCOMPARE(w.ListView()->columnWidth(c), MainListColumns[c].DefaultWidth);
        }
        QCOMPARE(model->headerData(2, Qt::Horizontal).toString(),
                 QStringLiteral("MP3 Name (Computed)"));
        QCOMPARE(w.ProgressBar()->maximum(), 32767);
    }

    void ToolbarOrderWithSeparators() {
        MainWindow w;
        auto* toolBar = w.findChild<QToolBar*>();
        QVERIFY(toolBar);
        QCOMPARE(
            Describe(toolBar->actions(), true),
            QStringLiteral("Browse|Open|-|Export|-|Find|-|Fix|Refresh|-|MP3val|MP3Gain|Mp3tag|-|"
                           "Statistics|-|Update Data Files|-|Options|-|About|Exit"));
    }

    void MenusInOrderWithShortcuts() {
        MainWindow w;
        const QList<QAction*> menus = w.menuBar()->actions();
        QCOMPARE(menus.size(), 3);
        QCOMPARE(Describe(menus[0]->menu()->actions(), false),
                 QStringLiteral("Browse...|Open...|-|Export...|-|Exit"));
        QCOMPARE(Describe(menus[1]->menu()->actions(), false),
                 QStringLiteral("Find...|-|Fix|Refresh|-|MP3val|MP3Gain|Mp3tag|-|Statistics|-|"
                                "Update Data Files...|-|Options..."));
        QCOMPARE(Describe(menus[2]->menu()->actions(), false),
                 QStringLiteral("Release Notes|Check for Updates...|-|About..."));
        const std::pair<TCommand, const char*> shortcuts[] = {
            {TCommand::Open, "Ctrl+O"},     {TCommand::Find, "Ctrl+F"},
            {TCommand::Refresh, "F5"},      {TCommand::UpdateDataFiles, "Ctrl+U"},
            {TCommand::ReleaseNotes, "F1"}, {TCommand::CheckForUpdates, "F9"}};
        for (const auto& [command, keys] : shortcuts)
            QCOMPARE(w.Action(command)->shortcut(), QKeySequence(QString::fromLatin1(keys)));
    }

    void CommandsNotYetBuiltAreDisabled() {
        MainWindow w;
        QVERIFY(!w.Action(TCommand::Fix)->isEnabled());
        QVERIFY(!w.Action(TCommand::Export)->isEnabled());
        QVERIFY(w.Action(TCommand::Exit)->isEnabled());
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
