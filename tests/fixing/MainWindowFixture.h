#pragma once

#include "TagLibView.h"
#include "testsupport/Mp3Fixture.h"
#include "testsupport/Mp3Layout.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/ScriptedUiPort.h"
#include "testsupport/TempDir.h"
#include "ui/MainWindowState.h"

#include <gtest/gtest.h>
#include <memory>

// The main window over a temporary music folder: files written from fixtures, the folder
// browsed into the list, rows found by name, and every file's audio bytes remembered so that a
// test can prove no edit touched them.
class MainWindowFixture : public testing::Test {
public:
    MainWindowFixture();

    // The settings, log, installed data and journal of a session under home.
    static TMainWindowPaths Paths(const TempDir& home);

    // Writes a file into the music folder (sub-folders allowed) and returns its path.
    QString Write(const QString& name, const Mp3Fixture& fixture);
    QString WriteBytes(const QString& name, const QByteArray& bytes);
    // Browses the music folder (or one of its sub-folders) into the list.
    void Load(const QString& subFolder = {});
    // Loads learned genres ("Artist\tGenre" lines) and artist exceptions into the reference data,
    // with the learned-data folder present.
    void LoadReferenceData(const QStringList& artistGenres, const QStringList& exceptions = {});

    TMainList& List() { return state->MainList(); }
    // The row whose Name cell is name; fails the test when there is none.
    int Row(const QString& name);
    QString Cell(const QString& name, int column) { return List().Cell(Row(name), column); }
    void SetCell(const QString& name, int column, const QString& text);
    void Select(const QStringList& names);
    void SelectAll();
    // The person asks the next long operation to stop (and says Yes) at its given call to the
    // event loop; each step of a fix or an edit makes one.
    void StopAtEventCall(int call);
    QString PathOf(const QString& name) { return music.File(name); }
    QString LogText() const;

    // Every file in the music folder holds exactly the audio bytes of one file that was
    // written, and every written file's audio is still there.
    void ExpectAudioIntact();
    // The closing steps of a long operation have run, and MismatchCount counts the rows that
    // read "Yes".
    void ExpectIdle();

    TempDir music;
    TempDir home;
    ScriptedUiPort ui;
    std::unique_ptr<TMainWindowState> state;

private:
    QList<QByteArray> FAudio;
};
