#pragma once

#include "BrowserLimits.h"
#include "FetchedPage.h"

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

class QNetworkReply;

namespace browser {

struct PageRequest {
    QUrl url;
    QByteArray method = "GET";
    QByteArray body;          // urlencoded form data of a POST
    QStringList secretFields; // never written to the log
    bool readCache = true;
};

// Fetches one page through the shared network, within the limits that keep a
// bad server from hurting the program: its size, its time without a byte and
// in all, and redirects, which go only to the scheme, host and port asked for.
// Every failure is reported as a sentence a user understands.
class PageLoader : public QObject {
    Q_OBJECT
public:
    struct TimeLimits {
        std::chrono::milliseconds silence = kMaxSilence;
        std::chrono::milliseconds total = kMaxPageTime;
    };
    // For every loader of the process; tests shorten them.
    static void setTimeLimits(TimeLimits limits);

    explicit PageLoader(QObject* parent = nullptr);
    ~PageLoader() override;

    void start(const PageRequest& request);
    // Drops the request in flight without reporting it.
    void abort();

signals:
    void responseStarted();
    void finished(const browser::FetchedPage& page);

private:
    void send();
    void onMetaData();
    void onReadyRead();
    void onFinished();
    void followRedirect(const QUrl& target, int status);
    void fail(const QString& reason);
    void finish(FetchedPage page);
    void dropReply();

    QPointer<QNetworkReply> m_reply;
    PageRequest m_request; // the request in flight, after any redirects
    QUrl m_origin;         // the address asked for, before any redirects
    int m_redirects = 0;
    quint64 m_attempt = 0; // counts requests, so that a dropped one cannot report
    bool m_started = false;
    QTimer m_silence;
    QTimer m_deadline;
};

} // namespace browser
