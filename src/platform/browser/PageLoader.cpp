#include "PageLoader.h"

#include "LoggableAddress.h"
#include "NetworkFailure.h"
#include "PageDecoding.h"
#include "SharedNetwork.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace browser {

namespace {

PageLoader::TimeLimits timeLimits;

bool isWebUrl(const QUrl& url) {
    return url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https");
}

// Scheme, host and port decide where a request goes, and whether through the proxy.
bool sameRoute(const QUrl& a, const QUrl& b) {
    const int defaultPort = a.scheme() == QLatin1String("https") ? 443 : 80;
    return a.scheme() == b.scheme() && a.host() == b.host() &&
           a.port(defaultPort) == b.port(defaultPort);
}

QString secondsText(std::chrono::milliseconds duration) {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(duration).count();
    return seconds == 1 ? QStringLiteral("1 second") : QStringLiteral("%1 seconds").arg(seconds);
}

QString tooLarge() {
    return QStringLiteral("The page is larger than %1 MiB").arg(kMaxPageBytes / (1024 * 1024));
}

} // namespace

void PageLoader::setTimeLimits(TimeLimits limits) {
    timeLimits = limits;
}

PageLoader::PageLoader(QObject* parent) : QObject(parent) {
    m_silence.setSingleShot(true);
    m_deadline.setSingleShot(true);
    connect(&m_silence, &QTimer::timeout, this, [this] {
        fail((m_started ? QStringLiteral("The forum stopped sending the page for %1")
                        : QStringLiteral("The forum did not answer within %1"))
                 .arg(secondsText(timeLimits.silence)));
    });
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        fail(QStringLiteral("The forum did not send the whole page within %1")
                 .arg(secondsText(timeLimits.total)));
    });
}

PageLoader::~PageLoader() {
    abort();
}

void PageLoader::start(const PageRequest& request) {
    abort();
    m_request = request;
    m_origin = request.url;
    m_redirects = 0;
    m_started = false;
    if (!isWebUrl(request.url)) {
        // The network layer would read file: addresses from disk; nothing but
        // the web is fetched. Reported on the next turn, like any other answer.
        const quint64 attempt = m_attempt;
        QTimer::singleShot(0, this, [this, attempt] {
            if (attempt == m_attempt)
                fail(QStringLiteral("Only web addresses can be opened"));
        });
        return;
    }
    m_deadline.start(timeLimits.total);
    send();
}

void PageLoader::send() {
    dropReply();
    QNetworkRequest networkRequest(m_request.url);
    networkRequest.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                                m_request.readCache ? QNetworkRequest::PreferNetwork
                                                    : QNetworkRequest::AlwaysNetwork);
    // Qt 6.4 loses track of longer redirect chains; they are followed here,
    // where every hop is also checked.
    networkRequest.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                                QNetworkRequest::ManualRedirectPolicy);
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
    // Silence is timed here rather than by Qt, whose timeout reads as a cancellation.
    const auto heard = [this] {
        m_silence.start(timeLimits.silence);
    };
    heard();
    connect(m_reply, &QNetworkReply::uploadProgress, this, heard);
    connect(m_reply, &QNetworkReply::downloadProgress, this, heard);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &PageLoader::onMetaData);
    connect(m_reply, &QNetworkReply::readyRead, this, &PageLoader::onReadyRead);
    connect(m_reply, &QNetworkReply::finished, this, &PageLoader::onFinished);
}

void PageLoader::onMetaData() {
    if (!m_reply->attribute(QNetworkRequest::RedirectionTargetAttribute).isNull())
        return; // a redirect is not the page yet
    if (m_reply->header(QNetworkRequest::ContentLengthHeader).toLongLong() > kMaxPageBytes) {
        fail(tooLarge());
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
        fail(tooLarge());
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
    page.error = failureSentence(reply);
    page.body = reply.readAll();
    page.headerCharset =
        charsetFromContentType(reply.header(QNetworkRequest::ContentTypeHeader).toString());
    if (page.error.isEmpty() && page.body.size() > kMaxPageBytes)
        page.error = tooLarge();
    finish(std::move(page));
}

void PageLoader::followRedirect(const QUrl& target, int status) {
    m_request.url = target;
    // A page may not send the browser to a local service or another site, nor around the proxy.
    if (!sameRoute(m_origin, target)) {
        fail(QStringLiteral("The forum redirected to another site"));
        return;
    }
    if (++m_redirects > kMaxRedirects) {
        fail(QStringLiteral("The forum redirected more than %1 times").arg(kMaxRedirects));
        return;
    }
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
    m_deadline.stop();
    dropReply();
}

void PageLoader::dropReply() {
    m_silence.stop();
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
