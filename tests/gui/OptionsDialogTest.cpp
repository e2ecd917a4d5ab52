#include "gui/OptionsDialog.h"
#include "GuiSession.h"
#include "GuiTests.h"
#include "gui/StringListEditor.h"
#include "settings/OptionPersistence.h"
#include "testsupport/Mp3Fixture.h"
#include "ui/MainListColumns.h"

#include <QAction>
#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QValidator>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

enum class Close { Ok, Cancel };

// Runs the Options command from the toolbar; steps act on the shown dialog, which is then
// closed with OK or Cancel unless the steps closed it.
void RunOptions(Session& s, const std::function<void(OptionsDialog&)>& steps,
                Close close = Close::Ok) {
    OptionsDialog* dialog = s.window->Options();
    QTimer::singleShot(0, dialog, [&] {
        QVERIFY(dialog->isVisible() && dialog->isModal());
        steps(*dialog);
        // The steps may have closed it with a key already.
        if (dialog->isVisible())
            close == Close::Ok ? dialog->accept() : dialog->reject();
    });
    s.window->Action(TCommand::Options)->trigger();
    QVERIFY(!dialog->isVisible());
}

template <class T> T* Control(OptionsDialog& d, const char* name) {
    T* control = d.findChild<T*>(QString::fromLatin1(name));
    if (!control)
        qWarning("no control %s", name);
    return control;
}

// A page command: several pages have a "Default" button.
void Click(OptionsDialog& d, TOptionsPage page, const char* button) {
    d.Pages()->setCurrentIndex(int(page));
    auto* b = d.Pages()->widget(int(page))->findChild<QPushButton*>(QString::fromLatin1(button));
    QVERIFY(b && b->isVisible());
    QTest::mouseClick(b, Qt::LeftButton);
}

// Opens the string list editor with the page's "Edit..." button and answers it.
QString EditList(OptionsDialog& d, TOptionsPage page, const QString& newText, Close close) {
    QString shown;
    StringListEditor* editor = d.Editor();
    QTimer::singleShot(0, editor, [&] {
        shown = editor->windowTitle() + u'|' + editor->TextField()->toPlainText();
        editor->TextField()->setPlainText(newText);
        close == Close::Ok ? editor->accept() : editor->reject();
    });
    Click(d, page, "Edit");
    return shown;
}

// The list's items as «text=1» / «text=0».
QStringList Items(QListWidget* list) {
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items << list->item(i)->text() + (list->item(i)->checkState() == Qt::Checked ? "=1" : "=0");
    return items;
}

QAction* MenuItem(QMenu* menu, const QString& text) {
    for (QAction* a : menu->actions())
        if (a->text() == text)
            return a;
    return nullptr;
}

} // namespace

class OptionsDialogTest : public QObject {
    Q_OBJECT
private slots:
    void PagesButtonsAndKeys() {
        Session s;
        QVERIFY(s.window->Action(TCommand::Options)->isEnabled());
        RunOptions(
            s,
            [](OptionsDialog& d) {
                QCOMPARE(d.windowTitle(), QStringLiteral("Options"));
                QStringList pages;
                for (int i = 0; i < d.Pages()->count(); ++i)
                    pages << d.Pages()->tabText(i);
                QCOMPARE(pages, QStringList({"Preferences", "Advanced", "Integration", "MP3 Name",
                                             "Genres", "Suffixes", "Update Data Files", "Update"}));
                QCOMPARE(d.Pages()->currentIndex(), 0);
                QCOMPARE(Control<QPushButton>(d, "IE")->text(), QStringLiteral("System"));
                QCOMPARE(Control<QSpinBox>(d, "RecentlyUsedFileList")->maximum(), 100);
                QCOMPARE(Control<QSpinBox>(d, "MaxSearchDepth")->maximum(), 128);
                QCOMPARE(Control<QSpinBox>(d, "MP3GainDefaultVolume")->maximum(), 100);
                QCOMPARE(Control<QRadioButton>(d, "MP3NameComputing3")->text(),
                         QStringLiteral("Mixed (Expanded/Folded)"));
                QVERIFY(Control<QRadioButton>(d, "MP3NameComputing3")->isChecked());
                // Integration is the one page without "Default".
                for (int page = 0; page < d.Pages()->count(); ++page)
                    QCOMPARE(d.Pages()->widget(page)->findChild<QPushButton*>("Default") != nullptr,
                             page != int(TOptionsPage::Integration));
                // Only digits reach the proxy port.
                auto* port = Control<QLineEdit>(d, "ProxyPort");
                for (const auto& [text, state] : {std::pair{"8080", QValidator::Acceptable},
                                                  std::pair{"80a", QValidator::Invalid},
                                                  std::pair{" 80", QValidator::Invalid}}) {
                    QString t = QString::fromLatin1(text);
                    int position = 0;
                    QCOMPARE(port->validator()->validate(t, position), state);
                }
                d.Pages()->setCurrentIndex(4);
            },
            Close::Cancel);

        // Enter confirms, Escape cancels; the first page is shown each time.
        RunOptions(s, [](OptionsDialog& d) {
            QCOMPARE(d.Pages()->currentIndex(), 0);
            Control<QCheckBox>(d, "Recursive")->click();
            QTest::keyClick(&d, Qt::Key_Escape);
        });
        QVERIFY(s.State().Options().Recursive);
        RunOptions(
            s,
            [](OptionsDialog& d) {
                Control<QCheckBox>(d, "Recursive")->click();
                QTest::keyClick(&d, Qt::Key_Return);
                // The default button answers with an animated click.
                QTRY_VERIFY(!d.isVisible());
            },
            Close::Cancel);
        QVERIFY(!s.State().Options().Recursive);
    }

