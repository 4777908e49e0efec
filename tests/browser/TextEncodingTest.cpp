#include "PageDecoding.h"
#include "QtPrinting.h"

#include <gtest/gtest.h>

namespace {

struct DecodeCase {
    const char* name;
    QByteArray bytes;
    const char* headerCharset;
    const char* expectedCharset;
    const char* expectedUtf8Fragment;
};

void PrintTo(const DecodeCase& c, std::ostream* out) {
    *out << c.name;
}

class PageDecodingTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(PageDecodingTest, FollowsTheBrowserOrderOfPrecedence) {
    const browser::DecodedPage page =
        browser::decodePage(GetParam().bytes, QString::fromLatin1(GetParam().headerCharset));
    EXPECT_EQ(page.charset, QString::fromLatin1(GetParam().expectedCharset)) << GetParam().name;
    EXPECT_TRUE(page.text.contains(QString::fromUtf8(GetParam().expectedUtf8Fragment)))
        << GetParam().name << ": " << page.text.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Browser, PageDecodingTest,
    ::testing::Values(
        DecodeCase{"default", "<p>\x80 \xe9</p>", "", "windows-1252", "\xe2\x82\xac \xc3\xa9"},
        DecodeCase{"latin-1 label means windows-1252", "<p>\x80</p>", "ISO-8859-1", "windows-1252",
                   "\xe2\x82\xac"},
        DecodeCase{"header", "<meta charset=windows-1252><p>\xc3\xa9</p>", "utf-8", "UTF-8",
                   "\xc3\xa9"},
        DecodeCase{"meta charset", "<meta charset='utf-8'><p>\xc3\xa9</p>", "", "UTF-8",
                   "\xc3\xa9"},
        DecodeCase{"meta http-equiv",
                   "<head><meta http-equiv=Content-Type content='text/html; "
                   "charset=\"koi8-r\"'></head>\xc1",
                   "", "KOI8-R", "\xd0\xb0"},
        DecodeCase{"unknown header label falls back to meta", "<meta charset=utf-8>\xc3\xa9",
                   "bogus", "UTF-8", "\xc3\xa9"},
        DecodeCase{"byte order mark wins", "\xef\xbb\xbf<meta charset=windows-1252>\xc3\xa9",
                   "windows-1252", "UTF-8", "\xc3\xa9"},
        DecodeCase{"utf-7 meta is read as windows-1252", "<meta charset=\"utf-7\"><p>+ADw-b+AD4-",
                   "", "windows-1252", "<p>+ADw-b+AD4-"},
        DecodeCase{"utf-7 header falls back to meta", "<meta charset=utf-8>\xc3\xa9", "UTF7",
                   "UTF-8", "\xc3\xa9"},
        DecodeCase{"ebcdic is no web encoding", "<p>x</p>", "ibm037", "windows-1252", "<p>x</p>"},
        DecodeCase{"iso-2022-kr is no web encoding", "<p>\x1b$)C\x0e!!</p>", "iso-2022-kr",
                   "windows-1252", "<p>\x1b$)C\x0e!!</p>"},
        DecodeCase{"gb2312 is read as gbk", "\x81\x40", "gb2312", "GBK", "\xe4\xb8\x82"},
        DecodeCase{"iso-8859-9 is read as windows-1254", "\x80\xfd", "iso-8859-9", "windows-1254",
                   "\xe2\x82\xac\xc4\xb1"},
        DecodeCase{"koi8-r stays", "\xc1", "koi8-r", "KOI8-R", "\xd0\xb0"}));

TEST(BrowserDecoding, CharsetFromContentType) {
    EXPECT_EQ(browser::charsetFromContentType("text/html; charset=UTF-8"), "UTF-8");
    EXPECT_EQ(browser::charsetFromContentType(QStringLiteral("text/html;Charset = \"x-y\" ;a=b")),
              "x-y");
    EXPECT_TRUE(browser::charsetFromContentType("text/html").isEmpty());
}

} // namespace
