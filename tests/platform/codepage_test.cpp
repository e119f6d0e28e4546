// Code-page conversions (1252 exact, 932, UTF-8), the engine's bounded
// conversion, and the country code from the locale.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <optional>
#include <string>
#include <utility>

#include "base/codepage.h"

namespace {

std::u16string ToWide(UINT cp, const std::string& s)
{
    int n = MultiByteToWideChar(cp, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::u16string out(static_cast<size_t>(n), u'\0');
    EXPECT_EQ(MultiByteToWideChar(cp, 0, s.data(), static_cast<int>(s.size()), out.data(), n), n);
    return out;
}

std::string ToAnsi(UINT cp, const std::u16string& s, BOOL* usedDefault = nullptr)
{
    int n = WideCharToMultiByte(cp, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, usedDefault);
    std::string out(static_cast<size_t>(n), '\0');
    EXPECT_EQ(WideCharToMultiByte(cp, 0, s.data(), static_cast<int>(s.size()), out.data(), n, nullptr, usedDefault), n);
    return out;
}

TEST(CodePage, Cp1252RoundTripsEveryByteAndMapsItsSpecials)
{
    EXPECT_EQ(GetACP(), 1252u);
    std::string all;
    for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
    std::u16string wide = ToWide(CP_ACP, all);
    ASSERT_EQ(wide.size(), all.size());
    EXPECT_EQ(wide[0x80 - 1], u'\u20AC');  // euro sign
    EXPECT_EQ(wide[0x9F - 1], u'\u0178');
    EXPECT_EQ(wide[0x81 - 1], u'\u0081');  // unassigned: the C1 control of the same value
    EXPECT_EQ(wide[0xE9 - 1], u'\u00E9');
    BOOL usedDefault = TRUE;
    EXPECT_EQ(ToAnsi(CP_ACP, wide, &usedDefault), all);
    EXPECT_FALSE(usedDefault);
}

TEST(CodePage, UnmappableCharactersTakeTheDefault)
{
    BOOL usedDefault = FALSE;
    EXPECT_EQ(ToAnsi(1252, u"a\u65E5b", &usedDefault), "a?b");
    EXPECT_TRUE(usedDefault);
    char out[4];
    const char dflt = '#';
    EXPECT_EQ(WideCharToMultiByte(1252, 0, u"\u65E5", 1, out, 4, &dflt, nullptr), 1);
    EXPECT_EQ(out[0], '#');
}

TEST(CodePage, LengthsTerminatorsAndShortBuffers)
{
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, nullptr, 0), 4);  // with the NUL
    WCHAR small[2];
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", -1, small, 2), 0);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    char narrow[8];
    EXPECT_EQ(WideCharToMultiByte(CP_ACP, 0, u"xyz", -1, narrow, 8, nullptr, nullptr), 4);
    EXPECT_STREQ(narrow, "xyz");
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abc", 0, small, 2), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(MultiByteToWideChar(12345, 0, "abc", 3, nullptr, 0), 0);
}

TEST(CodePage, ShiftJisThroughTheAnsiCodePage)
{
    ASSERT_TRUE(platform::SetAnsiCodePage(932));
    USHORT oem = 0, ansi = 0;
    EngGetCurrentCodePage(&oem, &ansi);
    EXPECT_EQ(ansi, 932);
    const std::string sjis = "\x93\xfa\x96\x7b" "A";  // "日本A"
    EXPECT_EQ(ToWide(CP_ACP, sjis), u"\u65E5\u672CA");
    EXPECT_EQ(ToAnsi(CP_ACP, u"\u65E5\u672CA"), sjis);
    EXPECT_EQ(ToWide(CP_ACP, "\x81"), u"\u30FB");  // a lone lead byte
    EXPECT_FALSE(platform::SetAnsiCodePage(1251));
    ASSERT_TRUE(platform::SetAnsiCodePage(1252));
    EXPECT_EQ(GetACP(), 1252u);
}

