#include "net/HttpClient.h"
#include "testsupport/TempDir.h"
#include "testsupport/TestWebServer.h"

#include <QBuffer>
#include <gtest/gtest.h>

namespace {

QByteArray Bytes(int size) {
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>('a' + i % 26);
    return bytes;
}

class HttpClientTest : public testing::Test {
protected:
    void SetUp() override {
        qunsetenv("VARNHOLM_TEST_CA_FILE");
        ASSERT_TRUE(Server.Running());
        Server.Serve("data.def", Body);
    }
    // Runs a GET of a path into Received; the client keeps its settings between calls.
    bool Get(const QString& path) {
        Received.clear();
        QBuffer buffer(&Received);
        buffer.open(QIODevice::WriteOnly);
        Client.URL = Server.Url(path);
        Client.RcvdStream = &buffer;
        const bool ok = Client.Get();
        Client.RcvdStream = nullptr;
        return ok;
    }

    TempDir Dir;
    TestWebServer Server{Dir.Path()};
    THttpClient Client{THttpClientRole::DataUpdatePlain};
    QByteArray Body = Bytes(5000);
    QByteArray Received;
};

TEST_F(HttpClientTest, GetWritesTheBodyAndReportsWhatArrived) {
    std::vector<qint64> counts;
    int waits = 0;
    Client.OnDocData = [&](qint64 n) { counts.push_back(n); };
    Client.OnWait = [&] { ++waits; };
    ASSERT_TRUE(Get("/slow/data.def")); // five pieces with a pause after each
    EXPECT_EQ(Received, Body);
    EXPECT_EQ(Client.StatusCode(), 200);
    EXPECT_EQ(Client.ReasonPhrase(), "OK");
    EXPECT_GT(counts.size(), 1u);
    EXPECT_EQ(Client.RcvdCount(), Body.size());
    ASSERT_FALSE(counts.empty());
    EXPECT_EQ(counts.back(), Body.size());
    EXPECT_TRUE(std::is_sorted(counts.begin(), counts.end()));
    EXPECT_GT(waits, 0) << "the caller's event loop must run while a request waits";
}

TEST_F(HttpClientTest, HeadGivesTheContentLengthOrMinusOne) {
    Client.URL = Server.Url("/files/data.def");
    ASSERT_TRUE(Client.Head());
    EXPECT_EQ(Client.ContentLength(), Body.size());
    EXPECT_EQ(Client.RcvdCount(), 0);
    Client.URL = Server.Url("/nolength/data.def");
    ASSERT_TRUE(Client.Head());
    EXPECT_EQ(Client.ContentLength(), -1);
    ASSERT_TRUE(Get("/nolength/data.def"));
    EXPECT_EQ(Received, Body);
}

struct FailureCase {
    const char* Name;
    const char* Path;
    int Status;
    const char* Reason;
};
void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.Name;
}

class HttpFailure : public HttpClientTest, public testing::WithParamInterface<FailureCase> {};

