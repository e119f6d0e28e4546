// String tables and dialog templates: the resource text format and LoadString.
#include <gtest/gtest.h>

#include <string>

#include "module_fixture.h"
#include "base/codepage.h"
#include "user/resources.h"
#include "user/restext.h"

namespace {

TEST(LoadStringTest, CopiesTruncatesAndTerminatesAsWindowsDoes)
{
    TestModule m;
    ASSERT_NE(m.h, nullptr);
    WCHAR buffer[32];
    EXPECT_EQ(LoadStringW(m.h, 1, buffer, 32), 11);
    EXPECT_EQ(std::u16string(buffer), u"Hello world");

    // Five characters of room: four and the terminator.
    EXPECT_EQ(LoadStringW(m.h, 1, buffer, 5), 4);
    EXPECT_EQ(std::u16string(buffer), u"Hell");
    EXPECT_EQ(LoadStringW(m.h, 1, buffer, 1), 0);
    EXPECT_EQ(buffer[0], 0);

    WCHAR wide[64];
    EXPECT_EQ(LoadStringW(m.h, 2, wide, 64), 33);
    EXPECT_EQ(std::u16string(wide), u"Quote \" backslash \\ tab\tnew line\n");
    EXPECT_EQ(LoadStringW(m.h, 3, buffer, 32), 8);
    EXPECT_EQ(std::u16string(buffer), u"Größe µm");
    EXPECT_EQ(LoadStringW(m.h, 65535, buffer, 32), 4);
}

TEST(LoadStringTest, ZeroSizeHandsOutAReadOnlyPointer)
{
    TestModule m;
    LPCWSTR text = nullptr;
    EXPECT_EQ(LoadStringW(m.h, 3, reinterpret_cast<LPWSTR>(&text), 0), 8);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::u16string(text, 8), u"Größe µm");
}

TEST(LoadStringTest, MissingAndEmptyStringsGiveZero)
{
    TestModule m;
    WCHAR buffer[8] = u"junk";
    SetLastError(0);
    EXPECT_EQ(LoadStringW(m.h, 9, buffer, 8), 0);
    EXPECT_EQ(GetLastError(), ERROR_RESOURCE_NAME_NOT_FOUND);
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(LoadStringW(m.h, 5, buffer, 8), 0);
    EXPECT_EQ(LoadStringW(m.h, 0x10001, buffer, 8), 0);  // not 1 again
    EXPECT_EQ(LoadStringW(m.h, 1, nullptr, 8), 0);

    // A module without a table (compstui carries none).
    HMODULE plain = LoadLibraryA("compstui.dll");
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(LoadStringW(plain, 1, buffer, 8), 0);
    EXPECT_EQ(GetLastError(), ERROR_RESOURCE_DATA_NOT_FOUND);
    FreeLibrary(plain);
}

TEST(LoadStringTest, AnsiFormConvertsAndNeverSplitsACharacter)
{
    TestModule m;
    char buffer[16];
    EXPECT_EQ(LoadStringA(m.h, 3, buffer, 16), 8);
    EXPECT_EQ(std::string(buffer), "Gr\xF6\xDF" "e \xB5m");  // code page 1252
    EXPECT_EQ(LoadStringA(m.h, 1, buffer, 6), 5);
    EXPECT_EQ(std::string(buffer), "Hello");

    ASSERT_TRUE(platform::SetAnsiCodePage(932));
    EXPECT_EQ(LoadStringA(m.h, 4, buffer, 16), 4);
    EXPECT_EQ(std::string(buffer), "\x93\xFA\x96\x7B");
    // Four bytes of room: the second double-byte character does not fit whole.
    EXPECT_EQ(LoadStringA(m.h, 4, buffer, 4), 2);
    EXPECT_EQ(std::string(buffer), "\x93\xFA");
    platform::SetAnsiCodePage(1252);
}

