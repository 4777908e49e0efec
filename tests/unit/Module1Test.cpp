#include "Module1.h"

#include "QtPrinting.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringDecoder>
#include <QTimer>
#include <gtest/gtest.h>

using namespace Module1;

namespace {

const QString Board = "http://x.proboards.com/index.cgi";

// The characters of Windows-1252 codes first .. first + count - 1.
QString codes(int first, int count) {
    QByteArray bytes;
    for (int code = first; code < first + count; ++code)
        bytes += static_cast<char>(code);
    return QStringDecoder("windows-1252")(bytes);
}

} // namespace

TEST(Scramble, RoundTripsEveryCodeItHolds) {
    EXPECT_EQ(Scramble(""), QString());
    EXPECT_EQ(Scramble("abc"), QString(3, QChar(0x00A2)));
    for (int length = 1; length <= 4; ++length)
        for (int first = 0; first + length <= 191; ++first) {
            const QString text = codes(first, length);
            const auto scrambled = Scramble(text);
            ASSERT_TRUE(scrambled) << first << ' ' << length;
            EXPECT_EQ(scrambled->size(), length);
            EXPECT_EQ(Unscramble(*scrambled), text) << first << ' ' << length;
        }
    EXPECT_EQ(Unscramble(*Scramble("p@ss w0rd!")), "p@ss w0rd!");
}

TEST(Scramble, RefusesWhatItCouldNotReadBack) {
    EXPECT_EQ(Scramble(QString::fromUtf8("\u00BF")), std::nullopt); // code 191
    EXPECT_EQ(Scramble(QString::fromUtf8("caf\u00E9")), std::nullopt);
    EXPECT_EQ(Scramble(QString::fromUtf8("\u4E2D")), std::nullopt); // no code at all
    EXPECT_EQ(Unscramble("!"), std::nullopt);
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
    EXPECT_EQ(GetUrlParam(url, upBoard, false), "board=bank");
    EXPECT_EQ(GetUrlParam(url, upBoard, true), "bank");
    EXPECT_EQ(GetUrlParam(url, upAction, false), "action=display");
    EXPECT_EQ(GetUrlParam(url, upAction, true), "display");
    EXPECT_EQ(GetUrlParam(url, upThread, true), "");
    EXPECT_EQ(GetUrlParam(Board, upBoard, true), "");
    EXPECT_EQ(GetUrlParam("http://x.example.org/?board=bank", upBoard, true), "");
    EXPECT_EQ(GetUrlParam(Board + "?xboard=1", upBoard, true), "1");
}

TEST(SetUrlParam, SetsReplacesAndRemovesParameters) {
    const struct {
        QString url;
        UrlParamKind kind;
        QString value;
        QString result;
    } cases[] = {
        {Board + "?board=bank", upAction, "login", Board + "?action=login&board=bank"},
        {Board + "?action=login&board=bank", upAction, "", Board + "?board=bank"},
        {Board + "?", upBoard, "bank", Board + "?board=bank&"},
        {Board + "?board=bank&action=login", upAction, "", Board + "?board=bank&"},
        {"HTTP://X.proboards.COM/index.cgi?", upBoard, "MyBank", Board + "?board=MyBank&"},
        {Board + "?board=old", upBoard, "board=new", Board + "?board=new"},
        {"http://x.proboards.com", upBoard, "bank", Board + "?board=bank&"},
        {Board + "?board=bank", upAction, "", Board + "?board=bank"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SetUrlParam(c.url, c.kind, c.value), c.result) << c.url.toStdString();
}

TEST(TimeZoneText, NamesTheZoneOrSaysItIsUnknown) {
    EXPECT_EQ(timeZoneText(QString("Eastern Standard Time")), " (Eastern Standard Time)");
    EXPECT_EQ(timeZoneText(QString("Zone") + QChar(0) + QChar(0)), " (Zone)");
    EXPECT_EQ(timeZoneText(std::nullopt), " (TimeZone Unknown)");
}

TEST(Delay, LetsEventsRunForTheWholeTime) {
    int argc = 0;
    QCoreApplication application(argc, nullptr);
    bool ran = false;
    QTimer::singleShot(10, [&] { ran = true; });
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(Delay(0));
    EXPECT_FALSE(ran);
    EXPECT_TRUE(Delay(120));
    EXPECT_TRUE(ran);
    EXPECT_GE(clock.elapsed(), 120);
}

TEST(Delay, EndsWhenTheProgramQuits) {
    int argc = 0;
    QCoreApplication application(argc, nullptr);
    QTimer::singleShot(10, [] { QCoreApplication::exit(0); });
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(Delay(60000));
    EXPECT_LT(clock.elapsed(), 30000);
}
