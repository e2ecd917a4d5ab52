#include "cli/EditCommand.h"

#include "cli/CliSession.h"
#include "cli/ListOutput.h"
#include "ui/MainWindowState.h"

#include <array>

namespace {

struct TEditOperation {
    const char* Name;
    bool TakesValue;
    void (*Run)(TMainWindowState& state, const QString& value);
};

const std::array<TEditOperation, 10> EditOperations = {{
    {"clear-comments", false, [](TMainWindowState& s, const QString&) { s.Comments1Click(); }},
    {"clear-cover-art", false, [](TMainWindowState& s, const QString&) { s.CoverArt1Click(); }},
    {"clear-genre", false, [](TMainWindowState& s, const QString&) { s.Genre1Click(); }},
    {"clear-title-suffix", false,
     [](TMainWindowState& s, const QString&) { s.TitleSuffix1Click(); }},
    {"clear-track-number", false,
     [](TMainWindowState& s, const QString&) { s.TrackNumber1Click(); }},
    {"add-suffix", true,
     [](TMainWindowState& s, const QString& v) { s.AddSuffixToTitlePopupMenuClick(v); }},
    {"lowercase-title", false,
     [](TMainWindowState& s, const QString&) { s.LowercaseTitle1Click(); }},
    {"replace-brackets", false,
     [](TMainWindowState& s, const QString&) { s.ReplaceByInTitle1Click(); }},
    {"set-genre", true,
     [](TMainWindowState& s, const QString& v) { s.SetGenreToPopupMenuClick(v); }},
    {"embed-cover-art", false,
     [](TMainWindowState& s, const QString&) { s.EmbedCoverArt1Click(); }},
}};

} // namespace

QStringList TEditCommand::Operations() {
    QStringList names;
    for (const TEditOperation& operation : EditOperations)
        names.append(QString::fromLatin1(operation.Name));
    return names;
}

int TEditCommand::Run(const QStringList& arguments) {
    QStringList args = arguments;
    const QString name = args.isEmpty() ? QString() : args.takeFirst();
    const TEditOperation* operation = nullptr;
    for (const TEditOperation& candidate : EditOperations)
        if (name == QLatin1String(candidate.Name))
            operation = &candidate;
    if (!operation) {
        std::fprintf(FErr, "quenlor-cli: edit needs an OPERATION, one of: %s\n",
                     qPrintable(Operations().join(QStringLiteral(", "))));
        return 2;
    }
    const QString value = operation->TakesValue && !args.isEmpty() ? args.takeFirst() : QString();
    if (args.isEmpty()) {
        std::fprintf(FErr, "quenlor-cli: edit %s needs %sat least one PATH\n", operation->Name,
                     operation->TakesValue ? "a VALUE and " : "");
        return 2;
    }
    TMainWindowState& state = FSession.State();
    state.HandleCommandLine(args);
    for (int row = 0; row < state.MainList().Count(); ++row)
        state.MainList().SetSelected(row, true);
    operation->Run(state, value);
    const bool printed = PrintMainList(state, FOut, FErr);
    return printed && state.FailedFileCount() == 0 ? 0 : 1;
}
