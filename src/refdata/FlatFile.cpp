#include "refdata/FlatFile.h"

#include "refdata/BreakApart.h"
#include "support/TextFile.h"

#include <QFileInfo>
#include <QRegularExpression>

void TKelmFlatFile::Clear() {
    FEntries.clear();
    FValues.clear();
    FSearchResults.clear();
}

void TKelmFlatFile::Initialize() {
    Clear();
    if (FFileName.isEmpty() || !QFileInfo::exists(FFileName))
        return;
    const QStringList lines = TextFile::SplitLines(TextFile::Read(FFileName));
    for (const QString& line : lines)
        AddLine(line);
}

void TKelmFlatFile::AddLine(const QString& line) {
    // Only the very first character makes a comment: "  # note" is a value.
    if (line.isEmpty() || line.startsWith(u'#'))
        return;
    const QStringList fields = TKelmBreakApart::Split(line, FSeparator);
    if (fields.isEmpty())
        return;
    QString valueData = fields.value(1);
    const qsizetype comment = valueData.indexOf(u'#');
    if (comment >= 0)
        valueData.truncate(comment);
    FEntries.push_back({fields.first(), valueData});
    FValues.append(fields.first());
}

int TKelmFlatFile::IndexOfValue(const QString& value) const {
    for (qsizetype i = 0; i < FValues.size(); ++i)
        if (FValues[i].compare(value, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return -1;
}

QString TKelmFlatFile::GetValueData(const QString& AValue) const {
    for (const TFlatFileData& entry : FEntries)
        if (entry.Value == AValue)
            return entry.ValueData;
    return {};
}

QString TKelmFlatFile::GetValue(const QString& AValueData) const {
    for (const TFlatFileData& entry : FEntries)
        if (entry.ValueData == AValueData)
            return entry.Value;
    for (const TFlatFileData& entry : FEntries)
        if (entry.ValueData.contains(AValueData))
            return entry.Value;
    return {};
}

QString TKelmFlatFile::GetValueByIndex(int index) const {
    return index >= 0 && index < Count() ? FEntries[index].Value : QString();
}

QString TKelmFlatFile::GetValueDataByIndex(int index) const {
    return index >= 0 && index < Count() ? FEntries[index].ValueData : QString();
}

QString TKelmFlatFile::GetValueDataWildcard(const QString& AValue) const {
    for (const TFlatFileData& entry : FEntries) {
        const QString& stored = entry.Value;
        if (stored.size() != AValue.size())
            continue;
        bool agrees = true;
        for (qsizetype i = 0; agrees && i < stored.size(); ++i)
            agrees = stored[i] == FWildcard || stored[i] == AValue[i];
        if (agrees)
            return entry.ValueData;
    }
    return {};
}

int TKelmFlatFile::Search(const QString& pattern, bool caseSensitive, Field matched) {
    FSearchResults.clear();
    if (pattern.isEmpty() || FEntries.empty())
        return 0;
    const QRegularExpression expression(pattern, caseSensitive
                                                     ? QRegularExpression::NoPatternOption
                                                     : QRegularExpression::CaseInsensitiveOption);
    if (!expression.isValid())
        return 0;
    for (const TFlatFileData& entry : FEntries) {
        const bool valueMatched = matched == Field::Value;
        if (expression.match(valueMatched ? entry.Value : entry.ValueData).hasMatch())
            FSearchResults.append(valueMatched ? entry.ValueData : entry.Value);
    }
    return static_cast<int>(FSearchResults.size());
}

int TKelmFlatFile::SearchValue(const QString& AValue, bool caseSensitive) {
    return Search(AValue, caseSensitive, Field::Value);
}

int TKelmFlatFile::SearchValueData(const QString& AValueData, bool caseSensitive) {
    return Search(AValueData, caseSensitive, Field::ValueData);
}

bool TKelmFlatFile::AddVolatileData(const QString& AValue, const QString& AValueData,
                                    bool allowOverride) {
    if (AValue.isEmpty())
        return false;
    for (TFlatFileData& entry : FEntries) {
        if (entry.Value == AValue) {
            if (!allowOverride)
                return false;
            entry.ValueData = AValueData;
            return true;
        }
    }
    FEntries.push_back({AValue, AValueData});
    FValues.append(AValue);
    return true;
}

bool TKelmFlatFile::Persist() const {
    if (FFileName.isEmpty() || FEntries.empty())
        return false;
    QStringList lines;
    lines.reserve(static_cast<qsizetype>(FEntries.size()));
    for (const TFlatFileData& entry : FEntries)
        lines.append(entry.Value + FSeparator + entry.ValueData);
    return TextFile::WriteLines(FFileName, lines);
}
