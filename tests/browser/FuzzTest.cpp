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
    for (const HtmlElement& table : document.getElementsByTagName("table")) {
        for (const HtmlElement& row : table.rows()) {
            for (const HtmlElement& cell : row.cells())
                (void)cell.innerText();
        }
    }
    for (const HtmlElement& form : document.getElementsByTagName("form"))
        (void)document.forms(form.getAttribute("name")).submission();
    (void)document.scriptVariable("a");
}

TEST(BrowserFuzz, NestingAsDeepAsTheBudgetAllowsParsesWithoutRecursion) {
    const int depth = browser::kMaxParseDepth - 20; // room for html, body and the tables
    const HtmlDocument document = page(many("<span>", depth) + "deep" + many("<table><tr><td>", 2));
    exercise(document);
    EXPECT_EQ(document.getElementsByTagName("span").size(), depth);
    EXPECT_TRUE(document.body().innerText().startsWith("deep"));
    EXPECT_EQ(page(many("<div>", depth) + "x").body().innerText(), "x");
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
                "<![CDATA[|]]>|<fieldset disabled>|<legend>|x| |\n|\r|\x7f")
            .split('|');
    QString soup;
    const int pieces = random.bounded(1, 400);
    for (int i = 0; i < pieces; ++i)
        soup += kPieces[random.bounded(int(kPieces.size()))];
    return soup;
}

TEST(BrowserFuzz, RandomMarkupNeverCrashes) {
    QRandomGenerator random(20261206); // fixed seed: a failure can be replayed
    for (int round = 0; round < 300; ++round) {
        exercise(page(randomSoup(random)));

        QByteArray bytes(random.bounded(1, 4000), Qt::Uninitialized);
        for (char& byte : bytes)
            byte = char(random.bounded(256));
        exercise(page(QString::fromUtf8(bytes)));
        exercise(page(QString::fromLatin1(bytes)));
    }
    SUCCEED();
}

// The most elements around any node: they were all open at once while it was added.
int deepestNesting(const browser::NodeTree& tree) {
    std::vector<int> around(tree.nodes.size(), 0);
    int deepest = 0;
    for (size_t i = 1; i < tree.nodes.size(); ++i) {
        const int parent = tree.nodes[i].parent;
        around[i] = around[size_t(parent)] +
                    (tree.nodes[size_t(parent)].kind == browser::NodeKind::Element);
        deepest = std::max(deepest, around[i]);
    }
    return deepest;
}

// The scan that keeps deep pages from the parser may read a page a few levels
// shallower than the parser builds it, never more.
TEST(BrowserFuzz, TheNestingScanKeepsUpWithTheParser) {
    constexpr int kSlack = 4;
    QRandomGenerator random(20261207);
    for (int round = 0; round < 1000; ++round) {
        const QString page = randomSoup(random);
        const auto tree = browser::parseHtml(page);
        if (!tree)
            continue; // refused before the parser could build it deep
        const int deepest = deepestNesting(*tree);
        EXPECT_GE(browser::nestingDepth(page.toUtf8(), deepest) + kSlack, deepest)
            << page.toStdString();
    }
}

TEST(BrowserFuzz, InputBeyondTheCapIsCut) {
    const HtmlDocument document = page("<p>" + QString(int(browser::kMaxParseBytes), 'a'));
    EXPECT_EQ(document.body().innerText().size(), browser::kMaxParseBytes - 3);
}

} // namespace
