#pragma once

#include <QString>

class QNetworkReply;

namespace browser {

// Why a finished reply did not bring the page, as a sentence a user
// understands; empty when it did.
QString failureSentence(const QNetworkReply& reply);

} // namespace browser
