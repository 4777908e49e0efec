#include "PageDecoding.h"
#include "QtPrinting.h"

#include <gtest/gtest.h>

namespace {

// The charset a page is read in, from its bytes and the charset its header names, and a piece
// of its text.
TEST(BrowserDecoding, FollowsTheBrowserOrderOfPrecedence) {
    const struct {
        const char* name;
        QByteArray bytes;
        const char* headerCharset;
        const char* charset;
        const char* fragment;
    } cases[] = {
        {"default", "<p>\x80 \xe9</p>", "", "windows-1252", "\xe2\x82\xac \xc3\xa9"},
        {"latin-1 label means windows-1252", "<p>\x80</p>", "ISO-8859-1", "windows-1252",
         "\xe2\x82\xac"},
        {"header", "<meta charset=windows-1252><p>\xc3\xa9</p>", "utf-8", "UTF-8", "\xc3\xa9"},
        {"meta charset", "<meta charset='utf-8'><p>\xc3\xa9</p>", "", "UTF-8", "\xc3\xa9"},
        {"meta http-equiv",
         "<head><meta http-equiv=Content-Type content='text/html; "
         "charset=\"koi8-r\"'></head>\xc1",
         "", "KOI8-R", "\xd0\xb0"},
        {"unknown header label falls back to meta", "<meta charset=utf-8>\xc3\xa9", "bogus",
         "UTF-8", "\xc3\xa9"},
        {"byte order mark wins", "\xef\xbb\xbf<meta charset=windows-1252>\xc3\xa9", "windows-1252",
         "UTF-8", "\xc3\xa9"},
        {"utf-7 meta is read as windows-1252", "<meta charset=\"utf-7\"><p>+ADw-b+AD4-", "",
         "windows-1252", "<p>+ADw-b+AD4-"},
        {"utf-7 header falls back to meta", "<meta charset=utf-8>\xc3\xa9", "UTF7", "UTF-8",
         "\xc3\xa9"},
        {"ebcdic is no web encoding", "<p>x</p>", "ibm037", "windows-1252", "<p>x</p>"},
        {"iso-2022-kr is no web encoding", "<p>\x1b$)C\x0e!!</p>", "iso-2022-kr", "windows-1252",
         "<p>\x1b$)C\x0e!!</p>"},
        {"gb2312 is read as gbk", "\x81\x40", "gb2312", "GBK", "\xe4\xb8\x82"},
        {"iso-8859-9 is read as windows-1254", "\x80\xfd", "iso-8859-9", "windows-1254",
         "\xe2\x82\xac\xc4\xb1"},
        {"koi8-r stays", "\xc1", "koi8-r", "KOI8-R", "\xd0\xb0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const browser::DecodedPage page = browser::decodePage(c.bytes, c.headerCharset);
        EXPECT_EQ(page.charset, c.charset);
        EXPECT_TRUE(page.text.contains(QString::fromUtf8(c.fragment))) << page.text.toStdString();
    }
}

TEST(BrowserDecoding, CharsetFromContentType) {
    EXPECT_EQ(browser::charsetFromContentType("text/html; charset=UTF-8"), "UTF-8");
    EXPECT_EQ(browser::charsetFromContentType(QStringLiteral("text/html;Charset = \"x-y\" ;a=b")),
              "x-y");
    EXPECT_TRUE(browser::charsetFromContentType("text/html").isEmpty());
}

} // namespace
