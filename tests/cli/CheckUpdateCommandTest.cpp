#include "CliRunner.h"
#include "testsupport/TestWebServer.h"

#include <QCryptographicHash>
#include <QDir>
#include <gtest/gtest.h>

namespace {

TEST(CheckUpdateCommand, PrintsANewerVersionAndDownloadsItVerified) {
    CliRunner cli;
    TempDir web;
    TestWebServer server(web.Path());
    ASSERT_TRUE(server.Running());
    const QByteArray installer(2048, 'x');
    server.Serve("setup.bin", installer);
    server.Serve("notes.txt", "Version 99 notes\r\n");
    cli.Environment().insert("VARNHOLM_UPDATE_FILE_URL", server.Url("/files/TessalyUpdates.txt"));
    server.Serve("TessalyUpdates.txt", "[Quenlor]\r\nVersion=0.01.00\r\n");
    CliRunner::Result r = cli.Run({"check-update"});
    EXPECT_EQ(r.ExitCode, 0);
    EXPECT_EQ(r.ErrLines(), QStringList{"Information: There are no new versions available."});
    EXPECT_EQ(r.Out, "");

    server.Serve(
        "TessalyUpdates.txt",
        "[Quenlor]\r\nVersion=99.00.00\r\nReadmeFileURL=" +
            server.Url("/files/notes.txt").toUtf8() +
            "\r\nDownloadFileURL=" + server.Url("/files/setup.bin").toUtf8() + "\r\nSHA256Hash=" +
            QCryptographicHash::hash(installer, QCryptographicHash::Sha256).toHex() + "\r\n");
    r = cli.Run({"check-update"});
    EXPECT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    EXPECT_EQ(r.OutLines(), (QStringList{"Version: 99.00.00", "Version 99 notes"}));

    const QString folder = cli.Home().File("data/Downloaded Installations");
    ASSERT_TRUE(QDir().mkpath(folder));
    r = cli.Run({"check-update", "--download"});
    EXPECT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    EXPECT_EQ(r.OutLines().last(), "Downloaded: " + folder + "/setup.bin");
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"setup.bin"});
}

} // namespace
