#include "cli/ListOutput.h"

#include "cli/CliSession.h"
#include "ui/MainListCsv.h"
#include "ui/MainWindowState.h"

#include <QCommandLineParser>

const QCommandLineOption QuietOption(QStringLiteral("quiet"),
                                     QStringLiteral("print neither progress nor the status line"));

bool ApplyQuiet(const QCommandLineParser& parser, TCliSession& session) {
    const bool quiet = parser.isSet(QuietOption);
    if (quiet)
        session.CliUi().SetProgressShown(false);
    return quiet;
}

bool PrintMainList(const TMainWindowState& state, std::FILE* out, std::FILE* err, bool quiet) {
    // Line by line, so that a large library's list is never held a second time as one text.
    const auto print = [out](const QByteArray& line) {
        return std::fwrite(line.constData(), 1, std::size_t(line.size()), out) ==
               std::size_t(line.size());
    };
    if (WriteMainListCsv(state.MainList(), print) < 0 || std::fflush(out) != 0) {
        std::fputs("quenlor-cli: the list could not be written\n", err);
        return false;
    }
    // An error already reported (a shortcut that leads nowhere) ended the paths before the
    // status was recomputed.
    if (state.StatusText().isEmpty())
        return false;
    if (!quiet)
        std::fprintf(err, "%s\n", state.StatusText().toUtf8().constData());
    return true;
}
