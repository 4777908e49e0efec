#include "Fixtures.h"
#include "PageDecoding.h"

#include <gtest/gtest.h>

namespace {

// Elements, by their ids, of a page's markup or of "@name", a saved page, and their innerHTML.
TEST(BrowserDocument, ElementsReadLikeABrowsers) {
    const struct {
        const char *page, *id, *html;
    } cases[] = {
        {"<div id=d>a &amp; b &lt;c&gt; &nbsp;\xc2\xbb &#187;</div>", "d",
         "a &amp; b &lt;c&gt; &nbsp;\xc2\xbb \xc2\xbb"},
        {"<div id=d><a href='x?a=1&b=\"2\"' title=\"<&nbsp;>\">l</a></div>", "d",
         "<a href=\"x?a=1&amp;b=&quot;2&quot;\" title=\"<&nbsp;>\">l</a>"},
        {"<div id=d>one<BR>two<br/><IMG SRC=newthread.gif><input name=i></div>", "d",
         "one<br>two<br><img src=\"newthread.gif\"><input name=\"i\">"},
        {"<div id=d><script>if (a < b && c) x = '</div>';</script></div>", "d",
         "<script>if (a < b && c) x = '</div>';</script>"},
        {"<div id=d><!-- google_ad_section_start -->body<!-- google_ad_section_end --></div>", "d",
         "<!-- google_ad_section_start -->body<!-- google_ad_section_end -->"},
        {"<table><tr><td id=c>x<i>y</table>after", "c", "x<i>y</i>"},
        {"<p id=p>one<p>two", "p", "one"},
        {"<form id=f><input name=a>tail", "f", "<input name=\"a\">tail"},
        {"<div id=d><svg viewBox='0 0 1 1'><foreignObject></foreignObject></svg></div>", "d",
         "<svg viewBox=\"0 0 1 1\"><foreignObject></foreignObject></svg>"},
        {"<div id=d><svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/"
         "xlink'><use xlink:href='#a'/></svg></div>",
         "d",
         "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\">"
         "<use xlink:href=\"#a\"></use></svg>"},
        // Control characters and noncharacters stay as they are; private-use characters and
        // those beyond the first plane too.
        {"<div id=d><b title='\x7f\xc2\x81'>a\xf0\x9f\x98\x80\xc2\x81\x01\xef\xb7\x90</b>"
         "<!--\xc2\x9d--><textarea>\xc2\x8d</textarea>\xf4\x8f\xb8\x80\xf4\x8f\xb9\xbf</div>",
         "d",
         "<b title=\"\x7f\xc2\x81\">a\xf0\x9f\x98\x80\xc2\x81\x01\xef\xb7\x90</b><!--\xc2\x9d-->"
         "<textarea>\xc2\x8d</textarea>\xf4\x8f\xb8\x80\xf4\x8f\xb9\xbf"},
        {"<p id=p>\x01\xf4\x8f\xbf\xbf", "p", "\x01\xf4\x8f\xbf\xbf"}, // at the very end too
        {"@pitfalls.html", "closedByTable", "cell<b>bold</b>"},
        {"@pitfalls.html", "implicit", "first paragraph\n"},
        {"@pitfalls.html", "second", "second paragraph\n"},
        {"<p id=p>&#99999999999999999999;&#x110000;&#xD800;&#0;&#4294967296;&#x100000000;x", "p",
         "\ufffd\ufffd\ufffd\ufffd\ufffd\ufffdx"},
    };
    for (const auto& c : cases) {
        const QString source = QString::fromUtf8(c.page);
        const HtmlDocument document =
            page(source.startsWith('@') ? fixture("browser/" + source.mid(1)) : source);
        EXPECT_EQ(document.getElementById(c.id).innerHTML(), c.html) << c.page << " #" << c.id;
    }
}

// The characters the parser would replace are found in a long run of plain text, whatever
// their place in it; the blanks HTML keeps and the first and last printable ones stay too.
TEST(BrowserDocument, ControlCharactersSurviveWhereverTheyStandInPlainText) {
    for (const char16_t c :
         {0x01, 0x08, 0x09, 0x0B, 0x1F, 0x20, 0x7E, 0x7F, 0x80, 0x9F, 0xFDD0, 0xFFFE}) {
        for (int at = 16; at < 24; ++at) {
            const QString text = QString(at, 'a') + QChar(c) + QString(16, 'b');
            EXPECT_EQ(page("<p id=p>" + text).getElementById("p").innerHTML(), text)
                << std::hex << int(c) << " at " << std::dec << at;
        }
    }
}

TEST(BrowserDocument, SavedPagesReadAsTheForumWroteThem) {
    const HtmlDocument text = page(fixture("browser/inner_text.html"));
    // Every element's text as a browser lays it out, the head's style left out.
    EXPECT_EQ(text.body().innerText(),
              "1,000\none\ntwo\nthree\nintro\nblock\ntail\n\npara\n\nend\na b c\n"
              "  keep   this\n  layout\na1\tb1\na2\tb2\nshown\na\u00a0\u00a0b");
    EXPECT_EQ(page(fixture("browser/pitfalls.html")).forms("unclosed").field("message").value(),
              "line one\nline two");

    const HtmlDocument board = page(fixture("browser/board_index.html"));
    EXPECT_EQ(board.scriptVariable("pb_username"), "teller");
    // The tables' ids, then the threads table's rows (the nested table's row is not one of
    // them), each as its cells' tags and texts.
    const QList<HtmlElement> tables = board.getElementsByTagName("TABLE");
    QStringList seen;
    for (const HtmlElement& table : tables)
        seen.append(table.id());
    for (const HtmlElement& row : tables.value(1).rows()) {
        seen.append(QString());
        for (const HtmlElement& cell : row.cells())
            seen.back() += cell.tagName() + ' ' + cell.innerText() + '|';
    }
    EXPECT_EQ(seen, (QStringList{"outer", "threads", "nested", "TH Icon|TH Status|TH Subject|",
                                 "TD |TD open|TD Avery Holt|", "TD |TD open|TD Re: Loan\ninner|",
                                 "TD foot|"}));
}

// Top-level string literals of a page's script; "(none)" where there is no such variable.
TEST(BrowserDocument, ScriptVariablesReadTopLevelStringLiterals) {
    const struct {
        const char *script, *name, *expected;
    } cases[] = {
        {"var pb_username = \"admin\";", "pb_username", "admin"},
        {"var a='x\\'y\\\\z\\\"';", "a", "x'y\\z\""},
        {"var a = \"\\x41\\u00e9\\u{1F600}\\uD83D\\uDE00\\101\\377\\400\\u{10FFFF}\";", "a",
         "A\u00e9\U0001F600\U0001F600A\u00ff 0\U0010FFFF"},
        {"var a = \"tab\\tnl\\nline\\\ncontinued\"", "a", "tab\tnl\nlinecontinued"},
        {"var a = \"1\", b = 'two'; var c = 3;", "b", "two"},
        {"var a = \"x\"\nvar b = \"y\"", "b", "y"},
        {"var a = \"first\"; var a = \"second\";", "a", "second"},
        {"function f() { var a = \"inner\"; }", "a", "(none)"},
        {"f(a)); var a = \"after a stray bracket\";", "a", "after a stray bracket"},
        {"// var a = \"comment\";\n/* var a = \"block\"; */", "a", "(none)"},
        {"var r = /[\"']/g, q = /x/ / 2, s = f(/'/) / 2; var a = \"after regex\";", "a",
         "after regex"},
        {"var a = \"x\" + suffix;", "a", "(none)"},
        {"var = \"nameless\", a = \"after\";", "a", "(none)"}, // no script: a syntax error
        {"var a = \"unterminated\nvar b = 1;", "a", "(none)"},
        {"var s = `var a = \"template\"`;", "a", "(none)"},
        {"x = \"var a = 'in string'\";", "a", "(none)"},
        {"</script><script src='a.js'>var a = \"x\";", "a", "(none)"},
        {"</script><script type='text/template'>var a = \"x\";", "a", "(none)"},
    };
    for (const auto& c : cases) {
        const auto value = page("<script>" + QString::fromUtf8(c.script)).scriptVariable(c.name);
        EXPECT_EQ(value.value_or("(none)"), c.expected) << c.script;
    }
}

// Scripts write into a blank page and hide elements; readers of the page see each change.
TEST(BrowserDocument, ChangesReachEveryReaderOfThePage) {
    HtmlDocument blank;
    EXPECT_EQ(blank.url(), QUrl("about:blank"));
    const HtmlDocument sameDocument = blank;
    blank.write("<html><body style=\"overflow:hidden;\" border=0><form id=f>");
    blank.write("<input type='hidden' name='cmd' value='_s-xclick'></form></body></html>");
    blank.setBgColor("ECE9D8");
    EXPECT_EQ(sameDocument.forms("f").field("cmd").value() + ' ' + sameDocument.bgColor() + ' ' +
                  sameDocument.body().getAttribute("style"),
              "_s-xclick ECE9D8 overflow:hidden;");

    HtmlDocument loaded = page("<p>old page</p>");
    loaded.write("<p>shown</p><p id=p>hidden later</p>");
    HtmlElement hidden = loaded.getElementById("p");
    hidden.setAttribute("HIDDEN", QString());
    EXPECT_EQ(loaded.body().innerText(), "shown");
    // Elements outlive the page they were read from; a missing one reads as empty.
    loaded.write("replaced");
    EXPECT_EQ(hidden.innerHTML(), "hidden later");
    EXPECT_TRUE(HtmlElement().innerHTML().isEmpty() && HtmlElement().rows().isEmpty());
}

// The charset a page is read in, from its bytes and the charset its header names, and a piece
// of its text; the charset a header names.
TEST(BrowserDecoding, FollowsTheBrowserOrderOfPrecedence) {
    const struct {
        const char *name, *bytes, *headerCharset, *charset, *fragment;
    } cases[] = {
        {"default", "<p>\x80 \xe9</p>", "", "windows-1252", "\xe2\x82\xac \xc3\xa9"},
        {"latin-1 is windows-1252", "<p>\x80</p>", "ISO-8859-1", "windows-1252", "\xe2\x82\xac"},
        {"header", "<meta charset=windows-1252><p>\xc3\xa9</p>", "utf-8", "UTF-8", "\xc3\xa9"},
        {"meta charset", "<meta charset='utf-8'><p>\xc3\xa9</p>", "", "UTF-8", "\xc3\xa9"},
        {"http-equiv", "<meta http-equiv=Content-Type content='text/html; charset=\"koi8-r\"'>\xc1",
         "", "KOI8-R", "\xd0\xb0"},
        {"unknown header label", "<meta charset=utf-8>\xc3\xa9", "bogus", "UTF-8", "\xc3\xa9"},
        {"byte order mark wins", "\xef\xbb\xbf<meta charset=windows-1252>\xc3\xa9", "windows-1252",
         "UTF-8", "\xc3\xa9"},
        {"utf-7 meta", "<meta charset=utf-7>+ADw-b+AD4-", "", "windows-1252", "+ADw-b+AD4-"},
        {"utf-7 header", "<meta charset=utf-8>\xc3\xa9", "UTF7", "UTF-8", "\xc3\xa9"},
        {"ebcdic is no web encoding", "<p>x</p>", "ibm037", "windows-1252", "<p>x</p>"},
        {"iso-2022-kr", "\x1b$)C\x0e!!", "iso-2022-kr", "windows-1252", "\x1b$)C\x0e!!"},
        {"gb2312 is read as gbk", "\x81\x40", "gb2312", "GBK", "\xe4\xb8\x82"},
        {"iso-8859-9", "\x80\xfd", "iso-8859-9", "windows-1254", "\xe2\x82\xac\xc4\xb1"},
        {"koi8-r stays", "\xc1", "koi8-r", "KOI8-R", "\xd0\xb0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const browser::DecodedPage page = browser::decodePage(c.bytes, c.headerCharset);
        EXPECT_EQ(page.charset, c.charset);
        EXPECT_TRUE(page.text.contains(QString::fromUtf8(c.fragment))) << page.text.toStdString();
    }
    EXPECT_EQ(browser::charsetFromContentType("text/html; charset=UTF-8;format=flowed"), "UTF-8");
    EXPECT_EQ(browser::charsetFromContentType("text/html;Charset = \"x-y\" ;a=b"), "x-y");
    EXPECT_TRUE(browser::charsetFromContentType("text/html").isEmpty());
}

} // namespace
