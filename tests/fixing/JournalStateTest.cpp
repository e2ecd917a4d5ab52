// The state a journal notes of a file: the sizes and SHA-256 digests of its tag areas, which
// journals written by any earlier run compare against.
#include "fixing/RunJournal.h"
#include "testsupport/Mp3Fixture.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/TempDir.h"

#include <QCryptographicHash>
#include <QFile>
#include <gtest/gtest.h>
#include <optional>

namespace {

QByteArray Sha256(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

TEST(JournalState, DigestsAreTheSha256OfEachTagArea) {
    const QByteArray id3v2 =
        Mp3Bytes::Tag(3, Mp3Bytes::Frame23("TIT2", Mp3Bytes::Latin1("Song")), 0, 700);
    const QByteArray id3v1 = Mp3Bytes::ID3v1({.Title = "Song"});
    const QByteArray audio = Mp3Bytes::Audio();
    struct TCase {
        const char* Name;
        QByteArray V2;
        QByteArray V1;
    };
    const TCase cases[] = {
        {"both.mp3", id3v2, id3v1},
        {"v2.mp3", id3v2, {}},
        {"v1.mp3", {}, id3v1},
        {"none.mp3", {}, {}},
    };
    TempDir dir;
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const QString path = dir.Write(c.Name, c.V2 + audio + c.V1);
        const auto state = ReadJournalFileState(path);
        ASSERT_TRUE(state);
        EXPECT_EQ(state->Size, c.V2.size() + audio.size() + c.V1.size());
        EXPECT_EQ(state->ID3v2, c.V2);
        EXPECT_EQ(state->ID3v1, c.V1);
        EXPECT_EQ(state->ID3v2Digest, Sha256(c.V2));
        EXPECT_EQ(state->ID3v1Digest, Sha256(c.V1));
        EXPECT_EQ(state->AudioSize(), audio.size());
    }
    EXPECT_FALSE(ReadJournalFileState(dir.File("missing.mp3")));
}

// After a move the journal notes the file under its new name as it is; the state read before
// the move serves only while the file's size and time still agree with it.
TEST(JournalState, AfterAMoveTheNotedStateIsTheFileAsItIsNow) {
    const QByteArray bytes =
        Mp3Bytes::Tag(4, Mp3Bytes::Frame24("TIT2", Mp3Bytes::Latin1("A")), 0, 100) +
        Mp3Bytes::Audio();
    for (const bool changedBehind : {false, true}) {
        SCOPED_TRACE(changedBehind ? "changed before the move" : "moved as it was");
        TempDir dir;
        const QString from = dir.Write("a.mp3", bytes);
        const QString to = dir.File("b.mp3");
        std::optional<TRunJournal> journal(std::in_place, dir.File("journal"), "Test");
        journal->BeforeMove(from, to);
        if (changedBehind) {
            QFile file(from);
            ASSERT_TRUE(file.open(QIODevice::Append));
            file.write(Mp3Bytes::ID3v1({.Title = "B"}));
        }
        ASSERT_TRUE(QFile::rename(from, to));
        journal->Moved(from, to);
        journal->AfterMove(to);
        const QString name = journal->FileName();
        journal.reset();

        const auto run = ReadJournalRun(name);
        ASSERT_TRUE(run);
        ASSERT_EQ(run->Files.size(), 1);
        const TJournalledFile& file = run->Files.front();
        ASSERT_TRUE(file.After);
        const auto now = ReadJournalFileState(to);
        ASSERT_TRUE(now);
        EXPECT_EQ(file.After->Path, to);
        EXPECT_TRUE(file.After->SameAs(*now));
        EXPECT_EQ(file.After->ID3v1Size, changedBehind ? 128 : 0);
        EXPECT_EQ(file.Before.Path, from);
    }
}

} // namespace