TEST(ResourceTextTest, DialogTemplatesKeepEveryControl)
{
    // Parsed independently of the module, from the same text that went into it.
    const char* text = R"(DIALOG 100 0 0 211 153 "Test page"
  CONTROL 1001 EDIT 10 10 60 12 "" LIMIT 30
  CONTROL 1002 UPDOWN 72 10 10 12 "" RANGE -20 100 BUDDY 1001
  CONTROL 1005 CHECKBOX 10 70 80 10 "Ribbon saver" DISABLED
  CONTROL 0xFFFF STATIC 10 90 40 8 "Width:"
  CONTROL 0xFFFF STATIC 60 90 40 8 "mm" HIDDEN
END
)";
    user::ResourceText r;
    std::string why;
    ASSERT_TRUE(user::ParseResourceText(text, r, why)) << why;
    const user::DialogTemplate& d = r.dialogs.at(100);
    EXPECT_EQ(d.caption, u"Test page");
    EXPECT_EQ(d.cx, 211);
    EXPECT_EQ(d.cy, 153);
    ASSERT_EQ(d.controls.size(), 5u);
    EXPECT_EQ(d.controls[0].kind, user::ControlClass::Edit);
    EXPECT_EQ(d.controls[0].limit, 30);
    EXPECT_EQ(d.controls[1].kind, user::ControlClass::UpDown);
    EXPECT_TRUE(d.controls[1].hasRange);
    EXPECT_EQ(d.controls[1].rangeLow, -20);
    EXPECT_EQ(d.controls[1].rangeHigh, 100);
    EXPECT_EQ(d.controls[1].buddy, 1001);
    EXPECT_TRUE(d.controls[2].disabled);
    EXPECT_EQ(d.controls[2].text, u"Ribbon saver");
    EXPECT_EQ(d.controls[3].id, 0xFFFF);
    EXPECT_TRUE(d.controls[4].hidden);
}

TEST(ResourceTextTest, MalformedTextIsRefusedWithItsLine)
{
    struct Case {
        const char* text;
        const char* why;
    } cases[] = {
        {"STRING 1 \"a\"\nSTRING 1 \"b\"\n", "line 2: string 1 defined twice"},
        {"STRING 70000 \"a\"\n", "line 1: the string identifier 70000 is outside 0..65535"},
        {"STRING 1 \"open\n", "line 1: unterminated string"},
        {"STRING 1 \"bad \\q\"\n", "line 1: unknown escape \\q"},
        {"STRING 1 \"a\" extra\n", "line 1: text after the string"},
        {"DIALOG 1 0 0 10 10 \"d\"\nCONTROL 5 SLIDER 0 0 1 1 \"\"\nEND\n", "line 2: unknown control class SLIDER"},
        {"DIALOG 1 0 0 10 10 \"d\"\nCONTROL 5 EDIT 0 0 1 1 \"\"\nCONTROL 5 STATIC 0 0 1 1 \"\"\nEND\n",
         "line 3: control 5 used twice in dialog 1"},
        {"DIALOG 1 0 0 10 10 \"d\"\nCONTROL 5 STATIC 0 0 1 1 \"\" LIMIT 3\nEND\n", "line 2: LIMIT is for EDIT controls"},
        {"DIALOG 1 0 0 10 10 \"d\"\n", "line 2: DIALOG 1 has no END"},
        {"CONTROL 5 EDIT 0 0 1 1 \"\"\n", "line 1: CONTROL outside a DIALOG"},
        {"STRING 1 \"\xC3\"\n", "line 1: the string is not UTF-8"},
    };
    for (const Case& c : cases) {
        user::ResourceText r;
        std::string why;
        EXPECT_FALSE(user::ParseResourceText(c.text, r, why)) << c.text;
        EXPECT_EQ(why, c.why) << c.text;
        EXPECT_TRUE(r.strings.empty() && r.dialogs.empty());
    }
}

}  // namespace