    void EnablingRulesAfterLoadAndAfterEachToggle() {
        Session s;
        TKelmRegistryEnhanced& store = s.State().Store();
        store.SetValue("Options\\LimitSearchDepth", true);
        store.SetValue("Options\\UseProxyServer", false);
        store.SetValue("Options\\UseMP3GainUserInterface", true);
        s.Restart();
        RunOptions(
            s,
            [](OptionsDialog& d) {
                const struct {
                    const char* Box;
                    QStringList Fields;
                    bool Inverted;
                } rules[] = {
                    {"LimitSearchDepth", {"MaxSearchDepth"}, false},
                    {"UseProxyServer", {"ProxyAddress", "ProxyPort"}, false},
                    {"UseMP3GainUserInterface", {"MP3GainDefaultVolume"}, true},
                };
                for (const auto& rule : rules) {
                    auto* box = Control<QCheckBox>(d, rule.Box);
                    for (int toggle = 0; toggle < 3; ++toggle) {
                        for (const QString& field : rule.Fields)
                            QCOMPARE(d.findChild<QWidget*>(field)->isEnabled(),
                                     box->isChecked() != rule.Inverted);
                        box->click();
                    }
                }
                // The Update page's "Default" turns the proxy off and its fields with it.
                Control<QCheckBox>(d, "UseProxyServer")->setChecked(true);
                QVERIFY(Control<QLineEdit>(d, "ProxyPort")->isEnabled());
                Click(d, TOptionsPage::Update, "Default");
                QVERIFY(!Control<QCheckBox>(d, "UseProxyServer")->isChecked());
                QVERIFY(!Control<QLineEdit>(d, "ProxyAddress")->isEnabled());
                QCOMPARE(Control<QLineEdit>(d, "ProxyPort")->text(), QStringLiteral("80"));
            },
            Close::Cancel);
        // A cancelled dialog shows the loaded values and their rules again.
        RunOptions(
            s,
            [](OptionsDialog& d) {
                QVERIFY(Control<QCheckBox>(d, "LimitSearchDepth")->isChecked());
                QVERIFY(Control<QSpinBox>(d, "MaxSearchDepth")->isEnabled());
                QVERIFY(!Control<QSpinBox>(d, "MP3GainDefaultVolume")->isEnabled());
            },
            Close::Cancel);
    }

    void PreferencesDefaultChangesOnlyTheHistoryLength() {
        Session s;
        const TOptionSet before = s.State().Options();
        RunOptions(s, [](OptionsDialog& d) {
            Control<QCheckBox>(d, "Recursive")->click();
            Control<QCheckBox>(d, "RememberColumnsSize")->click();
            Control<QSpinBox>(d, "RecentlyUsedFileList")->setValue(40);
            Click(d, TOptionsPage::Preferences, "Default");
            QCOMPARE(Control<QSpinBox>(d, "RecentlyUsedFileList")->value(), 5);
            QVERIFY(!Control<QCheckBox>(d, "Recursive")->isChecked());
        });
        TOptionSet expected = before;
        expected.Recursive = false;
        expected.RememberColumnsSize = true;
        QCOMPARE(s.State().Options(), expected);
    }

