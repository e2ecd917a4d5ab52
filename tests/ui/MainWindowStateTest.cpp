#include "ui/MainWindowState.h"
#include "testsupport/ScriptedUiPort.h"
#include "testsupport/TempDir.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

using Kind = ScriptedUiPort::Kind;

class MainWindowStateTest : public testing::Test {
protected:
    ScriptedUiPort ui;
    TMainWindowState state{ui};
    TempDir tools;

    MainWindowStateTest() {
        state.Options().MP3valPath = tools.Path();
        state.Options().MP3GainPath = tools.Path();
        state.Options().Mp3tagPath = tools.Path();
    }

    // Adds a record and a row whose Mismatch cell reads as given.
    void AddRow(bool mismatch, const QString& genre = {}, const QString& learned = {}) {
        auto data = std::make_unique<TMP3FileData>();
        data->MyMP3Genre = learned;
        std::array<QString, MainListColumnCount> cells;
        cells[mcMismatch] = mismatch ? "Yes" : "No";
        cells[mcGenre] = genre;
        state.MainList().Append(data.get(), cells);
        state.Catalogue().push_back(std::move(data));
        if (mismatch)
            state.AddToMismatchCount(1);
    }

    void MakeTool(const QString& name) {
        QFile f(tools.Write(name, "#!/bin/sh\n"));
        f.setPermissions(f.permissions() | QFile::ExeOwner);
    }
};

TEST_F(MainWindowStateTest, ListDependentCommandsStayDisabledUntilTheFirstUpdate) {
    for (TCommand c : {TCommand::Export, TCommand::Find, TCommand::Fix, TCommand::Refresh,
                       TCommand::MP3val, TCommand::MP3Gain, TCommand::Mp3tag, TCommand::Statistics})
        EXPECT_FALSE(state.CommandEnabled(c));
    for (TCommand c :
         {TCommand::Browse, TCommand::Open, TCommand::UpdateDataFiles, TCommand::Options,
          TCommand::ReleaseNotes, TCommand::CheckForUpdates, TCommand::About, TCommand::Exit})
        EXPECT_TRUE(state.CommandEnabled(c));
}

TEST_F(MainWindowStateTest, EmptyListDisablesEverythingThatNeedsRows) {
    MakeTool("mp3val");
    state.UpdateStatusBar();
    EXPECT_EQ(state.StatusText(), "0 file(s) - 0 mismatch(es)");
    EXPECT_EQ(ui.StatusText, "0 file(s) - 0 mismatch(es)");
    for (TCommand c : {TCommand::Export, TCommand::Find, TCommand::Fix, TCommand::Refresh,
                       TCommand::MP3val, TCommand::Statistics})
        EXPECT_FALSE(state.CommandEnabled(c));
}

TEST_F(MainWindowStateTest, StatusTextAndFixState) {
    struct Case {
        const char* name;
        std::vector<bool> mismatches;
        bool force;
        const char* status;
        bool fix;
    } cases[] = {
        {"three mismatches", {true, false, true, true}, false, "4 file(s) - 3 mismatch(es)", true},
        {"no mismatch", {false, false}, false, "2 file(s) - 0 mismatch(es)", false},
        {"no mismatch, forced", {false, false}, true, "2 file(s) - 0 mismatch(es)", true},
    };
    for (const Case& c : cases) {
        ScriptedUiPort caseUi;
        TMainWindowState s(caseUi);
        s.Options().ForceFixStateToEnabled = c.force;
        for (bool m : c.mismatches) {
            auto data = std::make_unique<TMP3FileData>();
            s.MainList().Append(data.get(), {});
            s.Catalogue().push_back(std::move(data));
            s.AddToMismatchCount(m ? 1 : 0);
        }
        s.UpdateStatusBar();
        EXPECT_EQ(s.StatusText(), c.status) << c.name;
        EXPECT_EQ(s.CommandEnabled(TCommand::Fix), c.fix) << c.name;
        EXPECT_TRUE(s.CommandEnabled(TCommand::Export)) << c.name;
        EXPECT_TRUE(s.CommandEnabled(TCommand::Statistics)) << c.name;
    }
}

