#include "BrowserLimits.h"
#include "Fixtures.h"
#include "NestingScan.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

namespace {

// Everything a caller may do with a page, so that every walk sees the input.
void exercise(const HtmlDocument& document) {
    (void)document.title();
    (void)document.body().innerHTML();
    (void)document.body().innerText();
    for (const HtmlElement& table : document.getElementsByTagName("table"))
        for (const HtmlElement& row : table.rows())
            for (const HtmlElement& cell : row.cells())
                (void)cell.innerText();
    for (const HtmlElement& form : document.getElementsByTagName("form"))
        (void)document.forms(form.getAttribute("name")).submission();
    (void)document.scriptVariable("a");
}

// Markup from pieces the parser treats specially, in random order.
QString randomSoup(QRandomGenerator& random) {
    static const QStringList kPieces =
        QString("<table>|</table>|<tr>|</tr>|<td>|</td>|<th>|<tbody>|<caption>|<form name=a>|"
                "</form>|<input name=a value=|<select name=a>|<option selected>|<option>|"
                "<textarea name=a>|<p>|</p>|<div>|</div>|<b>|</b>|</i>|<a href=x>|</a>|"
                "<font color=red>|</font>|<span>|</span>|<li>|</li>|<ul>|<dd>|<button>|<h1>|"
                "</h2>|<br>|<pre>|<script>var a = \"|\\u|</script>|<!--|-->|&#|&amp|\"|'|"
                "<svg>|<svg><style>|<math>|<math><mi>|<template>|<select>|<frameset>|"
                "<![CDATA[|]]>|<fieldset disabled>|<legend>|<x-post>|</X-Post>|<search>|"
                "</dialog>|x| |\n|\r|\x7f")
            .split('|');
    QString soup;
    const int pieces = random.bounded(1, 400);
    for (int i = 0; i < pieces; ++i)
        soup += kPieces[random.bounded(int(kPieces.size()))];
    return soup;
}

// The most elements around any node: they were all open at once while it was added.
int deepestNesting(const browser::NodeTree& tree) {
    std::vector<int> around(tree.nodes.size(), 0);
    for (size_t i = 1; i < tree.nodes.size(); ++i) {
        const auto parent = size_t(tree.nodes[i].parent);
        around[i] = around[parent] + (tree.nodes[parent].kind == browser::NodeKind::Element);
    }
    return *std::max_element(around.begin(), around.end());
}

// Random markup never crashes a walk of the page; the scan that keeps deep pages from
// the parser may read a page a few levels shallower than the parser builds it, never more.
TEST(BrowserFuzz, RandomMarkupNeverCrashesNorOutgrowsTheNestingScan) {
    constexpr int kSlack = 4;
    QRandomGenerator random(20261207); // fixed seed: a failure can be replayed
    for (int round = 0; round < 1000; ++round) {
        const QString soup = randomSoup(random);
        exercise(page(soup));
        if (const auto tree = browser::parseHtml(soup)) { // else refused before it grew deep
            const int deepest = deepestNesting(*tree);
            EXPECT_GE(browser::nestingDepth(soup.toUtf8(), deepest) + kSlack, deepest)
                << qPrintable(soup);
        }
    }
}

TEST(BrowserFuzz, InputBeyondTheCapIsCut) {
    const HtmlDocument document = page("<p>" + QString(int(browser::kMaxParseBytes), 'a'));
    EXPECT_EQ(document.body().innerText().size(), browser::kMaxParseBytes - 3);
}

// Formatting elements that differ from each other, so that the parser keeps every one of them.
QString distinctBold(int count) {
    QString text = "<p>";
    for (int i = 0; i < count; ++i)
        text += QStringLiteral("<b id=%1>").arg(i);
    return text;
}

// Elements of names the parser has no rules for, each of a name of its own, left open.
QString distinctUnknownElements(int count) {
    QString text;
    for (int i = 0; i < count; ++i)
        text += QStringLiteral("<x-%1>").arg(i);
    return text;
}

// Pages built to make the parser work or allocate without bound: each ends as its
// document or as an error document that says the page is too complex, and never
// holds more nodes than the budget.
TEST(BrowserHostilePage, EndsWithinTheBudget) {
    const struct {
        const char* name;
        QString markup;
        bool tooComplex;
    } cases[] = {
        {"100,000 unclosed blocks", many("<div>", 100'000), true},
        {"200,000 unclosed blocks with attributes", many("<div class=post>", 200'000), true},
        {"100,000 unclosed inline elements", many("<span>", 100'000), true},
        {"formatting reopened in every paragraph", distinctBold(1000) + many("<p>x", 3000), true},
        {"shallow formatting reopened", distinctBold(300) + many("<p>x", 2000), true},
        {"misnested formatting that deepens", many("<b><div></b>", 50'000), true},
        {"list items left open through lists", many("<li><ul></li>", 50'000), true},
        {"blocks after a foreign style", "<svg><style>" + many("<div>", 100'000), true},
        {"blocks after an abrupt comment", "<!-->" + many("<div>", 100'000), true},
        {"600 elements of names of their own, left open", distinctUnknownElements(600), true},
        {"more nodes than the budget", many("<i>x</i>", 250'000), true},
        {"tables nested 200 deep", many("<table><tr><td>", 200), true},
        {"markup failing the parser's checks", "<table><math><select><math><mi><select><tr>", true},
        {"a long forum page",
         "<title>Bank - Account</title>" +
             ("<table width=92%><tr><td><b><a "
              "href=\"index.cgi?action=viewprofile&amp;user=teller\">"
              "Teller</a></b></td><td>Galleons: 12<br>" +
              many("<li>Dec 05,2026<br>Amount: <font color=lime>+ 3 Galleons</font></li>", 10) +
              "</td></tr></table>")
                 .repeated(1200) +
             "<p>end of page",
         false},
        // What old boards and their members write: ends left to the parser, misnested formatting.
        {"tag soup of an old board",
         "<select name=jump>" + many("<option>board", 5000) + "</select><ul>" +
             many("<li>member", 5000) + "</ul>" + many("<p>paragraph", 5000) + "<table>" +
             many("<tr><td><font size=1><b>a</font></b><td><div><font color=red>b", 2000) +
             "</table><center><p>end of page",
         false},
        {"rows left open, with cells and without",
         "<table>" + many("<tr>", 600) + many("<tr><td><b>x", 600) + "</table>end of page", false},
        // Room for html, body and the tables; every walk of the page without recursion.
        {"spans as deep as the budget allows",
         many("<span>", browser::kMaxParseDepth - 20) + many("<table><tr><td>", 2) + "end of page",
         false},
        {"blocks within the budget", many("<div>", 400) + "end of page", false},
        {"400 elements of names of their own, left open",
         distinctUnknownElements(400) + "end of page", false},
        // Each end tag closes its element whatever its case, the parser's own names or not.
        {"elements of names the parser has no rules for, each closed",
         many("<x-post><Post-Body><SPAN>x</span></post-body></X-Post>", 1000) + "end of page",
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const HtmlDocument document = page(c.markup);
        exercise(document);
        EXPECT_LE(document.body().tree()->nodes.size(), size_t(browser::kMaxParseNodes));
        const QString failure = c.tooComplex ? "The page is too complex to show" : "";
        EXPECT_EQ(document.parseFailure(), failure);
        if (c.tooComplex)
            EXPECT_EQ(document.title(), "An Error Has Occurred - " + failure);
        else
            EXPECT_TRUE(document.body().innerText().endsWith("end of page"));
    }
}

} // namespace
