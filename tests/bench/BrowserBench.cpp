// The browser component and the board server on loopback: parsing a large
// thread page (and the parser alone on it), and a navigation, a plain client's
// fetch of the same page and its parse, in turns.
#include "ForumProxy.h"
#include "HtmlDocument.h"
#include "Median.h"
#include "WebBrowser.h"
#include "board_test_support.h"

#include <QApplication>
#include <QSignalSpy>
#include <benchmark/benchmark.h>
#include <chrono>
#include <gumbo.h>
#include <vector>

namespace {

using zentab::board::testing::ForumClient;
using zentab::board::testing::smallState;
using zentab::board::testing::TestServer;

const QString Board = "http://testbank.proboards.com/index.cgi?board=accounts";

// A thread page of about 1 MB: a long account post and many replies in tables.
QString largeThreadPage() {
    QString page = "<html><head><title>Test Bank - Account</title></head><body>";
    for (int table = 0; page.size() < 1'000'000; ++table) {
        page += "<table width=\"92%\"><tr><td class=\"windowbg\"><b><a href=\"index.cgi?"
                "action=viewprofile&amp;user=teller\">Teller</a></b></td><td>"
                "<!-- google_ad_section_start -->Galleons: 12<br>Sickles: 3<br>Knuts: 4<br>";
        for (int item = 0; item < 10; ++item)
            page += QStringLiteral("<li>Dec 05,2026, 1:02:57 pm<br>Amount: <font color=\"lime\">"
                                   "+ %1 Galleons 3 Sickles 2 Knuts</font><br>Type:Prize</li>")
                        .arg(table * 10 + item);
        page += "<!-- google_ad_section_end --></td></tr></table>";
    }
    return page + "</body></html>";
}

void ParseThreadPageAndReadTables(benchmark::State& state) {
    const QString markup = largeThreadPage();
    for (auto _ : state) {
        const HtmlDocument document = HtmlDocument::parse(markup, QUrl(Board), "UTF-8");
        qsizetype cells = 0;
        for (const HtmlElement& table : document.getElementsByTagName("TABLE"))
            for (const HtmlElement& row : table.rows())
                cells += row.cells().size();
        benchmark::DoNotOptimize(cells);
    }
    state.SetBytesProcessed(state.iterations() * markup.size());
}
BENCHMARK(ParseThreadPageAndReadTables)->Unit(benchmark::kMillisecond);

// The same page through the parser alone, on its default allocator: the yardstick
// for what the browser adds to the parser and what its allocator saves.
void ParseThreadPageWithTheParserAlone(benchmark::State& state) {
    const QByteArray markup = largeThreadPage().toUtf8();
    for (auto _ : state) {
        GumboOutput* output = gumbo_parse_with_options(&kGumboDefaultOptions, markup.constData(),
                                                       size_t(markup.size()));
        benchmark::DoNotOptimize(output->root);
        gumbo_destroy_output(&kGumboDefaultOptions, output);
    }
    state.SetBytesProcessed(state.iterations() * markup.size());
}
BENCHMARK(ParseThreadPageWithTheParserAlone)->Unit(benchmark::kMillisecond);

// A navigation, a plain client's fetch of the same page and that page's parse
// alone, in turns, so that a busy machine slows all three alike. The counters
// are the medians of each turn's ratios to the fetch.
void NavigationAgainstAPlainFetchInTurns(benchmark::State& state) {
    TestServer server{smallState(20)};
    const ForumProxy proxy{server.port()};
    ForumClient client(server.port());
    WebBrowser browser;
    const QString markup = QString::fromStdString(client.page("board=accounts&page=1"));
    const auto ms = [](auto&& work) {
        const auto start = std::chrono::steady_clock::now();
        work();
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count();
    };
    std::vector<double> navigations, parses;
    for (auto _ : state) {
        const double fetch =
            ms([&] { benchmark::DoNotOptimize(client.page("board=accounts&page=1").size()); });
        const double navigation = ms([&] {
            QSignalSpy completed(&browser, &WebBrowser::DocumentComplete);
            browser.Navigate(Board + "&page=1", WebBrowser::navNoReadFromCache);
            if (!completed.wait(10000))
                state.SkipWithError("the page never completed");
        });
        const double parse = ms([&] {
            benchmark::DoNotOptimize(HtmlDocument::parse(markup, QUrl(Board), "UTF-8").title());
        });
        navigations.push_back(navigation / fetch);
        parses.push_back(parse / fetch);
    }
    state.counters["navigation_per_fetch"] = median(navigations);
    state.counters["parse_per_fetch"] = median(parses);
}
BENCHMARK(NavigationAgainstAPlainFetchInTurns)->Iterations(300)->Unit(benchmark::kMillisecond);

} // namespace
