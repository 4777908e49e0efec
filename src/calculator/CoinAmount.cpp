#include "CoinAmount.h"

#include "NumberText.h"

namespace calculator {

SortedCoins sortKnuts(std::int32_t total) {
    SortedCoins coins;
    coins.galleons = total / KnutsPerGalleon;
    std::int32_t rest = total - coins.galleons * KnutsPerGalleon;
    coins.sickles = rest / KnutsPerSickle;
    coins.knuts = rest - coins.sickles * KnutsPerSickle;
    return coins;
}

std::optional<std::int32_t> knutValue(double galleons, double sickles, double knuts) {
    return knutRound(galleons * KnutsPerGalleon + sickles * KnutsPerSickle + knuts);
}

std::optional<std::int32_t> knutValueOfTexts(std::string_view galleons, std::string_view sickles,
                                             std::string_view knuts) {
    return knutValue(LeadingNumber(galleons), LeadingNumber(sickles), LeadingNumber(knuts));
}

std::string amountText(std::string_view galleons, std::string_view sickles,
                       std::string_view knuts) {
    std::string text;
    text.append(galleons).append(" Galleons, ");
    text.append(sickles).append(" Sickles, ");
    text.append(knuts).append(" Knuts");
    return text;
}

} // namespace calculator
