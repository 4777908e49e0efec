#include "AccountPages.h"

#include "CoinTextsPrinting.h"
#include "HtmlDocument.h"
#include "MemberList.h"
#include "QtPrinting.h"
#include "ThreadTable.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace bank;

namespace {

// A saved page (a name ending in .html) or the markup given, as the browser's document has it.
HtmlDocument page(const QString& nameOrHtml) {
    QFile file(FIXTURES_DIR "/pages/" + nameOrHtml);
    const bool saved = nameOrHtml.endsWith(".html");
    EXPECT_TRUE(!saved || file.open(QIODevice::ReadOnly)) << nameOrHtml.toStdString();
    return HtmlDocument::parse(saved ? QString::fromUtf8(file.readAll()) : nameOrHtml,
                               QUrl("http://vaultmeres.proboards.com/index.cgi"), "UTF-8");
}

const QDate Today(2026, 12, 6);

QString linkText(const ThreadLink& link) {
    return link.threadNumber + " " + link.subject + (link.isAccount ? " account" : " other");
}

} // namespace

TEST(AccountPages, TheThreadTableListsAccountsAndSkipsRepliesAndTheHeading) {
    const QList<ThreadLink> links = threadLinks(threadTable(page("board-page1.html")));
    ASSERT_EQ(links.size(), 20);
    EXPECT_EQ(linkText(links[0]) + " | " + linkText(links[2]),
              "124 Sorrel Cobbold account | " + links[2].threadNumber + " Re: Loan other");
    EXPECT_EQ(threadLinks(threadTable(page("board-page2.html"))).size(), 6);
    EXPECT_TRUE(threadLinks(threadTable(page("board-page3.html"))).isEmpty());
}

TEST(AccountPages, AThreadTableRowNeedsASubjectCellWithAThreadLink) {
    // The thread table is the page's seventh.
    const QString rows =
        "<tr><td></td><td></td><td><a href=\"x\">Subject</a></td></tr>"
        "<tr><td></td><td></td><td><a href=\"index.cgi?thread=7\">Subject</a></td></tr>"
        "<tr><td></td><td><a href=\"index.cgi?thread=8\">Two cells</a></td></tr>"
        "<tr><td></td><td></td><td> <a href=\"index.cgi?board=b&amp;thread=9\">Bob  &amp;"
        "  Smith</a> </td><td>3</td><td>Today at 9:41am by <b>teller</b></td></tr>";
    const QList<ThreadLink> links = threadLinks(
        threadTable(page(QString("<table></table>").repeated(6) + "<table>" + rows + "</table>")));
    ASSERT_EQ(links.size(), 2);
    // The heading row, then blanks and references as the forum wrote them, read back exactly.
    EXPECT_EQ(linkText(links[0]) + " | " + linkText(links[1]) + " | " + links[1].activity,
              "7 Subject other | 9 Bob  &  Smith account | 3\tToday at 9:41am by teller\t");
}

TEST(AccountPages, ABoardPageOffersNewThreadsByItsButtonOnly) {
    // The last: a subject that names the image is no button.
    QString offers;
    for (const char* pageOrHtml :
         {"board-page1.html", "board-page3.html",
          "<a href=\"index.cgi?action=post\"><IMG SRC=\"/Images/NewThread.GIF\"></a>",
          "<a href=\"index.cgi?thread=5\">newthread.gif</a>"})
        offers += offersNewThread(page(pageOrHtml)) ? "1" : "0";
    EXPECT_EQ(offers, "1010");
}

// What the manager takes from an account thread, in one line.
static std::string readThread(const QString& pageOrHtml) {
    const AccountThread t = readAccountThread(
        pageOrHtml.endsWith(".html") ? page(pageOrHtml).body().innerHTML() : pageOrHtml, Today);
    return QString("%1 | %2 | %3 | %4 | %5 | %6 %7 %8 | %9%10")
        .arg(t.missingCoinLine ? "no " + coinLineName(*t.missingCoinLine) : "",
             t.dateFound ? QString("dated") : "undated", t.created, t.lastTransaction, t.teller,
             t.balances.galleons, t.balances.sickles, t.balances.knuts,
             t.mayModify ? QString("modify ") : "", t.mayDelete ? QString("delete") : "")
        .toStdString();
}

