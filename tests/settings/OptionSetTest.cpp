#include "settings/OptionSet.h"

#include <QSet>
#include <gtest/gtest.h>

namespace {

TEST(OptionSet, DescriptorsNameEveryOptionOnceAndReachItsDefault) {
    const TOptionSet defaults;
    QSet<QString> names;
    for (const TOptionDescriptor& d : OptionDescriptors()) {
        const QString name = QString::fromLatin1(d.Name);
        EXPECT_FALSE(names.contains(name.toLower())) << d.Name;
        names.insert(name.toLower());
        if (auto member = std::get_if<int TOptionSet::*>(&d.Member)) {
            EXPECT_LT(d.Minimum, d.Maximum) << d.Name;
            EXPECT_GE(defaults.**member, d.Minimum) << d.Name;
            EXPECT_LE(defaults.**member, d.Maximum) << d.Name;
        }
    }
    EXPECT_EQ(names.size(), 24);
    EXPECT_TRUE(names.contains("mp3namecomputing"));
    EXPECT_TRUE(names.contains("proxyport"));
}

TEST(OptionSet, DefaultsTakeThePlatformFoldersAndProxy) {
    TOptionDefaults platform;
    platform.MusicFolder = "/home/u/Music";
    platform.MP3valFolder = "/usr/bin";
    platform.MP3GainFolder = "/usr/local/bin";
    platform.Mp3tagFolder = "/home/u/.wine/drive_c/Program Files/Mp3tag";
    platform.SystemUsesProxy = true;
    platform.SystemProxyHost = "proxy.example";
    const TOptionSet o = TOptionSet::Defaults(platform);
    EXPECT_EQ(o.MusicLibraryHomePath, "/home/u/Music");
    EXPECT_EQ(o.MP3GainPath, "/usr/local/bin");
    EXPECT_TRUE(o.UseProxyServer);
    EXPECT_EQ(o.ProxyAddress, "proxy.example");
    EXPECT_EQ(o.ProxyPort, "80"); // no port named: the HTTP default
    EXPECT_EQ(o.MP3NameComputing, nmMixed);
    EXPECT_TRUE(o.ExportPlaylistUsingExtendedM3UFormat);
    ASSERT_EQ(o.Suffixes.size(), 7);
    EXPECT_EQ(o.Suffixes.first().Text, "(Acoustic)");
    EXPECT_TRUE(o.Suffixes.first().Checked);
}

} // namespace
