#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// One entry of a flat data file: the first field of a line and the optional second one.
struct TFlatFileData {
    QString Value;     // never empty
    QString ValueData; // may be empty
    bool operator==(const TFlatFileData&) const = default;
};

// A tab-separated data file (".def") loaded into an ordered table of entries. Lines beginning
// with "#" are comments, a "#" in the second field starts a comment, empty fields are dropped,
// nothing is trimmed. Duplicates stay; every lookup returns the first match in file order and
// compares case-sensitively, except IndexOfValue.
class TKelmFlatFile {
public:
    const QString& FileName() const { return FFileName; }
    void SetFileName(const QString& fileName) { FFileName = fileName; }
    const QString& Separator() const { return FSeparator; }
    void SetSeparator(const QString& separator) { FSeparator = separator; }
    QChar Wildcard() const { return FWildcard; }
    void SetWildcard(QChar wildcard) { FWildcard = wildcard; }

    // Empties the table, then reads FileName when it exists. A missing file leaves the table
    // empty; a file that exists but cannot be read throws TError with the table left empty.
    void Initialize();

    // The Value of every entry, in file order.
    const QStringList& Values() const { return FValues; }
    // The position of a text in Values, compared without regard to case; -1 when absent.
    int IndexOfValue(const QString& value) const;
    bool ContainsValue(const QString& value) const { return IndexOfValue(value) >= 0; }

    const std::vector<TFlatFileData>& Entries() const { return FEntries; }
    int Count() const { return static_cast<int>(FEntries.size()); }

    // The ValueData of the first entry whose Value is AValue; empty when there is none.
    QString GetValueData(const QString& AValue) const;
    // The Value of the first entry whose ValueData equals AValueData, else of the first whose
    // ValueData contains it; empty when there is none.
    QString GetValue(const QString& AValueData) const;
    // Zero-based; empty outside the table.
    QString GetValueByIndex(int index) const;
    QString GetValueDataByIndex(int index) const;
    // The ValueData of the first entry whose Value has AValue's length and agrees with it at
    // every position, the Wildcard character in the stored Value matching any character.
    QString GetValueDataWildcard(const QString& AValue) const;

    // Treat the argument as a regular expression (case ignored unless caseSensitive) and
    // collect into SearchResults the ValueData of every entry whose Value matches
    // (SearchValueData: the Value of every entry whose ValueData matches). An empty or
    // invalid pattern, or an empty table, gives 0 and no results.
    int SearchValue(const QString& AValue, bool caseSensitive);
    int SearchValueData(const QString& AValueData, bool caseSensitive);
    const QStringList& SearchResults() const { return FSearchResults; }

    // Adds an entry in memory only. An empty AValue gives false. An existing entry with that
    // Value is overwritten only when allowOverride (true), else false; otherwise the entry is
    // appended and true returned.
    bool AddVolatileData(const QString& AValue, const QString& AValueData, bool allowOverride);

    // Writes the table to FileName, one "Value<separator>ValueData" line per entry, as UTF-8
    // with CR LF, replacing the file in one step. Nothing is written when FileName is empty or
    // the table is; returns true only when the file was written.
    bool Persist() const;

private:
    enum class Field { Value, ValueData };
    int Search(const QString& pattern, bool caseSensitive, Field matched);
    void Clear();
    void AddLine(const QString& line);

    QString FFileName;
    QString FSeparator = QStringLiteral("\t");
    QChar FWildcard = u'*';
    std::vector<TFlatFileData> FEntries;
    QStringList FValues;
    QStringList FSearchResults;
};
