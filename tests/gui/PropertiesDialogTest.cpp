#include "gui/PropertiesDialog.h"
#include "GuiSession.h"
#include "GuiTests.h"
#include "gui/TrackNumberSpinBox.h"
#include "testsupport/Mp3Fixture.h"
#include "ui/MainListColumns.h"
#include "ui/PropertiesDialogState.h"

#include <QAction>
#include <QBuffer>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QtTest>

namespace {

QByteArray Png(QSize size, Qt::GlobalColor color) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

template <class T> T* Control(QWidget* dialog, const char* name) {
    return dialog->findChild<T*>(QString::fromLatin1(name));
}

QPushButton* Button(QWidget* dialog, const QString& text) {
    for (QPushButton* b : dialog->findChildren<QPushButton*>())
        if (b->text().remove(u'&') == text)
            return b;
    return nullptr;
}

// One file in a folder of its own, browsed and selected.
QString LoadOne(Session& s, const QByteArray& bytes) {
    const QString path = s.home.Write("lib/a.mp3", bytes);
    s.Browse(s.home.File("lib"));
    s.State().MainList().SelectOnly(0);
    return path;
}

Mp3Fixture Sample() {
    return Mp3Fixture(3)
        .Text("TPE1", "Artist")
        .Text("TIT2", "Song")
        .Text("TALB", "Album")
        .Text("TRCK", "7")
        .Text("TYER", "1999")
        .Text("TCON", "Rock")
        .Comment("note");
}

// Runs a gesture that should open the dialog; steps act on it while it is shown, after which
// it is cancelled unless the steps closed it. False when the dialog never showed.
bool WhileShown(Session& s, const std::function<void()>& gesture,
                const std::function<void(PropertiesDialog*)>& steps) {
    PropertiesDialog* dialog = s.window->Properties();
    bool shown = false;
    // Polled, since a gesture may let events run before the dialog opens.
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, dialog, [&] {
        if (!dialog->isVisible())
            return;
        poll.stop();
        shown = dialog->isModal();
        steps(dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
    poll.start();
    gesture();
    QCoreApplication::processEvents();
    return shown;
}

} // namespace

class PropertiesDialogTest : public QObject {
    Q_OBJECT
private slots:
    void ContextMenuDefaultItemShowsTheRow() {
        Session s;
        s.State().Options().Genres = {{"Rock", true}, {"blues", true}, {"Jazz", false}};
        LoadOne(s, Sample().Picture(3, "image/png", Png({400, 100}, Qt::blue)).Bytes());
        s.State().MainList().SetCell(0, mcTitle, "From The Row");
        QMenu* menu = s.window->ListContextMenu();
        QAction* properties = menu->defaultAction();
        QVERIFY(properties && properties->text() == "Properties" && properties->isEnabled());
        QVERIFY(WhileShown(
            s, [&] { properties->trigger(); },
            [&](PropertiesDialog* d) {
                QCOMPARE(d->windowTitle(), QStringLiteral("Properties"));
                QCOMPARE(d->focusWidget(), Control<QLineEdit>(d, "ArtistEdit"));
                QCOMPARE(Control<QLineEdit>(d, "ArtistEdit")->text(), QStringLiteral("Artist"));
                QCOMPARE(Control<QLineEdit>(d, "TitleEdit")->text(),
                         QStringLiteral("From The Row"));
                QCOMPARE(Control<TrackNumberSpinBox>(d, "TrackNumberEdit")->Text(),
                         QStringLiteral("7"));
                QCOMPARE(Control<QLineEdit>(d, "YearEdit")->text(), QStringLiteral("1999"));
                QCOMPARE(Control<QLineEdit>(d, "YearEdit")->maxLength(), 4);
                auto* genre = Control<QComboBox>(d, "GenreComboBox");
                QCOMPARE(genre->currentText(), QStringLiteral("Rock"));
                QStringList items;
                for (int i = 0; i < genre->count(); ++i)
                    items << genre->itemText(i);
                QCOMPARE(items, QStringList({"blues", "Rock"}));
                QCOMPARE(Control<QLineEdit>(d, "CommentsEdit")->text(), QStringLiteral("note"));
                // Scaled to fit the 200 by 200 view, its shape kept.
                QCOMPARE(d->CoverView()->size(), QSize(200, 200));
                const QPixmap pixmap = d->CoverView()->pixmap();
                QVERIFY(!pixmap.isNull());
                QVERIFY(pixmap.width() <= 200 && pixmap.width() >= 190);
                QCOMPARE(pixmap.width() / pixmap.height(), 4);
            }));
    }

    void TrackNumberArrowsStepWithinTheirRange() {
        TrackNumberSpinBox box;
        box.SetText("999");
        box.stepBy(5);
        QCOMPARE(box.Text(), QStringLiteral("1000"));
        box.SetText("0");
        box.stepBy(-1);
        QCOMPARE(box.Text(), QStringLiteral("0"));
        box.SetText("4321"); // a number a file holds is shown as it is
        QCOMPARE(box.Text(), QStringLiteral("4321"));
        QString typed = "12a";
        int pos = 0;
        QCOMPARE(box.validate(typed, pos), QValidator::Invalid);
    }

    void AssignWithTheChooserThenOkEmbedsThePicture() {
        Session s;
        const QByteArray old = Png({10, 10}, Qt::green);
        const QString path = LoadOne(s, Sample().Picture(3, "image/jpeg", old).Bytes());
        const QByteArray chosen = Png({30, 60}, Qt::red);
        const QString picture = s.home.Write("pictures/new.png", chosen);
        QVERIFY(WhileShown(
            s, [&] { s.window->Properties()->Execute(); },
            [&](PropertiesDialog* d) {
                s.ui->Picks.enqueue(picture);
                QTest::mouseClick(Control<QPushButton>(d, "CoverArtAssignButton"), Qt::LeftButton);
                const QPixmap shown = d->CoverView()->pixmap();
                QCOMPARE(shown.height(), d->CoverView()->contentsRect().height());
                QCOMPARE(shown.height() / shown.width(), 2);
                Control<QLineEdit>(d, "TitleEdit")->setText("New Title");
                QTest::mouseClick(Button(d, "OK"), Qt::LeftButton);
                QVERIFY(!d->isVisible());
            }));
        QCOMPARE(s.State().MainList().Cell(0, mcTitle), QStringLiteral("New Title"));
        QCOMPARE(s.State().MainList().Cell(0, mcCoverArt), QStringLiteral("Yes (image/png)"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.contains(chosen));
        QVERIFY(!bytes.contains(old));
        QVERIFY(s.ui->Messages.isEmpty());
    }

    void OkWithAnEmptyArtistKeepsTheDialogOpen() {
        Session s;
        const QString path = LoadOne(s, Sample().Bytes());
        const QByteArray before = s.home.Read("lib/a.mp3");
        QVERIFY(WhileShown(
            s, [&] { s.window->Properties()->Execute(); },
            [&](PropertiesDialog* d) {
                Control<QLineEdit>(d, "ArtistEdit")->clear();
                QTest::mouseClick(Button(d, "OK"), Qt::LeftButton);
                QVERIFY(d->isVisible());
                QCOMPARE(s.ui->Messages, QStringList("The artist value must be non-empty."));
            }));
        QCOMPARE(s.home.Read("lib/a.mp3"), before);
        QCOMPARE(s.State().MainList().Cell(0, mcArtist), QStringLiteral("Artist"));
    }

    void DoubleClickAndEnterOpenIt() {
        Session s;
        LoadOne(s, Sample().Bytes());
        QTableView* list = s.window->ListView();
        s.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(s.window.get()));
        const QRect cell = list->visualRect(list->model()->index(0, 0));
        // A double click follows a click, as it does under a hand.
        const bool ok = WhileShown(
            s,
            [&] {
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
                QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell.center());
            },
            [](PropertiesDialog*) {});
        QVERIFY(ok);
        list->setFocus();
        QVERIFY(WhileShown(
            s, [&] { QTest::keyClick(list, Qt::Key_Return); }, [](PropertiesDialog*) {}));
        // Two rows selected: nothing opens.
        s.home.Write("lib/b.mp3", Sample().Bytes());
        s.Browse(s.home.File("lib"));
        s.State().MainList().SetSelected(0, true);
        s.State().MainList().SetSelected(1, true);
        QVERIFY(!s.window->Properties()->Execute());
    }
};

VARNHOLM_GUI_TEST(PropertiesDialogTest)
#include "PropertiesDialogTest.moc"
