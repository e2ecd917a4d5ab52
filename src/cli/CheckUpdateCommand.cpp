#include "cli/CheckUpdateCommand.h"

#include "cli/CliSession.h"
#include "support/TextFile.h"
#include "ui/AppUpdateCheck.h"
#include "ui/Version.h"

#include <QCommandLineParser>

namespace {

const QCommandLineOption DownloadOption(
    QStringLiteral("download"),
    QStringLiteral("fetch and verify the installer of a newer version; it is not started"));

void Print(std::FILE* out, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), out);
    std::fflush(out);
}

} // namespace

TCheckUpdateCommand::TCheckUpdateCommand(TCliSession& session, std::FILE* out, std::FILE* err)
    : TCliCommand(
          session,
          {QStringLiteral("check-update"),
           {QString()},
           QStringLiteral("ask the maker's web site whether a newer version exists"),
           QStringLiteral(
               "Reads the update description file TessalyUpdates.txt (over verified HTTPS,\n"
               "through the proxy of the options) and compares its version with this one as\n"
               "numbers. A newer version prints \"Version: V\" and the release notes;\n"
               "otherwise \"There are no new versions available.\" is the message.\n"
               "With --download the installer is fetched into the download folder and kept\n"
               "only when it matches the advertised digest; its path is printed.\n"),
           {DownloadOption}},
          out, err) {}

ExitCode TCheckUpdateCommand::Run(const QCommandLineParser& parser) {
    if (!parser.positionalArguments().isEmpty())
        return UsageError(QStringLiteral("check-update takes no arguments"));
    const TOptionSet& options = FSession.State(TCliSession::Mode::ReadOnly).Options();
    TAppUpdateCheck check(FSession.Ui());
    check.ApplyOptions(options);
    check.Version = VersionText();
    check.OpenWebPage = [this](const QString& page) { Print(FOut, page + u'\n'); };
    if (!check.Execute(true)) {
        if (check.DescriptionFailed()) {
            check.ReportDescriptionFailure();
            return ExitCode::Failure;
        }
        check.ReportNoNewVersion();
        return ExitCode::Success;
    }
    Print(FOut, QStringLiteral("Version: ") + check.Description().Version + u'\n');
    // The notes' own line ends (often CR LF) become the terminal's.
    for (const QString& line : TextFile::SplitLines(check.ReleaseNotes()))
        Print(FOut, line + u'\n');
    if (!parser.isSet(DownloadOption))
        return ExitCode::Success;
    if (check.Description().DownloadFileURL.isEmpty()) {
        FSession.Ui().ShowMessage(UiPort::MessageKind::Error,
                                  QStringLiteral("No download is advertised."));
        return ExitCode::Failure;
    }
    const QString path = check.Download(TAppUpdateCheck::DownloadFolder());
    if (path.isEmpty())
        return ExitCode::Failure;
    Print(FOut, QStringLiteral("Downloaded: ") + path + u'\n');
    return ExitCode::Success;
}
