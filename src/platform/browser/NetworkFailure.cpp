#include "NetworkFailure.h"

#include <QNetworkReply>

namespace browser {

QString failureSentence(const QNetworkReply& reply) {
    const int status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 400) {
        const QString reason =
            reply.attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString().trimmed();
        return QStringLiteral("The forum answered with an error (HTTP %1)")
            .arg(reason.isEmpty() ? QString::number(status)
                                  : QString::number(status) + QLatin1Char(' ') + reason);
    }
    switch (reply.error()) {
    case QNetworkReply::NoError:
        return {};
    case QNetworkReply::ConnectionRefusedError:
        return QStringLiteral("The forum refused the connection");
    case QNetworkReply::RemoteHostClosedError:
        return QStringLiteral("The forum closed the connection without answering");
    case QNetworkReply::HostNotFoundError:
        return QStringLiteral("The forum's address %1 could not be found").arg(reply.url().host());
    case QNetworkReply::TimeoutError:
        return QStringLiteral("The forum did not answer in time");
    case QNetworkReply::SslHandshakeFailedError:
        return QStringLiteral("A secure connection to the forum could not be made");
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
        return QStringLiteral("The network is not available");
    case QNetworkReply::ProxyConnectionRefusedError:
        return QStringLiteral("The proxy refused the connection");
    case QNetworkReply::ProxyNotFoundError:
        return QStringLiteral("The proxy's address could not be found");
    case QNetworkReply::ProxyAuthenticationRequiredError:
        return QStringLiteral("The proxy asks for a password, which the program cannot give");
    case QNetworkReply::ProxyConnectionClosedError:
    case QNetworkReply::ProxyTimeoutError:
    case QNetworkReply::UnknownProxyError:
        return QStringLiteral("The proxy did not pass the request on to the forum");
    case QNetworkReply::ProtocolFailure:
    case QNetworkReply::UnknownContentError:
        return QStringLiteral("The forum's answer could not be understood");
    default:
        return QStringLiteral("The forum could not be reached (%1)").arg(reply.errorString());
    }
}

} // namespace browser
