#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <memory>

// A real HTTP or HTTPS server on 127.0.0.1 for one test (web_test_server.py beside this file;
// its docstring lists the paths it answers). It serves the files of Root() and logs every
// request. Stopped when the object goes.
class TestWebServer {
public:
    enum class Kind { Plain, Tls };
    // For Tls, the certificate authority and the server certificate are made on the spot with
    // the openssl tool; CAFile() names the authority's certificate.
    TestWebServer(const QString& folder, Kind kind = Kind::Plain);
    ~TestWebServer();

    bool Running() const { return FPort > 0; }
    int Port() const { return FPort; }
    // "http://127.0.0.1:PORT" or "https://127.0.0.1:PORT", followed by path.
    QString Url(const QString& path) const;
    QString Root() const { return FFolder + QStringLiteral("/root"); }
    void Serve(const QString& name, const QByteArray& bytes) const;
    QString CAFile() const { return FFolder + QStringLiteral("/ca.pem"); }
    // One line per request: METHOD, target, User-Agent, Accept and Pragma separated by tabs.
    QStringList Requests() const;

private:
    bool MakeCertificates() const;

    QString FFolder;
    Kind FKind;
    std::unique_ptr<QProcess> FProcess;
    int FPort = 0;
};
