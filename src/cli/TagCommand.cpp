#include "cli/TagCommand.h"

#include "cli/PropertiesOfFile.h"
#include "ui/PropertiesDialogState.h"

#include <QCommandLineParser>
#include <array>

namespace {

QCommandLineOption ValueOption(const char* name, const char* field, const char* valueName) {
    return QCommandLineOption(QString::fromLatin1(name),
                              QStringLiteral("the %1 field").arg(QLatin1String(field)),
                              QString::fromLatin1(valueName));
}

// One option per field of the dialog, in its tab order.
struct TFieldOption {
    QCommandLineOption Option;
    QString TPropertiesValues::*Field;
};

const std::array<TFieldOption, 7>& FieldOptions() {
    static const std::array<TFieldOption, 7> options = {{
        {ValueOption("artist", "Artist", "V"), &TPropertiesValues::Artist},
        {ValueOption("title", "Title", "V"), &TPropertiesValues::Title},
        {ValueOption("track", "Track Number", "N"), &TPropertiesValues::TrackNumber},
        {ValueOption("album", "Album Title", "V"), &TPropertiesValues::AlbumTitle},
        {ValueOption("year", "Year", "N"), &TPropertiesValues::Year},
        {ValueOption("genre", "Genre", "V"), &TPropertiesValues::Genre},
        {ValueOption("comment", "Comments", "V"), &TPropertiesValues::Comments},
    }};
    return options;
}

const QCommandLineOption CoverOption(QStringLiteral("cover"),
                                     QStringLiteral("the picture file that becomes the one front "
                                                    "cover (as Assign...)"),
                                     QStringLiteral("IMAGE"));
const QCommandLineOption NoCoverOption(QStringLiteral("no-cover"),
                                       QStringLiteral("remove every front cover (as Clear)"));

QList<QCommandLineOption> Options() {
    QList<QCommandLineOption> options;
    for (const TFieldOption& field : FieldOptions())
        options.append(field.Option);
    options.append(CoverOption);
    options.append(NoCoverOption);
    return options;
}

} // namespace

TTagCommand::TTagCommand(TCliSession& session, std::FILE* out, std::FILE* err)
    : TWritingCommand(
          session,
          {QStringLiteral("tag"),
           {QStringLiteral("FILE")},
           QStringLiteral("change one file's fields and front cover as the properties dialog does"),
           QStringLiteral(
               "Fills the properties dialog's fields from the file's row, replaces the\n"
               "ones given, and confirms them as OK does: the artist must not be empty,\n"
               "the track number must be a number, the year at most four digits. A cover\n"
               "neither given nor removed stays byte for byte. Prints the row as list\n"
               "does; the file is never renamed. With --dry-run nothing is written and the\n"
               "plan of the changes is printed instead.\n"),
           Options()},
          out, err) {}

ExitCode TTagCommand::Run(const QCommandLineParser& parser) {
    const QStringList paths = parser.positionalArguments();
    if (paths.size() != 1)
        return UsageError(QStringLiteral("tag needs exactly one FILE"));
    if (parser.isSet(CoverOption) && parser.isSet(NoCoverOption))
        return UsageError(QStringLiteral("--cover and --no-cover exclude each other"));
    return RunWork(parser, [this, &parser, &paths](TMainWindowState& state) {
        TPropertiesDialogState* dialog = OpenPropertiesOf(state, paths.first(), FErr);
        if (!dialog)
            return TWork::Stopped;
        for (const TFieldOption& field : FieldOptions())
            if (parser.isSet(field.Option))
                dialog->Values().*field.Field = parser.value(field.Option);
        if (parser.isSet(NoCoverOption))
            dialog->ClearButtonClick();
        else if (parser.isSet(CoverOption) && !dialog->AssignPicture(parser.value(CoverOption)))
            return TWork::Stopped;
        switch (dialog->Confirm()) {
        case TPropertiesDialogState::TConfirmed::StayOpen:
            return TWork::Stopped;
        case TPropertiesDialogState::TConfirmed::Failed:
            return TWork::Failed;
        case TPropertiesDialogState::TConfirmed::Written:
            break;
        }
        return TWork::Done;
    });
}
