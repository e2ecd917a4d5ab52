#include "cli/PropertiesOfFile.h"

#include "ui/MainWindowState.h"
#include "ui/PropertiesDialogState.h"

TPropertiesDialogState* OpenPropertiesOf(TMainWindowState& state, const QString& path,
                                         std::FILE* err) {
    state.HandleCommandLine({path});
    TMainList& list = state.MainList();
    if (list.Count() != 1) {
        std::fprintf(err, "quenlor-cli: %s names %s\n", path.toUtf8().constData(),
                     list.Count() == 0 ? "no MP3 file that can be read" : "more than one file");
        return nullptr;
    }
    list.ClearSelection();
    list.SetSelected(0, true);
    TPropertiesDialogState& dialog = state.PropertiesDialog();
    // An unreadable tag has been reported by Open.
    return dialog.Open() ? &dialog : nullptr;
}
