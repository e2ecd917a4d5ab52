#include "CliRunner.h"
#include "testsupport/TestWebServer.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

const QString Success = "Information: The update has been completed successfully. All files are "
                        "up-to-date.";

// The command-line tool over a data folder whose update list names files on a local server.
class UpdateDataCommand : public testing::Test {
protected:
    CliRunner Cli;
    TempDir Web;
    TestWebServer Server{Web.Path()};

    void SetUp() override {
        ASSERT_TRUE(Server.Running());
        Cli.Environment().remove("VARNHOLM_TEST_CA_FILE");
        Cli.Environment().insert("VARNHOLM_TEST_HTTP_TIMEOUT", "1");
    }
    void UpdateList(const QStringList& lines) {
        QFile file(Cli.DataFolder() + "/Quenlor.def");
        ASSERT_TRUE(QFileInfo(Cli.DataFolder()).isDir() || QDir().mkpath(Cli.DataFolder()));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(lines.join("\r\n").toUtf8());
    }
    QByteArray Genres() const {
        QFile file(Cli.DataFolder() + "/MP3Genres.def");
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

TEST_F(UpdateDataCommand, ReplacesChangedFilesAndSaysSo) {
    ASSERT_EQ(Cli.Run({"options", "list"}).ExitCode, 0); // seeds the data folder
    const QByteArray seeded = Genres();
    Server.Serve("MP3Genres.def", "Rock\r\nChillwave\r\n");
    UpdateList({"Genres\t" + Server.Url("/files/MP3Genres.def") + "|MP3Genres.def"});
    const CliRunner::Result r = Cli.Run({"update-data"});
    EXPECT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    EXPECT_EQ(r.ErrLines(), QStringList{Success});
    EXPECT_EQ(Genres(), "Rock\r\nChillwave\r\n");
    QFile backup(Cli.DataFolder() + "/MP3Genres.~def");
    ASSERT_TRUE(backup.open(QIODevice::ReadOnly));
    EXPECT_EQ(backup.readAll(), seeded);
    // Again: nothing differs, nothing is written.
    const FileSnapshot before = SnapshotFiles(Cli.DataFolder());
    EXPECT_EQ(Cli.Run({"update-data"}).ExitCode, 0);
    EXPECT_EQ(SnapshotFiles(Cli.DataFolder()), before);
}

TEST_F(UpdateDataCommand, FailedEntriesAreListedAndExitWithOne) {
    Server.Serve("MP3ArtistExceptions.def", "AC/DC\r\n");
    UpdateList({"Broken\t" + Server.Url("/status/404"),
                "Artists\t" + Server.Url("/files/MP3ArtistExceptions.def"),
                "Stalled\t" + Server.Url("/stall")});
    const CliRunner::Result r = Cli.Run({"update-data"});
    EXPECT_EQ(r.ExitCode, 1);
    EXPECT_EQ(r.ErrLines(), (QStringList{"Error: The update has not been completed successfully. "
                                         "One or more files may not be up-to-date.",
                                         "       Broken", "       Stalled"}));
    EXPECT_EQ(r.Out, "");
}

TEST_F(UpdateDataCommand, HttpsNeedsATrustedCertificateAndTheProxyIsHonoured) {
    TempDir secureFolder;
    TestWebServer secure(secureFolder.Path(), TestWebServer::Kind::Tls);
    ASSERT_TRUE(secure.Running());
    secure.Serve("MP3Genres.def", "Rock\r\nChillwave\r\n");
    ASSERT_EQ(Cli.Run({"options", "list"}).ExitCode, 0);
    const QByteArray seeded = Genres();
    UpdateList({"Genres\t" + secure.Url("/files/MP3Genres.def")});
    EXPECT_EQ(Cli.Run({"update-data"}).ExitCode, 1);
    EXPECT_EQ(Genres(), seeded);
    EXPECT_FALSE(QFileInfo::exists(Cli.DataFolder() + "/MP3Genres.~def"));

    Cli.Environment().insert("VARNHOLM_TEST_CA_FILE", secure.CAFile());
    // The plain server refuses tunnels: with the proxy set the request fails there, and its log
    // shows that it went to the proxy.
    for (const QStringList& set :
         {QStringList{"UseProxyServer", "1"}, QStringList{"ProxyAddress", "127.0.0.1"},
          QStringList{"ProxyPort", QString::number(Server.Port())}})
        ASSERT_EQ(Cli.Run(QStringList{"options", "set"} + set).ExitCode, 0);
    EXPECT_EQ(Cli.Run({"update-data"}).ExitCode, 1);
    EXPECT_EQ(
        Server.Requests().filter("CONNECT\t127.0.0.1:" + QString::number(secure.Port())).size(), 1);
    ASSERT_EQ(Cli.Run({"options", "set", "UseProxyServer", "0"}).ExitCode, 0);
    const CliRunner::Result r = Cli.Run({"update-data"});
    EXPECT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    EXPECT_EQ(Genres(), "Rock\r\nChillwave\r\n");
}

} // namespace
