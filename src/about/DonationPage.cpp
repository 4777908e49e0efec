#include "DonationPage.h"

namespace about {
namespace {

// The payment service's encrypted button description: a PKCS#7 block kept in
// four pieces and passed on unread.
const char* const EncryptedPiece1 =
    "-----BEGIN PKCS7-----MIIHQAYJKoZIhvcNAQcCoIIHMTCCBy0CAQExDzANBglghkgBZQMEAgEFADCCBYwGCSqGS"
    "Ib3DQEHAaCCBX0EggV5eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh"
    "4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4e"
    "Hh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh"
    "4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4e"
    "Hh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh"
    "4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4e";
const char* const EncryptedPiece2 =
    "Hh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh"
    "4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4e"
    "Hh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh"
    "4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4e"
    "Hh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh"
    "4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4e"
    "Hh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh";
const char* const EncryptedPiece3 =
    "4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4e"
    "Hh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh"
    "4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4e"
    "Hh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh"
    "4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4e"
    "Hh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh"
    "4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4e";
const char* const EncryptedPiece4 =
    "Hh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4MYI"
    "BhTCCAYECAQEwWjBCMSEwHwYDVQQDDBhaZW50YWIgRXhhbXBsZSBEb25hdGlvbnMxEDAOBgNVBAoMB0V4YW1wbGUxC"
    "zAJBgNVBAYTAlhYAhRS3lWRPIG3uN9ZcGYur0Vz97QqYTANBglghkgBZQMEAgEFADANBgkqhkiG9w0BAQEFAASCAQB"
    "rDhP/zb3ToOqWkw8jmtGJfWd+R1MywL0ADqjpCpTcCZYHb0rGVY8bKXF/KnzYOERn9ne/Wt6O3LQ7W13dzYJMVvDiB"
    "MxpfDfHa2GTh3Pt3H/PbyCW3/wOxguccUq4s+dsHGc/CT3Dl0ZnWENTSoqndn6B7L8TnhfouTLC5y9t4YOcCUL/MG6"
    "4u3/iBT4IFg8xLNXqFTEvJAowA68ebuQ2HSTb9WGLxVt4MRsC+otvKBsnPzLsJz+YcnOUZruXF0el/34D5BwPR5biM"
    "U/9tkSg//TmdYuGq+rwgsF3Ni0bnm2maqHvHBhF13tomISyFLt3/2Qw8lo42IzVbI4O7FTe-----END PKCS7-----";

} // namespace

QString encryptedButtonDescription() {
    return QString::fromLatin1(EncryptedPiece1) + QString::fromLatin1(EncryptedPiece2) +
           QString::fromLatin1(EncryptedPiece3) + QString::fromLatin1(EncryptedPiece4);
}

QString donationFormBody() {
    return QStringLiteral(
               "<form action=\"https://payments.example.org/cgi-bin/donate\" method=\"post\" "
               "style=\"float:left;\" onclick=\"document.forms[0].target = '_blank';\">"
               "<input type='hidden' name='cmd' value='_s-xclick'>"
               "<input type=\"image\" "
               "src=\"https://payments.example.org/images/donate-button.gif\" "
               "border=\"0\" name=\"submit\" "
               "alt=\"Make a donation to Zentab Calculator SE through our payment service\">"
               "<img alt=\"\" border=\"0\" src=\"https://payments.example.org/images/pixel.gif\" "
               "width=\"1\" height=\"1\">"
               "<input type='hidden' name='encrypted' value='") +
           encryptedButtonDescription() + QStringLiteral("'></form>");
}

QString donationPage() {
    return QStringLiteral("<html><body style=\"overflow:hidden;\" border=0>") + donationFormBody() +
           QStringLiteral("</body></html>");
}

} // namespace about
