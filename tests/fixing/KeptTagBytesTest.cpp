// The fix uses the tag bytes that the browse kept instead of reading the files again: it must end
// exactly as a fix that reads every file afresh, and a file changed after the browse is always
// read again, never written from the bytes it held before.
#include "catalogue/KeptTagBytes.h"
#include "MainWindowFixture.h"
#include "fixing/FileTimes.h"
#include "testsupport/Mp3Fixture.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/ScriptedUiPort.h"
#include "testsupport/TempDir.h"
#include "ui/MainWindowState.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QThread>
#include <gtest/gtest.h>
#include <map>
#include <memory>

namespace {

// What happens to a file between the browse and the fix.
enum class Change {
    None,
    SameSizeNewTime,  // rewritten in place, same size, a later last-write time
    SameTimeNewInode, // replaced by a new file of the same size and last-write time
    InPlaceTimeKept,  // rewritten in place, same size, its last-write time put back
    Grown,            // a larger tag moves the audio
    Shrunk,           // the padding is gone
    Removed,
};
constexpr int ChangeCount = 7;

// Each file carries its number in a frame that the fix leaves alone (TPE2), and a changed file
// this mark beside it: a fix from stale bytes would lose the mark.
const QByteArray ChangedText = " changed after browse";

// One file of the library; changed, it holds the mark as well, and grown, that much more.
QByteArray FileBytes(int i, bool changed = false, int grow = 0) {
    const int version = 2 + i % 3;
    Mp3Fixture f(version);
    f.Text("TPE1", QStringLiteral("Artist %1").arg(i % 5))
        .Text("TIT2", QStringLiteral("title %1").arg(i))
        .Text("TALB", QStringLiteral("Album %1").arg(i % 4));
    if (i % 4 == 1)
        f.Text("TRCK", QStringLiteral("%1").arg(i % 13));
    if (i % 6 == 2)
        f.Comment(QStringLiteral("a comment"));
    QByteArray id = "#id:" + QByteArray::number(i) + "#";
    if (changed)
        id += ChangedText + QByteArray(qMax(grow, 0), 'x');
    f.Text("TPE2", QString::fromLatin1(id));
    // Most tags have padding, a tenth none (shrunk: none either); a changed file of the same
    // size gives up padding for its mark.
    const int padding = i % 10 == 3 || grow < 0 ? 0 : 512;
    f.Padding(qMax(0, padding - (changed ? int(ChangedText.size()) : 0)));
    if (i % 3 == 0)
        f.ID3v1({"v1 title", "v1 artist", "", "1999", "", i % 20, 17});
    return f.Bytes();
}

// Files that no reader can make sense of, or only in part.
const std::map<QString, QByteArray> HostileFiles = {
    {"damaged/bad encoding.mp3", Mp3Fixture(3).Text("TPE1", "X").Raw("TIT2", "\x07x").Bytes()},
    {"damaged/tag longer than file.mp3",
     Mp3Bytes::Tag(3, Mp3Bytes::Frame23("TIT2", "\0x"), 0, 0x7000).left(200)},
    {"damaged/empty.mp3", QByteArray()},
    {"damaged/not audio.mp3", QByteArray(300, 'z')},
    {"damaged/only v1.mp3", Mp3Bytes::Audio() + Mp3Bytes::ID3v1({"t", "a", "b", "2000", "", 1})},
};

constexpr int LibrarySize = 240;
// The files changed after the browse: every fifth, each kind of change in turn.
Change ChangeOf(int i) {
    return i % 5 == 0 ? Change((i / 5) % ChangeCount) : Change::None;
}
QString NameOf(int i) {
    return QStringLiteral("Album %1/file %2.mp3").arg(i % 4).arg(i);
}

using Files = std::map<QString, QByteArray>;

Files Contents(const QString& folder) {
    Files files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        files[QDir(folder).relativeFilePath(path)] = file.readAll();
    }
    return files;
}