TEST(CodePage, EngineConversionStopsAtAWholeCharacter)
{
    WCHAR text[] = u"\u65E5\u672CA";
    char out[8] = {};
    // 3 bytes hold one double-byte character, not a half of the second.
    EXPECT_EQ(EngWideCharToMultiByte(932, text, 6, out, 3), 2);
    EXPECT_EQ(EngWideCharToMultiByte(932, text, 6, out, 8), 5);
    WCHAR euro[] = u"\u20AC";
    EXPECT_EQ(EngWideCharToMultiByte(1252, euro, 2, out, 1), 1);
    EXPECT_EQ(static_cast<unsigned char>(out[0]), 0x80);
    EXPECT_EQ(EngWideCharToMultiByte(1252, nullptr, 2, out, 1), -1);
    WCHAR back[4] = {};
    EXPECT_EQ(EngMultiByteToWideChar(1252, back, 8, out, 1), 2);
    EXPECT_EQ(back[0], u'\u20AC');
}

TEST(CodePage, Utf8WidenAndNarrow)
{
    EXPECT_EQ(platform::Widen("A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"), u"A\u00E9\u20AC\U0001F600");
    EXPECT_EQ(platform::Narrow(u"A\u00E9\u20AC\U0001F600"), "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
    EXPECT_EQ(platform::Widen("a\xC0\xAF" "b\xE2\x82"), u"a\uFFFDb\uFFFD");  // overlong, truncated
    EXPECT_EQ(platform::Narrow(std::u16string(1, u'\xD800') + u"x"), "\xEF\xBF\xBDx");
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0x8 /* MB_ERR_INVALID_CHARS */, "\xFF", 1, nullptr, 0), 0);
    EXPECT_EQ(GetLastError(), ERROR_NO_UNICODE_TRANSLATION);
}

// Restores the locale variables a test changes.
struct LocaleEnvironment {
    std::pair<const char*, std::optional<std::string>> saved[3] = {{"LC_ALL", {}}, {"LC_MESSAGES", {}}, {"LANG", {}}};
    LocaleEnvironment()
    {
        for (auto& [var, value] : saved)
            if (const char* v = ::getenv(var)) value = v;
    }
    ~LocaleEnvironment()
    {
        for (auto& [var, value] : saved) value ? ::setenv(var, value->c_str(), 1) : ::unsetenv(var);
    }
};

std::u16string Country()
{
    WCHAR buf[8] = {};
    EXPECT_GT(GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_ICOUNTRY, buf, 8), 0);
    return buf;
}

TEST(Locale, CountryFromTheLocaleTerritory)
{
    LocaleEnvironment restore;
    ::setenv("LC_ALL", "", 1);
    ::setenv("LC_MESSAGES", "", 1);
    const std::pair<const char*, const char16_t*> cases[] = {
        {"en_US.UTF-8", u"1"}, {"en_GB.UTF-8", u"44"}, {"de_DE@euro", u"49"}, {"ja_JP.eucJP", u"81"},
        {"fr_CA", u"2"},       {"C", u"1"},            {"POSIX", u"1"},       {"xx_ZZ", u"1"},
    };
    for (auto [locale, country] : cases) {
        ::setenv("LANG", locale, 1);
        EXPECT_EQ(Country(), country) << locale;
    }
    ::setenv("LC_ALL", "ja_JP.UTF-8", 1);  // LC_ALL wins over LANG
    EXPECT_EQ(Country(), u"81");
    ::unsetenv("LC_ALL");
    ::unsetenv("LC_MESSAGES");
    ::unsetenv("LANG");
    EXPECT_EQ(Country(), u"1");
}

TEST(Locale, SizesAndUnknownTypes)
{
    LocaleEnvironment restore;
    ::setenv("LC_ALL", "en_GB", 1);
    EXPECT_EQ(GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_ICOUNTRY, nullptr, 0), 3);
    WCHAR buf[2];
    EXPECT_EQ(GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_ICOUNTRY, buf, 2), 0);
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(GetLocaleInfoW(LOCALE_USER_DEFAULT, 0x1001, buf, 2), 0);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_FLAGS);
}

}  // namespace
