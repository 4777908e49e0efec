#include "Module1.h"

#include "QtPrinting.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringDecoder>
#include <QTimer>
#include <algorithm>
#include <gtest/gtest.h>
#include <numeric>

using namespace Module1;

namespace {

const QString Board = "http://x.proboards.com/index.cgi";

QString codePage(const QByteArray& codes) {
    return QStringDecoder("windows-1252")(codes);
}

// The first form of Scramble: reversed, each code moved up by 63 + (i mod 3).
QString shiftedCodes(QByteArray codes) {
    std::reverse(codes.begin(), codes.end());
    for (qsizetype i = 0; i < codes.size(); ++i)
        codes[i] = static_cast<char>(static_cast<unsigned char>(codes[i]) + 63 + i % 3);
    return codePage(codes);
}

bool holdable(char32_t c) {
    const bool control = c < 0x20 || (c >= 0x7F && c <= 0x9F);
    const bool surrogate = c >= 0xD800 && c <= 0xDFFF;
    const bool noncharacter = (c >= 0xFDD0 && c <= 0xFDEF) || (c & 0xFFFE) == 0xFFFE;
    return !control && !surrogate && !noncharacter;
}

// Every Unicode scalar value in code order, apart from those of `left` (none beyond U+FFFF).
QString everyCharacterBut(const QString& left = {}) {
    QString text;
    for (char32_t c = 0; c <= 0x10FFFF; ++c) {
        const bool surrogate = c >= 0xD800 && c <= 0xDFFF;
        if (!surrogate && !(c <= 0xFFFF && left.contains(QChar(char16_t(c)))))
            text.append(QChar::fromUcs4(c));
    }
    return text;
}

} // namespace

// Remembered credentials and post archives depend on these forms never changing.
TEST(Scramble, ReadsBackTheStoredForms) {
    const std::tuple<QString, QString> cases[] = {
        {"", ""},
        {"abc", QString(3, QChar(0x00A2))},
        {"Bob", "\u00A1\u00AF\u0192"},
        {"Ann Lee", "\u00A4\u00A5\u008D_\u00AE\u00AF\u20AC"},
        {"\u20AC5 Sir", "\u00B1\u00A9\u201D_u\u00C1"},
        {"\u00E9", "$\u0128"},
        {"zo\u00EB", "$\u012A\u00AF\u00BB"},
        {QString::fromUcs4(U"\U0001F600"), "$" + QString::fromUcs4(U"\U0001F63F")},
        // The last character wraps round to the first ones; the forum cannot hold U+0085, yet
        // it comes back.
        {QString::fromUcs4(U"\U0010FFFD"), "$\u00DE"},
        {"\u0085", "$$\u0105"}};
    for (const auto& [plain, scrambled] : cases) {
        SCOPED_TRACE(plain.toStdString());
        EXPECT_EQ(Scramble(plain), scrambled);
        EXPECT_EQ(Unscramble(scrambled), plain);
    }
}

// Codes up to 190 keep the first form of Scramble; every character comes back, and what
// lies beyond the code page is written only in characters the forum holds.
TEST(Scramble, RoundTripsEveryCharacter) {
    QByteArray codes(191, 0); // Windows-1252 codes 0-190: all the first form of Scramble took
    std::iota(codes.begin(), codes.end(), 0);
    const QString every = everyCharacterBut();
    for (const QByteArray tail : {"", "a", "ab"}) { // each character comes once at each position
        SCOPED_TRACE(tail.size());
        EXPECT_EQ(Scramble(codePage(codes + tail)), shiftedCodes(codes + tail));
        EXPECT_EQ(Unscramble(shiftedCodes(codes + tail)), codePage(codes + tail));
        const auto scrambled = Scramble(every + tail);
        ASSERT_TRUE(scrambled);
        EXPECT_TRUE(Unscramble(*scrambled) == every + tail);
    }
    const auto beyond = Scramble(everyCharacterBut(codePage(codes)))->toUcs4();
    EXPECT_TRUE(std::all_of(beyond.begin(), beyond.end(), holdable));
}

