// The arguments of every command over the real program: wrong ones are refused before anything
// is read or written, help is printed where it is asked for, and "--" lets a path begin with "-".
#include "CliRunner.h"
#include "testsupport/Mp3Fixture.h"
#include "testsupport/QtPrinters.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

struct ArgumentCase {
    const char* Name;
    QStringList Args; // "LIB" stands for the library folder
    int ExitCode;
    const char* Out; // what stdout holds ("" for nothing at all)
    const char* Err; // what stderr holds ("" for nothing at all)
};
void PrintTo(const ArgumentCase& c, std::ostream* os) {
    *os << c.Name;
}

const char ListUsage[] = "Usage: quenlor-cli [--yes | --no] list [OPTIONS] PATH...\n";
const char FixUsage[] = "Usage: quenlor-cli [--yes | --no] fix";
const char EditUsage[] = "Usage: quenlor-cli [--yes | --no] edit";
const char OptionsUsage[] = "Usage: quenlor-cli [--yes | --no] options list\n";
const char HelpUsage[] = "Usage: quenlor-cli [--yes | --no] help [COMMAND]\n";
const char ProgramUsage[] = "Usage: quenlor-cli [--yes | --no] COMMAND";

class Arguments : public testing::TestWithParam<ArgumentCase> {
protected:
    CliRunner Cli;
    TempDir Work; // the working folder: the library, and a folder named as an option
    QString Library;

    Arguments() {
        Library = Work.File("Ana - First");
        for (const char* title : {"One", "Two"})
            Work.Write(QStringLiteral("Ana - First/%1.mp3").arg(title),
                       Mp3Fixture().Text("TPE1", "Ana").Text("TIT2", title).Bytes());
        // A folder a careless parser would take for a path.
        Work.Write("--help/Three.mp3", Mp3Fixture().Text("TIT2", "Three").Bytes());
        Work.Write("-x/Four.mp3", Mp3Fixture().Text("TIT2", "Four").Bytes());
    }
};

