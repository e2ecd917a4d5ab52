// The bash completion and the manual page, both made from the command table.
#include "CliRunner.h"
#include "testsupport/QtPrinters.h"

#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

struct CompletionCase {
    const char* Name;
    QStringList Typed; // the words after the program's name, the one being completed left out
    QStringList Offered;
    QStringList NotOffered;
};
void PrintTo(const CompletionCase& c, std::ostream* os) {
    *os << c.Name;
}

class Completion : public testing::TestWithParam<CompletionCase> {};

TEST_P(Completion, OffersTheWordsOfTheCommandTable) {
    const CompletionCase& c = GetParam();
    CliRunner cli;
    const CliRunner::Result r = cli.Run(QStringList{"--complete", "--"} + c.Typed);
    EXPECT_EQ(r.ExitCode, 0);
    const QStringList words = r.OutLines();
    for (const QString& word : c.Offered)
        EXPECT_TRUE(words.contains(word)) << word.toStdString() << "\n" << r.Out.toStdString();
    for (const QString& word : c.NotOffered)
        EXPECT_FALSE(words.contains(word)) << word.toStdString() << "\n" << r.Out.toStdString();
    // Completing reads and writes nothing.
    EXPECT_FALSE(QFileInfo::exists(cli.Home().File("config")));
    EXPECT_FALSE(QFileInfo::exists(cli.Home().File("state")));
}

INSTANTIATE_TEST_SUITE_P(
    Table, Completion,
    testing::Values(
        CompletionCase{"Commands", {}, {"list", "fix", "edit", "options", "help", "--yes"}, {}},
        CompletionCase{"CommandsAfterYes", {"--yes"}, {"fix", "--no"}, {"--dry-run"}},
        CompletionCase{"ListOptions", {"list"}, {"--quiet", "--help"}, {"--dry-run", "fix"}},
        CompletionCase{"FixOptions", {"fix", "/music"}, {"--dry-run", "--format", "--quiet"}, {}},
        CompletionCase{
            "FormatValues", {"fix", "--dry-run", "--format"}, {"csv", "json"}, {"--quiet"}},
        CompletionCase{"EditOperations",
                       {"edit", "--dry-run"},
                       {"set-genre", "clear-comments", "embed-cover-art", "--format"},
                       {}},
        CompletionCase{
            "EditPathsAfterOperation", {"edit", "set-genre"}, {"--dry-run"}, {"clear-genre"}},
        CompletionCase{
            "EditAfterFormatValue", {"edit", "--format", "json"}, {"lowercase-title"}, {}},
        CompletionCase{"OptionsVerbs", {"options"}, {"list", "get", "set", "reset"}, {}},
        CompletionCase{"OptionNames",
                       {"options", "set"},
                       {"Recursive", "EmbedCoverArtDuringFixingProcess", "DefFilesPath", "Genres"},
                       {"list"}},
        CompletionCase{"HelpTopics", {"help"}, {"list", "edit", "options"}, {"--yes"}},
        CompletionCase{"AfterDashDashNoOptions", {"list", "--"}, {}, {"--quiet"}},
        CompletionCase{"UnknownCommand", {"frob"}, {}, {"list", "--help"}}),
    [](const auto& info) { return std::string(info.param.Name); });

// The script itself, run by bash the way completion runs it.
TEST(CompletionScript, CompletesThroughTheProgram) {
    CliRunner cli;
    const auto complete = [&cli](const QStringList& words) {
        QStringList quoted;
        for (const QString& word : words)
            quoted.append(u'\'' + word + u'\'');
        QProcess bash;
        bash.setProcessEnvironment(cli.Environment());
        bash.start("bash", {"-c", QStringLiteral("source '%1'; COMP_WORDS=('%2' %3); "
                                                 "COMP_CWORD=%4; _quenlor_cli 2>/dev/null; "
                                                 "printf '%s\\n' \"${COMPREPLY[@]}\"")
                                      .arg(QStringLiteral(COMPLETION_SCRIPT),
                                           QStringLiteral(QUENLOR_CLI_PATH), quoted.join(u' '))
                                      .arg(words.size())});
        EXPECT_TRUE(bash.waitForFinished(30000));
        return QString::fromUtf8(bash.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    };
    EXPECT_EQ(complete({"ed"}), QStringList("edit"));
    EXPECT_EQ(complete({"edit", "set-g"}), QStringList("set-genre"));
    EXPECT_EQ(complete({"fix", "--dry-run", "--format", "j"}), QStringList("json"));
    EXPECT_EQ(complete({"fix", "--dr"}), QStringList("--dry-run"));
    EXPECT_EQ(complete({"options", "get", "Recurs"}), QStringList("Recursive"));
}

TEST(ManPage, DescribesEveryCommandOfTheTable) {
    CliRunner cli;
    const CliRunner::Result man = cli.Run({"--man"});
    ASSERT_EQ(man.ExitCode, 0);
    EXPECT_TRUE(man.Out.startsWith(".TH QUENLOR\\-CLI 1 ")) << man.Out.toStdString();
    const QStringList commands = cli.Run({"--complete", "--"})
                                     .OutLines()
                                     .filter(QRegularExpression(QStringLiteral("^[a-z]")));
    ASSERT_FALSE(commands.isEmpty());
    // Roff writes a hyphen as "\-" ("update-data" is "update\-data").
    for (const QString& command : commands)
        EXPECT_TRUE(man.Out.contains(".SS \"" + QString(command).replace("-", "\\-") + ' '))
            << command.toStdString();
    for (const char* text : {"\\fB\\-\\-dry\\-run\\fR", ".SH EXIT STATUS", "XDG_STATE_HOME"})
        EXPECT_TRUE(man.Out.contains(text)) << text;
}

} // namespace
