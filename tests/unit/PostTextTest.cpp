#include "PostText.h"

#include "CoinTextsPrinting.h"
#include "QtPrinting.h"
#include "TransactionRecord.h"

#include <gtest/gtest.h>

using namespace bank;

TEST(PostText, APostHeldAsSentIsRecognisedThroughTheForumsOwnWriting) {
    const PostFields sent{"Tom & Jerry", "Galleons: 5\r\nSickles: 0\r\n\r\nfor Renée <3\r\n"};
    const struct {
        const char* what;
        PostFields held;
        bool same;
    } cases[] = {
        {"as sent", sent, true},
        {"line feeds", {"Tom & Jerry", "Galleons: 5\nSickles: 0\n\nfor Renée <3\n"}, true},
        {"references",
         {"Tom &amp; Jerry", "Galleons: 5\r\nSickles: 0\r\n\r\nfor Ren&#233;e &lt;3\r\n"},
         true},
        {"hexadecimal reference", {"Tom &#x26; Jerry", sent.message}, true},
        {"blanks around the whole", {" Tom & Jerry ", sent.message + "\r\n  "}, true},
        {"another number",
         {sent.subject, "Galleons: 6\r\nSickles: 0\r\n\r\nfor Renée <3\r\n"},
         false},
        {"a line lost", {sent.subject, "Galleons: 5\r\n\r\nfor Renée <3\r\n"}, false},
        {"blanks inside",
         {sent.subject, "Galleons:  5\r\nSickles: 0\r\n\r\nfor Renée <3\r\n"},
         false},
        {"another subject", {"Tom Jerry", sent.message}, false},
        {"the forum's error page", {}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(holdsAsSent(sent, c.held), c.same) << c.what;
}

TEST(PostText, CharacterReferencesBecomeTheirCharacters) {
    const std::pair<const char*, QString> cases[] = {
        {"&amp;&lt;&gt;&quot;&apos;", "&<>\"'"},
        {"caf&#233; &#x1F600;", QString("caf\u00e9 ") + QString::fromUcs4(U"\U0001F600")},
        {"&nbsp;", QString(QChar(0xA0))},
        // What is no reference stays as written.
        {"A & B; &unknown; &#0; &#xD800; &#99999999;",
         "A & B; &unknown; &#0; &#xD800; &#99999999;"},
        {"trailing &", "trailing &"},
    };
    for (const auto& [text, decoded] : cases)
        EXPECT_EQ(decodeCharacterReferences(text), decoded) << text;
}

TEST(PostText, ListMarkersAreFoundInAnyCase) {
    const std::pair<const char*, std::optional<QString>> cases[] = {
        {"Paid for a [list] of things", "[list]"},
        {"[/LIST] at the end", "[/list]"},
        {"[List]", "[list]"},
        {"a list, [lis t] and [*]", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [text, marker] : cases)
        EXPECT_EQ(listMarkerIn(text), marker) << text;
}

TEST(PostText, TheNewestPostOfAThreadIsFoundAmongItsEditLinks) {
    const QStringList links = {
        "index.cgi?board=b&action=modifypost&thread=5&post=5",
        "index.cgi?board=b&action=modifypost&thread=5&post=12",
        "index.cgi?board=b&action=deletepost&thread=5&post=30",
        "index.cgi?board=b&action=modifypost&thread=50&post=40",
        "index.cgi?board=b&action=modifypost&thread=5&post=9#reply",
        "mailto:someone@example.org",
    };
    EXPECT_EQ(newestPostNumber(links, "5"), "12");
    EXPECT_EQ(newestPostNumber(links, "50"), "40");
    EXPECT_EQ(newestPostNumber(links, "7"), std::nullopt);
    EXPECT_EQ(editedPosts(links + links, "5"), QStringList({"5", "12", "9"}));
    EXPECT_EQ(threadNumberIn("http://x.proboards.com/index.cgi?board=b&THREAD=42&post=42"), "42");
    EXPECT_EQ(threadNumberIn("http://x.proboards.com/index.cgi?board=b"), "");
}

TEST(TransactionRecord, ABalanceMovesWithinWhatTheCalculatorHolds) {
    const struct {
        CoinTexts before;
        qint64 change;
        std::optional<CoinTexts> after;
    } cases[] = {
        {{"12", "3", "7"}, 1, CoinTexts{"12", "3", "8"}},
        {{"12", "3", "7"}, -(12 * 493 + 3 * 29 + 7), CoinTexts{"0", "0", "0"}},
        {{"0", "0", "10"}, -29, CoinTexts{"0", "0", "-19"}},
        {{"1", "20", "40"}, 0, CoinTexts{"2", "4", "11"}},
        {{"4355950", "10", "6"}, 1, CoinTexts{"4355950", "10", "7"}},
        {{"4355950", "10", "7"}, 1, std::nullopt},
        {{"-4355950", "-10", "-8"}, -1, std::nullopt},
        {{"9999999", "0", "0"}, 0, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(movedBalance(c.before, c.change), c.after) << c.change;
}
