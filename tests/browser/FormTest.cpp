#include "Fixtures.h"

#include <gtest/gtest.h>

namespace {

// What the form f of a page sends: the body, and for a form sent with GET the address. Controls
// outside a form are posted in one.
TEST(BrowserForm, SendsWhatABrowserSends) {
    const struct {
        const char *name, *markup, *body, *getUrl = nullptr, *charset = "UTF-8";
    } cases[] = {
        {"text and hidden", "<input name=a value='x y'><input type=hidden name=h value='1&2'>",
         "a=x+y&h=1%262"},
        {"unnamed and disabled",
         "<input value=1><input name=d value=2 disabled><input name=e value=3>", "e=3"},
        {"buttons",
         "<input type=submit name=s value=go><input type=reset name=r><button name=b>b</button>"
         "<input type=image name=i><input name=k value=v>",
         "k=v"},
        {"checkboxes and radios",
         "<input type=checkbox name=c1 checked><input type=checkbox name=c2 value=no>"
         "<input type=radio name=r value=a><input type=radio name=r value=b checked>",
         "c1=on&r=b"},
        {"select",
         "<select name=s><option>one<option selected value=2>two</select><select name=first>"
         "<option disabled>x<option> y  z </select><select name=m multiple><option selected>p"
         "<option selected>q</select>",
         "s=2&first=y+z&m=p&m=q"},
        {"textarea line endings", "<textarea name=t>a\nb\r\nc\rd</textarea>",
         "t=a%0D%0Ab%0D%0Ac%0D%0Ad"},
        {"text input drops line breaks", "<input name=a value='x&#10;y'>", "a=xy"},
        {"disabled fieldset",
         "<fieldset disabled><legend><input name=l value=1></legend><input name=x value=2>", "l=1"},
        {"reserved characters", "<input name='a b' value='*-._~+/?é'>",
         "a+b=*-._%7E%2B%2F%3F%C3%A9"},
        {"a form opened inside a table owns the controls that follow within it and posts a "
         "password",
         "<table><form name=f><tr><td><input name=username value=teller>"
         "<input type=password name=password value='s3cret!'></td></tr></form></table>"
         "<input name=after><form name=other><input name=outside></form>",
         "username=teller&password=s3cret%21"},
        {"characters beyond the page charset as references", "<input name=n value='€ é 中 😀'>",
         "n=%80+%E9+%26%2320013%3B+%26%23128512%3B", nullptr, "windows-1252"},
        {"a unicode page", "<input name=n value='€ é 中 😀'>",
         "n=%E2%82%AC+%C3%A9+%E4%B8%AD+%F0%9F%98%80"},
        {"the charset the form accepts",
         "<form id=f method=post accept-charset='bogus utf-8'><input name=n value='€ é 中 😀'>",
         "n=%E2%82%AC+%C3%A9+%E4%B8%AD+%F0%9F%98%80", nullptr, "windows-1252"},
        {"a get replaces the query and keeps the fragment",
         "<form id=f action='search.cgi?old=1#top'><input name=q value='a b'></form>", "",
         "http://bank.example.org/forum/search.cgi?q=a+b#top"},
        {"a get without action goes to the page", "<form id=f><input name=q value=1></form>", "",
         "http://bank.example.org/forum/page.cgi?q=1"},
        {"a get resolves against the base",
         "<base href='http://other.example.org/dir/'><form id=f action=go></form>", "",
         "http://other.example.org/dir/go?"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QString markup = QString::fromUtf8(c.markup);
        if (!markup.contains("<form"))
            markup.prepend("<form id=f method=post>");
        const auto submission = page(markup, c.charset).forms("f").submission();
        ASSERT_TRUE(submission);
        EXPECT_EQ(submission->body, c.body);
        EXPECT_EQ(submission->method, c.getUrl ? "GET" : "POST");
        EXPECT_EQ(c.getUrl ? submission->url.toString(QUrl::FullyEncoded) : QString(),
                  QString::fromUtf8(c.getUrl));
    }
}

TEST(BrowserForm, FieldsSetThroughTheDomAreSubmitted) {
    const HtmlDocument document =
        page("<form name=postForm id=pf method=post action='/edit.cgi'><input id=subject "
             "name=subject value=old><textarea id=message name=message>old text</textarea>"
             "<input type=hidden name=nextaction><select name=s><option>a<option>b</select>"
             "<input type=checkbox name=c></form>");
    HtmlForm form = document.forms("postForm");
    ASSERT_FALSE(form.isNull());
    // Found by id and by place on the page (as the about page asks) too; by nothing else.
    EXPECT_EQ((QList<bool>{document.forms("pf").isNull(), document.forms(0).isNull(),
                           document.forms(QString()).isNull(), document.forms(1).isNull(),
                           document.forms(-1).isNull(), form.field(QString()).isNull()}),
              (QList<bool>{false, false, true, true, true, true}));
    document.getElementById("subject").setValue("Avery");
    document.getElementById("message").setValue("Galleons: 12\nSickles: 3");
    form.field("nextaction").setValue("post");
    form.field("s").setValue("b");
    form.field("c").setChecked(true);
    EXPECT_TRUE(form.field("c").checked());
    EXPECT_EQ(form.field("message").value(), "Galleons: 12\nSickles: 3");
    EXPECT_EQ(document.getElementById("message").innerHTML(), "old text");

    const auto submission = form.submission();
    ASSERT_TRUE(submission);
    EXPECT_EQ(submission->method + ' ' + submission->url.toString() + ' ' + submission->body,
              "POST http://bank.example.org/edit.cgi "
              "subject=Avery&message=Galleons%3A+12%0D%0ASickles%3A+3&nextaction=post&s=b&c=on");
}

// What the program sets may hold a surrogate without its other half; it goes as the
// replacement character, encoded in the page's charset or as a reference to it.
TEST(BrowserForm, ALoneSurrogateIsSentAsTheReplacementCharacter) {
    const QString value = QString("\u00E9") + QChar(0xDC00) + 'b' + QChar(0xD800) +
                          QString::fromUtf8("\U0001F600") + QChar(0xD800);
    const std::pair<QString, QByteArray> cases[] = {
        {"UTF-8", "n=%C3%A9%EF%BF%BDb%EF%BF%BD%F0%9F%98%80%EF%BF%BD"},
        {"windows-1252", "n=%E9%26%2365533%3Bb%26%2365533%3B%26%23128512%3B%26%2365533%3B"},
    };
    for (const auto& [charset, body] : cases) {
        SCOPED_TRACE(charset.toStdString());
        const HtmlDocument document = page("<form id=f method=post><input name=n>", charset);
        HtmlForm form = document.forms("f");
        form.field("n").setValue(value);
        const auto submission = form.submission();
        ASSERT_TRUE(submission);
        EXPECT_EQ(submission->body, body);
    }
}

} // namespace
