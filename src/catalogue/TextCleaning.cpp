#include "catalogue/TextCleaning.h"

#include "catalogue/TextHelpers.h"
#include "catalogue/TitleCase.h"

QString CleanMP3Attribute(const QString& AString, const TOptionSet& Options) {
    if (!Options.CleanAttributesDuringReadingProcess) {
        return AString;
    }
    QString s = ReplaceCharacters(AString, u"\u2018\u2019", u'\'');
    s = ReplaceCharacters(s, u"\u2013", u'-');
    s = ReplaceCharacters(s, u"\t\u00A0", u' ');
    s = TrimSpaces(s);
    // A single pass over pairs: three spaces in a row keep two, five keep three.
    s.replace(QStringLiteral("  "), QStringLiteral(" "));
    return s;
}

QString FormatTitle(const QString& AString, const TOptionSet& Options) {
    if (!Options.FormatTitleDuringFixingProcess) {
        return AString;
    }
    QString s = AString;
    s.replace(QChar(u'\u2026'), QStringLiteral("..."));
    // ` ´ ‘ ’ ‚ become an apostrophe, “ ” « » „ a quotation mark.
    s = ReplaceCharacters(s, u"\u0060\u00B4\u2018\u2019\u201A", u'\'');
    s = ReplaceCharacters(s, u"\u201C\u201D\u00AB\u00BB\u201E", u'"');
    // A leading ellipsis must not hide the first word from the capitalisation.
    const QString ellipsis = QStringLiteral("...");
    if (s.startsWith(ellipsis)) {
        return ellipsis + TitleCase(s.mid(ellipsis.size()));
    }
    return TitleCase(s);
}

QString FormatYear(const QString& AString) {
    QString s = AString;
    s.remove(QChar(u' '));
    s.truncate(4);
    return IsDecimalNumber(s) ? s : QString();
}

QString FormatCaption(const QString& AString) {
    return AString.isEmpty() ? QStringLiteral("<Undefined>") : AString;
}
