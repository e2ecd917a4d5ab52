#include "refdata/BreakApart.h"

#include <algorithm>

namespace {

const QChar Quote = u'"';

bool LettersOnly(const QString& text) {
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c.isLetter(); });
}

} // namespace

Qt::CaseSensitivity TKelmBreakApart::SeparatorCase() const {
    return !CaseSensitive && LettersOnly(BreakString) ? Qt::CaseInsensitive : Qt::CaseSensitive;
}

void TKelmBreakApart::AddPiece(const QString& piece) {
    if (AllowEmptyString || !piece.isEmpty())
        Pieces.append(piece);
}

void TKelmBreakApart::BreakApart() {
    Pieces.clear();
    if (BreakString.isEmpty()) {
        AddPiece(BaseString);
        return;
    }
    const Qt::CaseSensitivity cs = SeparatorCase();
    if (DoubleQuoteMode) {
        BreakApartQuoted(cs);
        return;
    }
    qsizetype start = 0;
    for (;;) {
        const qsizetype found = BaseString.indexOf(BreakString, start, cs);
        if (found < 0)
            break;
        AddPiece(BaseString.mid(start, found - start));
        start = found + BreakString.size();
    }
    AddPiece(BaseString.mid(start));
}

void TKelmBreakApart::BreakApartQuoted(Qt::CaseSensitivity cs) {
    QString piece;
    bool quoted = false;
    const qsizetype n = BaseString.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = BaseString[i];
        if (c == Quote) {
            if (quoted && i + 1 < n && BaseString[i + 1] == Quote) {
                piece.append(Quote);
                i += 2;
            } else {
                quoted = !quoted;
                ++i;
            }
        } else if (!quoted && QStringView(BaseString).mid(i).startsWith(BreakString, cs)) {
            AddPiece(piece);
            piece.clear();
            i += BreakString.size();
        } else {
            piece.append(c);
            ++i;
        }
    }
    // An unclosed quote runs to the end of the string.
    AddPiece(piece);
}

void TKelmBreakApart::ReverseBreakApart() {
    const Qt::CaseSensitivity cs = SeparatorCase();
    QString joined;
    bool first = true;
    for (const QString& piece : std::as_const(Pieces)) {
        if (piece.isEmpty() && !AllowEmptyString)
            continue;
        if (!first)
            joined += BreakString;
        first = false;
        if (DoubleQuoteMode && (piece.contains(Quote) ||
                                (!BreakString.isEmpty() && piece.contains(BreakString, cs)))) {
            QString escaped = piece;
            escaped.replace(Quote, QStringLiteral("\"\""));
            joined += Quote + escaped + Quote;
        } else {
            joined += piece;
        }
    }
    BaseString = joined;
}

QStringList TKelmBreakApart::Split(const QString& text, const QString& separator,
                                   bool allowEmptyString) {
    TKelmBreakApart splitter;
    splitter.BaseString = text;
    splitter.BreakString = separator;
    splitter.AllowEmptyString = allowEmptyString;
    splitter.BreakApart();
    return splitter.Pieces;
}

QString TKelmBreakApart::Join(const QStringList& pieces, const QString& separator,
                              bool allowEmptyString) {
    TKelmBreakApart joiner;
    joiner.Pieces = pieces;
    joiner.BreakString = separator;
    joiner.AllowEmptyString = allowEmptyString;
    joiner.ReverseBreakApart();
    return joiner.BaseString;
}
