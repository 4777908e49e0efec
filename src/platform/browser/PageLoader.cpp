#include "PageLoader.h"

#include "LoggableAddress.h"
#include "PageDecoding.h"
#include "SharedNetwork.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace browser {

namespace {

// A server that accepts a connection and never answers must not hold a page forever.
constexpr int kTransferTimeoutMs = 60'000;

bool isWebUrl(const QUrl& url) {
    return url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
}

// Scheme, host and port decide where a request goes, and whether through the proxy.
bool sameRoute(const QUrl& a, const QUrl& b) {
    const int defaultPort = a.scheme() == QLatin1String("https") ? 443 : 80;
    return a.scheme() == b.scheme() && a.host() == b.host() &&
           a.port(defaultPort) == b.port(defaultPort);
}

QString httpError(const QNetworkReply& reply) {
    return QStringLiteral("HTTP %1 %2")
        .arg(reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt())
        .arg(reply.attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString())
        .trimmed();
}

} // namespace

PageLoader::PageLoader(QObject* parent) : QObject(parent) {}

PageLoader::~PageLoader() {
    abort();
}

void PageLoader::start(const PageRequest& request) {
    m_request = request;
    m_origin = request.url;
    m_redirects = 0;
    m_started = false;
    if (isWebUrl(request.url)) {
        send();
        return;
    }
    // The network layer would read file: addresses from disk; nothing but
    // the web is fetched. Reported on the next turn, like any other answer.
    abort();
    const quint64 attempt = m_attempt;
    QTimer::singleShot(0, this, [this, attempt] {
        if (attempt == m_attempt)
            fail(QStringLiteral("Unsupported address"));
    });
}

void PageLoader::send() {
    abort();
    QNetworkRequest networkRequest(m_request.url);
    networkRequest.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                                m_request.readCache ? QNetworkRequest::PreferNetwork
                                                    : QNetworkRequest::AlwaysNetwork);
    // Qt 6.4 loses track of longer redirect chains; they are followed here,
    // where every hop is also checked.
    networkRequest.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                                QNetworkRequest::ManualRedirectPolicy);
    networkRequest.setTransferTimeout(kTransferTimeoutMs);
    // Qt 6.4 inflates large compressed pages very slowly (seconds per megabyte
    // on some inputs), and the size limit should hold for the bytes received.
    networkRequest.setRawHeader("Accept-Encoding", "identity");
    QNetworkAccessManager& network = sharedNetwork();
    if (m_request.method == "POST") {
        networkRequest.setHeader(QNetworkRequest::ContentTypeHeader,
                                 QByteArrayLiteral("application/x-www-form-urlencoded"));
        m_reply = network.post(networkRequest, m_request.body);
    } else {
        m_reply = network.get(networkRequest);
    }
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &PageLoader::onMetaData);
    connect(m_reply, &QNetworkReply::readyRead, this, &PageLoader::onReadyRead);
    connect(m_reply, &QNetworkReply::finished, this, &PageLoader::onFinished);
}

void PageLoader::onMetaData() {
    if (!m_reply->attribute(QNetworkRequest::RedirectionTargetAttribute).isNull())
        return; // a redirect is not the page yet
    if (m_reply->header(QNetworkRequest::ContentLengthHeader).toLongLong() > kMaxPageBytes) {
        fail(QStringLiteral("Page larger than 16 MiB"));
        return;
    }
    if (!m_started) {
        m_started = true;
        emit responseStarted();
    }
}

void PageLoader::onReadyRead() {
    // The data stays in the reply until it has finished: reading it early
    // keeps Qt from storing the page in the cache.
    if (m_reply->bytesAvailable() > kMaxPageBytes)
        fail(QStringLiteral("Page larger than 16 MiB"));
}

void PageLoader::onFinished() {
    QNetworkReply& reply = *m_reply;
    const int status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QUrl target = reply.attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl();
    if (status >= 300 && status < 400 && !target.isEmpty()) {
        followRedirect(m_request.url.resolved(target), status);
        return;
    }
    FetchedPage page;
    page.url = m_request.url;
    if (status >= 400)
        page.error = httpError(reply);
    else if (reply.error() != QNetworkReply::NoError)
        page.error = reply.errorString();
    page.body = reply.readAll();
    page.headerCharset =
        charsetFromContentType(reply.header(QNetworkRequest::ContentTypeHeader).toString());
    if (page.error.isEmpty() && page.body.size() > kMaxPageBytes)
        page.error = QStringLiteral("Page larger than 16 MiB");
    finish(std::move(page));
}

void PageLoader::followRedirect(const QUrl& target, int status) {
    if (!isWebUrl(target)) {
        m_request.url = target;
        fail(QStringLiteral("Redirect to a non-web address refused"));
        return;
    }
    // A page may not send the browser to a local service or another site, nor around the proxy.
    if (!sameRoute(m_origin, target)) {
        m_request.url = target;
        fail(QStringLiteral("The forum redirected to another site"));
        return;
    }
    if (++m_redirects > kMaxRedirects) {
        fail(QStringLiteral("More than 10 redirects"));
        return;
    }
    m_request.url = target;
    // As browsers do: a 303, and a 301 or 302 after a POST, fetch the target with GET.
    if (status == 303 || ((status == 301 || status == 302) && m_request.method == "POST")) {
        m_request.method = "GET";
        m_request.body.clear();
    }
    send();
}

void PageLoader::fail(const QString& reason) {
    FetchedPage page;
    page.url = m_request.url;
    page.error = reason;
    finish(std::move(page));
}

void PageLoader::finish(FetchedPage page) {
    abort();
    if (!page.error.isEmpty()) {
        page.body.clear();
        logBrowserFailure(QStringLiteral("Cannot open ") +
                          loggableAddress(page.url, m_request.secretFields) + QStringLiteral(": ") +
                          page.error);
    }
    emit finished(page);
}

void PageLoader::abort() {
    ++m_attempt;
    if (!m_reply)
        return;
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    reply->disconnect(this);
    if (!reply->isFinished())
        reply->abort(); // aborting a finished reply would drop its new cache entry
    reply->deleteLater();
}

} // namespace browser