void ApplyChange(const TempDir& music, int i) {
    const QString path = music.File(NameOf(i));
    const std::optional<timespec> before = GetLastWriteTime(path);
    ASSERT_TRUE(before);
    switch (ChangeOf(i)) {
    case Change::None:
        return;
    case Change::SameSizeNewTime:
        music.Write(NameOf(i), FileBytes(i, true));
        ASSERT_TRUE(SetLastWriteTime(path, {before->tv_sec + 7, before->tv_nsec}));
        break;
    case Change::SameTimeNewInode:
        music.Write(NameOf(i) + ".new", FileBytes(i, true));
        ASSERT_TRUE(SetLastWriteTime(path + ".new", *before));
        ASSERT_TRUE(QFile::remove(path));
        ASSERT_TRUE(QFile::rename(path + ".new", path));
        break;
    case Change::InPlaceTimeKept:
        music.Write(NameOf(i), FileBytes(i, true));
        ASSERT_TRUE(SetLastWriteTime(path, *before));
        break;
    case Change::Grown:
        music.Write(NameOf(i), FileBytes(i, true, 3000));
        break;
    case Change::Shrunk:
        music.Write(NameOf(i), FileBytes(i, true, -1));
        break;
    case Change::Removed:
        ASSERT_TRUE(QFile::remove(path));
        break;
    }
    if (ChangeOf(i) == Change::SameSizeNewTime || ChangeOf(i) == Change::SameTimeNewInode ||
        ChangeOf(i) == Change::InPlaceTimeKept) {
        ASSERT_EQ(QFileInfo(path).size(), FileBytes(i).size()) << NameOf(i).toStdString();
    }
}

// One window session: the library written, browsed, changed, and every row fixed.
struct Session {
    TempDir music;
    TempDir home;
    ScriptedUiPort ui;
    std::unique_ptr<TMainWindowState> state;
    qint64 KeptAfterBrowse = 0;

    explicit Session(qint64 budget) {
        state = std::make_unique<TMainWindowState>(ui, MainWindowFixture::Paths(home));
        state->KeptTagBytes().SetBudget(budget);
        for (int i = 0; i < LibrarySize; ++i)
            music.Write(NameOf(i), FileBytes(i));
        for (const auto& [name, bytes] : HostileFiles)
            music.Write(name, bytes);
        // A same-size rewrite must show in the change time, which some file systems keep in
        // steps of a few milliseconds: the changes come well after the files were written.
        QThread::msleep(30);
        state->BrowseMP3Folder(music.Path());
        KeptAfterBrowse = state->KeptTagBytes().Bytes();
        for (int i = 0; i < LibrarySize; ++i)
            ApplyChange(music, i);
        state->FixToolButtonClick();
    }
};

TEST(KeptTagBytes, FixEndsAsAFixThatReadsEveryFileAgain) {
    Session fresh(0);
    ASSERT_EQ(fresh.KeptAfterBrowse, 0);
    const Files expected = Contents(fresh.music.Path());
    ASSERT_FALSE(expected.empty());

    // Every file kept, and only a few before the budget runs out (the rest read afresh).
    for (const qint64 budget : {TKeptTagBytes::DefaultBudget, qint64(20000)}) {
        SCOPED_TRACE(budget);
        Session kept(budget);
        EXPECT_GT(kept.KeptAfterBrowse, 0);
        EXPECT_LE(kept.KeptAfterBrowse, budget);
        // The fix took what it used: nothing of the fixed rows is kept any longer.
        EXPECT_EQ(kept.state->KeptTagBytes().Bytes(), 0);
        const Files got = Contents(kept.music.Path());
        ASSERT_EQ(got.size(), expected.size());
        for (const auto& [name, bytes] : expected) {
            const auto found = got.find(name);
            ASSERT_NE(found, got.end()) << name.toStdString();
            EXPECT_EQ(found->second, bytes) << name.toStdString();
        }
        for (const auto kind : {ScriptedUiPort::Kind::Warning, ScriptedUiPort::Kind::Error})
            EXPECT_EQ(kept.ui.Texts(kind).size(), fresh.ui.Texts(kind).size());
    }
}

TEST(KeptTagBytes, FileChangedAfterTheBrowseIsWrittenFromWhatItHoldsNow) {
    Session kept(TKeptTagBytes::DefaultBudget);
    const Files got = Contents(kept.music.Path());
    int changed = 0;
    for (const auto& [name, bytes] : got) {
        if (!name.startsWith(u"Album"))
            continue;
        // The fixed name no longer tells the file: its number does.
        const qsizetype at = bytes.indexOf("#id:");
        ASSERT_GE(at, 0) << name.toStdString();
        const int i = bytes.mid(at + 4, bytes.indexOf('#', at + 4) - at - 4).toInt();
        const Change change = ChangeOf(i);
        const bool marked = bytes.contains(ChangedText);
        EXPECT_EQ(marked, change != Change::None) << name.toStdString();
        if (marked)
            ++changed;
        EXPECT_NE(change, Change::Removed) << name.toStdString();
    }
    EXPECT_GT(changed, 0);
    // Every file the fix found was fixed: only the damaged ones and the removed ones still
    // need it.
    const TMainList& list = kept.state->MainList();
    for (int row = 0; row < list.Count(); ++row) {
        if (list.Cell(row, mcMismatch) != u"Yes")
            continue;
        const QString path = list.Cell(row, mcLocation) + u'/' + list.Cell(row, mcName);
        EXPECT_TRUE(list.Cell(row, mcLocation).endsWith(u"damaged") || !QFile::exists(path))
            << path.toStdString();
    }
}

