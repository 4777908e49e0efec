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

// The page as the browser's document shows it: the body's markup.
HtmlDocument page(const char* name) {
    QFile file(QStringLiteral(FIXTURES_DIR "/pages/%1").arg(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return HtmlDocument::parse(QString::fromUtf8(file.readAll()),
                               QUrl("http://vaultmeres.proboards.com/index.cgi"), "UTF-8");
}

const QDate Today(2026, 12, 6);

} // namespace

TEST(AccountPages, TheThreadTableListsAccountsAndSkipsRepliesAndTheHeading) {
    const QList<ThreadLink> links = threadLinks(threadTable(page("board-page1.html")));
    ASSERT_EQ(links.size(), 20);
    EXPECT_EQ(links[0].threadNumber, "124");
    EXPECT_EQ(links[0].subject, "Sorrel Cobbold");
    EXPECT_TRUE(links[0].isAccount);
    EXPECT_EQ(links[2].subject, "Re: Loan");
    EXPECT_FALSE(links[2].isAccount);
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
    const QList<ThreadLink> links = threadLinks(threadTable(HtmlDocument::parse(
        QString("<table></table>").repeated(6) + "<table>" + rows + "</table>", QUrl(), "UTF-8")));
    ASSERT_EQ(links.size(), 2);
    EXPECT_FALSE(links[0].isAccount); // the heading row
    EXPECT_EQ(links[1].threadNumber, "9");
    EXPECT_TRUE(links[1].isAccount);
    // Blanks and references as the forum wrote them: the subject reads back exactly.
    EXPECT_EQ(links[1].subject, "Bob  &  Smith");
    EXPECT_EQ(links[1].activity, "3\tToday at 9:41am by teller\t");
}

TEST(AccountPages, ABoardPageOffersNewThreadsByItsButtonOnly) {
    EXPECT_TRUE(offersNewThread(page("board-page1.html")));
    EXPECT_FALSE(offersNewThread(page("board-page3.html")));
    EXPECT_TRUE(offersNewThread(HtmlDocument::parse(
        "<a href=\"index.cgi?action=post\"><IMG SRC=\"/Images/NewThread.GIF\"></a>", QUrl(),
        "UTF-8")));
    // A subject that names the image is no button.
    EXPECT_FALSE(offersNewThread(
        HtmlDocument::parse("<a href=\"index.cgi?thread=5\">newthread.gif</a>", QUrl(), "UTF-8")));
}

// What the manager takes from an account thread, in one line.
static std::string readThread(const QString& pageOrHtml) {
    const AccountThread t = readAccountThread(
        pageOrHtml.endsWith(".html") ? page(qPrintable(pageOrHtml)).body().innerHTML() : pageOrHtml,
        Today);
    return QStringList{t.missingCoinLine ? "no " + coinLineName(*t.missingCoinLine) : "",
                       t.dateFound ? "dated" : "undated",
                       t.created,
                       t.lastTransaction,
                       t.teller,
                       t.balances.galleons + " " + t.balances.sickles + " " + t.balances.knuts,
                       QString(t.mayModify ? "modify " : "") + (t.mayDelete ? "delete" : "")}
        .join(" | ")
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
    EXPECT_EQ(applyDayNames("<B>Today</B> at 9:41am", QDate(2026, 12, 5)), "Dec 05, 2026, 9:41am");
    EXPECT_EQ(applyDayNames("<b>yesterday</b> at 9:41am", QDate(2026, 12, 5)),
              "Dec 04, 2026, 9:41am");
    EXPECT_EQ(applyDayNames("<B>Yesterday</B> at 11:00pm", QDate(2026, 1, 1)),
              "Dec 31, 2025, 11:00pm");
    EXPECT_EQ(applyDayNames("Sep 02, 2026, 9:00am", Today), "Sep 02, 2026, 9:00am");
}

TEST(MemberList, TheLetterFollowsTheChosenPartOfTheName) {
    const std::tuple<const char*, NameOrder, const char*> cases[] = {
        {"Smith, John", NameOrder::FirstName, "J"}, {"Smith, John", NameOrder::LastName, "S"},
        {"Smith, John", NameOrder::All, "A"},       {"smith", NameOrder::All, "A"},
        {" smith", NameOrder::LastName, "S"},       {"Smith,", NameOrder::FirstName, "A"},
    };
    for (const auto& [user, order, letter] : cases)
        EXPECT_EQ(memberListLetter(user, order), letter) << user;
}

TEST(MemberList, TheAddressKeepsTheBoardAddressUpToItsQuery) {
    EXPECT_EQ(memberListAddress("http://x.proboards.com/index.cgi?board=bank", "J"),
              "http://x.proboards.com/index.cgi?action=members&view=letter&letter=J");
}
