#include "support/TextFile.h"
#include "support/Error.h"
#include "testsupport/TempDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

struct DecodeCase {
    const char* name;
    QByteArray bytes;
    QString expected;
    friend void PrintTo(const DecodeCase& c, std::ostream* os) { *os << c.name; }
};

class DecodeTest : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeTest, DecodesByMarkThenUtf8ThenWindows1252) {
    EXPECT_EQ(TextFile::Decode(GetParam().bytes), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, DecodeTest,
    testing::Values(
        DecodeCase{"Utf8Bom",
                   QByteArray("\xEF\xBB\xBF"
                              "Caf\xC3\xA9"),
                   QString::fromUtf8("Café")},
        DecodeCase{"Utf16LeBom",
                   QByteArray("\xFF\xFE"
                              "A\0\xE9\0",
                              6),
                   QString::fromUtf8("Aé")},
        DecodeCase{"Utf16BeBom", QByteArray("\xFE\xFF\0A\0\xE9", 6), QString::fromUtf8("Aé")},
        DecodeCase{"ValidUtf8WithoutBom", QByteArray("Caf\xC3\xA9"), QString::fromUtf8("Café")},
        // 0x80 is the euro sign and 0x93/0x94 curly quotes in Windows-1252, not control codes.
        DecodeCase{"InvalidUtf8IsWindows1252",
                   QByteArray("\x93"
                              "Caf\xE9\x94 \x80"),
                   QString::fromUtf8("“Café” €")},
        DecodeCase{"Cp1252HolesMapToThemselves", QByteArray("\x81\xFF"),
                   QString(QChar(0x81)) + QChar(0xFF)},
        DecodeCase{"Empty", QByteArray(), QString()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SplitLines, HandlesEveryLineEndAndNoTrailingEmptyLine) {
    EXPECT_EQ(TextFile::SplitLines("a\r\nb\nc\rd"), QStringList({"a", "b", "c", "d"}));
    EXPECT_EQ(TextFile::SplitLines("a\r\n"), QStringList({"a"}));
    EXPECT_EQ(TextFile::SplitLines("a\n\nb\n"), QStringList({"a", "", "b"}));
    EXPECT_EQ(TextFile::SplitLines("\r\n"), QStringList({""}));
    EXPECT_TRUE(TextFile::SplitLines("").isEmpty());
}

TEST(WriteLines, WritesUtf8WithCrLfAndOptionalBom) {
    TempDir dir;
    ASSERT_TRUE(TextFile::WriteLines(dir.File("a.txt"), {QString::fromUtf8("Zoë"), "x"}));
    EXPECT_EQ(dir.Read("a.txt"), QByteArray("Zo\xC3\xAB\r\nx\r\n"));
    ASSERT_TRUE(TextFile::WriteLines(dir.File("b.txt"), {"y"}, TextFile::Bom::With));
    EXPECT_EQ(dir.Read("b.txt"), QByteArray("\xEF\xBB\xBFy\r\n"));
    EXPECT_EQ(TextFile::Read(dir.File("a.txt")), QString::fromUtf8("Zoë\r\nx\r\n"));
}

TEST(WriteLines, FailureLeavesTheOldFileWhole) {
    TempDir dir;
    const QString path = dir.Write("keep.txt", "old\r\n");
    // A target inside a folder that does not exist cannot be written; nothing else changes.
    EXPECT_FALSE(TextFile::WriteLines(dir.File("missing/keep.txt"), {"new"}));
    EXPECT_EQ(dir.Read("keep.txt"), QByteArray("old\r\n"));
    EXPECT_EQ(QDir(dir.Path()).entryList(QDir::Files), QStringList({"keep.txt"}));
}

TEST(Read, ThrowsWithThePathWhenTheFileCannotBeOpened) {
    TempDir dir;
    try {
        TextFile::Read(dir.File("absent.txt"));
        FAIL() << "no error";
    } catch (const TError& e) {
        EXPECT_TRUE(e.Message().contains("absent.txt"));
    }
}

} // namespace
