#pragma once

#include "support/PlatformFolders.h"
#include "testsupport/Mp3Fixture.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/ScriptedUiPort.h"
#include "testsupport/TempDir.h"
#include "ui/MainWindowState.h"

#include <QStringList>
#include <gtest/gtest.h>

// A scripted port that also keeps every status text and cursor the program set, in order.
class RecordingUiPort : public ScriptedUiPort {
public:
    QStringList StatusTexts;
    QVector<Cursor> Cursors;
    void SetStatusText(const QString& text) override {
        StatusTexts.append(text);
        ScriptedUiPort::SetStatusText(text);
    }
    void SetCursor(Cursor cursor) override {
        Cursors.append(cursor);
        ScriptedUiPort::SetCursor(cursor);
    }
};

// The main window's state with its store and log in a temporary folder, and a music folder to
// fill with MP3 files.
class MainWindowFixture : public testing::Test {
protected:
    TempDir Home;
    TempDir Music;
    RecordingUiPort Ui;
    TMainWindowState State{Ui, Paths(Home)};

    static TMainWindowPaths Paths(const TempDir& home) {
        TMainWindowPaths paths;
        paths.StoreFileName = home.File("config/settings.json");
        paths.LogFileName = home.File("state/Quenlor.log");
        paths.InstalledDataFolder = PlatformFolders::InstalledDataFolder();
        return paths;
    }

    // An MP3 file in the music folder whose tags give it the name "01 - <title>.mp3" in the
    // Folded naming; returns its full path.
    QString Song(const QString& name, const QString& title = QStringLiteral("Song")) {
        return Music.Write(name, Mp3Fixture().Text("TIT2", title).Text("TRCK", "1").Bytes());
    }

    // The Location and Name cells of every row, joined with "/", relative to the music folder.
    QStringList RowPaths() const {
        QStringList paths;
        const TMainList& list = State.MainList();
        for (int i = 0; i < list.Count(); ++i) {
            QString path = list.Cell(i, mcLocation) + u'/' + list.Cell(i, mcName);
            if (path.startsWith(Music.Path() + u'/'))
                path.remove(0, Music.Path().size() + 1);
            paths.append(path);
        }
        return paths;
    }

    std::vector<int> Selected() const { return State.MainList().SelectedRows(); }

    QStringList LogLines() const {
        QFile file(Home.File("state/Quenlor.log"));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    }
};