TEST_P(HttpFailure, FailsWithStatusAndReasonAndWritesNothing) {
    const FailureCase& c = GetParam();
    Client.TimeoutSeconds = 1;
    Client.MaxBodySize = 4096;
    EXPECT_FALSE(Get(c.Path));
    EXPECT_EQ(Client.StatusCode(), c.Status);
    EXPECT_EQ(Client.ReasonPhrase(), c.Reason);
    if (c.Status != 0) {
        EXPECT_TRUE(Received.isEmpty()) << "an error page is not a document";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, HttpFailure,
    testing::Values(
        FailureCase{"NotFound", "/status/404", 404, "Not Found"},
        FailureCase{"ServerError", "/status/503", 503, "Service Unavailable"},
        FailureCase{"MissingFile", "/files/none.def", 404, "Not Found"},
        FailureCase{"SixRedirections", "/redirect/6/data.def", 0, "Too many redirections"},
        FailureCase{"Stalled", "/stall", 0, "Timed out"},
        FailureCase{"TooLargeWithLength", "/files/data.def", 0, "Response too large"},
        FailureCase{"TooLargeWithoutLength", "/nolength/data.def", 0, "Response too large"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(HttpClientTest, FiveRedirectionsAreFollowed) {
    ASSERT_TRUE(Get("/redirect/5/data.def")) << Client.ReasonPhrase().toStdString();
    EXPECT_EQ(Received, Body);
    EXPECT_EQ(Client.StatusCode(), 200);
}

TEST_F(HttpClientTest, AbortStopsATransferInTheMiddle) {
    Server.Serve("big.def", Bytes(200 * 1024)); // 200 pieces with a pause after each
    Client.OnDocData = [&](qint64) { Client.Abort(); };
    EXPECT_FALSE(Get("/slow/big.def"));
    EXPECT_TRUE(Client.Aborted());
    EXPECT_EQ(Client.StatusCode(), 0);
    EXPECT_EQ(Client.ReasonPhrase(), "Aborted");
    EXPECT_LT(Received.size(), 200 * 1024);
    // The client is usable again afterwards.
    Client.OnDocData = nullptr;
    EXPECT_TRUE(Get("/files/data.def"));
}

TEST_F(HttpClientTest, RequestsGoThroughTheProxyWhenOneIsSet) {
    Client.Proxy = "127.0.0.1";
    Client.ProxyPort = QString::number(Server.Port());
    Received.clear();
    QBuffer buffer(&Received);
    buffer.open(QIODevice::WriteOnly);
    Client.RcvdStream = &buffer;
    Client.URL = "http://data.varnholm.invalid/files/data.def";
    ASSERT_TRUE(Client.Get()) << Client.ReasonPhrase().toStdString();
    EXPECT_EQ(Received, Body);
    ASSERT_FALSE(Server.Requests().isEmpty());
    EXPECT_TRUE(Server.Requests().last().startsWith("GET\thttp://data.varnholm.invalid/files/"));
    // Without the proxy the made-up host cannot be reached.
    Client.Proxy.clear();
    EXPECT_FALSE(Client.Get());
    EXPECT_EQ(Client.StatusCode(), 0);
}

TEST_F(HttpClientTest, EachRoleSendsItsHeaders) {
    ASSERT_TRUE(Get("/files/data.def"));
    THttpClient app(THttpClientRole::AppUpdatePlain);
    app.URL = Server.Url("/files/data.def");
    ASSERT_TRUE(app.Head());
    const QStringList requests = Server.Requests();
    ASSERT_EQ(requests.size(), 2);
    EXPECT_EQ(requests[0], "GET\t/files/data.def\tMozilla/4.0 (compatible; ICS)\t*/*\tno-cache");
    EXPECT_EQ(requests[1], "HEAD\t/files/data.def\tMozilla/4.0 (compatible; ICS)\timage/gif, "
                           "image/x-xbitmap, image/jpeg, image/pjpeg, */*\tno-cache");
}

class HttpsClientTest : public testing::Test {
protected:
    void SetUp() override {
        qunsetenv("VARNHOLM_TEST_CA_FILE");
        ASSERT_TRUE(Server.Running());
        Server.Serve("data.def", "Rock\t1\r\n");
        Client.URL = Server.Url("/files/data.def");
        buffer.open(QIODevice::WriteOnly);
        Client.RcvdStream = &buffer;
    }
    TempDir Dir;
    TestWebServer Server{Dir.Path(), TestWebServer::Kind::Tls};
    THttpClient Client{THttpClientRole::AppUpdateTls};
    QByteArray Received;
    QBuffer buffer{&Received};
};

TEST_F(HttpsClientTest, AServerSignedByATrustedAuthorityAnswers) {
    Client.CAFile = Server.CAFile();
    ASSERT_TRUE(Client.Get()) << Client.ReasonPhrase().toStdString();
    EXPECT_EQ(Received, "Rock\t1\r\n");
    EXPECT_EQ(Server.Requests().last(), "GET\t/files/data.def\tMozilla/4.0\timage/gif, "
                                        "image/x-xbitmap, image/jpeg, image/pjpeg, */*\t-");
}

TEST_F(HttpsClientTest, TheTestAuthorityCanComeFromTheEnvironment) {
    qputenv("VARNHOLM_TEST_CA_FILE", Server.CAFile().toLocal8Bit());
    EXPECT_TRUE(Client.Get()) << Client.ReasonPhrase().toStdString();
    qunsetenv("VARNHOLM_TEST_CA_FILE");
}

TEST_F(HttpsClientTest, AnUntrustedCertificateFailsWithAClearReason) {
    EXPECT_FALSE(Client.Get());
    EXPECT_EQ(Client.StatusCode(), 0);
    EXPECT_TRUE(Client.ReasonPhrase().startsWith("Certificate not trusted"))
        << Client.ReasonPhrase().toStdString();
    EXPECT_TRUE(Received.isEmpty());
    EXPECT_TRUE(Server.Requests().isEmpty()) << "no request may leave before the server is trusted";
}

} // namespace
