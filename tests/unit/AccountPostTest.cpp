#include "AccountPost.h"

#include "CoinTextsPrinting.h"
#include "CrLfLines.h"
#include "QtPrinting.h"

#include <gtest/gtest.h>

using namespace bank;

namespace {

const QString Board = "http://bank.proboards.com/index.cgi?board=vaultmeres";
const CoinTexts Coins{"12", "3", "4"};

} // namespace

TEST(AccountPost, CreationWritesTheCoinBlockAndSignature) {
    const NewAccountPost withoutOwner = composeAccountPost("Ada Quill", "", Coins, Board);
    EXPECT_EQ(withoutOwner.subject, "Ada Quill");
    EXPECT_EQ(withoutOwner.message,
              crLfLines({"Galleons: 12", "Sickles: 3", "Knuts: 4", ""}) + signatureBlock());

    const NewAccountPost withOwner = composeAccountPost("Ada Quill", "jdoe", Coins, Board);
    EXPECT_TRUE(withOwner.message.startsWith(
        "Account Number: [url=http://bank.proboards.com/index.cgi?action=viewprofile&user=jdoe "
        "]######## [/url]\r\n\r\nGalleons: 12\r\n"));
    EXPECT_TRUE(signatureBlock().startsWith(QString("[size=1]") + QChar(0x00AB)));
    EXPECT_TRUE(signatureBlock().endsWith(QString(QChar(0x00BB)) + "[/size]"));
}

TEST(AccountPost, BoardPrefixKeepsTheCharacterAfterTheScript) {
    EXPECT_EQ(boardPrefix(Board), "http://bank.proboards.com/index.cgi?");
    EXPECT_EQ(boardPrefix("http://bank.proboards.com/INDEX.CGI?board=x"),
              "http://bank.proboards.com/INDEX.CGI?");
}

TEST(AccountPost, TheFirstTransactionFillsInTheAccountNumberAndStartsTheList) {
    const QString created = composeAccountPost("Ada Quill", "jdoe", Coins, Board).message;
    const QString first = rewriteAccountPost(created, "42", {"10", "0", "1"}, "[*]first");
    EXPECT_EQ(
        first,
        "Account Number: [url=http://bank.proboards.com/index.cgi?action=viewprofile&user=jdoe "
        "]42 [/url]\r\n\r\n" +
            crLfLines({"Galleons: 10", "Sickles: 0", "Knuts: 1", "", "[list]", "[*]first",
                       "[/list]", "", ""}) +
            signatureBlock());

    const QString second = rewriteAccountPost(first, "42", {"9", "1", "1"}, "[*]second");
    EXPECT_TRUE(second.contains("]42 [/url]\r\n\r\nGalleons: 9\r\n"));
    EXPECT_TRUE(second.contains("[list]\r\n[*]second\r\n[*]first\r\n[/list]"));
    EXPECT_TRUE(second.endsWith(signatureBlock()));
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

// "{list}" stands for the line where the transaction list starts: "[LIST]" in
// the edit form's text, "<ul>" in the rendered body.
TEST(AccountPost, BothReadersTakeEachCoinFromTheFirstLineBeginningWithItsLabel) {
    const struct {
        QStringList lines;
        CoinTexts shown;
        std::optional<CoinTexts> numbers;
    } cases[] = {
        {{"Account Number: [url=http://galleonbank.proboards.com/index.cgi?action=viewprofile&"
          "user=knut ]42 [/url]",
          "", "Galleons: 0012 : more words", "sickles:3", " \tKNUTS:   7  "},
         {"0012", "3", "7"},
         CoinTexts{"12", "3", "7"}},
        {{"GALLEONS:12.50", "Sickles: -3", "Knuts: x", "{list}", "Knuts: 9"},
         {"12.50", "-3", "x"},
         CoinTexts{"12.5", "-3", "0"}},
        {{"Galleons: 1", "Sickles: 2", "{list}", "[*]Balance: Galleons:1 Sickles:2 Knuts:3",
          "Knuts: 3"},
         {"1", "2", ""},
         std::nullopt},
        {{"Galleons: 1", "Sickles: 2", "Note: Knuts: 3", "Knut: 3", "My knuts: 3"},
         {"1", "2", ""},
         std::nullopt},
    };
    for (const auto& c : cases) {
        const QString body = QStringList(c.lines).replaceInStrings("{list}", "<ul>").join(CrLf);
        EXPECT_EQ(readBalances(body), c.shown) << body.toStdString();
        const QString form = QStringList(c.lines).replaceInStrings("{list}", "[LIST]").join('\n');
        EXPECT_EQ(readEditFormBalances(form), c.numbers) << form.toStdString();
    }
}
