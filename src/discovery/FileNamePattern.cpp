#include "discovery/FileNamePattern.h"

QString FoldFileNameCase(const QString& text) {
    QString folded(text.size(), Qt::Uninitialized);
    QChar* out = folded.data();
    for (QChar c : text)
        *out++ = c.toCaseFolded();
    return folded;
}

TFileNamePattern::TFileNamePattern(const QString& pattern)
    : FText(pattern), FFolded(FoldFileNameCase(pattern)),
      FMatchesAll(pattern == QLatin1String("*.*") || pattern == QLatin1String("*")) {}

bool TFileNamePattern::Matches(const QString& name) const {
    if (FMatchesAll)
        return true;
    // Greedy match that backtracks to the last "*" only: linear in practice, never exponential.
    const QChar* p = FFolded.constData();
    const qsizetype pn = FFolded.size();
    qsizetype pi = 0, ni = 0;
    qsizetype starP = -1, starN = 0;
    const qsizetype nn = name.size();
    while (ni < nn) {
        if (pi < pn && p[pi] == u'*') {
            starP = pi++;
            starN = ni;
        } else if (pi < pn && (p[pi] == u'?' || p[pi] == name[ni].toCaseFolded())) {
            ++pi;
            ++ni;
        } else if (starP >= 0) {
            pi = starP + 1;
            ni = ++starN;
        } else {
            return false;
        }
    }
    while (pi < pn && p[pi] == u'*')
        ++pi;
    return pi == pn;
}
