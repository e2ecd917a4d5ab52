#include "gui/MainWindow.h"
#include "GuiSession.h"
#include "GuiTests.h"
#include "gui/FindDialog.h"
#include "gui/GuiUiPort.h"
#include "settings/StoreNames.h"
#include "testsupport/TempDir.h"
#include "ui/MainListColumns.h"

#include <QAction>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QQueue>
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

// Twenty files, enough for a browse to be stopped part of the way through.
QStringList TwentyFileNames() {
    QStringList files;
    for (int i = 10; i < 30; ++i)
        files << QStringLiteral("%1 - t.mp3").arg(i);
    return files;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void CaptionColumnsToolbarAndMenus() {
        Session s;
        MainWindow& w = *s.window;
        QCOMPARE(w.windowTitle(), QStringLiteral("Varnholm"));
        QAbstractItemModel* model = w.ListView()->model();
        QCOMPARE(model->columnCount(), 12);
        for (int c = 0; c < MainListColumnCount; ++c) {
            QCOMPARE(model->headerData(c, Qt::Horizontal).toString(),
                     QString::fromLatin1(MainListColumns[c].Caption));
            QCOMPARE(w.ListView()->columnWidth(c), MainListColumns[c].DefaultWidth);
        }
        QCOMPARE(w.ProgressBar()->maximum(), 32767);
        auto* toolBar = w.findChild<QToolBar*>();
        QCOMPARE(
            Describe(toolBar->actions(), true),
            QStringLiteral("Browse|Open|-|Export|-|Find|-|Fix|Refresh|-|MP3val|MP3Gain|Mp3tag|-|"
                           "Statistics|-|Update Data Files|-|Options|-|About|Exit"));
        const QList<QAction*> menus = w.menuBar()->actions();
        QCOMPARE(menus.size(), 3);
        QCOMPARE(Describe(menus[0]->menu()->actions(), false),
                 QStringLiteral("Browse...|Open...|-|Export...|-|Exit"));
        QCOMPARE(Describe(menus[1]->menu()->actions(), false),
                 QStringLiteral("Find...|-|Fix|Refresh|-|Undo Last Changes|Undo History...|-|"
                                "MP3val|MP3Gain|Mp3tag|-|Statistics|-|Update Data Files...|-|"
                                "Options..."));
        QCOMPARE(Describe(menus[2]->menu()->actions(), false),
                 QStringLiteral("Release Notes|Check for Updates...|-|About..."));
        const std::pair<TCommand, const char*> shortcuts[] = {
            {TCommand::Open, "Ctrl+O"},
            {TCommand::Find, "Ctrl+F"},
            {TCommand::Refresh, "F5"},
            {TCommand::UpdateDataFiles, "Ctrl+U"},
            {TCommand::ReleaseNotes, "F1"},
            {TCommand::CheckForUpdates, "F9"},
            {TCommand::UndoLastChanges, "Ctrl+Z"}};
        for (const auto& [command, keys] : shortcuts)
            QCOMPARE(w.Action(command)->shortcut(), QKeySequence(QString::fromLatin1(keys)));
        QCOMPARE(Describe(w.ListContextMenu()->actions(), false),
                 QStringLiteral("Properties|-|Fix|Refresh|-|Explore|-|Mp3tag|-|Clear|-|"
                                "Add Suffix To Title|Lowercase Title|Replace [] By () In Title|-|"
                                "Set Genre To|-|Embed Cover Art"));
    }

    void StartUpState() {
        Session s;
        QCOMPARE(s.window->StatusLabel()->text(), QStringLiteral("0 file(s) - 0 mismatch(es)"));
        for (TCommand c :
             {TCommand::Export, TCommand::Find, TCommand::Fix, TCommand::Refresh, TCommand::MP3val,
              TCommand::MP3Gain, TCommand::Mp3tag, TCommand::Statistics})
            QVERIFY(!s.window->Action(c)->isEnabled());
        QVERIFY(s.window->Action(TCommand::Browse)->isEnabled());
        QVERIFY(s.window->Action(TCommand::Exit)->isEnabled());
        // The list starts sorted by Name, ascending.
        QVERIFY(s.window->ListView()->horizontalHeader()->isSortIndicatorShown());
        QCOMPARE(s.window->ListView()->horizontalHeader()->sortIndicatorSection(), 0);
    }

    void BrowseFillsTheListAndSelectsTheFirstRow() {
        Session s;
        const QString folder =
            s.Library("lib", {"1 - a.mp3", "10 - b.mp3", "9 - c.mp3", "notes.txt"});
        s.Browse(folder);
        QCOMPARE(s.window->ListView()->model()->rowCount(), 3);
        QCOMPARE(s.window->StatusLabel()->text(), QStringLiteral("3 file(s) - 3 mismatch(es)"));
        const QModelIndexList selected = s.window->ListView()->selectionModel()->selectedRows();
        QCOMPARE(selected.size(), 1);
        QCOMPARE(selected.first().row(), 0);
        QVERIFY(s.window->Action(TCommand::Find)->isEnabled());
        QCOMPARE(s.window->ProgressBar()->maximum(), 3); // one step per file
        // Mismatched rows are drawn in the disabled-text colour.
        const QVariant colour = s.window->ListView()->model()->index(0, 0).data(Qt::ForegroundRole);
        QCOMPARE(colour.value<QBrush>().color(),
                 QApplication::palette().color(QPalette::Disabled, QPalette::Text));
    }

    void ABrowseThatFindsNothingLeavesTheBarAtRest() {
        Session s;
        // A range of 0..0 is Qt's busy indicator, which would keep moving.
        const auto atRest = [&] {
            return s.window->ProgressBar()->maximum() > s.window->ProgressBar()->minimum();
        };
        s.Browse(s.Library("nothing", {"notes.txt"}));
        QCOMPARE(s.State().MainList().Count(), 0);
        QVERIFY(atRest());
        s.Browse(s.Library("lib", {"1 - a.mp3"}));
        QVERIFY(atRest());
        s.Browse(s.home.File("nothing"));
        QVERIFY(atRest());
        QCOMPARE(s.window->ProgressBar()->value(), s.window->ProgressBar()->minimum());
    }

    void HeaderClicksSortWithArrowsAndNumbers() {
        Session s;
        s.Browse(s.Library("lib", {"1 - a.mp3", "10 - b.mp3", "9 - c.mp3"}));
        QHeaderView* header = s.window->ListView()->horizontalHeader();
        auto click = [&](int section) {
            QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                              QPoint(header->sectionViewportPosition(section) + 5, 5));
        };
        click(mcTrackNumber);
        QCOMPARE(s.Column(mcTrackNumber), QStringList({"1", "9", "10"})); // numbers, not text
        QCOMPARE(header->sortIndicatorSection(), int(mcTrackNumber));
        QCOMPARE(header->sortIndicatorOrder(), Qt::AscendingOrder);
        click(mcTrackNumber);
        QCOMPARE(s.Column(mcTrackNumber), QStringList({"10", "9", "1"}));
        QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
        // Name was sorted ascending at start-up, so its first click sorts descending... once it
        // is the column sorted last again: another column in between makes it ascending.
        click(mcName);
        QCOMPARE(s.Column(mcName), QStringList({"1 - a.mp3", "10 - b.mp3", "9 - c.mp3"}));
        click(mcName);
        QCOMPARE(s.Column(mcName), QStringList({"9 - c.mp3", "10 - b.mp3", "1 - a.mp3"}));
    }

    void FindSelectsHitsAndReportsTheEnd() {
        Session s;
        s.Browse(s.Library("lib", {"1 - alpha.mp3", "2 - beta.mp3", "3 - alphabet.mp3"}));
        s.window->Action(TCommand::Find)->trigger();
        FindDialog* dialog = s.window->CurrentFindDialog();
        QVERIFY(dialog && dialog->isVisible());
        dialog->findChild<QLineEdit*>()->setText("ALPHA");
        auto findButton = [&] {
            for (QPushButton* b : dialog->findChildren<QPushButton*>())
                if (b->text() == "Find Next")
                    return b;
            return static_cast<QPushButton*>(nullptr);
        };
        findButton()->click();
        QCOMPARE(s.State().MainList().FirstSelected(), 0);
        QVERIFY(!dialog->isVisible()); // closed after every search
        QTest::keyClick(s.window->ListView(), Qt::Key_F3);
        QCOMPARE(s.State().MainList().FirstSelected(), 2);
        QTest::keyClick(s.window->ListView(), Qt::Key_F3);
        QCOMPARE(s.ui->Messages.last(),
                 QStringLiteral("Search Results: No more instances of \"ALPHA\" found."));
        s.window->Action(TCommand::Find)->trigger();
        dialog = s.window->CurrentFindDialog();
        dialog->findChild<QLineEdit*>()->setText("gamma");
        findButton()->click();
        QCOMPARE(s.ui->Messages.last(),
                 QStringLiteral("Search Results: Search string \"gamma\" not found."));
    }

    void AClickDuringABrowseAsksToStop() {
        Session s;
        const QString folder = s.Library("lib", TwentyFileNames());
        bool clicked = false;
        s.ui->Answers.enqueue(true);
        s.ui->OnPendingEvents = [&] {
            if (!clicked && s.State().Catalogue().size() == 4) {
                clicked = true;
                QTest::mouseClick(s.window->ListView()->viewport(), Qt::LeftButton);
            }
        };
        s.Browse(folder);
        s.ui->OnPendingEvents = nullptr;
        QCOMPARE(s.ui->Messages, QStringList({"Do you want to stop processing?"}));
        // Stopped after four files: those four are shown, none selected.
        QCOMPARE(s.State().MainList().Count(), 4);
        QCOMPARE(s.State().MainList().SelectedCount(), 0);
        QVERIFY(s.window->Action(TCommand::Browse)->isEnabled());
    }

    // The rows of a browse reach the view at its end, all at once: while the window handles its
    // events in the browse, the view counts only the rows it was told of (none), so a key or a
    // click meanwhile finds no row that is not drawn.
    void TheViewGetsTheBrowsedRowsAtTheEnd() {
        Session s;
        const QStringList files = TwentyFileNames();
        const QString folder = s.Library("lib", files);
        s.Browse(folder); // the second browse replaces a full list
        QAbstractItemModel* model = s.window->ListView()->model();
        QList<int> seen;
        s.ui->OnPendingEvents = [&] { seen << model->rowCount(); };
        s.Browse(folder);
        s.ui->OnPendingEvents = nullptr;
        QVERIFY(seen.size() >= files.size()); // at least once before each file
        QCOMPARE(seen.count(0), seen.size());
        QCOMPARE(model->rowCount(), int(files.size()));
        QCOMPARE(s.State().MainList().Count(), int(files.size()));
        const QModelIndexList selected = s.window->ListView()->selectionModel()->selectedRows();
        QCOMPARE(selected.size(), 1);
        QCOMPARE(selected.first().row(), 0);
    }

    void DropOfAFolderThenAFile() {
        Session s;
        const QString folder = s.Library("dropped", {"1 - a.mp3", "2 - b.mp3"});
        const QString single = s.home.Write("single/3 - c.mp3", QByteArray(64, '\0'));
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(folder), QUrl::fromLocalFile(single)});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(s.window.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(s.window.get(), &drop);
        QCOMPARE(s.Column(mcName), QStringList({"1 - a.mp3", "2 - b.mp3", "3 - c.mp3"}));
        QCOMPARE(s.window->StatusLabel()->text(), QStringLiteral("3 file(s) - 3 mismatch(es)"));
    }

    void HistoryMenusKeepTheNewestAndDropVanishedEntries() {
        Session s;
        s.State().Options().RecentlyUsedFileList = 2;
        const QString a = s.Library("a", {"1 - a.mp3"});
        const QString b = s.Library("b", {"1 - b.mp3"});
        const QString c = s.Library("c", {"1 - c.mp3"});
        for (const QString& folder : {a, b, c})
            s.Browse(folder);
        std::unique_ptr<QMenu> menu(s.window->BuildBrowseHistoryMenu());
        QCOMPARE(Describe(menu->actions(), false), c + "|" + b);
        QDir(c).removeRecursively();
        menu->actions().first()->trigger();
        QCOMPARE(
            s.ui->Messages.last(),
            QStringLiteral("Cannot browse \"%1\".\rThe folder has been deleted or moved.").arg(c));
        menu.reset(s.window->BuildBrowseHistoryMenu());
        QCOMPARE(Describe(menu->actions(), false), b);
        QCOMPARE(s.State().MainList().Count(), 1); // the list kept its rows
    }

    void FixFromTheToolbarRenamesAndTheContextMenuOffersTheEdits() {
        Session s;
        const QString folder = s.Library("lib", {"1 - alpha.mp3"});
        s.Browse(folder);
        QVERIFY(s.window->Action(TCommand::Fix)->isEnabled());
        s.window->Action(TCommand::Fix)->trigger();
        // No tags, no album: the Expanded name of an empty artist and the title from the name (not
        // title-cased: that option is off).
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList({"- alpha.mp3"}));
        QCOMPARE(s.window->StatusLabel()->text(), QStringLiteral("1 file(s) - 0 mismatch(es)"));
        QVERIFY(!s.window->Action(TCommand::Fix)->isEnabled());

        s.State().MainList().SelectOnly(0);
        QMenu* menu = s.window->ListContextMenu();
        QMenu* suffixes = nullptr;
        for (QAction* a : menu->actions())
            if (a->text() == "Add Suffix To Title")
                suffixes = a->menu();
        QVERIFY(suffixes && suffixes->isEnabled());
        QCOMPARE(suffixes->actions().first()->text(), QStringLiteral("(Acoustic)"));
    }

    void PlacementWidthsAndHistoryOutliveARestart() {
        Session s;
        s.State().Store().SetValue(QStringLiteral("Options\\RememberColumnsSize"), true);
        s.Restart();
        const QString folder = s.Library("lib", {"1 - a.mp3"});
        s.Browse(folder);
        s.window->setGeometry(100, 120, 700, 500);
        s.window->ListView()->setColumnWidth(mcArtist, 333);
        s.Restart();
        QCOMPARE(s.window->geometry().size(), QSize(700, 500));
        QCOMPARE(s.window->ListView()->columnWidth(mcArtist), 333);
        QCOMPARE(s.State().BrowseHistory(), QStringList({folder}));
    }
};

VARNHOLM_GUI_TEST(MainWindowTest)
#include "MainWindowTest.moc"
