// The string helpers and the standard label's name.
#include <gtest/gtest.h>

#include <string>

#include "settings/settings.h"

namespace {

TEST(CopyStringW, CutsTerminatesAndZeroFills)
{
    WCHAR buf[6];
    std::fill(std::begin(buf), std::end(buf), u'#');
    CopyStringW(buf, u"ABCDEF", 4);
    EXPECT_EQ(std::u16string(buf, 4), std::u16string(u"ABC\0", 4));
    EXPECT_EQ(buf[4], u'#');  // nothing written beyond the size

    std::fill(std::begin(buf), std::end(buf), u'#');
    CopyStringW(buf, u"A", 4);
    EXPECT_EQ(std::u16string(buf, 4), std::u16string(u"A\0\0\0", 4));
    EXPECT_EQ(buf[4], u'#');

    std::fill(std::begin(buf), std::end(buf), u'#');
    CopyStringW(buf, u"ABC", 0);
    CopyStringW(buf, u"ABC", -3);
    EXPECT_EQ(buf[0], u'#');
    CopyStringW(buf, nullptr, 2);
    EXPECT_EQ(std::u16string(buf, 2), std::u16string(u"\0\0", 2));
}

TEST(StripDirPrefixW, SplitsAtEitherSeparator)
{
    std::u16string a = u"C:\\drivers\\model.ppd";
    EXPECT_EQ(std::u16string(StripDirPrefixW(a.data())), u"model.ppd");
    std::u16string b = u"/usr/share/lbl\\x/model.ppd";
    EXPECT_EQ(std::u16string(StripDirPrefixW(b.data())), u"model.ppd");
    std::u16string c = u"model.ppd";
    EXPECT_EQ(StripDirPrefixW(c.data()), c.data());
    std::u16string d = u"";
    EXPECT_EQ(StripDirPrefixW(d.data()), d.data());
    std::u16string e = u"dir/";
    EXPECT_EQ(std::u16string(StripDirPrefixW(e.data())), u"");
    EXPECT_EQ(StripDirPrefixW(nullptr), nullptr);
}

TEST(StandardLabelName, PrinterNameBlankAndSuffixCutTo31)
{
    WCHAR name[CCHLABELNAME];
    MakeStandardLabelName(name, u"Shop");
    EXPECT_EQ(std::u16string(name), u"Shop Standard Label");
    MakeStandardLabelName(name, nullptr);
    EXPECT_EQ(std::u16string(name), u" Standard Label");

    const std::u16string longName(40, u'x');
    MakeStandardLabelName(name, longName.c_str());
    EXPECT_EQ(std::u16string(name), std::u16string(31, u'x'));
    EXPECT_EQ(name[31], 0);

    const std::u16string name20(20, u'p');
    MakeStandardLabelName(name, name20.c_str());
    EXPECT_EQ(std::u16string(name), name20 + u" Standard L");
}

#if defined(LBL_UI_BUILD)

TEST(Lmemcmp, EqualIsZeroDifferentIsOne)
{
    EXPECT_EQ(lmemcmp("abc", "abd", 0), 0);
    EXPECT_EQ(lmemcmp("abc", "abd", -1), 0);
    EXPECT_EQ(lmemcmp("abc", "abd", 2), 0);
    EXPECT_EQ(lmemcmp("abc", "abd", 3), 1);
    EXPECT_EQ(lmemcmp("abd", "abc", 3), 1);
}

TEST(AnsiConversion, RoundTripCutAndTerminated)
{
    WCHAR w[8];
    std::fill(std::begin(w), std::end(w), u'#');
    SJIS2Unicode(w, "Roll\xe9", 8);  // 1252: e-acute
    EXPECT_EQ(std::u16string(w), u"Roll\u00e9");

    std::fill(std::begin(w), std::end(w), u'#');
    SJIS2Unicode(w, "Roll Feed", 5);
    EXPECT_EQ(std::u16string(w), u"Roll");
    EXPECT_EQ(w[4], 0);
    EXPECT_EQ(w[5], u'#');

    // Size below 1: the buffer is the string plus terminator.
    SJIS2Unicode(w, "abc", 0);
    EXPECT_EQ(std::u16string(w), u"abc");

    char a[8];
    std::fill(std::begin(a), std::end(a), '#');
    Unicode2SJIS(a, u"Roll\u00e9", 8);
    EXPECT_EQ(std::string(a), "Roll\xe9");

    std::fill(std::begin(a), std::end(a), '#');
    Unicode2SJIS(a, u"Roll Feed", 3);
    EXPECT_EQ(std::string(a), "Ro");
    EXPECT_EQ(a[3], '#');

    Unicode2SJIS(a, u"xyz", -1);
    EXPECT_EQ(std::string(a), "xyz");
}

#endif

}  // namespace
