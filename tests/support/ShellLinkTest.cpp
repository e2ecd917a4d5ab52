#include "support/ShellLink.h"
#include "support/Error.h"
#include "testsupport/ShellLinkBytes.h"
#include "testsupport/TempDir.h"

#include <gtest/gtest.h>

namespace {

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
    link.SetFileName(dir.Write("s.lnk", MakeShellLink(target.toUtf8(), {})));
    link.Read();
    EXPECT_EQ(link.Target(), target);
}

TEST(ShellLink, ResolvesARelativeTargetBesideTheShortcut) {
    TempDir dir;
    const QString target = dir.Write("Album/01 - Song.mp3", "x");
    TKelmShellLink link;
    // The Windows absolute path does not exist here; the relative one does.
    link.SetFileName(dir.Write("links/s.lnk", MakeShellLink("C:\\Music\\Album\\01 - Song.mp3",
                                                            "..\\Album\\01 - Song.mp3")));
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
        {"truncated", MakeShellLink("C:\\x.mp3", {}).left(90), "Read error."},
        {"target absent", MakeShellLink("C:\\nowhere.mp3", "nowhere.mp3"), "Read error."},
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
