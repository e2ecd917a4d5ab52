#pragma once

#include <QString>

// A file name pattern with the wildcards "*" (any run of characters) and "?" (one character),
// matched without regard to letter case. Every other character, "[" included, stands for itself.
// "*.*" matches every name, with or without a dot, as users of the pattern expect it to.
class TFileNamePattern {
public:
    explicit TFileNamePattern(const QString& pattern);
    bool Matches(const QString& name) const;
    const QString& Text() const { return FText; }

private:
    QString FText;
    QString FFolded;
    bool FMatchesAll = false;
};

// Case folding one UTF-16 unit at a time, so that lengths never change.
QString FoldFileNameCase(const QString& text);