TEST(AccountPages, AnAccountThreadGivesBalancesDatesTellerAndRights) {
    const char* const withTransactions = "thread-with-transactions.html";
    EXPECT_TRUE(readAccountThread(page(withTransactions).body().innerHTML(), Today)
                    .body.startsWith("Galleons: 13\r\nSickles: 15\r\n"));
    const std::pair<QString, const char*> cases[] = {
        {withTransactions, " | dated | Sep 02, 2026, 9:00am | Dec 05, 2026, 1:02pm | Brielle "
                           "Sutherby | 13 15 17 | modify delete"},
        // Without a last edit the creation date stands twice; a guest is offered no buttons.
        {"thread-account-guest.html",
         " | dated | Dec 06, 2026, 10:27am | Dec 06, 2026, 10:27am | N/A | 30 16 15 | "},
        // A page without a date keeps only the name.
        {"<!-- google_ad_section_start -->Galleons: 1<br>Sickles: 2<br>Knuts: 3<!-- "
         "google_ad_section_end -->",
         " | undated |  |  |  |    | "},
        // A post without its coin lines is no account.
        {"thread-missing-coins.html", "no galleon | undated |  |  |  |    | "},
        // A second section marker ends what is read.
        {"<!-- google_ad_section_start -->Galleons: 1<BR>Sickles: 2<br><!-- "
         "google_ad_section_start --><br>Knuts: 3",
         "no knut | undated |  |  |  |    | "},
        {"<!-- google_ad_section_start -->GALLEONS:7<br>knuts:1",
         "no sickle | undated |  |  |  |    | "},
        {"<!-- google_ad_section_start -->Account Number: <a "
         "href=\"http://galleonbank.proboards.com/index.cgi?action=viewprofile&amp;user=knuts:\">"
         "42 </a><br><br>Galleons: 1<br>Note: sickles: 2<br><ul><br><li>Knuts: 3",
         "no sickle | undated |  |  |  |    | "},
        {"<!-- google_ad_section_start -->Galleons: 1<br>Sickles: 2<br><UL><br><li>Knuts: 3",
         "no knut | undated |  |  |  |    | "},
        {"no markers at all", "no galleon | undated |  |  |  |    | "},
    };
    for (const auto& [pageOrHtml, read] : cases)
        EXPECT_EQ(readThread(pageOrHtml), read) << pageOrHtml.toStdString();
}

TEST(AccountPages, TodayAndYesterdayBecomeDates) {
    const QDate day(2026, 12, 5);
    EXPECT_EQ(QStringList({applyDayNames("<B>Today</B> at 9:41am", day),
                           applyDayNames("<b>yesterday</b> at 9:41am", day),
                           applyDayNames("<B>Yesterday</B> at 11:00pm", QDate(2026, 1, 1)),
                           applyDayNames("Sep 02, 2026, 9:00am", Today)}),
              QStringList({"Dec 05, 2026, 9:41am", "Dec 04, 2026, 9:41am", "Dec 31, 2025, 11:00pm",
                           "Sep 02, 2026, 9:00am"}));
}

TEST(MemberList, TheLetterFollowsTheChosenPartOfTheNameAndTheAddressTheBoards) {
    EXPECT_EQ(memberListAddress("http://x.proboards.com/index.cgi?board=bank", "J"),
              "http://x.proboards.com/index.cgi?action=members&view=letter&letter=J");
    const std::tuple<const char*, NameOrder, const char*> cases[] = {
        {"Smith, John", NameOrder::FirstName, "J"}, {"Smith, John", NameOrder::LastName, "S"},
        {"Smith, John", NameOrder::All, "A"},       {"smith", NameOrder::All, "A"},
        {" smith", NameOrder::LastName, "S"},       {"Smith,", NameOrder::FirstName, "A"},
    };
    for (const auto& [user, order, letter] : cases)
        EXPECT_EQ(memberListLetter(user, order), letter) << user;
}
