#include "ui/ExportCommand.h"
#include "MainWindowFixture.h"

#include <QDir>
#include <QStandardPaths>

namespace {

using Kind = ScriptedUiPort::Kind;
using Format = TExportCommand::TFormat;

const QByteArray CsvHeader =
    "\"Name\",\"Location\",\"MP3 Name (Computed)\",\"Mismatch\",\"Artist\","
    "\"Title\",\"Track Number\",\"Album Title\",\"Year\",\"Genre\","
    "\"Comments\",\"Cover Art\"\r\n";

class ExportCommand : public MainWindowFixture {
protected:
    TempDir Out;
    TExportCommand Export{State};

    // Two rows: "a.mp3" (a title with a quote and a comma, TLEN 215999) and "b.mp3".
    void TwoRows() {
        Music.Write("a.mp3", Mp3Fixture()
                                 .Text("TPE1", "Ana")
                                 .Text("TIT2", "Say \"Hi\", Now")
                                 .Text("TLEN", "215999")
                                 .Bytes());
        Music.Write("b.mp3", Mp3Fixture().Text("TPE1", "Bo").Text("TIT2", "Two").Bytes());
        State.BrowseMP3Folder(Music.Path());
        ASSERT_EQ(State.MainList().Count(), 2);
    }
    QList<QByteArray> Lines(const QString& name) const {
        QList<QByteArray> lines = Out.Read(name).split('\n');
        EXPECT_TRUE(lines.takeLast().isEmpty()) << "the last line ends with a line break";
        return lines;
    }
};

TEST_F(ExportCommand, CsvHasTheHeaderAndOneLinePerRowUnescaped) {
    TwoRows();
    Ui.StatusTexts.clear();
    Ui.Cursors.clear();
    std::vector<bool> busy;
    Ui.OnPendingEvents = [&] { busy.push_back(State.Busy()); };
    EXPECT_EQ(Export.Export(Out.File("list.csv"), Format::Csv), 2);

    const QList<QByteArray> lines = Lines("list.csv");
    ASSERT_EQ(lines.size(), 3);
    for (const QByteArray& line : lines)
        EXPECT_TRUE(line.endsWith('\r'));
    EXPECT_EQ(lines[0] + '\n', CsvHeader);
    EXPECT_TRUE(lines[1].startsWith("\"a.mp3\",\"" + Music.Path().toUtf8() + "\","));
    EXPECT_TRUE(lines[1].contains(",\"Say \"Hi\", Now\","));
    EXPECT_GT(lines[1].count(','), lines[0].count(','));
    EXPECT_EQ(busy, std::vector<bool>({true, true}));
    EXPECT_EQ(Ui.ProgressMaximum, 2);
    EXPECT_EQ(Ui.ProgressPosition, 2);
    EXPECT_EQ(Ui.StatusTexts,
              QStringList({"Exporting " + Out.File("list.csv"), "2 file(s) - 2 mismatch(es)"}));
    EXPECT_EQ(Ui.Cursors.first(), UiPort::Cursor::Background);
    EXPECT_EQ(Ui.CurrentCursor, UiPort::Cursor::Normal);
    EXPECT_EQ(Ui.Texts(Kind::Information), QStringList{"2 items have been exported."});

    // A second export keeps the first beside it.
    const QByteArray first = Out.Read("list.csv");
    State.MainList().Remove(1);
    EXPECT_EQ(Export.Export(Out.File("list.csv"), Format::Csv), 1);
    EXPECT_EQ(Out.Read("list.~csv"), first);
    EXPECT_EQ(Lines("list.csv").size(), 2);
}

TEST_F(ExportCommand, StopDuringCsvWritesTheRowsDoneBefore) {
    TwoRows();
    Ui.PendingEventCalls = 0;
    Ui.OnPendingEvents = [&] {
        if (Ui.PendingEventCalls == 2) {
            Ui.Answers.enqueue(true);
            State.ListClick();
        }
    };
    EXPECT_EQ(Export.Export(Out.File("list.csv"), Format::Csv), 1);
    const QList<QByteArray> lines = Lines("list.csv");
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[1].startsWith("\"a.mp3\""));
    EXPECT_EQ(Ui.Texts(Kind::Information), QStringList{"1 items have been exported."});
    EXPECT_FALSE(State.Busy());
    EXPECT_FALSE(State.StopRequested());
}

