#include "cli/PlanOutput.h"

#include "fixing/FilePlan.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <array>

namespace {

const QStringList Keys = {QStringLiteral("File"), QStringLiteral("Change"), QStringLiteral("Field"),
                          QStringLiteral("Old"), QStringLiteral("New")};

QString KindName(TPlannedChange::Kind kind) {
    switch (kind) {
    case TPlannedChange::Kind::Rename:
        return QStringLiteral("Rename");
    case TPlannedChange::Kind::Tag:
        return QStringLiteral("Tag");
    case TPlannedChange::Kind::Skip:
        return QStringLiteral("Skip");
    }
    return {};
}

// Values a script reads back may hold quotes: they are doubled, so that any CSV reader gets
// them right. Every field in double quotes, joined by commas, the line ended by CR LF.
void AppendCsvLine(QString& text, const std::array<QStringView, 5>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            text += u',';
        text += u'"';
        QStringView rest = fields[i];
        for (qsizetype quote = rest.indexOf(u'"'); quote >= 0; quote = rest.indexOf(u'"')) {
            text += rest.first(quote + 1);
            text += u'"';
            rest = rest.sliced(quote + 1);
        }
        text += rest;
        text += u'"';
    }
    text += QLatin1StringView("\r\n");
}

QString JsonString(const QString& text) {
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

QString JsonLine(const QStringList& fields) {
    QString line = QStringLiteral("{");
    for (qsizetype i = 0; i < Keys.size(); ++i)
        line += (i ? QStringLiteral(",") : QString()) + JsonString(Keys[i]) + u':' +
                JsonString(fields[i]);
    return line + QStringLiteral("}\n");
}

// Writes the text gathered and empties it for the next lines.
bool Write(QString& text, std::FILE* out) {
    const QByteArray bytes = text.toUtf8();
    text.resize(0);
    return std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), out) ==
           std::size_t(bytes.size());
}

} // namespace

bool PrintPlan(const TFilePlan& plan, TPlanFormat format, std::FILE* out) {
    // The lines go out in blocks: the plan of a large library has hundreds of thousands.
    constexpr qsizetype BlockSize = 32 * 1024;
    QString text;
    text.reserve(BlockSize + 1024);
    if (format == TPlanFormat::Csv)
        AppendCsvLine(text, {Keys[0], Keys[1], Keys[2], Keys[3], Keys[4]});
    for (const TPlannedChange& change : plan.Changes()) {
        const QString kind = KindName(change.Change);
        if (format == TPlanFormat::Csv)
            AppendCsvLine(text, {change.File, kind, change.Field, change.Old, change.New});
        else
            text += JsonLine({change.File, kind, change.Field, change.Old, change.New});
        if (text.size() >= BlockSize && !Write(text, out))
            return false;
    }
    return Write(text, out) && std::fflush(out) == 0;
}
