#include "cli/ListOutput.h"

#include "cli/MainListCsv.h"
#include "ui/MainWindowState.h"

void PrintMainList(const TMainWindowState& state, std::FILE* out, std::FILE* err) {
    const QByteArray csv = MainListCsv(state.MainList());
    std::fwrite(csv.constData(), 1, std::size_t(csv.size()), out);
    std::fflush(out);
    std::fprintf(err, "%s\n", state.StatusText().toUtf8().constData());
}
