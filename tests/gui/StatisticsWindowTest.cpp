#include "gui/StatisticsWindow.h"
#include "GuiSession.h"
#include "GuiTests.h"
#include "gui/BarChart.h"
#include "testsupport/Mp3Fixture.h"

#include <QAction>
#include <QLabel>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

namespace {

using TPage = TStatisticsWindowState::TPage;

QStringList Rows(QTableWidget* table) {
    QStringList rows;
    for (int r = 0; r < table->rowCount(); ++r)
        rows << table->item(r, 0)->text() + '|' + table->item(r, 1)->text() + '|' +
                    table->item(r, 2)->text();
    return rows;
}

QStringList Labels(const BarChart* chart) {
    QStringList labels;
    for (const BarChart::Bar& bar : chart->Bars())
        labels << bar.Label + ':' + QString::number(bar.Value);
    return labels;
}

// Runs checks once the window is up (the computation before it handles events too) and closes
// it afterwards, whatever the checks found.
void WhenShown(QDialog* window, const std::function<void()>& checks) {
    auto* poll = new QTimer(window);
    QObject::connect(poll, &QTimer::timeout, window, [window, poll, checks] {
        if (!window->isVisible())
            return;
        poll->deleteLater();
        poll->stop();
        checks();
        if (window->isVisible())
            window->reject();
    });
    poll->start(10);
}

} // namespace

class StatisticsWindowTest : public QObject {
    Q_OBJECT
private:
    // Four files: Ana 2001 twice (Jazz), Bo 2004 (Rock), Cy without a year (Jazz).
    static void Library(Session& s) {
        const auto song = [&](const char* name, const char* artist, const char* year,
                              const char* genre) {
            Mp3Fixture tag;
            tag.Text("TPE1", artist).Text("TIT2", name).Text("TCON", genre);
            if (*year)
                tag.Text("TYER", year);
            s.home.Write(QString("lib/%1.mp3").arg(name), tag.Bytes());
        };
        song("a", "Ana", "2001", "Jazz");
        song("b", "Ana", "2001", "Jazz");
        song("c", "Bo", "2004", "Rock");
        song("d", "Cy", "", "Jazz");
        s.Browse(s.home.File("lib"));
        QCOMPARE(s.State().MainList().Count(), 4);
    }

private slots:
    void TablesChartsAndPageLabel() {
        Session s;
        Library(s);
        StatisticsWindow* window = s.window->Statistics();
        QVERIFY(s.window->Action(TCommand::Statistics)->isEnabled());
        bool checked = false;
        WhenShown(window, [&] {
            QCOMPARE(window->windowTitle(), QString("Statistics"));
            QCOMPARE(Rows(window->Table(TPage::Artists)),
                     QStringList({"Ana|1|2", "Bo|1|1", "Cy|1|1"}));
            QCOMPARE(window->Table(TPage::Years)->item(0, 0)->text(), QString("2001"));
            QCOMPARE(window->Table(TPage::Years)->item(0, 2)->text(), QString("50.00"));
            QCOMPARE(window->TotalLabel(TStatisticsWindowState::TotalTracks)->text(), QString("4"));
            QCOMPARE(window->StatusLabel()->text(), QString("3 artist(s)"));
            window->Pages()->setCurrentIndex(TPage::Years);
            QCOMPARE(window->StatusLabel()->text(), QString("3 year(s)"));
            window->Pages()->setCurrentIndex(TPage::Genres);
            QCOMPARE(window->StatusLabel()->text(), QString("2 genre(s)"));
            // Years in order with their gaps; genres biggest first.
            QCOMPARE(Labels(window->Chart(TPage::Years)),
                     QStringList({"2001:2", "2002:0", "2003:0", "2004:1"}));
            QCOMPARE(Labels(window->Chart(TPage::Genres)), QStringList({"Jazz:3", "Rock:1"}));
            // A click on a bar selects its entry in the table.
            BarChart* chart = window->Chart(TPage::Genres);
            QTest::mouseClick(chart, Qt::LeftButton, {}, chart->BarRect(1).center());
            QCOMPARE(window->Table(TPage::Genres)->currentRow(), 1);
            QCOMPARE(window->State().Table(TPage::Genres).SelectedRow(), 1);
            checked = true;
        });
        s.window->Action(TCommand::Statistics)->trigger();
        QVERIFY(checked);
        QVERIFY(s.State().StatisticsValid());
    }

    void DoubleClickSelectsTheRowsAndCloses() {
        Session s;
        Library(s);
        StatisticsWindow* window = s.window->Statistics();
        WhenShown(window, [&] {
            QTableWidget* table = window->Table(TPage::Artists);
            const QRect cell = table->visualItemRect(table->item(0, 0)); // Ana
            QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
            QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, cell.center());
        });
        s.window->Action(TCommand::Statistics)->trigger();
        QVERIFY(!window->isVisible());
        QCOMPARE(s.State().MainList().SelectedRows(), std::vector<int>({0, 1}));
        QCOMPARE(s.State().StatusText(), QString("4 file(s) - 4 mismatch(es)"));
    }
};

VARNHOLM_GUI_TEST(StatisticsWindowTest)
#include "StatisticsWindowTest.moc"
