#include "ui/AppUpdateCheck.h"
#include "testsupport/ScriptedUiPort.h"
#include "testsupport/TempDir.h"
#include "testsupport/TestWebServer.h"

#include <QCryptographicHash>
#include <QDir>
#include <gtest/gtest.h>

namespace {

const QByteArray Installer(3000, 'i');

class AppUpdateCheckTest : public testing::Test {
protected:
    TempDir Dir;
    TestWebServer Server{Dir.Path() + "/web"};
    ScriptedUiPort Ui;
    TAppUpdateCheck Check{Ui};
    QString Target = Dir.Path() + "/target";

    void SetUp() override {
        ASSERT_TRUE(Server.Running());
        QDir().mkpath(Target);
        Server.Serve("notes.txt", "Better tags.\r\n");
        Server.Serve("setup.bin", Installer);
        Check.UpdateFileURL = Server.Url("/files/TessalyUpdates.txt");
        Check.UpdatePageURL = "https://maker.example/";
        Check.Version = "2.05.03";
    }
    void Describe(const QByteArray& keys) {
        Server.Serve("TessalyUpdates.txt", "[Quenlor]\r\n" + keys);
    }
    QByteArray Keys(const QString& version, const QByteArray& extra = {}) const {
        return "Version=" + version.toUtf8() +
               "\r\nReadmeFileURL=" + Server.Url("/files/notes.txt").toUtf8() +
               "\r\nDownloadFileURL64=" + Server.Url("/slow/setup.bin").toUtf8() + "\r\n" + extra;
    }
    QStringList TargetFiles() const {
        return QDir(Target).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
    }
};

TEST_F(AppUpdateCheckTest, NewerEqualAndOlderVersions) {
    struct Case {
        const char* Running;
        const char* Advertised;
        bool Newer;
    };
    for (const Case& c : {Case{"2.05.03", "2.05.04", true}, Case{"2.05.03", "2.05.03", false},
                          Case{"2.05.04", "2.05.03", false}, Case{"9.99.99", "10.00.00", true}}) {
        Ui.Messages.clear();
        Check.Version = c.Running;
        Describe(Keys(c.Advertised));
        EXPECT_EQ(Check.Execute(false), c.Newer) << c.Running << " " << c.Advertised;
        EXPECT_EQ(Check.Description().Version, c.Advertised);
        EXPECT_EQ(Check.ReleaseNotes(), "Better tags.\r\n");
        EXPECT_EQ(Check.Description().DownloadFileURL, Server.Url("/slow/setup.bin"));
        EXPECT_EQ(Ui.Texts(ScriptedUiPort::Kind::Information),
                  c.Newer ? QStringList() : QStringList{"There are no new versions available."});
    }
}

TEST_F(AppUpdateCheckTest, WithoutAVersionThePageIsOffered) {
    QStringList opened;
    Check.OpenWebPage = [&](const QString& page) { opened << page; };
    Describe("UpdatePageURL=https://maker.example/news\r\n");
    Ui.Answers.enqueue(true);
    EXPECT_FALSE(Check.Execute(false));
    EXPECT_EQ(Ui.Texts(ScriptedUiPort::Kind::Question),
              QStringList{"There are no advertised versions available.\nDo you want to open the "
                          "update web page?"});
    EXPECT_EQ(opened, QStringList{"https://maker.example/news"});
    // A description that cannot be fetched leaves the version empty too, and the reason in
    // the notes; with noMessages nothing is asked.
    Check.UpdateFileURL = Server.Url("/status/404");
    EXPECT_FALSE(Check.Execute(true));
    EXPECT_EQ(Check.ReleaseNotes(), "Failed: 404 Not Found");
    EXPECT_EQ(Ui.Texts(ScriptedUiPort::Kind::Question).size(), 1);
}

TEST_F(AppUpdateCheckTest, AFailedFetchIsShownAsAnErrorNotAsNoNewVersion) {
    QStringList opened;
    Check.OpenWebPage = [&](const QString& page) { opened << page; };
    Check.UpdateFileURL = Server.Url("/status/404");
    const QString error = "The update information could not be fetched. Failed: 404 Not Found";
    // With the update page known it is still offered after the error.
    Ui.Answers.enqueue(true);
    EXPECT_FALSE(Check.Execute(false));
    EXPECT_TRUE(Check.DescriptionFailed());
    EXPECT_EQ(Ui.Texts(ScriptedUiPort::Kind::Error), QStringList{error});
    EXPECT_EQ(Ui.Texts(ScriptedUiPort::Kind::Question).size(), 1);
    EXPECT_EQ(opened, QStringList{"https://maker.example/"});
    // Without one, the error alone: never "There are no new versions available.".
    Ui.Messages.clear();
    Check.UpdatePageURL.clear();
    EXPECT_FALSE(Check.Execute(false));
    EXPECT_EQ(Ui.Texts(ScriptedUiPort::Kind::Error), QStringList{error});
    EXPECT_TRUE(Ui.Texts(ScriptedUiPort::Kind::Information).isEmpty());
    EXPECT_TRUE(Ui.Texts(ScriptedUiPort::Kind::Question).isEmpty());
}

TEST_F(AppUpdateCheckTest, TheInstallerIsKeptOnlyWhenItsDigestMatches) {
    const QByteArray sha256 = QCryptographicHash::hash(Installer, QCryptographicHash::Sha256);
    const QByteArray md5 = QCryptographicHash::hash(Installer, QCryptographicHash::Md5);
    // The strongest digest given decides: a right MD5 does not save a wrong SHA-256.
    Describe(Keys("3.00.00",
                  "SHA256Hash=" + QByteArray(64, '0') + "\r\nMD5Hash=" + md5.toHex() + "\r\n"));
    ASSERT_TRUE(Check.Execute(false));
    EXPECT_EQ(Check.Download(Target), "");
    EXPECT_EQ(Ui.Texts(ScriptedUiPort::Kind::Error),
              QStringList{"The downloaded file is corrupted."});
    EXPECT_EQ(TargetFiles(), QStringList());

    Describe(Keys("3.00.00", "SHA256Hash=" + sha256.toHex().toUpper() + "\r\n"));
    ASSERT_TRUE(Check.Execute(false));
    EXPECT_EQ(Check.Download(Target), Target + "/setup.bin");
    EXPECT_EQ(Dir.Read("target/setup.bin"), Installer);
    EXPECT_EQ(TargetFiles(), QStringList{"setup.bin"});
}

TEST_F(AppUpdateCheckTest, ACancelledDownloadLeavesNoFile) {
    Describe(Keys("3.00.00"));
    ASSERT_TRUE(Check.Execute(false));
    Ui.OnPendingEvents = [&] { Check.Abort(); };
    EXPECT_EQ(Check.Download(Target), "");
    EXPECT_EQ(Ui.Texts(ScriptedUiPort::Kind::Error), QStringList{"Failed: 0 Aborted"});
    EXPECT_EQ(TargetFiles(), QStringList());
}

} // namespace
