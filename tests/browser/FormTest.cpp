#include "Fixtures.h"

#include <gtest/gtest.h>

namespace {

browser::FormSubmission submit(const HtmlDocument& document,
                               const QString& form = QStringLiteral("f")) {
    const std::optional<browser::FormSubmission> submission = document.forms(form).submission();
    EXPECT_TRUE(submission.has_value());
    return submission.value_or(browser::FormSubmission{});
}

struct ControlsCase {
    const char* name;
    const char* controls;
    const char* expected; // the urlencoded form data
};

void PrintTo(const ControlsCase& c, std::ostream* out) {
    *out << c.name;
}

class SuccessfulControlsTest : public ::testing::TestWithParam<ControlsCase> {};

TEST_P(SuccessfulControlsTest, SendsWhatABrowserSends) {
    const HtmlDocument document =
        page(QStringLiteral("<form id=f method=post>") + QString::fromUtf8(GetParam().controls) +
             QStringLiteral("</form>"));
    EXPECT_EQ(submit(document).body, QByteArray(GetParam().expected)) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Browser, SuccessfulControlsTest,
    ::testing::Values(
        ControlsCase{"text and hidden",
                     "<input name=a value='x y'><input type=hidden name=h value='1&2'>",
                     "a=x+y&h=1%262"},
        ControlsCase{"unnamed and disabled",
                     "<input value=1><input name=d value=2 disabled><input name=e value=3>", "e=3"},
        ControlsCase{"buttons",
                     "<input type=submit name=s value=go><input type=reset name=r>"
                     "<button name=b>b</button><input type=image name=i><input name=k value=v>",
                     "k=v"},
        ControlsCase{"checkboxes and radios",
                     "<input type=checkbox name=c1 checked><input type=checkbox name=c2 value=no>"
                     "<input type=radio name=r value=a><input type=radio name=r value=b checked>",
                     "c1=on&r=b"},
        ControlsCase{"select",
                     "<select name=s><option>one<option selected value=2>two</select>"
                     "<select name=first><option disabled>x<option> y  z </select>"
                     "<select name=m multiple><option selected>p<option selected>q</select>",
                     "s=2&first=y+z&m=p&m=q"},
        ControlsCase{"textarea line endings", "<textarea name=t>a\nb\r\nc\rd</textarea>",
                     "t=a%0D%0Ab%0D%0Ac%0D%0Ad"},
        ControlsCase{"text input drops line breaks", "<input name=a value='x&#10;y'>", "a=xy"},
        ControlsCase{"disabled fieldset",
                     "<fieldset disabled><legend><input name=l value=1></legend>"
                     "<input name=x value=2></fieldset>",
                     "l=1"},
        ControlsCase{"reserved characters", "<input name='a b' value='*-._~+/?é'>",
                     "a+b=*-._%7E%2B%2F%3F%C3%A9"}));

TEST(BrowserForm, FieldsSetThroughTheDomAreSubmitted) {
    const HtmlDocument document =
        page(QStringLiteral("<form name=postForm id=pf method=post action='/edit.cgi'>"
                            "<input id=subject name=subject value=old><textarea id=message "
                            "name=message>old text</textarea>"
                            "<input type=hidden id=nextaction name=nextaction><select "
                            "name=s><option>a<option>b</select>"
                            "<input type=checkbox name=c></form>"));
    HtmlForm form = document.forms(QStringLiteral("postForm"));
    ASSERT_FALSE(form.isNull());
    EXPECT_FALSE(document.forms(QStringLiteral("pf")).isNull());
    EXPECT_TRUE(document.forms(QString()).isNull());
    EXPECT_TRUE(form.field(QString()).isNull());
    document.getElementById(QStringLiteral("subject")).setValue(QStringLiteral("Avery"));
    document.getElementById(QStringLiteral("message"))
        .setValue(QStringLiteral("Galleons: 12\nSickles: 3"));
    form.field(QStringLiteral("nextaction")).setValue(QStringLiteral("post"));
    form.field(QStringLiteral("s")).setValue(QStringLiteral("b"));
    form.field(QStringLiteral("c")).setChecked(true);
    EXPECT_TRUE(form.field(QStringLiteral("c")).checked());
    EXPECT_EQ(form.field(QStringLiteral("message")).value(),
              QStringLiteral("Galleons: 12\nSickles: 3"));
    EXPECT_EQ(document.getElementById(QStringLiteral("message")).innerHTML(),
              QStringLiteral("old text"));

    const browser::FormSubmission submission = submit(document, QStringLiteral("postForm"));
    EXPECT_EQ(submission.method, QByteArray("POST"));
    EXPECT_EQ(submission.url, QUrl(QStringLiteral("http://bank.example.org/edit.cgi")));
    EXPECT_EQ(
        submission.body,
        QByteArray(
            "subject=Avery&message=Galleons%3A+12%0D%0ASickles%3A+3&nextaction=post&s=b&c=on"));
}

struct ActionCase {
    const char* form;
    const char* expectedUrl;
};

void PrintTo(const ActionCase& c, std::ostream* out) {
    *out << c.form;
}

class FormActionTest : public ::testing::TestWithParam<ActionCase> {};

TEST_P(FormActionTest, ResolvesTheActionAgainstThePage) {
    const HtmlDocument document = page(QString::fromUtf8(GetParam().form));
    const std::optional<browser::FormSubmission> submission =
        document.forms(QStringLiteral("f")).submission();
    ASSERT_TRUE(submission.has_value());
    EXPECT_EQ(submission->method, QByteArray("GET"));
    EXPECT_EQ(submission->url.toString(QUrl::FullyEncoded),
              QString::fromUtf8(GetParam().expectedUrl));
}

INSTANTIATE_TEST_SUITE_P(
    Browser, FormActionTest,
    ::testing::Values(
        ActionCase{"<form id=f action='search.cgi?old=1#top'><input name=q value='a b'></form>",
                   "http://bank.example.org/forum/search.cgi?q=a+b#top"},
        ActionCase{"<form id=f><input name=q value=1></form>",
                   "http://bank.example.org/forum/page.cgi?q=1"},
        ActionCase{"<base href='http://other.example.org/dir/'><form id=f action=go></form>",
                   "http://other.example.org/dir/go?"}));

TEST(BrowserForm, EncodesInThePageCharsetWithCharacterReferences) {
    const QString controls = QString::fromUtf8(
        "<input name=n value='\xe2\x82\xac \xc3\xa9 \xe4\xb8\xad \xf0\x9f\x98\x80'>");
    const HtmlDocument western =
        page(QStringLiteral("<form id=f method=post>") + controls, QStringLiteral("windows-1252"));
    EXPECT_EQ(submit(western).body, QByteArray("n=%80+%E9+%26%2320013%3B+%26%23128512%3B"));

    const HtmlDocument unicode = page(QStringLiteral("<form id=f method=post>") + controls);
    EXPECT_EQ(submit(unicode).body, QByteArray("n=%E2%82%AC+%C3%A9+%E4%B8%AD+%F0%9F%98%80"));

    const HtmlDocument accepting =
        page(QStringLiteral("<form id=f method=post accept-charset='bogus utf-8'>") + controls,
             QStringLiteral("windows-1252"));
    EXPECT_EQ(submit(accepting).body, submit(unicode).body);
}

TEST(BrowserForm, FormOpenedInsideATableOwnsTheControlsThatFollow) {
    const HtmlDocument document = page(QStringLiteral(
        "<table><form name=f method=post action=login.cgi><tr><td><input id=username name=username>"
        "<input type=password id=password name=password></td></tr></form></table>"
        "<form name=other><input name=outside></form>"));
    document.getElementById(QStringLiteral("username")).setValue(QStringLiteral("teller"));
    document.getElementById(QStringLiteral("password")).setValue(QStringLiteral("s3cret!"));
    EXPECT_EQ(submit(document).body, QByteArray("username=teller&password=s3cret%21"));
}

} // namespace
