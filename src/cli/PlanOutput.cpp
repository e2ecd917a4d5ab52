#include "cli/PlanOutput.h"

#include "export/CsvFormat.h"
#include "fixing/FilePlan.h"

#include <QJsonArray>
#include <QJsonDocument>

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

QString CsvLine(QStringList fields) {
    // Values a script reads back may hold quotes: they are doubled, so that any CSV reader
    // gets them right.
    for (QString& field : fields)
        field.replace(u'"', QStringLiteral("\"\""));
    return CsvFormat::Line(fields);
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

bool Write(const QString& text, std::FILE* out) {
    const QByteArray bytes = text.toUtf8();
    return std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), out) ==
           std::size_t(bytes.size());
}

} // namespace

bool PrintPlan(const TFilePlan& plan, TPlanFormat format, std::FILE* out) {
    if (format == TPlanFormat::Csv && !Write(CsvLine(Keys), out))
        return false;
    for (const TPlannedChange& change : plan.Changes()) {
        const QStringList fields = {change.File, KindName(change.Change), change.Field, change.Old,
                                    change.New};
        if (!Write(format == TPlanFormat::Csv ? CsvLine(fields) : JsonLine(fields), out))
            return false;
    }
    return std::fflush(out) == 0;
}
