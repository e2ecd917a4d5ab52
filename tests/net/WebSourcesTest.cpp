#include "net/WebSources.h"

#include <gtest/gtest.h>

namespace {

TEST(WebSources, KindsOfSource) {
    EXPECT_TRUE(IsUNCPath("\\\\server\\share\\MP3Genres.def"));
    EXPECT_FALSE(IsUNCPath("\\server"));
    EXPECT_TRUE(IsURL("https://example.org/files/MP3Genres.def"));
    EXPECT_TRUE(IsURL("http://127.0.0.1:8080/x"));
    EXPECT_FALSE(IsURL("\\\\server\\share\\x.def"));
    EXPECT_FALSE(IsURL("/home/user/x.def"));
    EXPECT_FALSE(IsURL("MP3Genres.def"));
    EXPECT_FALSE(IsURL(""));
    EXPECT_FALSE(IsURL("http://exa mple.org/x"));
    EXPECT_TRUE(IsHTTPSURL("HTTPS://EXAMPLE.ORG/"));
    EXPECT_TRUE(IsHTTPSURL("httpsomething"));
    EXPECT_FALSE(IsHTTPSURL("http://example.org/"));
    EXPECT_TRUE(IsFileSource("/mnt/share/MP3Genres.def"));
    EXPECT_TRUE(IsFileSource("file:///mnt/share/MP3Genres.def"));
    EXPECT_TRUE(IsFileSource("\\\\server\\share\\MP3Genres.def"));
    EXPECT_FALSE(IsFileSource("https://example.org/MP3Genres.def"));
    EXPECT_FALSE(IsFileSource("share/MP3Genres.def"));
    EXPECT_EQ(FileSourcePath("file:///mnt/share/MP3Genres.def"), "/mnt/share/MP3Genres.def");
}

struct NameCase {
    const char* Source;
    const char* Name;
    bool Error;
};

TEST(WebSources, FileNameFromSource) {
    const NameCase cases[] = {
        {"https://example.org/files/MP3Genres.def", "MP3Genres.def", false},
        {"https://example.org/files/", "", false},
        {"\\\\server\\share\\MP3ArtistExceptions.def", "MP3ArtistExceptions.def", false},
        {"https://regauth.standards.ieee.org/list?registry=MA-L", "MA-L.csv", false},
        {"https://regauth.standards.ieee.org/list?registry=MA-L&format=txt", "MA-L.txt", false},
        {"https://example.org/get?file=x.def", "", true},
        {"not a source", "", true},
    };
    for (const NameCase& c : cases) {
        QString error = "stale";
        EXPECT_EQ(GetFileNameFromSource(c.Source, error), c.Name) << c.Source;
        const QString expected =
            c.Error ? QString("\"") + c.Source + "\" is an invalid source." : QString();
        EXPECT_EQ(error, expected) << c.Source;
    }
}

TEST(WebSources, PlainFileNames) {
    EXPECT_TRUE(IsPlainFileName("MP3Genres.def"));
    EXPECT_TRUE(IsPlainFileName("..def"));
    for (const char* bad : {"", ".", "..", "a/b", "a\\b"})
        EXPECT_FALSE(IsPlainFileName(bad)) << bad;
}

} // namespace
