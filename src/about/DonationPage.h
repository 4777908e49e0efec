#pragma once

#include <QString>

// The small page of the About box with the donation button of our payment service.
namespace about {

QString encryptedButtonDescription();
QString donationFormBody();
QString donationPage(); // the whole page written into the About box's browser

} // namespace about
