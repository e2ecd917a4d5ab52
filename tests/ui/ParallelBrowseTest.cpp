#include "MainWindowFixture.h"
#include "testsupport/HostileLibrary.h"

#include <QDir>
#include <random>

namespace {

using Rows = std::vector<std::array<QString, MainListColumnCount>>;

Rows AllRows(const TMainWindowState& state) {
    Rows rows;
    for (int i = 0; i < state.MainList().Count(); ++i)
        rows.push_back(state.MainList().Row(i).Cells);
    return rows;
}

QStringList RecordPaths(TMainWindowState& state) {
    QStringList paths;
    for (const auto& record : state.Catalogue())
        paths.append(record->FileName);
    return paths;
}

// Sets the number of readers for the browses of a scope.
class ReaderCount {
public:
    explicit ReaderCount(int readers) : FSaved(qgetenv("VARNHOLM_READERS")) {
        qputenv("VARNHOLM_READERS", QByteArray::number(readers));
    }
    ~ReaderCount() {
        if (FSaved.isNull())
            qunsetenv("VARNHOLM_READERS");
        else
            qputenv("VARNHOLM_READERS", FSaved);
    }

private:
    QByteArray FSaved;
};

// A browse whose files are read by many readers, stopped or disturbed half-way.
class ParallelBrowse : public MainWindowFixture {
protected:
    ReaderCount Readers{24};
    HostileLibrary Library{Music.Path(), 700, 7};
};

// A stop at any point keeps the rows made so far: the first rows of the full list, each row and
// record whole, as the readers run ahead of the analysis.
TEST_F(ParallelBrowse, AStopAtAnyPointKeepsAPrefixOfTheFullList) {
    State.BrowseMP3Folder(Music.Path());
    const Rows full = AllRows(State);
    const QStringList fullRecords = RecordPaths(State);
    ASSERT_GT(full.size(), 600u);

    std::mt19937 random(2024);
    std::vector<int> stopAt = {1, 2, 700, int(full.size()), int(full.size()) + 1};
    for (int i = 0; i < 6; ++i)
        stopAt.push_back(1 + int(random() % full.size()));
    for (int at : stopAt) {
        RecordingUiPort ui;
        TempDir home;
        TMainWindowState state(ui, Paths(home));
        ui.Answers.enqueue(true);
        int call = 0;
        ui.OnPendingEvents = [&] {
            if (++call == at)
                state.ListClick();
        };
        state.BrowseMP3Folder(Music.Path());
        const Rows rows = AllRows(state);
        const QStringList records = RecordPaths(state);
        ASSERT_LE(rows.size(), full.size()) << at;
        ASSERT_LE(records.size(), fullRecords.size()) << at;
        EXPECT_TRUE(std::equal(rows.begin(), rows.end(), full.begin())) << at;
        EXPECT_EQ(records, fullRecords.mid(0, records.size())) << at;
        EXPECT_FALSE(state.Busy()) << at;
        EXPECT_TRUE(state.CanChangeList()) << at;
    }
}

// Each row is made as soon as its record is: the list is the one that showing every record after
// the whole analysis gives, row for row, with the same selection, count and status bar.
TEST_F(ParallelBrowse, RowsMadeWithTheirRecordsAreThoseMadeAfterTheAnalysis) {
    State.BrowseMP3Folder(Music.Path());
    State.BrowseMP3Folder(Music.Path()); // over a full list, which goes
    const Rows rows = AllRows(State);
    const std::vector<int> selected = State.MainList().SelectedRows();
    const int mismatches = State.MismatchCount();
    const QString status = State.StatusText();
    ASSERT_EQ(rows.size(), State.Catalogue().size());
    for (int i = 0; i < State.MainList().Count(); ++i)
        ASSERT_EQ(State.MainList().Row(i).Data, State.Catalogue()[std::size_t(i)].get()) << i;

    State.ClearMainList();
    for (const auto& record : State.Catalogue())
        State.DisplayMP3FileData(record.get(), false);
    State.MainList().SelectOnly(0);
    State.UpdateStatusBar();
    EXPECT_TRUE(AllRows(State) == rows);
    EXPECT_EQ(State.MainList().SelectedRows(), selected);
    EXPECT_EQ(selected, std::vector<int>{0});
    EXPECT_EQ(State.MismatchCount(), mismatches);
    EXPECT_EQ(State.StatusText(), status);
}

// Files deleted while the browse runs (after the walk listed them) either keep the row made from
// what was read before they went or have none; every other file keeps its row, in order.
TEST_F(ParallelBrowse, FilesVanishingHalfWayLeaveTheOthersAsTheyWere) {
    State.BrowseMP3Folder(Music.Path());
    const QStringList fullRecords = RecordPaths(State);
    const Rows full = AllRows(State);

    QStringList deleted;
    for (qsizetype i = 3; i < fullRecords.size(); i += 5)
        deleted.append(fullRecords[i]);
    RecordingUiPort ui;
    TempDir home;
    TMainWindowState state(ui, Paths(home));
    ui.OnPendingEvents = [&] {
        if (ui.PendingEventCalls == 1)
            for (const QString& path : deleted)
                QFile::remove(path);
    };
    state.BrowseMP3Folder(Music.Path());
    const QStringList records = RecordPaths(state);
    const Rows rows = AllRows(state);
    qsizetype at = 0;
    for (qsizetype i = 0; i < fullRecords.size(); ++i) {
        const bool present = at < records.size() && records[at] == fullRecords[i];
        if (!deleted.contains(fullRecords[i])) {
            ASSERT_TRUE(present) << fullRecords[i].toStdString();
        }
        if (present) {
            EXPECT_EQ(rows[std::size_t(at)], full[std::size_t(i)]) << fullRecords[i].toStdString();
            ++at;
        }
    }
    EXPECT_EQ(at, records.size());
}

// The playlist's entries are read in parallel too and come out as one reader gives them.
TEST_F(ParallelBrowse, PlaylistEntriesKeepTheirOrder) {
    TempDir lists;
    QByteArray m3u;
    QStringList names;
    for (const QString& folder :
         QDir(Music.Path() + "/Artist 3").entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        for (const QString& name : QDir(Music.Path() + "/Artist 3/" + folder).entryList({"*.mp3"}))
            names.prepend(Music.Path() + "/Artist 3/" + folder + u'/' + name);
    ASSERT_GT(names.size(), 5);
    for (const QString& name : names)
        m3u += name.toUtf8() + "\r\n" + names.first().toUtf8() + "\r\n";
    const QString playlist = lists.Write("p.m3u", m3u);

    Rows expected;
    {
        ReaderCount one(1);
        RecordingUiPort ui;
        TempDir home;
        TMainWindowState state(ui, Paths(home));
        state.OpenM3UFile(playlist);
        expected = AllRows(state);
    }
    ASSERT_EQ(expected.size(), std::size_t(names.size() * 2));
    State.OpenM3UFile(playlist);
    EXPECT_TRUE(AllRows(State) == expected);
    for (int i = 0; i < State.MainList().Count(); ++i)
        EXPECT_EQ(State.MainList().Row(i).Data->FileName, i % 2 ? names.first() : names[i / 2]);
}

} // namespace