TEST(KeptTagBytes, BudgetBoundsWhatIsKept) {
    TMP3FileData a, b, c;
    TID3FileEnds ends;
    ends.Opened = true;
    ends.Start = QByteArray(4096, 'x');
    ends.Start.truncate(100);
    ends.Last = QByteArray(128, 'y');

    TKeptTagBytes kept(1000);
    kept.Keep(&a, ends);
    const qint64 one = kept.Bytes();
    // Only the bytes count, not the room the first read took.
    EXPECT_LT(one, 500);
    kept.Keep(&b, ends);
    EXPECT_EQ(kept.Bytes(), 2 * one);
    // Beyond the budget: not kept.
    ASSERT_GT(3 * one, 1000);
    kept.Keep(&c, ends);
    EXPECT_EQ(kept.Bytes(), 2 * one);
    EXPECT_FALSE(kept.Take(&c));
    // Whatever is larger than what still fits is refused: the readers need not hand it back.
    ASSERT_LT(kept.LargestThatFits(), 1000);
    TID3FileEnds beyond = ends;
    beyond.Start = QByteArray(kept.LargestThatFits() + 1, 'w');
    kept.Keep(&c, beyond);
    EXPECT_FALSE(kept.Take(&c));

    // A large tag is not kept even when the budget has room.
    TKeptTagBytes roomy(TKeptTagBytes::DefaultBudget);
    TID3FileEnds large = ends;
    large.Start = QByteArray(TKeptTagBytes::LargestKept + 1, 'z');
    roomy.Keep(&c, large);
    EXPECT_FALSE(roomy.Take(&c));
    EXPECT_EQ(roomy.LargestThatFits(), TKeptTagBytes::LargestKept);
    large.Start.chop(1);
    roomy.Keep(&c, large);
    EXPECT_TRUE(roomy.Take(&c));

    const std::optional<TID3FileEnds> taken = kept.Take(&a);
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->Start, ends.Start);
    EXPECT_EQ(taken->Last, ends.Last);
    EXPECT_FALSE(kept.Take(&a)) << "taken once only";

    // A failed read is never kept, and it drops what was kept for the record.
    TID3FileEnds failed = ends;
    failed.ErrorCode = 5;
    kept.Keep(&b, failed);
    EXPECT_FALSE(kept.Take(&b));
    // Nor are ends whose bytes were let go: empty, they would stand for a file without a tag.
    TID3FileEnds dropped = ends;
    dropped.Start.clear();
    dropped.StartDropped = true;
    kept.Keep(&b, dropped);
    EXPECT_FALSE(kept.Take(&b));
    kept.Keep(&a, ends);
    kept.Clear();
    EXPECT_EQ(kept.Bytes(), 0);
    EXPECT_FALSE(kept.Take(&a));
}

// A large set freed a slice at a time (as a browse frees the set of the list it replaces): each
// slice forgets as many records as asked and their bytes, the others stay kept, and the last
// slice says that nothing is left.
TEST(KeptTagBytes, ForgottenASliceAtATime) {
    std::vector<TMP3FileData> records(5);
    TID3FileEnds ends;
    ends.Opened = true;
    ends.Start = QByteArray(100, 'x');
    ends.Last = QByteArray(128, 'y');
    TKeptTagBytes kept;
    for (TMP3FileData& record : records)
        kept.Keep(&record, ends);
    const qint64 one = kept.Bytes() / 5;
    ASSERT_GT(one, 0);
    EXPECT_TRUE(kept.ForgetSome(2));
    EXPECT_EQ(kept.Bytes(), 3 * one);
    EXPECT_TRUE(kept.ForgetSome(2));
    EXPECT_EQ(kept.Bytes(), one);
    int left = 0;
    for (TMP3FileData& record : records) {
        const std::optional<TID3FileEnds> taken = kept.Take(&record);
        if (taken) {
            ++left;
            EXPECT_EQ(taken->Start, ends.Start);
            kept.Keep(&record, ends);
        }
    }
    EXPECT_EQ(left, 1);
    EXPECT_FALSE(kept.ForgetSome(2));
    EXPECT_EQ(kept.Bytes(), 0);
    for (TMP3FileData& record : records)
        EXPECT_FALSE(kept.Take(&record));
    EXPECT_FALSE(kept.ForgetSome(1));
}

} // namespace
