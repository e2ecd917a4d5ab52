#include "support/ShellLink.h"
#include "support/Error.h"
#include "testsupport/TempDir.h"

#include <gtest/gtest.h>

namespace {

void PutU16(QByteArray& b, quint16 v) {
    b.append(char(v & 0xFF));
    b.append(char(v >> 8));
}
void PutU32(QByteArray& b, quint32 v) {
    for (int i = 0; i < 4; ++i)
        b.append(char((v >> (8 * i)) & 0xFF));
}

// A minimal shortcut: header, optional LinkInfo with a local base path, optional relative path
// in the string data (UTF-16).
QByteArray MakeLink(const QByteArray& localBasePath, const QString& relativePath) {
    quint32 flags = 0x80; // IsUnicode
    if (!localBasePath.isEmpty())
        flags |= 0x02;
    if (!relativePath.isEmpty())
        flags |= 0x08;
    QByteArray b;
    PutU32(b, 0x4C);
    b.append(QByteArray::fromHex("0114020000000000c000000000000046"));
    PutU32(b, flags);
    b.append(QByteArray(0x4C - b.size(), '\0'));
    if (!localBasePath.isEmpty()) {
        const quint32 headerSize = 28;
        const quint32 baseOffset = headerSize;
        const quint32 suffixOffset = baseOffset + quint32(localBasePath.size()) + 1;
        const quint32 total = suffixOffset + 1;
        PutU32(b, total);
        PutU32(b, headerSize);
        PutU32(b, 0x01); // VolumeIDAndLocalBasePath
        PutU32(b, 0);    // volume id offset (unused here)
        PutU32(b, baseOffset);
        PutU32(b, 0); // network relative link offset
        PutU32(b, suffixOffset);
        b.append(localBasePath).append('\0');
        b.append('\0'); // empty common path suffix
    }
    if (!relativePath.isEmpty()) {
        PutU16(b, quint16(relativePath.size()));
        for (QChar c : relativePath)
            PutU16(b, c.unicode());
    }
    return b;
}

TEST(ShellLink, NameGetsTheLnkExtension) {
    TKelmShellLink link;
    link.SetFileName("/music/Song.mp3");
    EXPECT_EQ(link.FileName(), "/music/Song.lnk");
    link.SetFileName("/music/Song.LNK");
    EXPECT_EQ(link.FileName(), "/music/Song.LNK");
}

TEST(ShellLink, ResolvesAnAbsoluteTargetThatExistsHere) {
    TempDir dir;
    const QString target = dir.Write("a b/Song.mp3", "x");
    TKelmShellLink link;
    link.SetFileName(dir.Write("s.lnk", MakeLink(target.toUtf8(), {})));
    link.Read();
    EXPECT_EQ(link.Target(), target);
}

TEST(ShellLink, ResolvesARelativeTargetBesideTheShortcut) {
    TempDir dir;
    const QString target = dir.Write("Album/01 - Song.mp3", "x");
    TKelmShellLink link;
    // The Windows absolute path does not exist here; the relative one does.
    link.SetFileName(dir.Write(
        "links/s.lnk", MakeLink("C:\\Music\\Album\\01 - Song.mp3", "..\\Album\\01 - Song.mp3")));
    link.Read();
    EXPECT_EQ(link.Target(), target);
}

TEST(ShellLink, FailsWithTheShortcutMessages) {
    TempDir dir;
    struct Case {
        const char* name;
        QByteArray bytes; // empty: no file at all
        const char* message;
    } cases[] = {
        {"missing", {}, "Link not found."},
        {"not a shortcut", "just some text", "Read error."},
        {"truncated", MakeLink("C:\\x.mp3", {}).left(90), "Read error."},
        {"target absent", MakeLink("C:\\nowhere.mp3", "nowhere.mp3"), "Read error."},
    };
    for (const Case& c : cases) {
        TKelmShellLink link;
        const QString name = QString::fromLatin1(c.name) + ".lnk";
        link.SetFileName(c.bytes.isEmpty() ? dir.File(name) : dir.Write(name, c.bytes));
        try {
            link.Read();
            ADD_FAILURE() << c.name << ": no error";
        } catch (const TError& e) {
            EXPECT_EQ(e.Message(), QString::fromLatin1(c.message)) << c.name;
        }
        EXPECT_TRUE(link.Target().isEmpty()) << c.name;
    }
}

} // namespace
