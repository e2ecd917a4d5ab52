#include "cli/StatsCommand.h"

#include "cli/CliSession.h"
#include "cli/ListOutput.h"
#include "ui/MainWindowState.h"
#include "ui/StatisticsWindowState.h"

#include <QCommandLineParser>

TStatsCommand::TStatsCommand(TCliSession& session, std::FILE* out, std::FILE* err)
    : TCliCommand(
          session,
          {QStringLiteral("stats"),
           {QStringLiteral("PATH...")},
           QStringLiteral("print the totals and the artists, years and genres tables as CSV"),
           QStringLiteral(
               "Reads the paths as list does and counts the rows by artist, year and genre\n"
               "as the window's Statistics does. Prints the totals, then the artists, years\n"
               "and genres tables, each as the statistics window's Export writes it (header\n"
               "line first, CR LF line ends). No file is changed.\n"),
           {QuietOption}},
          out, err) {}

ExitCode TStatsCommand::Run(const QCommandLineParser& parser) {
    const QStringList paths = parser.positionalArguments();
    if (paths.isEmpty())
        return UsageError(QStringLiteral("stats needs at least one PATH"));
    ApplyQuiet(parser, FSession);
    TMainWindowState& state = FSession.ReadingState();
    state.HandleCommandLine(paths);
    // An error already reported (a shortcut that leads nowhere) ended the paths.
    if (state.StatusText().isEmpty())
        return ExitCode::Failure;
    TStatisticsWindowState statistics(state);
    statistics.Compute();
    QByteArray bytes = statistics.TotalsCsv();
    for (int page = 0; page < TStatisticsWindowState::PageCount; ++page)
        bytes += statistics.TableCsv(TStatisticsWindowState::TPage(page));
    const bool written = std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), FOut) ==
                             std::size_t(bytes.size()) &&
                         std::fflush(FOut) == 0;
    return written ? ExitCode::Success : ExitCode::Failure;
}
