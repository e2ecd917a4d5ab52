#include "cli/ListOutput.h"

#include "cli/MainListCsv.h"
#include "ui/MainWindowState.h"

bool PrintMainList(const TMainWindowState& state, std::FILE* out, std::FILE* err) {
    if (!WriteMainListCsv(state.MainList(), out) || std::fflush(out) != 0) {
        std::fputs("quenlor-cli: the list could not be written\n", err);
        return false;
    }
    // An error already reported (a shortcut that leads nowhere) ended the paths before the
    // status was recomputed.
    if (state.StatusText().isEmpty())
        return false;
    std::fprintf(err, "%s\n", state.StatusText().toUtf8().constData());
    return true;
}
