// The progress line: on a terminal only, erased at the end; --quiet drops it and the status line.
#include "CliRunner.h"
#include "testsupport/Mp3Fixture.h"
#include "testsupport/QtPrinters.h"

#include <QProcess>
#include <gtest/gtest.h>

namespace {

class Progress : public testing::Test {
protected:
    CliRunner cli;
    TempDir music;

    Progress() {
        for (const char* title : {"One", "Two", "Three"})
            music.Write(QStringLiteral("Ana/%1.mp3").arg(title),
                        Mp3Fixture(3).Text("TPE1", "Ana").Text("TIT2", title).Bytes());
    }

    // Runs the program with stdout and stderr on a terminal (script's pseudo-terminal), stdout
    // sent away, and answers what the terminal showed.
    QByteArray OnTerminal(const QStringList& args) {
        QStringList quoted;
        for (const QString& arg : QStringList(QStringLiteral(QUENLOR_CLI_PATH)) + args)
            quoted.append(u'\'' + arg + u'\'');
        QProcess script;
        script.setProcessEnvironment(cli.Environment());
        script.start("script", {"-qec", quoted.join(u' ') + " >/dev/null", "/dev/null"});
        EXPECT_TRUE(script.waitForFinished(60000));
        return script.readAllStandardOutput();
    }
};

TEST_F(Progress, ShownOnATerminalAndErasedBeforeTheStatus) {
    for (const QStringList& args :
         {QStringList{"list", music.Path()}, QStringList{"edit", "set-genre", "Pop", music.Path()},
          QStringList{"fix", music.Path()}}) {
        const QByteArray shown = OnTerminal(args);
        const qsizetype progress = shown.indexOf(" files");
        const qsizetype erased = shown.lastIndexOf("\r\x1b[K");
        const qsizetype status = shown.indexOf("3 file(s) - ");
        EXPECT_GE(progress, 0) << shown.toStdString();
        EXPECT_LT(progress, erased) << shown.toStdString();
        EXPECT_LT(erased, status) << shown.toStdString();
    }
}

TEST_F(Progress, QuietDropsProgressAndStatusLine) {
    EXPECT_EQ(OnTerminal({"list", "--quiet", music.Path()}), "");
    const CliRunner::Result plain = cli.Run({"list", music.Path()});
    const CliRunner::Result quiet = cli.Run({"list", "--quiet", music.Path()});
    // Without a terminal nothing but the status line goes to stderr.
    EXPECT_EQ(plain.Err, "3 file(s) - 3 mismatch(es)\n");
    EXPECT_EQ(quiet.Err, "");
    EXPECT_EQ(quiet.OutBytes, plain.OutBytes);
    for (const QStringList& args :
         {QStringList{"edit", "--quiet", "set-genre", "Pop", music.Path()},
          QStringList{"fix", "--quiet", music.Path()}}) {
        const CliRunner::Result r = cli.Run(args);
        EXPECT_EQ(r.ExitCode, 0) << r.Err.toStdString();
        EXPECT_EQ(r.Err, "") << args.join(' ').toStdString();
        EXPECT_TRUE(r.Out.startsWith("\"Name\",")) << r.Out.toStdString();
    }
}

} // namespace