    void GenresDefaultThenCancelKeepsTheList() {
        Session s;
        s.State().Store().SetValue("Genres\\Jazz", 1);
        s.Restart();
        RunOptions(
            s,
            [](OptionsDialog& d) {
                auto* genres = Control<QListWidget>(d, "Genres");
                QCOMPARE(Items(genres), QStringList({"Jazz=1"}));
                Click(d, TOptionsPage::Genres, "Default");
                QVERIFY(genres->count() > 20);
                QVERIFY(Items(genres).contains("Rock=1"));
                // The data file's comments are no genres.
                for (const QString& item : Items(genres))
                    QVERIFY2(!item.startsWith(u'#') && !item.startsWith(u'='), qPrintable(item));
            },
            Close::Cancel);
        QCOMPARE(s.State().Options().Genres, TCheckList({{"Jazz", true}}));
        RunOptions(
            s,
            [](OptionsDialog& d) {
                QCOMPARE(Items(Control<QListWidget>(d, "Genres")), QStringList({"Jazz=1"}));
            },
            Close::Cancel);
    }

    void RefreshOnlyWhenTheNamingModeChanged() {
        Session s;
        s.home.Write("lib/a.mp3", Mp3Fixture().Text("TPE1", "Band").Text("TIT2", "Song").Bytes());
        s.Browse(s.home.File("lib"));
        QCOMPARE(s.State().MainList().Count(), 1);
        QStringList statuses;
        QObject::connect(&s.State(), &TMainWindowState::StatusTextChanged,
                         [&](const QString& text) { statuses << text; });
        RunOptions(s, [](OptionsDialog&) {});
        QVERIFY(!statuses.contains("Refreshing files"));
        RunOptions(s, [](OptionsDialog& d) {
            Click(d, TOptionsPage::MP3Name, "Default");
            QVERIFY(Control<QRadioButton>(d, "MP3NameComputing3")->isChecked());
            Control<QRadioButton>(d, "MP3NameComputing0")->click();
        });
        QVERIFY(statuses.contains("Refreshing files"));
        QCOMPARE(s.Column(mcComputedName), QStringList({"Band-Song.mp3"}));
    }

    void EditorMarksAndEmptyLines() {
        Session s;
        RunOptions(s, [](OptionsDialog& d) {
            auto* suffixes = Control<QListWidget>(d, "Suffixes");
            suffixes->item(0)->setCheckState(Qt::Unchecked);
            const QString shown = EditList(d, TOptionsPage::Suffixes, u"x\n"_s, Close::Cancel);
            QCOMPARE(shown, u"Suffixes Editor|(Acoustic)\n√(Demo)\n√(Instrumental)\n√(Live)\n"
                            u"√(Orchestral)\n√(Remastered)\n√(Remix)\n"_s);
            QCOMPARE(suffixes->count(), 7);

            auto* genres = Control<QListWidget>(d, "Genres");
            const QString genresShown =
                EditList(d, TOptionsPage::Genres, u"√√Rock\n √Rock\n\n√Pop\nblues\n"_s, Close::Ok);
            QVERIFY(genresShown.startsWith("Genres Editor|"));
            QCOMPARE(Items(genres),
                     QStringList({"=0", u" √Rock=0"_s, "blues=0", "Pop=1", u"√Rock=1"_s}));
        });
        // The empty item is kept by the store and comes back.
        s.Restart();
        QCOMPARE(s.State().Options().Genres, TCheckList({{"", false},
                                                         {u" √Rock"_s, false},
                                                         {"blues", false},
                                                         {"Pop", true},
                                                         {u"√Rock"_s, true}}));
        QCOMPARE(s.State().Options().Suffixes.first(), TCheckListItem({"(Acoustic)", false}));
    }

    void LearnFromDataFileAndCheckAll() {
        Session s;
        const char* genres[] = {"Rock", "rock", ""};
        for (int i = 0; i < 3; ++i)
            s.home.Write(u"lib/%1.mp3"_s.arg(i),
                         Mp3Fixture().Text("TIT2", "t").Text("TCON", genres[i]).Bytes());
        s.Browse(s.home.File("lib"));
        QCOMPARE(s.State().MainList().Count(), 3);
        RunOptions(s, [](OptionsDialog& d) {
            Click(d, TOptionsPage::Genres, "LearnFromDataFile");
            auto* list = Control<QListWidget>(d, "Genres");
            QCOMPARE(Items(list), QStringList({"Rock=1"}));
            QMenu* menu = d.ContextMenu(&TOptionSet::Genres);
            QCOMPARE(menu->actions().size(), 2);
            MenuItem(menu, "Uncheck All")->trigger();
            QCOMPARE(Items(list), QStringList({"Rock=0"}));
            // Always enabled on the Genres and Suffixes pages.
            menu = d.ContextMenu(&TOptionSet::Genres);
            QVERIFY(MenuItem(menu, "Uncheck All")->isEnabled());
            MenuItem(menu, "Check All")->trigger();
            QCOMPARE(Items(list), QStringList({"Rock=1"}));
        });
        QCOMPARE(s.State().Options().Genres, TCheckList({{"Rock", true}}));
    }

