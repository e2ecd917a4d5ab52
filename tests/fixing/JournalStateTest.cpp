// The state a journal notes of a file: the sizes and digests of its tag areas, which journals
// written by any earlier run compare against, and the records that keep it.
#include "fixing/RunJournal.h"
#include "testsupport/Mp3Fixture.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/TempDir.h"

#include <QCryptographicHash>
#include <QFile>
#include <functional>
#include <gtest/gtest.h>
#include <optional>

namespace {

QByteArray Sha256(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

// Journals the move of the file at from to to (with between done after the journal's record and
// before the move) in a run of its own, and reads the run back; nothing when its journal does not
// hold exactly that one file.
std::optional<TJournalledFile> JournalledMove(const TempDir& dir, const QString& from,
                                              const QString& to,
                                              const std::function<void()>& between = {}) {
    std::optional<TRunJournal> journal(std::in_place, dir.File("journal"), "Test");
    journal->BeforeMove(from, to);
    if (between)
        between();
    if (!QFile::rename(from, to))
        return std::nullopt;
    journal->Moved(from, to);
    journal->AfterMove(to);
    const QString name = journal->FileName();
    journal.reset();
    const auto run = ReadJournalRun(name);
    if (!run || run->Files.size() != 1)
        return std::nullopt;
    return run->Files.front();
}

// A state holds both tag areas and their digests: files with the same tags agree, one changed
// byte in either tag tells them apart, and states noted by journals of the earlier format (with
// SHA-256 digests) still compare with the file as it is now.
TEST(JournalState, DigestsTellWhetherEachTagAreaIsStillTheSame) {
    const QByteArray id3v2 =
        Mp3Bytes::Tag(3, Mp3Bytes::Frame23("TIT2", Mp3Bytes::Latin1("Song")), 0, 700);
    const QByteArray id3v1 = Mp3Bytes::ID3v1({.Title = "Song"});
    const QByteArray audio = Mp3Bytes::Audio();
    // The same tag with one letter of its title changed.
    const auto changed = [](QByteArray tag) {
        const qsizetype at = tag.indexOf("Song");
        if (at >= 0)
            tag[at] = 's';
        return tag;
    };
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
        EXPECT_EQ(state->AudioSize(), audio.size());

        const auto same = ReadJournalFileState(dir.Write("same.mp3", c.V2 + audio + c.V1));
        ASSERT_TRUE(same);
        EXPECT_TRUE(same->SameTagsAs(*state));
        const auto other =
            ReadJournalFileState(dir.Write("other.mp3", changed(c.V2) + audio + changed(c.V1)));
        ASSERT_TRUE(other);
        EXPECT_EQ(other->SameTagsAs(*state), c.V2.isEmpty() && c.V1.isEmpty());

        // As a journal of the earlier format noted it after a change: no bytes, SHA-256 digests.
        TJournalFileState older = *state;
        older.ID3v2.clear();
        older.ID3v1.clear();
        older.ID3v2Digest = Sha256(c.V2);
        older.ID3v1Digest = Sha256(c.V1);
        EXPECT_TRUE(state->SameAs(older));
        EXPECT_TRUE(older.SameAs(*state));
        EXPECT_EQ(other->SameTagsAs(older), c.V2.isEmpty() && c.V1.isEmpty());
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
        const auto journalled = JournalledMove(dir, from, to, [&] {
            if (!changedBehind)
                return;
            QFile file(from);
            ASSERT_TRUE(file.open(QIODevice::Append));
            file.write(Mp3Bytes::ID3v1({.Title = "B"}));
        });
        ASSERT_TRUE(journalled);
        const TJournalledFile& file = *journalled;
        ASSERT_TRUE(file.After);
        const auto now = ReadJournalFileState(to);
        ASSERT_TRUE(now);
        EXPECT_EQ(file.After->Path, to);
        EXPECT_TRUE(file.After->SameAs(*now));
        EXPECT_EQ(file.After->ID3v1Size, changedBehind ? 128 : 0);
        EXPECT_EQ(file.Before.Path, from);
    }
}

// What a journal keeps of a file comes back exactly: its tags (padding included, which the record
// only counts), and any name a file may have.
TEST(JournalState, ARecordGivesBackTheFileItWasWrittenFor) {
    const QByteArray audio = Mp3Bytes::Audio();
    const QByteArray padded =
        Mp3Bytes::Tag(3, Mp3Bytes::Frame23("TIT2", Mp3Bytes::Latin1("Song")), 0, 3000);
    // Padding is zeros at the end of the area; a tag whose last frame ends in zeros, and whose
    // area has no padding, must keep them too.
    const QByteArray unpadded = Mp3Bytes::Tag(
        3, Mp3Bytes::Frame23("PRIV", QByteArray("owner\0", 6) + QByteArray(5, '\0')), 0, 0);
    struct TCase {
        const char* Name;
        QString File;
        QByteArray Bytes;
    };
    const TCase cases[] = {
        {"padding", "padded.mp3", padded + audio + Mp3Bytes::ID3v1({.Title = "Song"})},
        {"frame ending in zeros", "unpadded.mp3", unpadded + audio},
        {"no tags", "none.mp3", audio},
        {"quotes, backslashes, controls", "a \"b\" \\ c\td\x01.mp3", padded + audio},
        {"beyond ASCII", QString::fromUtf8("Bj\u00f6rk \u2013 \u65e5\u672c \U0001F3B5.mp3"),
         padded + audio},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TempDir dir;
        const QString path = dir.Write(c.File, c.Bytes);
        const QString to = dir.File(QStringLiteral("moved ") + c.File);
        const auto journalled = JournalledMove(dir, path, to);
        ASSERT_TRUE(journalled);
        const TJournalledFile& file = *journalled;
        const auto before = ReadJournalFileState(to);
        ASSERT_TRUE(before);
        EXPECT_EQ(file.Before.Path, path);
        EXPECT_EQ(file.Before.ID3v2, before->ID3v2);
        EXPECT_EQ(file.Before.ID3v1, before->ID3v1);
        EXPECT_TRUE(file.Before.SameAs(*before));
        ASSERT_TRUE(file.After);
        EXPECT_EQ(file.After->Path, to);
        EXPECT_TRUE(file.PendingMove.isEmpty());
    }
}

// Journals of the earlier format hold the tags in Base64 within the line, the whole area with its
// padding in the oldest, and SHA-256 digests: they still read and compare.
TEST(JournalState, ARecordWithItsPaddingWrittenOutStillReads) {
    const QByteArray tag =
        Mp3Bytes::Tag(3, Mp3Bytes::Frame23("TIT2", Mp3Bytes::Latin1("Song")), 0, 300);
    const QByteArray digest = QCryptographicHash::hash(tag, QCryptographicHash::Sha256).toHex();
    const QByteArray empty = QCryptographicHash::hash({}, QCryptographicHash::Sha256).toHex();
    TempDir dir;
    const QByteArray journal =
        R"({"k":"run","op":"Fix","start":"2026-12-01T10:00:00.000Z","v":1})"
        "\n"
        R"({"k":"b","n":0,"path":"/music/a.mp3","size":"5000","time":"7","v2size":")" +
        QByteArray::number(tag.size()) + R"(","v1size":"0","v2digest":")" + digest +
        R"(","v1digest":")" + empty + R"(","v2":")" + tag.toBase64() + R"(","v1":""})" + "\n";
    const auto run = ReadJournalRun(dir.Write("old.journal", journal));
    ASSERT_TRUE(run);
    ASSERT_EQ(run->Files.size(), 1);
    const TJournalFileState& before = run->Files.front().Before;
    EXPECT_EQ(before.ID3v2, tag);
    EXPECT_EQ(before.Size, 5000);
    // Its SHA-256 digests still tell a file with those tags from one without.
    const QByteArray audio(5000 - tag.size(), 'x');
    const auto same = ReadJournalFileState(dir.Write("same.mp3", tag + audio));
    const QByteArray otherTag =
        Mp3Bytes::Tag(3, Mp3Bytes::Frame23("TIT2", Mp3Bytes::Latin1("Sang")), 0, 300);
    const auto other = ReadJournalFileState(dir.Write("other.mp3", otherTag + audio));
    ASSERT_TRUE(same && other);
    EXPECT_TRUE(same->SameTagsAs(before));
    EXPECT_FALSE(other->SameTagsAs(before));
}

} // namespace
