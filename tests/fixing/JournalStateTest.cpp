// The state a journal notes of a file: the sizes and SHA-256 digests of its tag areas, which
// journals written by any earlier run compare against.
#include "fixing/RunJournal.h"
#include "testsupport/Mp3Fixture.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/TempDir.h"

#include <QCryptographicHash>
#include <gtest/gtest.h>

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

} // namespace
