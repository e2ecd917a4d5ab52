#include "cli/ManPage.h"

#include "ui/Version.h"

namespace {

// Text as roff shows it: backslashes and hyphens escaped, no line taken for a request.
QString Roff(const QString& text) {
    QString out = text;
    out.replace(u'\\', QStringLiteral("\\e"));
    out.replace(u'-', QStringLiteral("\\-"));
    QStringList lines = out.split(u'\n');
    for (QString& line : lines)
        if (line.startsWith(u'.') || line.startsWith(u'\''))
            line.prepend(QStringLiteral("\\&"));
    return lines.join(u'\n');
}

QString OptionNames(const QCommandLineOption& option) {
    QStringList names;
    for (const QString& name : option.names())
        names.append((name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name);
    QString text =
        QStringLiteral("\\fB") + Roff(names.join(QStringLiteral(", "))) + QStringLiteral("\\fR");
    if (!option.valueName().isEmpty())
        text += QStringLiteral(" \\fI") + Roff(option.valueName()) + QStringLiteral("\\fR");
    return text;
}

const char Head[] = R"(.SH NAME
quenlor\-cli \- keep an MP3 library in order from the command line
.SH SYNOPSIS
.B quenlor\-cli
[\fB\-\-yes\fR | \fB\-\-no\fR] \fICOMMAND\fR [\fIOPTIONS\fR] [\fIARGS\fR...]
.br
.B quenlor\-cli help
[\fICOMMAND\fR]
.SH DESCRIPTION
.B quenlor\-cli
runs the commands of the Varnholm desktop program without its window: it lists MP3 files with
the names computed from their tags, fixes them (clean tags written, cover embedded, file renamed,
never over an existing file) and runs the bulk edits of the list's context menu. It starts up and
shuts down as the desktop program does and shares its settings, data files and activity log.
.PP
An argument that begins with \- and is not an option of its command is a usage error, reported
before anything is read or written.
.B \-\-
ends the options, so that a path may begin with \-.
.PP
Commands that write music files take
.BR \-\-dry\-run :
the same work is done, every check against the disk included, but nothing at all is written
(no music file, settings, learned data or log); the plan goes to stdout as CSV with the header
"File","Change","Field","Old","New" and one line per rename, changed tag field or skipped file,
or with
.B \-\-format json
as one JSON object per line.
.PP
When stderr is a terminal, list, fix and edit show one updating progress line there;
.B \-\-quiet
drops it and the status line.
.SH OPTIONS
.TP
\fB\-\-yes\fR, \fB\-\-no\fR
answer every question of the program with Yes or No (without either, questions are answered No)
.TP
\fB\-h\fR, \fB\-\-help\fR
show the program's help
.TP
\fB\-\-version\fR
show the program's version
.SH COMMANDS
)";

const char Tail[] = R"(.SH EXIT STATUS
.TP
.B 0
success (a plan with nothing to change included)
.TP
.B 1
failure: a file could not be written or an input could not be read (the activity log names
each file); for a plan without changes, a file the run would have to skip
.TP
.B 2
usage error: nothing was read or written
.TP
.B 3
\fB\-\-dry\-run\fR: the plan holds a change
.SH ENVIRONMENT
.TP
.B XDG_CONFIG_HOME
the settings, in Tessaly/Varnholm/settings.json
.TP
.B XDG_DATA_HOME
the data folder with the genre list, the artist exceptions and the learned genres
.TP
.B XDG_STATE_HOME
the activity log Quenlor.log
)";

} // namespace

QString ManPage(const std::vector<std::unique_ptr<TCliCommand>>& commands) {
    QString page = QStringLiteral(".TH QUENLOR\\-CLI 1 \"\" \"Varnholm %1\" \"User Commands\"\n")
                       .arg(Roff(VersionText()));
    page += QString::fromUtf8(Head);
    for (const auto& command : commands) {
        const TCommandSyntax& syntax = command->Syntax();
        for (const QString& arguments : syntax.Arguments)
            page += QStringLiteral(".SS \"") + Roff(syntax.Name + u' ' + arguments) +
                    QStringLiteral("\"\n");
        page += Roff(syntax.Summary) + u'\n';
        if (!syntax.Description.isEmpty())
            page += QStringLiteral(".PP\n") + Roff(syntax.Description.trimmed()) + u'\n';
        for (const QCommandLineOption& option : syntax.Options)
            page += QStringLiteral(".TP\n") + OptionNames(option) + u'\n' +
                    Roff(option.description()) + u'\n';
    }
    return page + QString::fromUtf8(Tail);
}
