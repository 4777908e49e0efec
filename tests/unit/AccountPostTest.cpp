#include "AccountPost.h"

#include "AccountPages.h"
#include "CoinTextsPrinting.h"
#include "CrLfLines.h"
#include "PostText.h"
#include "QtPrinting.h"
#include "TransactionRecord.h"

#include <gtest/gtest.h>

using namespace bank;

const QString Board = "http://bank.proboards.com/index.cgi?board=vaultmeres";
const CoinTexts Coins{"12", "3", "4"};

// An account is created with its number to come; the first transaction fills it in. The
// owner's address keeps the board's up to the character after the script.
TEST(AccountPost, CreationWritesTheCoinBlockAndTheFirstTransactionStartsTheList) {
    EXPECT_EQ(boardPrefix("http://bank.proboards.com/INDEX.CGI?board=x"),
              "http://bank.proboards.com/INDEX.CGI?");
    const NewAccountPost bare = composeAccountPost("Ada Quill", "", Coins, Board);
    EXPECT_EQ(bare.subject + "|" + bare.message,
              "Ada Quill|" + crLfLines({"Galleons: 12", "Sickles: 3", "Knuts: 4", ""}) +
                  signatureBlock());

    const QString owner =
        "Account Number: [url=http://bank.proboards.com/index.cgi?action=viewprofile&user=jdoe ]";
    const QString created = composeAccountPost("Ada Quill", "jdoe", Coins, Board).message;
    EXPECT_TRUE(created.startsWith(owner + "######## [/url]\r\n\r\nGalleons: 12\r\n"));
    const QString first = rewriteAccountPost(created, "42", {"10", "0", "1"}, "[*]first");
    const auto numbered = [&](std::initializer_list<QString> lines) {
        return owner + "42 [/url]\r\n\r\n" + crLfLines(lines) + "[/list]\r\n\r\n\r\n" +
               signatureBlock();
    };
    EXPECT_EQ(first,
              numbered({"Galleons: 10", "Sickles: 0", "Knuts: 1", "", "[list]", "[*]first"}));
    EXPECT_EQ(
        rewriteAccountPost(first, "42", {"9", "1", "1"}, "[*]second"),
        numbered({"Galleons: 9", "Sickles: 1", "Knuts: 1", "", "[list]", "[*]second", "[*]first"}));
}

TEST(AccountPost, RewriteDropsEveryOldCoinLineAndBlankLinesOfTheHeader) {
    // The owner's name and free text may speak of coins; only coin lines go.
    const QString owner =
        "Account Number: [url=x?action=viewprofile&user=galleons:knuts: ]7 [/url]";
    const QString old =
        crLfLines({owner, "GALLEONS:99", "Note: Sickles: 2 owed", "", "", "Galleons: 1",
                   "Sickles: 2", "Knuts: 3", "", "[list]", "[*]old", "[/list]"}) +
        signatureBlock();
    const QString rewritten = rewriteAccountPost(old, "7", {"5", "6", "7"}, "[*]new");
    EXPECT_TRUE(rewritten.startsWith(
        crLfLines({owner, "Note: Sickles: 2 owed", "", "Galleons: 5", "Sickles: 6", "Knuts: 7", "",
                   "[list]", "[*]new", "[*]old"})))
        << rewritten.toStdString();
    const QString noHeader = rewriteAccountPost(
        crLfLines({"Galleons: 1", "Sickles: 2", "Knuts: 3", ""}) + signatureBlock(), "7", Coins,
        "[*]x");
    EXPECT_TRUE(noHeader.startsWith("Galleons: 12\r\n"));
}

// A row: the post's lines split by ";" ("{list}" where the transaction list starts: "[LIST]"
// in the edit form's text, "<ul>" in the rendered body) | what the rendered body shows | the
// edit form's numbers, "none" where they give no balance.
TEST(AccountPost, BothReadersTakeEachCoinFromTheFirstLineBeginningWithItsLabel) {
    const auto coins = [](const CoinTexts& c) {
        return QStringList{c.galleons, c.sickles, c.knuts}.join(',');
    };
    for (
        const QString row :
        {"Account Number: [url=http://galleonbank.proboards.com/index.cgi?action=viewprofile&"
         "user=knut ]42 [/url];;Galleons: 0012 : more words;sickles:3; \tKNUTS:   7   | 0012,3,7 | "
         "12,3,7",
         "GALLEONS:12.50;Sickles: -3;Knuts: x;{list};Knuts: 9 | 12.50,-3,x | 12.5,-3,0",
         "Galleons: 1;Sickles: 2;{list};[*]Balance: Galleons:1 Sickles:2 Knuts:3;Knuts: 3 | 1,2, | "
         "none",
         "Galleons: 1;Sickles: 2;Note: Knuts: 3;Knut: 3;My knuts: 3 | 1,2, | none"}) {
        const QString post = row.section(" | ", 0, 0);
        const QStringList lines = post.split(';');
        const auto numbers = readEditFormBalances(
            QStringList(lines).replaceInStrings("{list}", "[LIST]").join('\n'));
        EXPECT_EQ(post + " | " +
                      coins(readBalances(
                          QStringList(lines).replaceInStrings("{list}", "<ul>").join(CrLf))) +
                      " | " + (numbers ? coins(*numbers) : "none"),
                  row);
    }
}

