#include "Fixtures.h"

#include <gtest/gtest.h>

namespace {

// An element, by its id, of the page's markup or of "@name", a saved page.
struct ElementCase {
    const char* page;
    const char* id;
    const char* html;           // its innerHTML, unless null
    const char* text = nullptr; // its innerText, unless null
};

void PrintTo(const ElementCase& c, std::ostream* out) {
    *out << c.page << " #" << c.id;
}

class ElementTest : public ::testing::TestWithParam<ElementCase> {};

TEST_P(ElementTest, ReadsLikeABrowser) {
    const QString source = QString::fromUtf8(GetParam().page);
    const HtmlElement element =
        (source.startsWith('@') ? fixtureDocument(source.mid(1)) : page(source))
            .getElementById(GetParam().id);
    ASSERT_FALSE(element.isNull());
    EXPECT_EQ(GetParam().html ? element.innerHTML() : QString(),
              QString::fromUtf8(GetParam().html));
    EXPECT_EQ(GetParam().text ? element.innerText() : QString(),
              QString::fromUtf8(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Browser, ElementTest,
    ::testing::Values(
        ElementCase{"<div id=d>a &amp; b &lt;c&gt; &nbsp;\xc2\xbb &#187;</div>", "d",
                    "a &amp; b &lt;c&gt; &nbsp;\xc2\xbb \xc2\xbb"},
        ElementCase{"<div id=d><a href='x?a=1&b=\"2\"' title=\"<&nbsp;>\">l</a></div>", "d",
                    "<a href=\"x?a=1&amp;b=&quot;2&quot;\" title=\"<&nbsp;>\">l</a>"},
        ElementCase{"<div id=d>one<BR>two<br/><IMG SRC=newthread.gif><input name=i></div>", "d",
                    "one<br>two<br><img src=\"newthread.gif\"><input name=\"i\">"},
        ElementCase{"<div id=d><script>if (a < b && c) x = '</div>';</script></div>", "d",
                    "<script>if (a < b && c) x = '</div>';</script>"},
        ElementCase{
            "<div id=d><!-- google_ad_section_start -->body<!-- google_ad_section_end --></div>",
            "d", "<!-- google_ad_section_start -->body<!-- google_ad_section_end -->"},
        ElementCase{"<table><tr><td id=c>x<i>y</table>after", "c", "x<i>y</i>"},
        ElementCase{"<p id=p>one<p>two", "p", "one"},
        ElementCase{"<form id=f><input name=a>tail", "f", "<input name=\"a\">tail"},
        ElementCase{"<div id=d><svg viewBox='0 0 1 1'><foreignObject></foreignObject></svg></div>",
                    "d", "<svg viewBox=\"0 0 1 1\"><foreignObject></foreignObject></svg>"},
        // Control characters and noncharacters stay as they are; private-use characters too.
        ElementCase{"<div id=d><b title='\x7f\xc2\x81'>a\xc2\x81\x01\xef\xb7\x90</b><!--\xc2\x9d-->"
                    "<textarea>\xc2\x8d</textarea>\xf4\x8f\xb8\x80\xf4\x8f\xb9\xbf</div>",
                    "d",
                    "<b title=\"\x7f\xc2\x81\">a\xc2\x81\x01\xef\xb7\x90</b><!--\xc2\x9d-->"
                    "<textarea>\xc2\x8d</textarea>\xf4\x8f\xb8\x80\xf4\x8f\xb9\xbf"},
        ElementCase{"@pitfalls.html", "closedByTable", "cell<b>bold</b>"},
        ElementCase{"@pitfalls.html", "implicit", nullptr, "first paragraph"},
        ElementCase{"@pitfalls.html", "second", "second paragraph\n"},
        ElementCase{"@inner_text.html", "amount", nullptr, "1,000"},
        ElementCase{"@inner_text.html", "lines", nullptr, "one\ntwo\nthree"},
        ElementCase{"@inner_text.html", "blocks", nullptr, "intro\nblock\ntail\n\npara\n\nend"},
        ElementCase{"@inner_text.html", "spaces", nullptr, "a b c"},
        ElementCase{"@inner_text.html", "pre", nullptr, "  keep   this\n  layout"},
        ElementCase{"@inner_text.html", "grid", nullptr, "a1\tb1\na2\tb2"},
        ElementCase{"@inner_text.html", "hidden", nullptr, "shown"},
        ElementCase{"@inner_text.html", "nbsp", nullptr,
                    "a\xc2\xa0\xc2\xa0"
                    "b"}));

TEST(BrowserDocument, BodyTextLeavesOutTheHead) {
    const HtmlDocument document = fixtureDocument("inner_text.html");
    EXPECT_EQ(document.title(), "Text");
    EXPECT_TRUE(document.body().innerText().startsWith("1,000\none\ntwo"));
    EXPECT_FALSE(document.body().innerText().contains("color"));
}

TEST(BrowserDocument, TableRowsRunThroughSectionsInDisplayOrder) {
    const HtmlDocument document = fixtureDocument("board_index.html");
    const QList<HtmlElement> tables = document.getElementsByTagName("TABLE");
    ASSERT_EQ(tables.size(), 3);
    EXPECT_EQ(tables[1].id(), "threads");
    EXPECT_EQ(tables[2].id(), "nested");

    const QList<HtmlElement> rows = tables[1].rows();
    ASSERT_EQ(rows.size(), 4); // the nested table's row is not one of them
    EXPECT_EQ(rows[0].cells()[2].innerText(), "Subject");
    EXPECT_EQ(rows[0].cells()[2].tagName(), "TH");
    EXPECT_EQ(rows[1].cells()[2].innerText(), "Avery Holt");
    EXPECT_TRUE(rows[1].cells()[2].innerHTML().contains("thread=17\""));
    EXPECT_EQ(rows[2].cells()[2].innerText(), "Re: Loan\ninner");
    EXPECT_EQ(rows[3].cells()[0].innerText(), "foot");
    EXPECT_TRUE(document.body().innerHTML().contains("newthread.gif"));
}

TEST(BrowserDocument, AnUnclosedFormKeepsItsTextArea) {
    const HtmlDocument document = fixtureDocument("pitfalls.html");
    const HtmlForm form = document.forms("unclosed");
    ASSERT_FALSE(form.isNull());
    EXPECT_EQ(form.field("message").value(), "line one\nline two");
}

struct ScriptCase {
    const char* script;
    const char* name;
    const char* expected; // nullptr: no such variable
};

void PrintTo(const ScriptCase& c, std::ostream* out) {
    *out << c.script;
}

class ScriptVariableTest : public ::testing::TestWithParam<ScriptCase> {};

TEST_P(ScriptVariableTest, ReadsTopLevelStringLiterals) {
    const HtmlDocument document = page("<script>" + QString::fromUtf8(GetParam().script));
    EXPECT_EQ(document.scriptVariable(GetParam().name).value_or("(none)"),
              QString::fromUtf8(GetParam().expected ? GetParam().expected : "(none)"));
}

INSTANTIATE_TEST_SUITE_P(
    Browser, ScriptVariableTest,
    ::testing::Values(
        ScriptCase{"var pb_username = \"admin\";", "pb_username", "admin"},
        ScriptCase{"var a='x\\'y\\\\z\\\"';", "a", "x'y\\z\""},
        ScriptCase{"var a = \"\\x41\\u00e9\\u{1F600}\\uD83D\\uDE00\\101\";", "a",
                   "A\xc3\xa9\xf0\x9f\x98\x80\xf0\x9f\x98\x80"
                   "A"},
        ScriptCase{"var a = \"tab\\tnl\\nline\\\ncontinued\"", "a", "tab\tnl\nlinecontinued"},
        ScriptCase{"var a = \"1\", b = 'two'; var c = 3;", "b", "two"},
        ScriptCase{"var a = \"x\"\nvar b = \"y\"", "b", "y"},
        ScriptCase{"var a = \"first\"; var a = \"second\";", "a", "second"},
        ScriptCase{"function f() { var a = \"inner\"; }", "a", nullptr},
        ScriptCase{"// var a = \"comment\";\n/* var a = \"block\"; */", "a", nullptr},
        ScriptCase{"var r = /[\"']/g; var a = \"after regex\";", "a", "after regex"},
        ScriptCase{"var a = \"x\" + suffix;", "a", nullptr},
        ScriptCase{"var a = \"unterminated\nvar b = 1;", "a", nullptr},
        ScriptCase{"var s = `var a = \"template\"`;", "a", nullptr},
        ScriptCase{"x = \"var a = 'in string'\";", "a", nullptr},
        ScriptCase{"</script><script src='a.js'>var a = \"x\";", "a", nullptr},
        ScriptCase{"</script><script type='text/template'>var a = \"x\";", "a", nullptr}));

TEST(BrowserDocument, ScriptVariablesOfASavedBoardPage) {
    const HtmlDocument document = fixtureDocument("board_index.html");
    EXPECT_EQ(document.scriptVariable("pb_username"), "teller");
    EXPECT_EQ(document.scriptVariable("pb_displayname"),
              QString::fromUtf8("Marlow's \"Teller\" \xc3\xa9"
                                "A"));
}

TEST(BrowserDocument, WriteReplacesThePageThenAppends) {
    HtmlDocument blank;
    EXPECT_EQ(blank.url(), QUrl("about:blank"));
    const HtmlDocument sameDocument = blank;
    blank.write("<html><body style=\"overflow:hidden;\" border=0><form id=f>");
    blank.write("<input type='hidden' name='cmd' value='_s-xclick'></form></body></html>");
    EXPECT_EQ(sameDocument.forms("f").field("cmd").value(), "_s-xclick");

    blank.setBgColor("ECE9D8");
    EXPECT_EQ(sameDocument.bgColor(), "ECE9D8");
    EXPECT_EQ(sameDocument.body().getAttribute("style"), "overflow:hidden;");

    HtmlDocument loaded = page("<p>old page</p>");
    loaded.write("<p>new</p>");
    EXPECT_EQ(loaded.body().innerText(), "new");
}

TEST(BrowserDocument, HidingAnElementRemovesItsText) {
    const HtmlDocument document = page("<p>shown</p><p id=p>hidden later</p>");
    document.getElementById("p").setAttribute("HIDDEN", QString());
    EXPECT_EQ(document.body().innerText(), "shown");
}

TEST(BrowserDocument, ElementsOutliveTheirPage) {
    HtmlElement cell;
    {
        HtmlDocument document = page("<table><tr><td id=c>kept</td></tr></table>");
        cell = document.getElementById("c");
        document.write("replaced");
    }
    EXPECT_EQ(cell.innerText(), "kept");
    EXPECT_TRUE(HtmlElement().innerHTML().isEmpty());
    EXPECT_TRUE(HtmlElement().rows().isEmpty());
}

} // namespace