    void UpdateDataFilesListTooltipDoubleClickAndBrowse() {
        Session s;
        s.home.Write("data/Tessaly/Varnholm/Quenlor.def",
                     "Genres\thttps://example.org/g.def|MP3Genres.def\r\n"
                     "Artists\t/mnt/share/a.def|MP3ArtistExceptions.def\r\n");
        s.Restart();
        QStringList opened;
        s.window->Options()->OpenSource = [&](const QString& source) { opened << source; };
        RunOptions(s, [&](OptionsDialog& d) {
            d.Pages()->setCurrentIndex(int(TOptionsPage::UpdateDataFiles));
            auto* list = Control<QListWidget>(d, "UpdateDataFiles");
            QCOMPARE(Items(list), QStringList({"Artists=1", "Genres=1"}));
            // Nothing selected: a double click does nothing and "Browse" is disabled.
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {},
                               QPoint(5, list->viewport()->height() - 3));
            QVERIFY(opened.isEmpty());
            QMenu* menu = d.ContextMenu(&TOptionSet::UpdateDataFiles);
            QCOMPARE(menu->actions().size(), 4);
            QVERIFY(menu->actions()[1]->isSeparator());
            QCOMPARE(menu->defaultAction(), MenuItem(menu, "Browse"));
            QVERIFY(!MenuItem(menu, "Browse")->isEnabled());
            QVERIFY(!MenuItem(menu, "Check All")->isEnabled());
            QVERIFY(MenuItem(menu, "Uncheck All")->isEnabled());

            const QRect second = list->visualItemRect(list->item(1));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second.center());
            QCOMPARE(list->toolTip(), QStringLiteral("https://example.org/g.def"));
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, second.center());
            QCOMPARE(opened, QStringList({"https://example.org/g.def"}));
            list->setCurrentRow(0);
            QCOMPARE(list->toolTip(), QStringLiteral("/mnt/share/a.def"));
            menu = d.ContextMenu(&TOptionSet::UpdateDataFiles);
            MenuItem(menu, "Browse")->trigger();
            QCOMPARE(opened.last(), QStringLiteral("/mnt/share/a.def"));
            MenuItem(menu, "Uncheck All")->trigger();
            menu = d.ContextMenu(&TOptionSet::UpdateDataFiles);
            QVERIFY(MenuItem(menu, "Check All")->isEnabled());
            QVERIFY(!MenuItem(menu, "Uncheck All")->isEnabled());
        });
        QCOMPARE(s.State().Options().UpdateDataFiles,
                 TCheckList({{"Artists", false}, {"Genres", false}}));
    }

    void FolderFieldsBrowse() {
        Session s;
        const QString music = s.home.File("music");
        QDir().mkpath(music);
        RunOptions(s, [&](OptionsDialog& d) {
            auto* field = Control<QLineEdit>(d, "MusicLibraryHomePath");
            field->setText(s.home.Path());
            s.ui->Picks.enqueue(music);
            QTest::mouseClick(Control<QToolButton>(d, "MusicLibraryHomePathBrowse"),
                              Qt::LeftButton);
            QCOMPARE(field->text(), music);
            // Cancelled: the field stays.
            QTest::mouseClick(Control<QToolButton>(d, "MusicLibraryHomePathBrowse"),
                              Qt::LeftButton);
            QCOMPARE(field->text(), music);
            QCOMPARE(s.ui->PickStarts, QStringList({s.home.Path(), music}));
            for (const char* browse : {"MP3valPathBrowse", "MP3GainPathBrowse", "Mp3tagPathBrowse"})
                QVERIFY(Control<QToolButton>(d, browse));
        });
        QCOMPARE(s.State().Options().MusicLibraryHomePath, music);
    }

    void TheFolderPickerOffersNoNewFolderButton() {
        TempDir dir;
        GuiUiPort port(nullptr, nullptr, nullptr);
        QString title, start;
        bool newFolderShown = true;
        QTimer::singleShot(0, [&] {
            auto* picker = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!picker)
                return;
            title = picker->windowTitle();
            start = picker->directory().absolutePath();
            auto* newFolder = picker->findChild<QWidget*>("newFolderButton");
            newFolderShown = newFolder && newFolder->isVisible();
            picker->reject();
        });
        QCOMPARE(port.PickFolder("MP3val path", dir.Path()), QString());
        QCOMPARE(title, QStringLiteral("MP3val path"));
        QCOMPARE(start, dir.Path());
        QVERIFY(!newFolderShown);
    }

    void SavedValuesComeBackAfterARestartAndOnTheCommandLine() {
        Session s;
        RunOptions(s, [](OptionsDialog& d) {
            Control<QCheckBox>(d, "EmbedCoverArtDuringFixingProcess")->click();
            Control<QSpinBox>(d, "RecentlyUsedFileList")->setValue(12);
            Control<QCheckBox>(d, "LimitSearchDepth")->setChecked(true);
            Control<QSpinBox>(d, "MaxSearchDepth")->setValue(3);
            Control<QLineEdit>(d, "Mp3tagPath")->setText("/opt/mp3tag");
            Control<QRadioButton>(d, "MP3NameComputing2")->click();
            Control<QCheckBox>(d, "UseProxyServer")->setChecked(true);
            Control<QLineEdit>(d, "ProxyAddress")->setText("proxy.lan");
            Control<QLineEdit>(d, "ProxyPort")->setText("8080");
        });
        TKelmRegistryEnhanced& store = s.State().Store();
        QCOMPARE(store.GetValueDefault("Options\\RecentlyUsedFileList", 0).toInt(), 12);
        QCOMPARE(store.GetValueDefault("Options\\ProxyPort", 0).toString(), QStringLiteral("8080"));

        s.Restart();
        RunOptions(
            s,
            [](OptionsDialog& d) {
                QVERIFY(Control<QCheckBox>(d, "EmbedCoverArtDuringFixingProcess")->isChecked());
                QCOMPARE(Control<QSpinBox>(d, "RecentlyUsedFileList")->value(), 12);
                QCOMPARE(Control<QSpinBox>(d, "MaxSearchDepth")->value(), 3);
                QVERIFY(Control<QSpinBox>(d, "MaxSearchDepth")->isEnabled());
                QCOMPARE(Control<QLineEdit>(d, "Mp3tagPath")->text(),
                         QStringLiteral("/opt/mp3tag"));
                QVERIFY(Control<QRadioButton>(d, "MP3NameComputing2")->isChecked());
                QCOMPARE(Control<QLineEdit>(d, "ProxyPort")->text(), QStringLiteral("8080"));
                QVERIFY(Control<QLineEdit>(d, "ProxyPort")->isEnabled());
            },
            Close::Cancel);

        // The command-line tool reads the same settings file.
        TempDir xdg;
        xdg.Write("config/Tessaly/Varnholm/settings.json", s.home.Read("config/settings.json"));
        QProcess cli;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", xdg.File("config"));
        env.insert("XDG_DATA_HOME", xdg.File("data"));
        env.insert("XDG_STATE_HOME", xdg.File("state"));
        cli.setProcessEnvironment(env);
        const QStringList names = {
            "RecentlyUsedFileList", "MaxSearchDepth", "MP3NameComputing",
            "ProxyAddress",         "ProxyPort",      "EmbedCoverArtDuringFixingProcess"};
        QStringList values;
        for (const QString& name : names) {
            cli.start(QString::fromUtf8(QUENLOR_CLI_PATH), {"options", "get", name});
            QVERIFY(cli.waitForFinished(30000));
            QCOMPARE(cli.exitCode(), 0);
            values << QString::fromUtf8(cli.readAllStandardOutput()).trimmed();
        }
        QCOMPARE(values, QStringList({"12", "3", "2", "proxy.lan", "8080", "1"}));
    }

    void AppliedToolFoldersDecideTheToolCommandsAtOnce() {
        Session s;
        s.Browse(s.Library("lib", {"1 - a.mp3"}));
        const QString tools = s.home.File("tools");
        QFile tool(s.home.Write("tools/mp3val", "#!/bin/sh\n"));
        tool.setPermissions(tool.permissions() | QFile::ExeOwner);
        RunOptions(s, [&](OptionsDialog& d) {
            Control<QLineEdit>(d, "MP3valPath")->setText(s.home.File("none"));
        });
        QVERIFY(!s.State().CommandEnabled(TCommand::MP3val));
        RunOptions(s,
                   [&](OptionsDialog& d) { Control<QLineEdit>(d, "MP3valPath")->setText(tools); });
        QVERIFY(s.State().CommandEnabled(TCommand::MP3val));
        RunOptions(
            s,
            [&](OptionsDialog& d) {
                Control<QLineEdit>(d, "MP3valPath")->setText(s.home.File("none"));
            },
            Close::Cancel);
        QVERIFY(s.State().CommandEnabled(TCommand::MP3val));
    }
};

VARNHOLM_GUI_TEST(OptionsDialogTest)
#include "OptionsDialogTest.moc"