TEST_P(Arguments, ExitCodeOutputAndNothingChanged) {
    const ArgumentCase& c = GetParam();
    QStringList args = c.Args;
    args.replaceInStrings(QStringLiteral("LIB"), Library);
    const FileSnapshot before = SnapshotFiles(Work.Path());
    const CliRunner::Result r = Cli.Run(args, Work.Path());
    EXPECT_EQ(r.ExitCode, c.ExitCode) << r.Err.toStdString();
    if (*c.Out == 0)
        EXPECT_EQ(r.Out, "");
    else
        EXPECT_TRUE(r.Out.contains(QString::fromUtf8(c.Out))) << r.Out.toStdString();
    if (*c.Err == 0)
        EXPECT_EQ(r.Err, "");
    else
        EXPECT_TRUE(r.Err.contains(QString::fromUtf8(c.Err))) << r.Err.toStdString();
    EXPECT_TRUE(SnapshotFiles(Work.Path()) == before);
    // Refused or only helped: the program never started, so it wrote nothing of its own.
    if (c.ExitCode == 2 || r.Out.contains("Usage: ")) {
        EXPECT_FALSE(QFileInfo::exists(Cli.Home().File("config")));
        EXPECT_FALSE(QFileInfo::exists(Cli.Home().File("data")));
        EXPECT_FALSE(QFileInfo::exists(Cli.Home().File("state")));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, Arguments,
    testing::Values(
        // Unknown options, wherever they stand.
        ArgumentCase{"ListUnknown", {"list", "--recursive", "LIB"}, 2, "", ListUsage},
        ArgumentCase{"ListUnknownAfterPath", {"list", "LIB", "--frob"}, 2, "", ListUsage},
        ArgumentCase{"ListUnknownShort", {"list", "-x", "LIB"}, 2, "", "Unknown option 'x'"},
        ArgumentCase{"FixUnknown", {"fix", "--dry", "LIB"}, 2, "", FixUsage},
        ArgumentCase{"EditUnknown", {"edit", "clear-genre", "--all", "LIB"}, 2, "", EditUsage},
        ArgumentCase{"OptionsUnknown", {"options", "list", "--all"}, 2, "", OptionsUsage},
        ArgumentCase{"HelpUnknown", {"help", "--all"}, 2, "", HelpUsage},
        ArgumentCase{"ProgramUnknown", {"--frob", "list", "LIB"}, 2, "", ProgramUsage},
        ArgumentCase{"ProgramSingleDash", {"-yes", "list", "LIB"}, 2, "", ProgramUsage},
        // Options in the wrong place: the program's after the command, a command's before it.
        ArgumentCase{"ListYesAfterCommand", {"list", "--yes", "LIB"}, 2, "", ListUsage},
        ArgumentCase{"FixNoAfterPath", {"fix", "LIB", "--no"}, 2, "", FixUsage},
        ArgumentCase{"EditVersion", {"edit", "--version", "clear-genre", "LIB"}, 2, "", EditUsage},
        ArgumentCase{"OptionsYes", {"options", "--yes", "reset"}, 2, "", OptionsUsage},
        ArgumentCase{"UnknownCommandOption", {"list", "LIB", "--help=1"}, 2, "", ListUsage},
        ArgumentCase{"ListDryRun", {"list", "--dry-run", "LIB"}, 2, "", ListUsage},
        ArgumentCase{"FormatWithoutDryRun", {"fix", "--format", "json", "LIB"}, 2, "", FixUsage},
        ArgumentCase{"UnknownFormat",
                     {"edit", "--dry-run", "--format", "xml", "clear-genre", "LIB"},
                     2,
                     "",
                     EditUsage},
        ArgumentCase{
            "FormatWithoutValue", {"fix", "LIB", "--dry-run", "--format"}, 2, "", FixUsage},
        // Missing arguments.
        ArgumentCase{"ListNoPath", {"list"}, 2, "", ListUsage},
        ArgumentCase{"FixNoPath", {"fix"}, 2, "", FixUsage},
        ArgumentCase{"EditNoOperation", {"edit"}, 2, "", EditUsage},
        ArgumentCase{"EditNoValue", {"edit", "set-genre", "LIB"}, 2, "", EditUsage},
        ArgumentCase{"OptionsNoVerb", {"options"}, 2, "", OptionsUsage},
        ArgumentCase{"OptionsGetNoName", {"options", "get"}, 2, "", OptionsUsage},
        ArgumentCase{"ProgramNoCommand", {}, 2, "", ProgramUsage},
        ArgumentCase{"ProgramOnlyYes", {"--yes"}, 2, "", ProgramUsage},
        // Extra arguments.
        ArgumentCase{"OptionsListExtra", {"options", "list", "LIB"}, 2, "", OptionsUsage},
        ArgumentCase{"OptionsResetExtra", {"options", "reset", "now"}, 2, "", OptionsUsage},
        ArgumentCase{"HelpTwoCommands", {"help", "list", "fix"}, 2, "", HelpUsage},
        ArgumentCase{"HelpUnknownCommand", {"help", "frob"}, 2, "", HelpUsage},
        ArgumentCase{"ListValueOnFlag", {"list", "--help=yes", "LIB"}, 2, "", ListUsage},
        ArgumentCase{"ProgramValueOnFlag", {"--yes=1", "list", "LIB"}, 2, "", ProgramUsage},
        // Help: on stdout, exit 0, nothing listed (a folder named "--help" exists here).
        ArgumentCase{"ListHelp", {"list", "--help"}, 0, ListUsage, ""},
        ArgumentCase{"ListHelpAmongPaths", {"list", "LIB", "-h"}, 0, ListUsage, ""},
        ArgumentCase{"FixHelp", {"fix", "--help", "LIB"}, 0, FixUsage, ""},
        ArgumentCase{"EditHelp", {"edit", "--help"}, 0, "embed-cover-art", ""},
        ArgumentCase{"OptionsHelp", {"options", "--help"}, 0, "Genres[Rock]", ""},
        ArgumentCase{"HelpHelp", {"help", "--help"}, 0, HelpUsage, ""},
        ArgumentCase{"HelpList", {"help", "list"}, 0, ListUsage, ""},
        ArgumentCase{"HelpFix", {"help", "fix"}, 0, FixUsage, ""},
        ArgumentCase{"HelpEdit", {"help", "edit"}, 0, EditUsage, ""},
        ArgumentCase{"HelpOptions", {"help", "options"}, 0, OptionsUsage, ""},
        ArgumentCase{"Help", {"help"}, 0, "  list PATH...", ""},
        ArgumentCase{"ProgramHelp", {"--help"}, 0, "  help [COMMAND]", ""},
        ArgumentCase{"ProgramHelpShort", {"-h"}, 0, "Exit status: 0 success", ""},
        // "--" ends the options: the folders named "--help" and "-x" are read as paths.
        ArgumentCase{"ListDashDash", {"list", "--", "--help"}, 0, "\"Three.mp3\"", "1 file(s)"},
        ArgumentCase{"ListDashDashShort", {"list", "--", "-x", "LIB"}, 0, "\"Four.mp3\"", "1 file"},
        ArgumentCase{"ProgramDashDash", {"--no", "--", "list", "--", "-x"}, 0, "Four.mp3", "1 f"},
        ArgumentCase{"OptionsDashDash", {"options", "get", "--", "-x"}, 2, "", "\"-x\""}),
    [](const auto& info) { return std::string(info.param.Name); });

// Writing commands take "--" as well: the files under a folder named "-x" are changed.
TEST(ArgumentsDashDash, FixAndEditReachAPathBeginningWithADash) {
    CliRunner cli;
    TempDir work;
    work.Write("-x/a.mp3", Mp3Fixture().Text("TPE1", "Ana").Text("TIT2", "One").Bytes());
    CliRunner::Result r = cli.Run({"edit", "set-genre", "--", "-Jazz-", "-x"}, work.Path());
    ASSERT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    EXPECT_TRUE(r.Out.contains("\"-Jazz-\"")) << r.Out.toStdString();
    r = cli.Run({"fix", "--", "-x"}, work.Path());
    ASSERT_EQ(r.ExitCode, 0) << r.Err.toStdString();
    EXPECT_EQ(QDir(work.File("-x")).entryList(QDir::Files), QStringList("Ana - One.mp3"));
}

} // namespace