TEST_F(ExportCommand, SaveDialogFollowsTheOptionsAndRemembersTheFilter) {
    TwoRows();
    State.Options().MusicLibraryHomePath = "/music/home";
    State.Options().PromptBeforeOverwritingFiles = false;
    Ui.SaveChoices.enqueue({Out.File("list.m3u"), 1});
    Export.ExportToolButtonClick();
    ASSERT_EQ(Ui.SaveRequests.size(), 1);
    const TSaveFileRequest& first = Ui.SaveRequests[0];
    EXPECT_EQ(first.StartFolder, "/music/home");
    EXPECT_EQ(first.Filters,
              QStringList({"CSV files (*.csv)", "M3U files (*.m3u)", "All files (*.*)"}));
    EXPECT_EQ(first.FilterIndex, 0);
    EXPECT_EQ(first.DefaultExtension, "csv");
    EXPECT_FALSE(first.ConfirmOverwrite);
    EXPECT_TRUE(Out.Read("list.m3u").startsWith("#EXTM3U\r\n"));

    // The filter decides, whatever the name says; cancelling does nothing.
    State.Options().PromptBeforeOverwritingFiles = true;
    Ui.SaveChoices.enqueue({Out.File("other.m3u"), 0});
    Export.ExportToolButtonClick();
    EXPECT_EQ(Ui.SaveRequests[1].FilterIndex, 1);
    EXPECT_TRUE(Ui.SaveRequests[1].ConfirmOverwrite);
    EXPECT_TRUE(Out.Read("other.m3u").startsWith(CsvHeader));
    Export.ExportToolButtonClick();
    EXPECT_EQ(Ui.SaveRequests[2].FilterIndex, 0);
    EXPECT_EQ(Ui.Texts(Kind::Information).size(), 2);

    // The picker's folder comes first, the documents folder last.
    Ui.PickerResults.enqueue({Music.Path()});
    State.BrowseCommand();
    Export.ExportToolButtonClick();
    EXPECT_EQ(Ui.SaveRequests[3].StartFolder, Music.Path());
    TMainWindowState fresh(Ui, Paths(Home));
    TExportCommand freshExport(fresh);
    freshExport.ExportToolButtonClick();
    EXPECT_EQ(Ui.SaveRequests.last().StartFolder,
              QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
}

TEST_F(ExportCommand, AllFilesWritesNothing) {
    TwoRows();
    Ui.SaveChoices.enqueue({Out.File("list.csv"), 2});
    Export.ExportToolButtonClick();
    EXPECT_FALSE(QFile::exists(Out.File("list.csv")));
    EXPECT_EQ(Ui.Texts(Kind::Warning), QStringList{"No item has been exported."});
    EXPECT_TRUE(Ui.Texts(Kind::Information).isEmpty());
}

TEST_F(ExportCommand, PlaylistForms) {
    TwoRows();
    const QByteArray a = (Music.Path() + "/a.mp3").toUtf8();
    const QByteArray b = (Music.Path() + "/b.mp3").toUtf8();
    const struct {
        bool Extended;
        bool Absolute;
        QByteArray Expected;
    } cases[] = {
        {false, true, a + "\r\n" + b + "\r\n"},
        {true, true,
         "#EXTM3U\r\n#EXTINF:215,Ana - Say \"Hi\", Now\r\n" + a + "\r\n#EXTINF:0,Bo - Two\r\n" + b +
             "\r\n"},
    };
    for (const auto& c : cases) {
        State.Options().ExportPlaylistUsingExtendedM3UFormat = c.Extended;
        State.Options().ExportPlaylistUsingAbsolutePath = c.Absolute;
        Ui.StatusTexts.clear();
        EXPECT_EQ(Export.Export(Out.File("list.m3u"), Format::M3U), 2);
        EXPECT_EQ(Out.Read("list.m3u"), c.Expected);
        EXPECT_EQ(Ui.StatusTexts, QStringList({"Exporting " + Out.File("list.m3u"), "2 item(s)"}));
        EXPECT_FALSE(QFile::exists(Out.File("list.~m3u")));
    }
    // Relative entries from the playlist's own folder.
    State.Options().ExportPlaylistUsingExtendedM3UFormat = false;
    State.Options().ExportPlaylistUsingAbsolutePath = false;
    Export.Export(Music.File("list.m3u"), Format::M3U);
    EXPECT_EQ(Music.Read("list.m3u"), "./a.mp3\r\n./b.mp3\r\n");
}

TEST_F(ExportCommand, AVanishedTrackGetsMinusOneAndOneWarning) {
    TwoRows();
    Music.Write("c.mp3", Mp3Fixture().Text("TIT2", "Three").Bytes());
    State.BrowseMP3Folder(Music.Path());
    QFile::remove(Music.File("b.mp3"));
    QFile::remove(Music.File("c.mp3"));
    EXPECT_EQ(Export.Export(Out.File("list.m3u"), Format::M3U), 3);
    const QList<QByteArray> lines = Lines("list.m3u");
    ASSERT_EQ(lines.size(), 7);
    EXPECT_EQ(lines[1], "#EXTINF:215,Ana - Say \"Hi\", Now\r");
    EXPECT_TRUE(lines[3].startsWith("#EXTINF:-1,"));
    EXPECT_TRUE(lines[5].startsWith("#EXTINF:-1,"));
    EXPECT_EQ(Ui.Texts(Kind::Warning).size(), 1);
    EXPECT_TRUE(Ui.Texts(Kind::Warning).value(0).contains("2 file(s)"));
    EXPECT_EQ(Ui.Texts(Kind::Information), QStringList{"3 items have been exported."});
}

TEST_F(ExportCommand, AFailedWriteIsReportedAndCountsNothing) {
    TwoRows();
    for (const Format format : {Format::Csv, Format::M3U}) {
        Ui.Messages.clear();
        const QString target = Out.File("gone/list.csv");
        EXPECT_EQ(Export.Export(target, format), 0);
        EXPECT_TRUE(Export.Failed());
        const QStringList errors = Ui.Texts(Kind::Error);
        ASSERT_EQ(errors.size(), 1);
        EXPECT_TRUE(errors[0].startsWith("Cannot write \"" + target + "\": "))
            << errors[0].toStdString();
        EXPECT_EQ(Ui.Messages.size(), 1);
        EXPECT_FALSE(State.Busy());
        EXPECT_EQ(Ui.CurrentCursor, UiPort::Cursor::Normal);
    }
    EXPECT_FALSE(QDir(Out.File("gone")).exists());
}

} // namespace
