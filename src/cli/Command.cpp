#include "cli/Command.h"

#include "export/CsvFormat.h"

#include <QCommandLineParser>

namespace {

const QCommandLineOption HelpOption({QStringLiteral("h"), QStringLiteral("help")},
                                    QStringLiteral("show this text"));

QString OptionNames(const QCommandLineOption& option) {
    QStringList names;
    for (const QString& name : option.names())
        names.append((name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name);
    QString text = names.join(QStringLiteral(", "));
    if (!option.valueName().isEmpty())
        text += u' ' + option.valueName();
    return text;
}

} // namespace

TCliCommand::TCliCommand(TCliSession& session, TCommandSyntax syntax, std::FILE* out,
                         std::FILE* err)
    : FSession(session), FOut(out), FErr(err), FSyntax(std::move(syntax)) {}

QString TCliCommand::Usage() const {
    QString text;
    const QString options = FSyntax.Options.isEmpty() ? QString() : QStringLiteral(" [OPTIONS]");
    for (qsizetype i = 0; i < FSyntax.Arguments.size(); ++i)
        text += (i == 0 ? QStringLiteral("Usage: ") : QStringLiteral("       ")) +
                QStringLiteral("quenlor-cli [--yes | --no] ") + FSyntax.Name + options +
                (FSyntax.Arguments[i].isEmpty() ? QString() : u' ' + FSyntax.Arguments[i]) + u'\n';
    return text;
}

QString TCliCommand::Help() const {
    QString text = Usage() + u'\n' + FSyntax.Summary + u'\n';
    if (!FSyntax.Description.isEmpty())
        text += u'\n' + FSyntax.Description;
    QList<QCommandLineOption> options = FSyntax.Options;
    options.append(HelpOption);
    qsizetype width = 0;
    for (const QCommandLineOption& option : options)
        width = std::max(width, OptionNames(option).size());
    text += QStringLiteral("\nOptions:\n");
    for (const QCommandLineOption& option : options)
        text += QStringLiteral("  ") + OptionNames(option).leftJustified(width + 2) +
                option.description() + u'\n';
    return text;
}

ExitCode TCliCommand::Execute(const QStringList& args) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    parser.addOption(HelpOption);
    parser.addOptions(FSyntax.Options);
    if (!parser.parse(QStringList(QStringLiteral("quenlor-cli ") + FSyntax.Name) + args))
        return UsageError(parser.errorText());
    if (parser.isSet(HelpOption)) {
        std::fputs(Help().toUtf8().constData(), FOut);
        return ExitCode::Success;
    }
    return Run(parser);
}

QStringList TCliCommand::CompletionWords(const QStringList& typed) const {
    QList<QCommandLineOption> options = FSyntax.Options;
    options.append(HelpOption);
    const auto takesValue = [&options](const QString& word) -> const QCommandLineOption* {
        for (const QCommandLineOption& option : options)
            for (const QString& name : option.names())
                if (!option.valueName().isEmpty() && word == QStringLiteral("--") + name)
                    return &option;
        return nullptr;
    };
    if (!typed.isEmpty())
        if (const QCommandLineOption* option = takesValue(typed.last()))
            return OptionValueWords(option->names().first());
    QStringList positional;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < typed.size(); ++i) {
        const QString& word = typed[i];
        if (optionsEnded || !word.startsWith(u'-') || word == u"-")
            positional.append(word);
        else if (word == u"--")
            optionsEnded = true;
        else if (takesValue(word))
            ++i; // its value is no argument
    }
    QStringList words = ArgumentWords(positional);
    if (!optionsEnded)
        for (const QCommandLineOption& option : options)
            for (const QString& name : option.names())
                words.append((name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) +
                             name);
    return words;
}

ExitCode TCliCommand::UsageError(const QString& message) {
    std::fprintf(FErr, "quenlor-cli: %s\n", message.toUtf8().constData());
    std::fputs(Usage().toUtf8().constData(), FErr);
    return ExitCode::Usage;
}

bool TCliCommand::PrintCsvLine(const QStringList& fields) {
    const QByteArray line = CsvFormat::Line(fields).toUtf8();
    return std::fwrite(line.constData(), 1, std::size_t(line.size()), FOut) ==
           std::size_t(line.size());
}
