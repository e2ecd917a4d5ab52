// The journal of the runs that change music files, and their undo: every file back byte for
// byte, under its old name, with its old modification time.
#include "MainWindowFixture.h"

#include "fixing/FileTimes.h"
#include "fixing/RunJournal.h"
#include "tags/ID3FileEnds.h"
#include "ui/PropertiesDialogState.h"
#include "ui/UndoRuns.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <map>
#include <sys/stat.h>

namespace {

using Kind = ScriptedUiPort::Kind;
using Fields = Mp3Bytes::TID3v1Fields;

// Bytes and modification time (nanoseconds) of every file under a folder, hidden ones included,
// by path relative to the folder.
using Snapshot = std::map<QString, std::pair<QByteArray, qint64>>;

Snapshot Take(const QString& folder) {
    Snapshot files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        struct stat st {};
        ::stat(QFile::encodeName(path).constData(), &st);
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        files[QDir(folder).relativeFilePath(path)] = {
            file.readAll(), qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
    }
    return files;
}

void SetTime(const QString& path, qint64 seconds, long nanoseconds) {
    ASSERT_TRUE(SetLastWriteTime(path, timespec{time_t(seconds), nanoseconds}));
}

// Where each record of a journal lies: its JSON line, and the tag bytes that follow the line of
// a state record with tags (as many as its sizes say).
struct TRecord {
    QString Kind;
    qsizetype Start = 0;
    qsizetype LineEnd = 0; // after its newline
    qsizetype End = 0;
};

QList<TRecord> Records(const QByteArray& bytes, qsizetype from) {
    QList<TRecord> records;
    for (qsizetype at = from; at < bytes.size();) {
        const qsizetype newline = bytes.indexOf('\n', at);
        if (newline < 0)
            break;
        const QJsonObject o = QJsonDocument::fromJson(bytes.sliced(at, newline - at)).object();
        TRecord record{o.value(u"k").toString(), at, newline + 1, newline + 1};
        if (record.Kind == u"b")
            record.End += o.value(u"v2size").toString().toLongLong() -
                          o.value(u"v2pad").toString().toLongLong() +
                          o.value(u"v1size").toString().toLongLong();
        records.append(record);
        at = record.End;
    }
    return records;
}

class Undo : public MainWindowFixture {
protected:
    QString JournalFolder() const { return home.File("data/journal"); }
    QList<TJournalRun> Runs() { return TUndoRuns(*state).Runs(); }
    QList<TUndoneFile> UndoNewest() {
        const QList<TJournalRun> runs = Runs();
        EXPECT_FALSE(runs.isEmpty());
        return runs.isEmpty() ? QList<TUndoneFile>() : TUndoRuns(*state).Undo(runs, 0, false);
    }

