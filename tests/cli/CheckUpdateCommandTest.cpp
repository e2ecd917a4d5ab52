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

TEST(CheckUpdateCommand, ADescriptionThatCannotBeFetchedIsAnError) {
    CliRunner cli;
    TempDir web;
    TestWebServer server(web.Path());
    ASSERT_TRUE(server.Running());
    server.Serve("empty.txt", "");
    const struct {
        const char* Case;
        QString Source;
        QString Error;
    } cases[] = {
        {"not found", server.Url("/status/404"),
         "Error: The update information could not be fetched. Failed: 404 Not Found"},
        {"server error", server.Url("/status/500"),
         "Error: The update information could not be fetched. Failed: 500 Internal Server "
         "Error"},
        {"empty file", web.File("root/empty.txt"),
         "Error: The update information could not be fetched. Failed: the file is empty"},
        {"missing file", web.File("root/missing.txt"),
         "Error: The update information could not be fetched. No such file or directory"},
        {"no address", "not an address", "Error: \"not an address\" is an invalid source."},
    };
    for (const auto& c : cases) {
        cli.Environment().insert("VARNHOLM_UPDATE_FILE_URL", c.Source);
        const CliRunner::Result r = cli.Run({"--yes", "check-update"});
        EXPECT_EQ(r.ExitCode, 1) << c.Case;
        EXPECT_EQ(r.ErrLines(), QStringList{c.Error}) << c.Case;
        EXPECT_EQ(r.Out, "") << c.Case;
    }
}

} // namespace
