#pragma once

#include <QString>
#include <QStringList>

// Cuts a string into pieces at a separator, and joins pieces back together. The flat data
// files cut every line with it; the settings store, the file search and the text cleaning
// use it too.
class TKelmBreakApart {
public:
    QString BaseString;            // the string to cut, or the result of joining
    QString BreakString;           // the separator
    bool AllowEmptyString = false; // keep empty pieces
    // When false and the separator consists of letters only, the separator is found without
    // regard to case; any other separator is always found exactly.
    bool CaseSensitive = false;
    // Double quotes group text: a separator between quotes does not cut, the quotes around a
    // piece are dropped and a doubled quote inside them stands for one quote. Joining quotes
    // the pieces that need it, so joining and cutting again give the same pieces.
    bool DoubleQuoteMode = false;
    QStringList Pieces;

    // Fills Pieces from BaseString.
    void BreakApart();
    // Sets BaseString to Pieces joined with BreakString.
    void ReverseBreakApart();

    // One-call forms of the two operations with the default settings otherwise.
    static QStringList Split(const QString& text, const QString& separator,
                             bool allowEmptyString = false);
    static QString Join(const QStringList& pieces, const QString& separator,
                        bool allowEmptyString = false);

private:
    Qt::CaseSensitivity SeparatorCase() const;
    void AddPiece(const QString& piece);
    void BreakApartQuoted(Qt::CaseSensitivity cs);
};