TEST(Scramble, RefusesWhatNoScrambleWrites) {
    for (const QString& text :
         {QString(QChar(0xD800)), "a" + QString(QChar(0xDC00)) + "b",
          QString(QChar(0xDC00)) + QChar(0xD800), QString(QChar(0xDC00)) + QChar(0xDC00)}) {
        EXPECT_EQ(Scramble(text), std::nullopt);
        EXPECT_EQ(Unscramble(text), std::nullopt);
    }
    // Below the smallest shift; code 192 at position 0, beyond the code page's part; escapes
    // without their character or before what no escape writes; U+00A0 and U+0000 escaped,
    // though they have a code-page form.
    for (const QString scrambled : {"!", "\u00FF", "$", "$$", "$a", "$$a", "$\u00DF", "$$\u00DF"})
        EXPECT_EQ(Unscramble(scrambled), std::nullopt) << scrambled.toStdString();
}

TEST(IsBoardUrl, NeedsTheSchemeTheHostAndTheScript) {
    EXPECT_TRUE(IsBoardUrl(" HTTP://x.proboards3.com/index.cgi"));
    EXPECT_TRUE(IsBoardUrl("http://bank.proboards.com/index.cgi?board=vaultmeres"));
    EXPECT_FALSE(IsBoardUrl("https://bank.proboards.com/index.cgi"));
    EXPECT_FALSE(IsBoardUrl("http://bank.proboards.com/"));
    EXPECT_FALSE(IsBoardUrl("http://bank.example.com/index.cgi"));
}

TEST(GetUrlParam, ReadsAParameterOrItsValue) {
    const QString url = Board + "?board=bank&action=display";
    EXPECT_EQ(QStringList({GetUrlParam(url, upBoard, false), GetUrlParam(url, upBoard, true),
                           GetUrlParam(url, upAction, false), GetUrlParam(url, upAction, true),
                           GetUrlParam(url, upThread, true), GetUrlParam(Board, upBoard, true),
                           GetUrlParam("http://x.example.org/?board=bank", upBoard, true),
                           GetUrlParam(Board + "?xboard=1", upBoard, true)}),
              QStringList({"board=bank", "bank", "action=display", "display", "", "", "", "1"}));
}

TEST(SetUrlParam, SetsReplacesAndRemovesParameters) {
    const std::tuple<QString, UrlParamKind, QString, QString> cases[] = {
        {Board + "?board=bank", upAction, "login", Board + "?action=login&board=bank"},
        {Board + "?action=login&board=bank", upAction, "", Board + "?board=bank"},
        {Board + "?", upBoard, "bank", Board + "?board=bank&"},
        {Board + "?board=bank&action=login", upAction, "", Board + "?board=bank&"},
        {"HTTP://X.proboards.COM/index.cgi?", upBoard, "MyBank", Board + "?board=MyBank&"},
        {Board + "?board=old", upBoard, "board=new", Board + "?board=new"},
        {"http://x.proboards.com", upBoard, "bank", Board + "?board=bank&"},
        {Board + "?board=bank", upAction, "", Board + "?board=bank"},
    };
    for (const auto& [url, kind, value, result] : cases)
        EXPECT_EQ(SetUrlParam(url, kind, value), result) << url.toStdString();
}

TEST(TimeZoneText, NamesTheZoneOrSaysItIsUnknown) {
    EXPECT_EQ(timeZoneText(QString("Eastern Standard Time")), " (Eastern Standard Time)");
    EXPECT_EQ(timeZoneText(QString("Zone") + QChar(0) + QChar(0)), " (Zone)");
    EXPECT_EQ(timeZoneText(std::nullopt), " (TimeZone Unknown)");
}

TEST(Delay, LetsEventsRunForTheWholeTimeAndEndsWhenTheProgramQuits) {
    int argc = 0;
    QCoreApplication application(argc, nullptr);
    bool ran = false;
    QTimer::singleShot(10, [&] { ran = true; });
    QElapsedTimer clock;
    clock.start();
    const bool before = Delay(0) && !ran, after = Delay(120) && ran;
    EXPECT_TRUE(before && after && clock.elapsed() >= 120) << before << after << clock.elapsed();
    QTimer::singleShot(10, [] { QCoreApplication::exit(0); });
    EXPECT_FALSE(Delay(60000));
}
