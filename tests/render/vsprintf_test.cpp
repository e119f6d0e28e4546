// The command formatter.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "channel.h"

namespace {

template <class... A>
std::string Fmt(const char* tmpl, A... a)
{
    const std::vector<VSARG> args{VSARG(a)...};
    char buf[WRITESTRING_BUFFER_SIZE];
    std::memset(buf, 0x7E, sizeof(buf));
    const int n = VSPRINTF(buf, sizeof(buf), tmpl, args);
    EXPECT_EQ(buf[n], '\0');
    return std::string(buf, static_cast<std::size_t>(n));
}

TEST(Vsprintf, Decimal)
{
    EXPECT_EQ(Fmt("%d", 0), "0");
    EXPECT_EQ(Fmt("%d", -7), "-7");
    EXPECT_EQ(Fmt("%d%d%d%d", 0, 1, 2, 3), "0123");
    EXPECT_EQ(Fmt("%d", INT_MIN), "-2147483648");
    EXPECT_EQ(Fmt("%d", 0xFFFFFFFFu), "-1");
    EXPECT_EQ(Fmt("%u", 0xFFFFFFFFu), "4294967295");
    EXPECT_EQ(Fmt("%ld", 12), "12d");  // the letter after %l is plain text
}

TEST(Vsprintf, CharactersAndLiterals)
{
    EXPECT_EQ(Fmt("%c", 43), "+");
    EXPECT_EQ(Fmt("%c", 0x141), "A");  // low 8 bits
    EXPECT_EQ(Fmt("a%-b%d", 5), "a-b5");  // %- takes no argument
    EXPECT_EQ(Fmt("100%%"), "100%");
    EXPECT_EQ(Fmt("\x1bRM;-%d%d%-%d%d", 0, 1, 1, 5), "\x1bRM;-01-15");
    EXPECT_EQ(Fmt("end%"), "end");
    EXPECT_EQ(Fmt("%s|%s", "abc", ""), "abc|");
}

TEST(Vsprintf, Hexadecimal)
{
    EXPECT_EQ(Fmt("%x", 5), "05");
    EXPECT_EQ(Fmt("%x", 0x1A3), "1A3");
    EXPECT_EQ(Fmt("%X", 0), "00");
    EXPECT_EQ(Fmt("%x", 0xDEADBEEFu), "DEADBEEF");
}

TEST(Vsprintf, FixedPoint)
{
    EXPECT_EQ(Fmt("%f", 0x180), "1.5");
    EXPECT_EQ(Fmt("%f", 0x100), "1");
    EXPECT_EQ(Fmt("%f", -0x40), "-0.25");
    EXPECT_EQ(Fmt("%f", 0x001), "0.004");  // ((100000 >> 8) + 50) / 100 = 4
    EXPECT_EQ(Fmt("%f", 0x2FF), "2.996");
    EXPECT_EQ(Fmt("%f", INT_MIN), "-8388608");
}

TEST(Vsprintf, MissingOrMismatchedArgumentsReadAsEmpty)
{
    EXPECT_EQ(Fmt("%d,%d", 4), "4,0");
    EXPECT_EQ(Fmt("[%s]"), "[]");
    EXPECT_EQ(Fmt("[%s]", 5), "[]");
    EXPECT_EQ(Fmt("%d", "text"), "0");
}

TEST(Vsprintf, WideStringsAreConvertedAndCut)
{
    EXPECT_EQ(Fmt("<%ws>", u"Label \u00e9"), "<Label \xe9>");
    EXPECT_EQ(Fmt("<%wS|%w>", u"a", u"b"), "<a|b>");
    // A converted string of 100 bytes or more is cut to 99 in its work area.
    const std::u16string longName(300, u'x');
    EXPECT_EQ(Fmt("%ws!", longName.c_str()), std::string(99, 'x') + "!");
    EXPECT_EQ(Fmt("%ws", std::u16string(99, u'y').c_str()), std::string(99, 'y'));
    EXPECT_EQ(Fmt("[%w]", static_cast<PCWSTR>(nullptr)), "[]");
}

TEST(Vsprintf, OutputIsBoundedByItsBuffer)
{
    const std::vector<VSARG> args{VSARG("0123456789")};
    char buf[8];
    EXPECT_EQ(VSPRINTF(buf, sizeof(buf), "%s%s", args), 7);
    EXPECT_STREQ(buf, "0123456");
    EXPECT_EQ(VSPRINTF(buf, 1, "abc", {}), 0);
    EXPECT_EQ(buf[0], '\0');
}

}  // namespace
