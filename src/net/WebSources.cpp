#include "net/WebSources.h"

#include <QDir>
#include <QUrl>

namespace {

const QString IeeeRegistrationAuthority = QStringLiteral("regauth.standards.ieee.org");

QString TextAfterLast(const QString& text, QChar separator) {
    return text.mid(text.lastIndexOf(separator) + 1);
}

} // namespace

bool IsUNCPath(const QString& source) {
    return source.startsWith(QStringLiteral("\\\\"));
}

bool IsURL(const QString& source) {
    if (IsUNCPath(source))
        return false;
    const QUrl url(source, QUrl::StrictMode);
    return url.isValid() && !url.isRelative() && !url.scheme().isEmpty();
}

bool IsHTTPSURL(const QString& source) {
    return source.toLower().startsWith(QStringLiteral("https"));
}

bool IsFileSource(const QString& source) {
    if (IsUNCPath(source) || (source.startsWith(u'/') && QDir::isAbsolutePath(source)))
        return true;
    const QUrl url(source, QUrl::StrictMode);
    return url.isValid() && url.isLocalFile();
}

QString FileSourcePath(const QString& source) {
    if (IsUNCPath(source) || source.startsWith(u'/'))
        return source;
    return QUrl(source, QUrl::StrictMode).toLocalFile();
}

QString InvalidSourceMessage(const QString& source) {
    return u'"' + source + QStringLiteral("\" is an invalid source.");
}

QString GetFileNameFromSource(const QString& source, QString& error) {
    error.clear();
    if (IsURL(source)) {
        if (!source.contains(u'?'))
            return TextAfterLast(source, u'/');
        const QString registry = QStringLiteral("?registry=");
        const qsizetype at = source.indexOf(registry);
        if (source.contains(IeeeRegistrationAuthority, Qt::CaseInsensitive) && at >= 0) {
            const QString rest = source.mid(at + registry.size());
            if (source.contains(QStringLiteral("&format=txt")))
                return rest.left(rest.indexOf(u'&')) + QStringLiteral(".txt");
            return rest + QStringLiteral(".csv");
        }
    } else if (IsUNCPath(source)) {
        return TextAfterLast(source, u'\\');
    }
    error = InvalidSourceMessage(source);
    return {};
}

bool IsPlainFileName(const QString& name) {
    return !name.isEmpty() && name != QStringLiteral(".") && name != QStringLiteral("..") &&
           !name.contains(u'/') && !name.contains(u'\\') && !name.contains(QChar(0));
}