TEST(PostText, APostHeldAsSentIsRecognisedThroughTheForumsOwnWriting) {
    const PostFields sent{"Tom & Jerry", "Galleons: 5\r\nSickles: 0\r\n\r\nfor Renée <3\r\n"};
    const QString& m = sent.message;
    const std::tuple<const char*, PostFields, bool> cases[] = {
        {"as sent", sent, true},
        {"line feeds", {sent.subject, QString(m).replace("\r\n", "\n")}, true},
        {"references",
         {"Tom &amp; Jerry", QString(m).replace("é", "&#233;").replace("<", "&lt;")},
         true},
        {"hexadecimal reference", {"Tom &#x26; Jerry", m}, true},
        {"blanks around the whole", {" Tom & Jerry ", m + "\r\n  "}, true},
        {"another number", {sent.subject, QString(m).replace('5', '6')}, false},
        {"a line lost", {sent.subject, QString(m).remove("Sickles: 0\r\n")}, false},
        {"blanks inside", {sent.subject, QString(m).replace(": 5", ":  5")}, false},
        {"another subject", {"Tom Jerry", m}, false},
        {"the forum's error page", {}, false}};
    for (const auto& [what, held, same] : cases)
        EXPECT_EQ(holdsAsSent(sent, held), same) << what;
}

TEST(PostText, CharacterReferencesBecomeTheirCharacters) {
    const std::pair<const char*, QString> cases[] = {
        {"&amp;&lt;&gt;&quot;&apos;", "&<>\"'"},
        {"caf&#233; &#x1F600;", QString("caf\u00e9 ") + QString::fromUcs4(U"\U0001F600")},
        {"&nbsp;", QString(QChar(0xA0))},
        {"&lt;3 & more", "<3 & more"},
        {"&&#00000065;", "&A"},      // a reference is at most ten characters long
        {"&&amp; &x&lt;", "&& &x<"}, // an ampersand that starts no reference stays alone
        {"&#x10FFFF;", QString::fromUcs4(U"\U0010FFFF")},
        // What is no reference stays as written.
        {"A & B; &unknown; &#0; &#xD800; &#xDFFF; &#x110000; &#99999999;",
         "A & B; &unknown; &#0; &#xD800; &#xDFFF; &#x110000; &#99999999;"},
        {"trailing &", "trailing &"},
    };
    for (const auto& [text, decoded] : cases)
        EXPECT_EQ(decodeCharacterReferences(text), decoded) << text;
    EXPECT_EQ(withCrLf("a\r\nb\nc"), "a\r\nb\r\nc");
}

TEST(PostText, ListMarkersAreFoundInAnyCase) {
    QStringList found;
    for (const char* text : {"Paid for a [list] of things", "[/LIST] at the end", "[List]",
                             "a list, [lis t] and [*]", ""})
        found.append(listMarkerIn(text).value_or("none"));
    EXPECT_EQ(found, QStringList({"[list]", "[/list]", "[list]", "none", "none"}));
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
    QStringList found;
    for (const QString thread : {"5", "50", "7"})
        found.append(newestPostNumber(links, thread).value_or("none"));
    EXPECT_EQ(found + editedPosts(links + links, "5"),
              QStringList({"12", "40", "none", "5", "12", "9"}));
    EXPECT_EQ(threadNumberIn("http://x.proboards.com/index.cgi?board=b&THREAD=42&post=42") + "|" +
                  threadNumberIn("http://x.proboards.com/index.cgi?board=b"),
              "42|");
}

TEST(TransactionRecord, ABalanceMovesWithinWhatTheCalculatorHolds) {
    const std::tuple<CoinTexts, qint64, std::optional<CoinTexts>> cases[] = {
        {{"12", "3", "7"}, 1, CoinTexts{"12", "3", "8"}},
        {{"12", "3", "7"}, -(12 * 493 + 3 * 29 + 7), CoinTexts{"0", "0", "0"}},
        {{"0", "0", "10"}, -29, CoinTexts{"0", "0", "-19"}},
        {{"1", "20", "40"}, 0, CoinTexts{"2", "4", "11"}},
        {{"4355950", "10", "6"}, 1, CoinTexts{"4355950", "10", "7"}},
        {{"4355950", "10", "7"}, 1, std::nullopt},
        {{"-4355950", "-10", "-8"}, -1, std::nullopt},
        {{"9999999", "0", "0"}, 0, std::nullopt},
    };
    for (const auto& [before, change, after] : cases)
        EXPECT_EQ(movedBalance(before, change), after) << change;
}
