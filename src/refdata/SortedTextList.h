#pragma once

#include <QString>
#include <QStringList>

// The order of learned lines: alphabetical without regard to letter case; lines that differ
// only in case keep a fixed order between them.
bool LearnedLineLess(const QString& a, const QString& b);
void SortLearnedLines(QStringList& lines);

// A list of lines kept in that order, where a line equal to one already present, letter case
// ignored, is not added.
class TSortedTextList {
public:
    // Inserts the line in its place; false when an equal line (case ignored) is present.
    bool Add(const QString& line);
    void Clear() { FLines.clear(); }
    // Removes the line at a position of Lines().
    void RemoveAt(qsizetype index) { FLines.removeAt(index); }
    const QStringList& Lines() const { return FLines; }
    qsizetype Count() const { return FLines.size(); }
    bool IsEmpty() const { return FLines.isEmpty(); }

private:
    QStringList FLines;
};
