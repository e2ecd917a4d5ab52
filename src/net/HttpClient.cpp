#include "net/HttpClient.h"

#include "net/CurlLibrary.h"

#include <QIODevice>
#include <chrono>
#include <future>
#include <thread>

namespace {

struct THeaders {
    const char* UserAgent;
    const char* Accept;
    bool PragmaNoCache;
};

THeaders HeadersFor(THttpClientRole role) {
    static const char* const Images = "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*";
    switch (role) {
    case THttpClientRole::DataUpdatePlain:
        return {"Mozilla/4.0 (compatible; ICS)", "*/*", true};
    case THttpClientRole::DataUpdateTls:
        return {"Mozilla/4.0", "*/*", false};
    case THttpClientRole::AppUpdatePlain:
        return {"Mozilla/4.0 (compatible; ICS)", Images, true};
    case THttpClientRole::AppUpdateTls:
        return {"Mozilla/4.0", Images, false};
    }
    return {"Mozilla/4.0", "*/*", false};
}

// How often the waiting thread looks at the transfer and lets the window handle its events.
constexpr std::chrono::milliseconds WaitSlice{15};

} // namespace

// What the worker thread shares with the waiting one. The counters are atomic; everything else
// is written by the worker only and read after it has finished.
struct THttpClient::TTransfer {
    QIODevice* Stream = nullptr;
    qint64 MaxBodySize = -1;
    std::atomic<bool>* Abort = nullptr;
    std::atomic<qint64> Received = 0;
    bool TooLarge = false;
    bool WriteFailed = false;
    int LastStatus = 0;
    QString LastReason;

    static size_t Write(char* data, size_t size, size_t count, void* self) {
        auto* t = static_cast<TTransfer*>(self);
        const qint64 n = static_cast<qint64>(size * count);
        if (t->MaxBodySize >= 0 && t->Received + n > t->MaxBodySize) {
            t->TooLarge = true;
            return 0;
        }
        if (t->Stream && t->Stream->write(data, n) != n) {
            t->WriteFailed = true;
            return 0;
        }
        t->Received += n;
        return static_cast<size_t>(n);
    }

    // Every response of a redirection chain starts with its status line; the last one counts.
    static size_t Header(char* data, size_t size, size_t count, void* self) {
        auto* t = static_cast<TTransfer*>(self);
        const size_t n = size * count;
        const QByteArray line = QByteArray(data, static_cast<qsizetype>(n)).trimmed();
        if (line.startsWith("HTTP/")) {
            const QList<QByteArray> parts = line.split(' ');
            t->LastStatus = parts.size() > 1 ? parts[1].toInt() : 0;
            const qsizetype reasonStart = line.indexOf(' ', line.indexOf(' ') + 1);
            t->LastReason =
                reasonStart < 0 ? QString() : QString::fromLatin1(line.mid(reasonStart + 1));
        }
        return n;
    }

    static int Progress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
        return static_cast<TTransfer*>(self)->Abort->load() ? 1 : 0;
    }
};

THttpClient::THttpClient(THttpClientRole role) : FRole(role) {
    bool ok = false;
    const int seconds = qEnvironmentVariableIntValue("VARNHOLM_TEST_HTTP_TIMEOUT", &ok);
    TimeoutSeconds = ok && seconds > 0 ? seconds : DefaultTimeoutSeconds;
}

THttpClientRole THttpClient::RoleFor(const QString& url, THttpClientRole plain,
                                     THttpClientRole tls) {
    return url.toLower().startsWith(QStringLiteral("https")) ? tls : plain;
}

bool THttpClient::Head() {
    return Perform(true);
}

bool THttpClient::Get() {
    return Perform(false);
}

