#include "cli/ShowCommand.h"

#include "cli/CliSession.h"
#include "cli/PropertiesOfFile.h"
#include "ui/PropertiesDialogState.h"

#include <QCommandLineParser>
#include <QJsonDocument>
#include <QJsonObject>
#include <utility>
#include <vector>

namespace {

const QCommandLineOption FormatOption(QStringLiteral("format"),
                                      QStringLiteral("text (the default) or json"),
                                      QStringLiteral("FORMAT"));

// The dialog's fields, captioned as its labels, in its tab order.
std::vector<std::pair<QString, QString>> Fields(const TPropertiesValues& v) {
    return {{QStringLiteral("Artist"), v.Artist},
            {QStringLiteral("Title"), v.Title},
            {QStringLiteral("Track Number"), v.TrackNumber},
            {QStringLiteral("Album Title"), v.AlbumTitle},
            {QStringLiteral("Year"), v.Year},
            {QStringLiteral("Genre"), v.Genre},
            {QStringLiteral("Comments"), v.Comments}};
}

QString CoverText(const TPropertiesDialogState& dialog) {
    const TFrontCover& cover = dialog.FileCover();
    if (!cover.Present)
        return QStringLiteral("none");
    const QImage& image = dialog.CoverImage();
    if (image.isNull())
        return QStringLiteral("%1, %2 bytes, cannot be shown")
            .arg(cover.MIMEType)
            .arg(cover.Data.size());
    return QStringLiteral("%1 %2x%3, %4 bytes")
        .arg(cover.MIMEType)
        .arg(image.width())
        .arg(image.height())
        .arg(cover.Data.size());
}

QJsonValue CoverJson(const TPropertiesDialogState& dialog) {
    const TFrontCover& cover = dialog.FileCover();
    if (!cover.Present)
        return QJsonValue::Null;
    QJsonObject object{{QStringLiteral("MIME Type"), cover.MIMEType},
                       {QStringLiteral("Bytes"), cover.Data.size()},
                       {QStringLiteral("Can Be Shown"), !dialog.CoverImage().isNull()}};
    if (!dialog.CoverImage().isNull()) {
        object.insert(QStringLiteral("Width"), dialog.CoverImage().width());
        object.insert(QStringLiteral("Height"), dialog.CoverImage().height());
    }
    return object;
}

} // namespace

TShowCommand::TShowCommand(TCliSession& session, std::FILE* out, std::FILE* err)
    : TCliCommand(
          session,
          {QStringLiteral("show"),
           {QStringLiteral("FILE")},
           QStringLiteral("print one file's properties and front cover; no file is changed"),
           QStringLiteral(
               "Prints the fields the properties dialog shows for the file, one\n"
               "\"Caption: value\" line each (Artist, Title, Track Number, Album Title,\n"
               "Year, Genre, Comments), then \"Cover Art: MIME WIDTHxHEIGHT, N bytes\",\n"
               "\"Cover Art: MIME, N bytes, cannot be shown\" or \"Cover Art: none\".\n"
               "With --format json, one JSON object with the same captions as keys.\n"),
           {FormatOption}},
          out, err) {}

ExitCode TShowCommand::Run(const QCommandLineParser& parser) {
    const QStringList paths = parser.positionalArguments();
    if (paths.size() != 1)
        return UsageError(QStringLiteral("show needs exactly one FILE"));
    const QString format =
        parser.isSet(FormatOption) ? parser.value(FormatOption) : QStringLiteral("text");
    if (format != u"text" && format != u"json")
        return UsageError(QStringLiteral("--format is text or json, not %1").arg(format));
    // Nothing is written, not even the settings or the learned data.
    const TPropertiesDialogState* dialog =
        OpenPropertiesOf(FSession.State(TCliSession::Mode::ReadOnly), paths.first(), FErr);
    if (!dialog)
        return ExitCode::Failure;
    QString text;
    if (format == u"json") {
        QJsonObject object;
        for (const auto& [caption, value] : Fields(dialog->Values()))
            object.insert(caption, value);
        object.insert(QStringLiteral("Cover Art"), CoverJson(*dialog));
        text = QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Indented));
    } else {
        for (const auto& [caption, value] : Fields(dialog->Values()))
            text += caption + QStringLiteral(": ") + value + u'\n';
        text += QStringLiteral("Cover Art: ") + CoverText(*dialog) + u'\n';
    }
    const QByteArray bytes = text.toUtf8();
    if (std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), FOut) !=
            std::size_t(bytes.size()) ||
        std::fflush(FOut) != 0) {
        std::fputs("quenlor-cli: the properties could not be written\n", FErr);
        return ExitCode::Failure;
    }
    return ExitCode::Success;
}