TEST_F(MainWindowStateTest, ToolCommandsFollowTheirExecutables) {
    AddRow(false);
    state.UpdateStatusBar();
    EXPECT_FALSE(state.CommandEnabled(TCommand::MP3val));
    EXPECT_FALSE(state.CommandEnabled(TCommand::MP3Gain));

    MakeTool("mp3val");
    MakeTool("mp3gain");
    state.UpdateStatusBar();
    EXPECT_TRUE(state.CommandEnabled(TCommand::MP3val));
    EXPECT_TRUE(state.CommandEnabled(TCommand::MP3Gain));

    // MP3Gain's own window is a different executable.
    state.Options().UseMP3GainUserInterface = true;
    state.UpdateStatusBar();
    EXPECT_FALSE(state.CommandEnabled(TCommand::MP3Gain));
    MakeTool("MP3GainGUI.exe");
    state.UpdateStatusBar();
    EXPECT_TRUE(state.CommandEnabled(TCommand::MP3Gain));
}

TEST_F(MainWindowStateTest, ClickShowsTheSuggestedGenreOnlyWhenItDiffers) {
    AddRow(false, "Rock", "Rock");
    AddRow(false, "Rock", "Blues");
    AddRow(false, "Rock", "");
    const struct {
        int row;
        const char* tip;
    } cases[] = {{0, ""}, {1, "Suggested Genre: Blues"}, {2, ""}};
    for (const auto& c : cases) {
        state.MainList().ClearSelection();
        state.MainList().SetSelected(c.row, true);
        state.ListClick();
        EXPECT_EQ(state.ListToolTip(), c.tip) << c.row;
    }
}

TEST_F(MainWindowStateTest, ClickWhileBusyAsksAndStopsAtTheNextItem) {
    ui.Answers << false << true;
    int handled = 0;
    {
        TLongOperation op(state, UiPort::Cursor::Busy, {TCommand::Browse, TCommand::Export},
                          "Processing files", 5);
        EXPECT_TRUE(state.Busy());
        EXPECT_FALSE(state.CommandEnabled(TCommand::Browse));
        ui.OnPendingEvents = [&] { state.ListClick(); };
        while (op.Step())
            ++handled;
        EXPECT_TRUE(op.Stopped());
        EXPECT_FALSE(state.Busy());
    }
    // The first click was answered No, the second Yes: one item ran between them.
    EXPECT_EQ(handled, 1);
    EXPECT_EQ(ui.Texts(Kind::Question),
              QStringList({"Do you want to stop processing?", "Do you want to stop processing?"}));
    EXPECT_EQ(ui.ProgressMaximum, 5);
    EXPECT_EQ(ui.ProgressPosition, 1);
    EXPECT_FALSE(state.StopRequested());
    EXPECT_TRUE(state.CommandEnabled(TCommand::Browse));
    EXPECT_FALSE(state.CommandEnabled(TCommand::Export)); // no rows: follows the list
    EXPECT_EQ(ui.CurrentCursor, UiPort::Cursor::Normal);
}

TEST_F(MainWindowStateTest, AnOperationEndedByAnErrorStillPutsEverythingBack) {
    AddRow(true);
    try {
        TLongOperation op(state, UiPort::Cursor::Busy, {TCommand::Browse, TCommand::Fix}, "x", 1);
        throw std::runtime_error("disk gone");
    } catch (const std::runtime_error&) {
    }
    EXPECT_FALSE(state.Busy());
    EXPECT_TRUE(state.CommandEnabled(TCommand::Browse));
    EXPECT_TRUE(state.CommandEnabled(TCommand::Fix));
    EXPECT_EQ(ui.CurrentCursor, UiPort::Cursor::Normal);
}

} // namespace
