#include "testsupport/TestWebServer.h"

#include <QDir>
#include <QFile>

namespace {

bool RunOpenSsl(const QString& folder, const QStringList& arguments) {
    QProcess openssl;
    openssl.setWorkingDirectory(folder);
    openssl.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    openssl.start(QStringLiteral("openssl"), arguments);
    return openssl.waitForFinished(30000) && openssl.exitStatus() == QProcess::NormalExit &&
           openssl.exitCode() == 0;
}

} // namespace

TestWebServer::TestWebServer(const QString& folder, Kind kind) : FFolder(folder), FKind(kind) {
    QDir().mkpath(Root());
    QStringList arguments = {QStringLiteral(VARNHOLM_TEST_WEB_SERVER), QStringLiteral("--root"),
                             Root(), QStringLiteral("--log"),
                             FFolder + QStringLiteral("/requests.log")};
    if (kind == Kind::Tls) {
        if (!MakeCertificates())
            return;
        arguments << QStringLiteral("--cert") << FFolder + QStringLiteral("/server.pem")
                  << QStringLiteral("--key") << FFolder + QStringLiteral("/server.key");
    }
    FProcess = std::make_unique<QProcess>();
    FProcess->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    FProcess->start(QStringLiteral("python3"), arguments);
    if (!FProcess->waitForStarted(10000))
        return;
    while (!FProcess->canReadLine() && FProcess->waitForReadyRead(10000)) {
    }
    FPort = FProcess->readLine().trimmed().toInt();
}

TestWebServer::~TestWebServer() {
    if (FProcess) {
        FProcess->kill();
        FProcess->waitForFinished(5000);
    }
}

QString TestWebServer::Url(const QString& path) const {
    const QString scheme = FKind == Kind::Tls ? QStringLiteral("https") : QStringLiteral("http");
    return scheme + QStringLiteral("://127.0.0.1:") + QString::number(FPort) + path;
}

void TestWebServer::Serve(const QString& name, const QByteArray& bytes) const {
    QFile file(Root() + u'/' + name);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

QStringList TestWebServer::Requests() const {
    QFile file(FFolder + QStringLiteral("/requests.log"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

bool TestWebServer::MakeCertificates() const {
    const QString ec = QStringLiteral("ec");
    const QStringList curve = {QStringLiteral("-pkeyopt"),
                               QStringLiteral("ec_paramgen_curve:prime256v1")};
    QFile ext(FFolder + QStringLiteral("/server.ext"));
    if (!ext.open(QIODevice::WriteOnly))
        return false;
    ext.write("subjectAltName=IP:127.0.0.1\nbasicConstraints=CA:FALSE\n");
    ext.close();
    return RunOpenSsl(FFolder, QStringList{QStringLiteral("req"), QStringLiteral("-x509"),
                                           QStringLiteral("-newkey"), ec} +
                                   curve +
                                   QStringList{QStringLiteral("-nodes"), QStringLiteral("-keyout"),
                                               QStringLiteral("ca.key"), QStringLiteral("-out"),
                                               QStringLiteral("ca.pem"), QStringLiteral("-days"),
                                               QStringLiteral("2"), QStringLiteral("-subj"),
                                               QStringLiteral("/CN=Varnholm Test CA")}) &&
           RunOpenSsl(FFolder,
                      QStringList{QStringLiteral("req"), QStringLiteral("-newkey"), ec} + curve +
                          QStringList{QStringLiteral("-nodes"), QStringLiteral("-keyout"),
                                      QStringLiteral("server.key"), QStringLiteral("-out"),
                                      QStringLiteral("server.csr"), QStringLiteral("-subj"),
                                      QStringLiteral("/CN=127.0.0.1")}) &&
           RunOpenSsl(FFolder,
                      {QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"),
                       QStringLiteral("server.csr"), QStringLiteral("-CA"),
                       QStringLiteral("ca.pem"), QStringLiteral("-CAkey"), QStringLiteral("ca.key"),
                       QStringLiteral("-CAcreateserial"), QStringLiteral("-days"),
                       QStringLiteral("2"), QStringLiteral("-extfile"),
                       QStringLiteral("server.ext"), QStringLiteral("-out"),
                       QStringLiteral("server.pem")});
}