    // A library with every kind of file the runs change: 2.2, 2.3 and 2.4 tags, tags with and
    // without padding, an embedded cover, only an ID3v1 tag, no tag at all; ID3v1 present and
    // absent; two files that the fix gives the same name. Each with its own odd time.
    void WriteLibrary() {
        const auto tagged = [](int version, const QString& title) {
            return Mp3Fixture(version)
                .Text("TPE1", "Artist")
                .Text("TIT2", title)
                .Text("TALB", "Album")
                .Text("TRCK", "1")
                .Text("TCON", "Rock");
        };
        Write("a/v22.mp3", tagged(2, "Twenty Two"));
        Write("a/v23.mp3", tagged(3, "Twenty Three").Padding(500).ID3v1({"Old", "Artist"}));
        Write("a/v24.mp3", tagged(4, "Twenty Four").ID3v1({"Old", "Artist", "", "", "", 2}));
        Write("a/cover.mp3", tagged(3, "Cover").Picture(3, "image/jpeg", QByteArray(5000, 'J')));
        Write("a/v1only.mp3", Mp3Fixture(0).ID3v1({"Only One", "Artist", "Album", "1990"}));
        Write("a/bare.mp3", Mp3Fixture(0));
        Write("a/same1.mp3", tagged(3, "Same"));
        Write("a/same2.mp3", tagged(4, "Same"));
        int n = 0;
        for (const QString& name : QDir(music.File("a")).entryList(QDir::Files)) {
            ++n;
            SetTime(music.File("a/" + name), 1500000000 + 1000 * n, 123456789 + n);
        }
    }
};

TEST_F(Undo, FixBulkEditsAndPropertiesUndoneNewestFirstGiveBackEveryFileExactly) {
    WriteLibrary();
    const Snapshot start = Take(music.Path());
    Load("a");
    state->FixToolButtonClick();
    SelectAll();
    state->SetGenreToPopupMenuClick(QStringLiteral("Jazz"));
    state->Comments1Click();
    // Two confirms of the properties dialog: every field and the cover cleared, so the tag
    // shrinks; and a file that had only an ID3v1 tag, which gets its first ID3v2 tag.
    for (const QString& title : {QStringLiteral("Cover"), QStringLiteral("Only One")}) {
        int row = -1;
        for (int i = 0; i < List().Count() && row < 0; ++i)
            if (List().Row(i).Data->MP3TagData.Title == title)
                row = i;
        ASSERT_GE(row, 0) << title.toStdString();
        Select({List().Cell(row, mcName)});
        TPropertiesDialogState& dialog = state->PropertiesDialog();
        ASSERT_TRUE(dialog.Open());
        dialog.Values() = {"Other", "Retitled " + title, "7", "Elsewhere", "2001", "Blues", "n"};
        dialog.ClearButtonClick();
        ASSERT_EQ(dialog.Confirm(), TPropertiesDialogState::TConfirmed::Written);
    }
    const Snapshot changed = Take(music.Path());
    ASSERT_NE(changed, start);
    // The fix renamed files (one of the two of the same name keeps its own).
    EXPECT_EQ(changed.count("a/v22.mp3"), 0u);
    const QList<TJournalRun> runs = Runs();
    ASSERT_EQ(runs.size(), 5);
    EXPECT_EQ(runs[0].Operation, "Properties");
    EXPECT_EQ(runs[1].Operation, "Properties");
    EXPECT_EQ(runs[2].Operation, "Clear Comments");
    EXPECT_EQ(runs[3].Operation, "Set Genre");
    EXPECT_EQ(runs[4].Operation, "Fix");
    EXPECT_EQ(runs[0].Files.size(), 1);
    EXPECT_EQ(runs[1].Files.size(), 1);
    for (qsizetype i = 0; i < runs.size(); ++i)
        EXPECT_EQ(TUndoRuns::Undoable(runs, i), "Yes") << i;

    // A dry run of the fix judges it as the edits, undone first, would leave the files.
    for (const TUndoneFile& file : TUndoRuns(*state).Undo(runs, 4, true))
        EXPECT_FALSE(file.LeftAlone()) << file.Path.toStdString();
    EXPECT_EQ(Take(music.Path()), changed);

    // Undoing the fix undoes the edits on its files first, newest first, as one run.
    const QList<TUndoneFile> files = TUndoRuns(*state).Undo(runs, 4, false);
    QStringList order;
    for (const TUndoneFile& file : files) {
        EXPECT_FALSE(file.LeftAlone()) << file.Path.toStdString();
        if (order.isEmpty() || order.last() != file.RunId)
            order.append(file.RunId);
    }
    EXPECT_EQ(order, (QStringList{runs[0].Id, runs[1].Id, runs[2].Id, runs[3].Id, runs[4].Id}));
    EXPECT_EQ(Take(music.Path()), start);
    EXPECT_TRUE(ui.Messages.isEmpty());
    const QList<TJournalRun> after = Runs();
    ASSERT_EQ(after.size(), 6);
    EXPECT_EQ(after[0].Operation, "Undo Fix");
    // Undoing the undo gives back what the five runs left.
    TUndoRuns(*state).Undo(after, 0, false);
    EXPECT_EQ(Take(music.Path()), changed);
}

TEST_F(Undo, AnOlderRunIsUndoneWithoutTouchingNewerRunsOnOtherFiles) {
    Write("a/one.mp3", Mp3Fixture(3).Text("TPE1", "Band").Text("TIT2", "One"));
    Write("b/two.mp3", Mp3Fixture(4).Text("TPE1", "Band").Text("TIT2", "Two"));
    const Snapshot start = Take(music.Path());
    Load("a");
    state->FixToolButtonClick();
    Load("b");
    SelectAll();
    state->SetGenreToPopupMenuClick(QStringLiteral("Jazz"));
    const Snapshot edited = Take(music.Path());
    const QList<TJournalRun> runs = Runs();
    ASSERT_EQ(runs.size(), 2);
    ASSERT_EQ(runs[1].Operation, "Fix");
    for (const TUndoneFile& file : TUndoRuns(*state).Undo(runs, 1, false))
        EXPECT_EQ(file.RunId, runs[1].Id);
    Snapshot expected = edited;
    expected.erase("a/Band - One.mp3");
    expected["a/one.mp3"] = start.at("a/one.mp3");
    EXPECT_EQ(Take(music.Path()), expected);
}

TEST_F(Undo, HowMuchOfARunCanBeUndoneFollowsTheFilesChangedSince) {
    for (const char* name : {"one", "two"})
        Write(QStringLiteral("%1.mp3").arg(name),
              Mp3Fixture(3).Text("TPE1", "Band").Text("TIT2", QString::fromLatin1(name)));
    Load();
    state->FixToolButtonClick();
    const QList<TJournalRun> runs = Runs();
    ASSERT_EQ(runs.size(), 1);
    // Each step is another program's change to one more file of the run.
    const struct {
        const char* file;
        const char* undoable;
    } steps[] = {{nullptr, "Yes"}, {"Band - one.mp3", "Partly"}, {"Band - two.mp3", "No"}};
    for (const auto& step : steps) {
        if (step.file)
            SetTime(PathOf(QString::fromLatin1(step.file)), 1600000000, 7);
        EXPECT_EQ(TUndoRuns::Undoable(runs, 0), step.undoable) << step.undoable;
    }
}

TEST_F(Undo, AnUndoIsJournalledAndItsUndoGivesBackTheRunsResult) {
    WriteLibrary();
    Load("a");
    state->FixToolButtonClick();
    const Snapshot fixed = Take(music.Path());
    UndoNewest();
    const QList<TJournalRun> runs = Runs();
    ASSERT_EQ(runs.size(), 2);
    EXPECT_EQ(runs[0].Operation, "Undo Fix");
    UndoNewest();
    EXPECT_EQ(Take(music.Path()), fixed);
}

TEST_F(Undo, FilesChangedGoneOrWhoseNameIsTakenAreLeftAloneAndCountedInOneWarning) {
    for (const char* name : {"changed", "retimed", "gone", "taken", "kept"})
        Write(QStringLiteral("%1.mp3").arg(name),
              Mp3Fixture(3).Text("TPE1", "Band").Text("TIT2", QString::fromLatin1(name)));
    const Snapshot start = Take(music.Path());
    Load();
    state->FixToolButtonClick();
    const Snapshot fixed = Take(music.Path());
    ASSERT_EQ(fixed.count("Band - kept.mp3"), 1u);
    // Another program changes one file's tag and another's time, one file goes, and a new file
    // takes the old name of another.
    QFile changed(PathOf("Band - changed.mp3"));
    ASSERT_TRUE(changed.open(QIODevice::ReadWrite));
    changed.seek(20);
    changed.write("x");
    changed.close();
    SetTime(PathOf("Band - retimed.mp3"), 1600000000, 5);
    ASSERT_TRUE(QFile::remove(PathOf("Band - gone.mp3")));
    music.Write("taken.mp3", "someone else's");
    const Snapshot before = Take(music.Path());

    const QList<TUndoneFile> files = UndoNewest();
    std::map<QString, TUndoneFile::Outcome> outcomes;
    for (const TUndoneFile& file : files)
        outcomes[QFileInfo(file.Original).fileName()] = file.Result;
    using O = TUndoneFile::Outcome;
    EXPECT_EQ(outcomes, (std::map<QString, O>{{"changed.mp3", O::ChangedSince},
                                              {"retimed.mp3", O::ChangedSince},
                                              {"gone.mp3", O::Gone},
                                              {"taken.mp3", O::NameTaken},
                                              {"kept.mp3", O::Restored}}));
    Snapshot expected = before;
    expected.erase("Band - kept.mp3");
    expected["kept.mp3"] = start.at("kept.mp3");
    EXPECT_EQ(Take(music.Path()), expected);
    ASSERT_EQ(ui.Texts(Kind::Warning).size(), 1);
    EXPECT_TRUE(ui.Texts(Kind::Warning).first().startsWith("4 file(s) could not be restored."));
    EXPECT_TRUE(LogText().contains("File not restored // File=" + PathOf("Band - gone.mp3")));
}

TEST_F(Undo, AJournalCutAtAnyByteIsReadToItsLastCompleteRecordAndStillUndoes) {
    WriteLibrary();
    const Snapshot start = Take(music.Path());
    Load("a");
    state->FixToolButtonClick();
    const QList<TJournalRun> runs = Runs();
    ASSERT_EQ(runs.size(), 1);
    QFile file(runs[0].FileName);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    file.close();
    const qsizetype header = bytes.indexOf('\n') + 1;
    const QList<TRecord> records = Records(bytes, header);
    ASSERT_FALSE(records.isEmpty());
    ASSERT_EQ(records.last().End, bytes.size());
    int previousFiles = 0;
    // Every cut around a record's end and its line's end (the tags of a state record follow its
    // line), and cuts all through the records.
    QList<qsizetype> cuts;
    for (qsizetype cut = header; cut <= bytes.size(); cut += 61)
        cuts.append(cut);
    for (const TRecord& record : records)
        for (const qsizetype end : {record.LineEnd, record.End})
            cuts.append({end - 1, end, end + 1, end + 2});
    std::sort(cuts.begin(), cuts.end());
    for (const qsizetype cut : cuts) {
        if (cut > bytes.size())
            continue;
        const QString name = home.File("cut.journal");
        home.Write("cut.journal", bytes.left(cut));
        const auto run = ReadJournalRun(name);
        ASSERT_TRUE(run) << cut;
        // A record counts once its last byte is there.
        const auto complete =
            std::count_if(records.cbegin(), records.cend(),
                          [&](const TRecord& r) { return r.End <= cut && r.Kind == u"b"; });
        EXPECT_EQ(run->Files.size(), complete) << cut;
        EXPECT_GE(run->Files.size(), previousFiles);
        previousFiles = int(run->Files.size());
    }
    EXPECT_EQ(previousFiles, runs[0].Files.size());
    EXPECT_FALSE(ReadJournalRun(home.Write("empty.journal", bytes.left(header - 1))));

    // The journal cut right after each file's record before its change (as a kill between the
    // record and the write leaves it, but with the write made): undo finds the file by its
    // audio and puts it back.
    QByteArray befores = bytes.left(header);
    for (const TRecord& record : records)
        if (record.Kind == u"b" || record.Kind == u"m")
            befores += bytes.sliced(record.Start, record.End - record.Start);
    QFile::remove(runs[0].FileName);
    QDir().mkpath(JournalFolder());
    home.Write("data/journal/20000101-000000-000-01.journal", befores);
    for (const TUndoneFile& f : UndoNewest())
        EXPECT_FALSE(f.LeftAlone()) << f.Path.toStdString();
    // Without the after-states the times cannot be told apart: the names, tags and audio can.
    Snapshot now = Take(music.Path());
    ASSERT_EQ(now.size(), start.size());
    for (const auto& [name, file] : start)
        EXPECT_EQ(now[name], file) << name.toStdString();
}

TEST_F(Undo, AStoppedFixJournalsOnlyTheFilesItChangedAndUndoLeavesTheOthersAlone) {
    for (const char* name : {"a", "b", "c", "d"})
        Write(QStringLiteral("%1.mp3").arg(name),
              Mp3Fixture(3).Text("TPE1", "Band").Text("TIT2", QString::fromLatin1(name)));
    const Snapshot start = Take(music.Path());
    Load();
    // The fix announced all four files to the journal before the first; it is stopped after two.
    StopAtEventCall(3);
    state->FixToolButtonClick();
    ui.OnPendingEvents = nullptr;
    const QList<TJournalRun> runs = Runs();
    ASSERT_EQ(runs.size(), 1);
    ASSERT_EQ(runs[0].Files.size(), 2);
    // Another program then changes a file that the fix announced but left alone.
    Write("d.mp3", Mp3Fixture(3).Text("TPE1", "Band").Text("TIT2", "retitled elsewhere"));
    const Snapshot edited = Take(music.Path());
    for (const TUndoneFile& file : UndoNewest())
        EXPECT_FALSE(file.LeftAlone()) << file.Path.toStdString();
    Snapshot expected = start;
    expected["d.mp3"] = edited.at("d.mp3");
    EXPECT_EQ(Take(music.Path()), expected);
}

TEST(JournalAnnouncement, AFileChangedAfterItsAnnouncementIsJournalledAsItWasWhenChanged) {
    TempDir dir;
    const QString path = dir.Write("song.mp3", Mp3Fixture(3).Text("TIT2", "Announced").Bytes());
    SetTime(path, 1500000000, 11);
    TJournalFileState first;
    TJournalFileState changedElsewhere;
    QString journalName;
    {
        TRunJournal journal(dir.File("journal"), QStringLiteral("Fix"));
        journal.Announce({{path, ReadID3FileEnds(path), dir.File("moved.mp3")}});
        first = *ReadJournalFileState(path);
        // Another program writes the file between the announcement and the run's change.
        dir.Write("song.mp3", Mp3Fixture(4).Text("TIT2", "Changed elsewhere").Bytes());
        SetTime(path, 1600000000, 22);
        changedElsewhere = *ReadJournalFileState(path);
        const TID3FileEnds now = ReadID3FileEnds(path);
        journal.BeforeChange(path, &now);
        dir.Write("song.mp3", Mp3Fixture(3).Text("TIT2", "Fixed").Bytes());
        journal.AfterChange(path);
        journalName = journal.FileName();
    }
    const auto run = ReadJournalRun(journalName);
    ASSERT_TRUE(run);
    ASSERT_EQ(run->Files.size(), 1);
    const TJournalledFile& file = run->Files.first();
    EXPECT_TRUE(file.Before.SameAs(changedElsewhere));
    EXPECT_FALSE(file.Before.SameAs(first));
    EXPECT_EQ(file.Before.ID3v2, changedElsewhere.ID3v2);
    // The move announced with the first state is not the run's: the file stayed.
    EXPECT_TRUE(file.PendingMove.isEmpty());
    ASSERT_TRUE(file.After);
    EXPECT_TRUE(file.After->SameAs(*ReadJournalFileState(path)));
}

TEST(JournalRetention, KeepsTheNewestRunsThatFitTheLimits) {
    TempDir dir;
    for (int i = 0; i < 25; ++i)
        dir.Write(
            QStringLiteral("2026010%1-000000-000-%2.journal").arg(i % 2).arg(i, 2, 10, QChar(u'0')),
            QByteArray(100, 'x'));
    PruneJournals(dir.Path(), 20, 1 << 30);
    QStringList names = QDir(dir.Path()).entryList(QDir::Files, QDir::Name);
    ASSERT_EQ(names.size(), 20);
    EXPECT_EQ(names.last(), "20260101-000000-000-23.journal");
    PruneJournals(dir.Path(), 20, 350);
    names = QDir(dir.Path()).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(names,
              (QStringList{"20260101-000000-000-19.journal", "20260101-000000-000-21.journal",
                           "20260101-000000-000-23.journal"}));
    // The newest is kept whatever its size.
    PruneJournals(dir.Path(), 20, 10);
    EXPECT_EQ(QDir(dir.Path()).entryList(QDir::Files).size(), 1);
}

} // namespace
