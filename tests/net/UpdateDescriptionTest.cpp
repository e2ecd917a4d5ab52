#include "net/UpdateDescription.h"

#include <gtest/gtest.h>

namespace {

TEST(UpdateDescription, WideKeysFirstThenTheirFallbacks) {
    const QByteArray text = "[Other]\r\nVersion=9.00.00\r\n"
                            "[quenlor]\r\n"
                            "DownloadFileURL64=\r\n"
                            "DownloadFileURL = https://example.org/setup.exe \r\n"
                            "readmefileurl64=https://example.org/notes64.txt\r\n"
                            "ReadmeFileURL=https://example.org/notes.txt\r\n"
                            "SHA256Hash=ABCDEF\r\n"
                            "; Version=0.0.1\r\n"
                            "Version=2.05.04\r\n"
                            "Version=3.00.00\r\n"
                            "[Next]\r\nUpdatePageURL=https://example.org/next\r\n";
    const TUpdateDescription d = ReadUpdateDescription(text, "Quenlor");
    EXPECT_EQ(d.DownloadFileURL, "https://example.org/setup.exe");
    EXPECT_EQ(d.ReadmeFileURL, "https://example.org/notes64.txt");
    EXPECT_EQ(d.UpdatePageURL, "");
    EXPECT_EQ(d.SHA256Hash, "ABCDEF");
    EXPECT_EQ(d.MD5Hash, "");
    EXPECT_EQ(d.Version, "2.05.04");
}

TEST(UpdateDescription, MalformedTextYieldsNothing) {
    for (const QByteArray& text :
         {QByteArray(), QByteArray("Version=1.0"), QByteArray("[Quenlor"),
          QByteArray("\0\xff\xfe[Quenlor]\0Version", 20), QByteArray(100000, '[')}) {
        const TUpdateDescription d = ReadUpdateDescription(text, "Quenlor");
        EXPECT_EQ(d.Version, "");
        EXPECT_EQ(d.DownloadFileURL, "");
    }
    const QByteArray longValue = "[Quenlor]\nVersion=" + QByteArray(5000, '9');
    EXPECT_EQ(ReadUpdateDescription(longValue, "Quenlor").Version.size(), 2047);
}

TEST(UpdateDescription, VersionsCompareAsNumbers) {
    struct Case {
        const char* Running;
        const char* Advertised;
        bool Newer;
    };
    const Case cases[] = {
        {"2.05.03", "2.05.04", true},
        {"2.05.03", "2.05.03", false},
        {"2.05.04", "2.05.03", false},
        {"9.99.99", "10.00.00", true},
        {"2.05.9", "2.05.10", true},
        {"2.05", "2.05.01", true},
        {"2.05.00", "2.05", false},
        {"1.00.00", "", false},
        {"1.00.00", "junk", false},
        {"1.00.00", "1.00.00b", true},
        {"1.00.00", "99999999999999999999999.0", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsNewerVersion(c.Running, c.Advertised), c.Newer)
            << c.Running << " -> " << c.Advertised;
}

} // namespace
