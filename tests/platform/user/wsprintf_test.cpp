// wsprintf against strings worked out by hand, the slider texts among them.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "user/wsprintf.h"

namespace {

std::u16string W(LPCWSTR fmt, auto... args)
{
    WCHAR out[WSPRINTF_MAX];
    int n = wsprintfW(out, fmt, args...);
    EXPECT_EQ(static_cast<size_t>(n), std::u16string(out).size());
    return out;
}

std::string A(LPCSTR fmt, auto... args)
{
    char out[WSPRINTF_MAX];
    int n = wsprintfA(out, fmt, args...);
    EXPECT_EQ(static_cast<size_t>(n), std::string(out).size());
    return out;
}

TEST(WsprintfTest, SliderValueTexts)
{
    EXPECT_EQ(W(u"%c%01.1ld.%01ldmm", u'-', LONG{2}, LONG{5}), u"-2.5mm");
    EXPECT_EQ(W(u"%c%01.1ld.%01ldmm", u' ', LONG{200}, LONG{0}), u" 200.0mm");
    EXPECT_EQ(W(u"%c%01.1ld.%01ldmm", u' ', LONG{13}, LONG{0}), u" 13.0mm");
    EXPECT_EQ(W(u"%c%1.1ld.%02ldmm", u'-', LONG{2}, LONG{0}), u"-2.00mm");
    EXPECT_EQ(W(u"%c%1.1ld.%02ldmm", u' ', LONG{0}, LONG{5}), u" 0.05mm");
    EXPECT_EQ(W(u"%ld", LONG{-3}), u"-3");
}

TEST(WsprintfTest, MessagesWithNumbersAndNames)
{
    EXPECT_EQ(W(u"Label width is %ld~%ld", LONG{100}, LONG{1000}), u"Label width is 100~1000");
    EXPECT_EQ(W(u"Delete '%ws' ?", u"Box 1"), u"Delete 'Box 1' ?");
    EXPECT_EQ(W(u"%s|%hs|%ls", u"wide", "narrow", u"long"), u"wide|narrow|long");
    EXPECT_EQ(A("%s|%ws|%hs", "narrow", u"wide", "short"), "narrow|wide|short");
    EXPECT_EQ(W(u"%ldinch/sec", LONG{4}), u"4inch/sec");
    EXPECT_EQ(A("%d%%", 50), "50%");
    EXPECT_EQ(W(u"[%s]", static_cast<LPCWSTR>(nullptr)), u"[(null)]");
}

TEST(WsprintfTest, WidthsPrecisionAndBases)
{
    // LONG is 32 bits: -1 read by %lu is 4294967295 whatever the width of long here.
    EXPECT_EQ(A("%lu", LONG{-1}), "4294967295");
    EXPECT_EQ(A("%d", INT_MIN), "-2147483648");
    EXPECT_EQ(A("%5d|%-5d|%05d", 42, 42, -42), "   42|42   |-0042");
    EXPECT_EQ(A("%02ld:%02ld", LONG{5}, LONG{12}), "05:12");
    EXPECT_EQ(A("%.3d", 7), "007");
    EXPECT_EQ(A("%x %X %#x %#X %08lx", 255, 255, 255, 255, LONG{0xBEEF}), "ff FF 0xff 0XFF 0000beef");
    EXPECT_EQ(A("%.3s|%6s|%-6s|", "abcdef", "ab", "ab"), "abc|    ab|ab    |");
    EXPECT_EQ(A("%c%c", 'o', 'k'), "ok");
}

TEST(WsprintfTest, OutputStopsAt1024CharactersWithTheTerminator)
{
    std::u16string big(3000, u'x');
    WCHAR out[WSPRINTF_MAX];
    EXPECT_EQ(wsprintfW(out, u"%s", big.c_str()), WSPRINTF_MAX - 1);
    EXPECT_EQ(out[WSPRINTF_MAX - 1], 0);
}

}  // namespace
