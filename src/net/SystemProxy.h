#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <optional>

// The proxy setting of the user's session. A Linux desktop has no per-connection proxy options;
// the conventional proxy environment variables are mapped onto the same shape.
struct TSystemProxySettings {
    QString AutoConfigURL; // a proxy auto-configuration script; never set from the environment
    bool DirectConnectionAllowed = true;
    bool ProxyServerUsed = false;
    bool AutoConfigScriptUsed = false;
    bool AutoDetect = false;
    QString BypassList; // hosts that skip the proxy, separated by ";"
    // One «host:port» for every scheme, or «scheme=host:port» items separated by ";".
    QString ProxyServer;
};

// What GetSystemProxy answers for one scheme.
struct TSystemProxy {
    bool UseProxy = false;
    QString Address;
    int Port = 80;
};

// Reads http_proxy, https_proxy, ftp_proxy, all_proxy and no_proxy (lower case wins over upper
// case). Reading the environment cannot fail, but the result stays optional so that callers
// keep the "query failed" path of platforms where it can.
std::optional<TSystemProxySettings>
GetSystemProxySettings(const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment());

// The proxy for a scheme ("http", "https", "ftp" or "socks"; anything else counts as "http").
std::optional<TSystemProxy>
GetSystemProxy(const QString& scheme,
               const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment());

// Picks the scheme's entry out of a proxy-server string and splits it into address and port
// (port 80 when none is named, 0 when the text after the colon is not a number).
void SplitProxyServer(const QString& proxyServer, const QString& scheme, QString& address,
                      int& port);

// The «host[:port]» part of a proxy variable's value such as "http://user:pw@host:3128/".
QString ProxyHostAndPort(const QString& variableValue);
