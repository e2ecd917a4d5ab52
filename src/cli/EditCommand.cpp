#include "cli/EditCommand.h"

#include "cli/CliSession.h"
#include "ui/MainWindowState.h"

#include <QCommandLineParser>
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

TEditCommand::TEditCommand(TCliSession& session, std::FILE* out, std::FILE* err)
    : TWritingCommand(
          session,
          {QStringLiteral("edit"),
           {QStringLiteral("OPERATION [VALUE] PATH...")},
           QStringLiteral("run one bulk edit over every file and print the list"),
           QStringLiteral(
               "Reads the paths as list does, runs one edit of the list's context menu\n"
               "over every row and prints the list as CSV. Edits never rename. OPERATION\n"
               "is one of clear-comments, clear-cover-art, clear-genre,\n"
               "clear-title-suffix, clear-track-number, lowercase-title, replace-brackets,\n"
               "embed-cover-art, add-suffix VALUE, set-genre VALUE. With --dry-run nothing\n"
               "is written and the plan of the changes is printed instead.\n"),
           {}},
          out, err) {}

ExitCode TEditCommand::Run(const QCommandLineParser& parser) {
    QStringList args = parser.positionalArguments();
    const QString name = args.isEmpty() ? QString() : args.takeFirst();
    const TEditOperation* operation = nullptr;
    for (const TEditOperation& candidate : EditOperations)
        if (name == QLatin1String(candidate.Name))
            operation = &candidate;
    if (!operation)
        return UsageError(QStringLiteral("edit needs an OPERATION, one of: %1")
                              .arg(Operations().join(QStringLiteral(", "))));
    const QString value = operation->TakesValue && !args.isEmpty() ? args.takeFirst() : QString();
    if (args.isEmpty())
        return UsageError(
            QStringLiteral("edit %1 needs %2at least one PATH")
                .arg(QLatin1String(operation->Name),
                     operation->TakesValue ? QStringLiteral("a VALUE and ") : QString()));
    return RunOver(parser, args, [operation, &value](TMainWindowState& state) {
        for (int row = 0; row < state.MainList().Count(); ++row)
            state.MainList().SetSelected(row, true);
        operation->Run(state, value);
    });
}
