#include "net/SystemProxy.h"

#include <QStringList>

namespace {

const QStringList KnownSchemes = {QStringLiteral("http"), QStringLiteral("https"),
                                  QStringLiteral("ftp"), QStringLiteral("socks")};

// Tools disagree on the case of these names; the lower-case spelling is the common one and wins.
QString Variable(const QProcessEnvironment& env, const QString& lowerName) {
    const QString lower = env.value(lowerName).trimmed();
    if (!lower.isEmpty())
        return lower;
    return env.value(lowerName.toUpper()).trimmed();
}

QString NormalisedScheme(const QString& scheme) {
    const QString lower = scheme.toLower();
    return KnownSchemes.contains(lower) ? lower : QStringLiteral("http");
}

} // namespace

QString ProxyHostAndPort(const QString& variableValue) {
    QString s = variableValue.trimmed();
    const qsizetype schemeEnd = s.indexOf(QStringLiteral("://"));
    if (schemeEnd >= 0)
        s = s.mid(schemeEnd + 3);
    const qsizetype pathStart = s.indexOf(u'/');
    if (pathStart >= 0)
        s.truncate(pathStart);
    // Credentials are dropped: the program's HTTP client does no proxy authentication.
    const qsizetype at = s.lastIndexOf(u'@');
    if (at >= 0)
        s = s.mid(at + 1);
    return s;
}

std::optional<TSystemProxySettings> GetSystemProxySettings(const QProcessEnvironment& env) {
    TSystemProxySettings settings;
    const QString all = ProxyHostAndPort(Variable(env, QStringLiteral("all_proxy")));
    QStringList items;
    bool everyItemIsAll = true;
    for (const QString& scheme : KnownSchemes) {
        QString server;
        if (scheme != QStringLiteral("socks"))
            server = ProxyHostAndPort(Variable(env, scheme + QStringLiteral("_proxy")));
        if (server.isEmpty())
            server = all;
        else if (server != all)
            everyItemIsAll = false;
        if (!server.isEmpty())
            items.append(scheme + u'=' + server);
    }
    // A single proxy for every scheme is written the short way, as the platform itself does.
    settings.ProxyServer = everyItemIsAll ? all : items.join(u';');
    settings.ProxyServerUsed = !settings.ProxyServer.isEmpty();
    QStringList bypass = Variable(env, QStringLiteral("no_proxy")).split(u',', Qt::SkipEmptyParts);
    for (QString& host : bypass)
        host = host.trimmed();
    bypass.removeAll(QString());
    settings.BypassList = bypass.join(u';');
    return settings;
}

void SplitProxyServer(const QString& proxyServer, const QString& scheme, QString& address,
                      int& port) {
    address.clear();
    port = 80;
    QString s = proxyServer;
    const QString prefix = NormalisedScheme(scheme) + u'=';
    const qsizetype found = s.indexOf(prefix);
    if (found >= 0) {
        s = s.mid(found + prefix.size());
        const qsizetype space = s.indexOf(u' ');
        if (space >= 0)
            s.truncate(space);
        else if (const qsizetype semicolon = s.indexOf(u';'); semicolon >= 0)
            s.truncate(semicolon);
    }
    // A bracketed IPv6 address holds colons of its own; the port follows the bracket.
    qsizetype colon = s.indexOf(u':');
    if (s.startsWith(u'[')) {
        const qsizetype close = s.indexOf(u']');
        colon = close < 0 ? -1 : s.indexOf(u':', close);
    }
    if (colon < 0) {
        address = s;
        return;
    }
    address = s.left(colon);
    bool ok = false;
    const int number = s.mid(colon + 1).toInt(&ok, 10);
    port = ok ? number : 0;
}

std::optional<TSystemProxy> GetSystemProxy(const QString& scheme, const QProcessEnvironment& env) {
    const std::optional<TSystemProxySettings> settings = GetSystemProxySettings(env);
    if (!settings)
        return std::nullopt;
    TSystemProxy proxy;
    proxy.UseProxy = settings->ProxyServerUsed;
    SplitProxyServer(settings->ProxyServer, scheme, proxy.Address, proxy.Port);
    return proxy;
}