bool THttpClient::Perform(bool head) {
    FAbort = false;
    FStatusCode = 0;
    FReasonPhrase.clear();
    FContentLength = -1;
    FRcvdCount = 0;

    QString loadError;
    const TCurlLibrary* const api = TCurlLibrary::Get(loadError);
    if (!api) {
        FReasonPhrase = QStringLiteral("The HTTP client could not start: ") + loadError;
        return false;
    }
    CURL* curl = api->EasyInit();
    if (!curl) {
        FReasonPhrase = QStringLiteral("The HTTP client could not start");
        return false;
    }
    const THeaders headers = HeadersFor(FRole);
    curl_slist* headerList = nullptr;
    headerList =
        api->SlistAppend(headerList, (QByteArray("Accept: ") + headers.Accept).constData());
    // libcurl adds this header itself on proxied requests; an empty value keeps it out.
    headerList =
        api->SlistAppend(headerList, headers.PragmaNoCache ? "Pragma: no-cache" : "Pragma:");

    TTransfer transfer;
    transfer.Stream = head ? nullptr : RcvdStream;
    transfer.MaxBodySize = MaxBodySize;
    transfer.Abort = &FAbort;

    const QByteArray url = URL.toUtf8();
    QByteArray proxy;
    if (!Proxy.isEmpty())
        proxy = (Proxy + u':' + (ProxyPort.isEmpty() ? QStringLiteral("80") : ProxyPort)).toUtf8();
    QByteArray caFile = CAFile.toLocal8Bit();
    if (caFile.isEmpty())
        caFile = qgetenv("VARNHOLM_TEST_CA_FILE");
    char errorBuffer[CURL_ERROR_SIZE] = {};

    api->EasySetopt(curl, CURLOPT_URL, url.constData());
    api->EasySetopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    api->EasySetopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    api->EasySetopt(curl, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_0);
    api->EasySetopt(curl, CURLOPT_IPRESOLVE, CURL_IPRESOLVE_V4);
    api->EasySetopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    api->EasySetopt(curl, CURLOPT_MAXREDIRS, static_cast<long>(MaxRedirects));
    api->EasySetopt(curl, CURLOPT_CONNECTTIMEOUT, static_cast<long>(TimeoutSeconds));
    // A transfer that delivers nothing for the whole limit is given up; a slow one goes on.
    api->EasySetopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    api->EasySetopt(curl, CURLOPT_LOW_SPEED_TIME, static_cast<long>(TimeoutSeconds));
    api->EasySetopt(curl, CURLOPT_NOSIGNAL, 1L);
    api->EasySetopt(curl, CURLOPT_FAILONERROR, 1L);
    api->EasySetopt(curl, CURLOPT_USERAGENT, headers.UserAgent);
    api->EasySetopt(curl, CURLOPT_HTTPHEADER, headerList);
    // An empty proxy also keeps the environment's proxy variables out: the options decide.
    api->EasySetopt(curl, CURLOPT_PROXY, proxy.constData());
    api->EasySetopt(curl, CURLOPT_NOPROXY, "");
    api->EasySetopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
    api->EasySetopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
    api->EasySetopt(curl, CURLOPT_SSLVERSION, static_cast<long>(CURL_SSLVERSION_TLSv1_2));
    if (!caFile.isEmpty())
        api->EasySetopt(curl, CURLOPT_CAINFO, caFile.constData());
    if (MaxBodySize >= 0)
        api->EasySetopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(MaxBodySize));
    api->EasySetopt(curl, CURLOPT_NOBODY, head ? 1L : 0L);
    api->EasySetopt(curl, CURLOPT_WRITEFUNCTION, &TTransfer::Write);
    api->EasySetopt(curl, CURLOPT_WRITEDATA, &transfer);
    api->EasySetopt(curl, CURLOPT_HEADERFUNCTION, &TTransfer::Header);
    api->EasySetopt(curl, CURLOPT_HEADERDATA, &transfer);
    api->EasySetopt(curl, CURLOPT_NOPROGRESS, 0L);
    api->EasySetopt(curl, CURLOPT_XFERINFOFUNCTION, &TTransfer::Progress);
    api->EasySetopt(curl, CURLOPT_XFERINFODATA, &transfer);
    api->EasySetopt(curl, CURLOPT_ERRORBUFFER, errorBuffer);

    std::packaged_task<CURLcode()> task([api, curl] { return api->EasyPerform(curl); });
    std::future<CURLcode> done = task.get_future();
    std::thread worker(std::move(task));
    qint64 reported = 0;
    while (done.wait_for(WaitSlice) != std::future_status::ready) {
        if (const qint64 received = transfer.Received; received != reported && OnDocData) {
            reported = received;
            FRcvdCount = received;
            OnDocData(received);
        }
        if (OnWait)
            OnWait();
    }
    worker.join();
    const CURLcode result = done.get();

    FRcvdCount = transfer.Received;
    if (FRcvdCount != reported && OnDocData)
        OnDocData(FRcvdCount);
    curl_off_t length = -1;
    if (api->EasyGetinfo(curl, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length) == CURLE_OK)
        FContentLength = length;
    long status = 0;
    api->EasyGetinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    api->EasyCleanup(curl);
    api->SlistFreeAll(headerList);

    FStatusCode = static_cast<int>(status);
    FReasonPhrase = transfer.LastReason;
    if (result == CURLE_OK && FStatusCode >= 200 && FStatusCode < 300)
        return true;
    if (result == CURLE_OK || result == CURLE_HTTP_RETURNED_ERROR) {
        if (FReasonPhrase.isEmpty())
            FReasonPhrase = QStringLiteral("Unexpected answer");
        return false;
    }
    // Not an answer of the server: the status code says nothing, the reason says why.
    FStatusCode = 0;
    switch (result) {
    case CURLE_ABORTED_BY_CALLBACK:
        FReasonPhrase = QStringLiteral("Aborted");
        break;
    case CURLE_OPERATION_TIMEDOUT:
        FReasonPhrase = QStringLiteral("Timed out");
        break;
    case CURLE_TOO_MANY_REDIRECTS:
        FReasonPhrase = QStringLiteral("Too many redirections");
        break;
    case CURLE_FILESIZE_EXCEEDED:
        FReasonPhrase = QStringLiteral("Response too large");
        break;
    case CURLE_PEER_FAILED_VERIFICATION:
        FReasonPhrase =
            QStringLiteral("Certificate not trusted: ") + QString::fromUtf8(errorBuffer);
        break;
    case CURLE_WRITE_ERROR:
        FReasonPhrase = transfer.TooLarge ? QStringLiteral("Response too large")
                                          : QStringLiteral("The received data could not be stored");
        break;
    default:
        FReasonPhrase = QString::fromUtf8(*errorBuffer ? errorBuffer : api->EasyStrerror(result));
        break;
    }
    return false;
}
