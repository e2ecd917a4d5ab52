#pragma once

#include <QString>
#include <atomic>
#include <functional>

class QIODevice;

// The four ways the program talks to web servers: the data file update and the application
// update, each with a plain and a TLS client. They differ only in the request headers.
enum class THttpClientRole { DataUpdatePlain, DataUpdateTls, AppUpdatePlain, AppUpdateTls };

// A small synchronous HTTP(S) client. A request runs on a worker thread while the calling
// thread waits in a loop that calls OnWait (the window keeps handling its events there), so a
// Cancel button can call Abort() in the middle of a transfer. The body goes into RcvdStream,
// which the caller must leave alone until the request returns; OnDocData runs on the calling
// thread with the number of body bytes received so far.
//
// Requests are HTTP/1.0 over IPv4, follow at most 5 redirections (http and https only), give up
// when nothing arrives for TimeoutSeconds, and verify the server's certificate against the
// system's trust store. A response with an error status is a failure.
class THttpClient {
public:
    static constexpr int DefaultTimeoutSeconds = 30;
    static constexpr int MaxRedirects = 5;

    explicit THttpClient(THttpClientRole role);
    THttpClient(const THttpClient&) = delete;
    THttpClient& operator=(const THttpClient&) = delete;

    // Picks the TLS or the plain client of a pair for an address.
    static THttpClientRole RoleFor(const QString& url, THttpClientRole plain, THttpClientRole tls);

    QString URL;
    QString Proxy; // empty: a direct connection
    QString ProxyPort = QStringLiteral("80");
    QIODevice* RcvdStream = nullptr; // may be none; the body is then dropped
    qint64 MaxBodySize = -1;         // a larger body fails the request; -1: no limit
    // DefaultTimeoutSeconds, unless the environment variable VARNHOLM_TEST_HTTP_TIMEOUT names
    // another number of seconds (tests make stalled servers give up quickly).
    int TimeoutSeconds;
    // A PEM file of trusted certificate authorities used instead of the system's store. Empty:
    // the environment variable VARNHOLM_TEST_CA_FILE when set (tests serve their own CA),
    // else the system's store.
    QString CAFile;

    std::function<void(qint64 rcvdCount)> OnDocData;
    std::function<void()> OnWait;

    // True when the answer has a success status. After a failure StatusCode and ReasonPhrase
    // tell why: the server's status line, or 0 and the transport's reason (refused connection,
    // unverified certificate, too many redirections, timeout, abort, oversized body).
    bool Head();
    bool Get();
    // Ends the request in progress as soon as the worker notices (within a fraction of a second).
    void Abort() { FAbort = true; }
    // Connections are not kept between requests; nothing to do but part of the interface.
    void Close() {}

    int StatusCode() const { return FStatusCode; }
    const QString& ReasonPhrase() const { return FReasonPhrase; }
    // The Content-Length of the last answer; -1 when it had none.
    qint64 ContentLength() const { return FContentLength; }
    qint64 RcvdCount() const { return FRcvdCount; }
    bool Aborted() const { return FAbort; }

private:
    struct TTransfer;
    bool Perform(bool head);

    THttpClientRole FRole;
    int FStatusCode = 0;
    QString FReasonPhrase;
    qint64 FContentLength = -1;
    qint64 FRcvdCount = 0;
    std::atomic<bool> FAbort = false;
};
