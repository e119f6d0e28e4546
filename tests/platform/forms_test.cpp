// The machine-wide form list: built-in order and flags, added forms, the
// refusals, and EnumFormsW's buffer protocol.
#include <gtest/gtest.h>

#include <vector>

#include "platform/spool_fixture.h"

namespace {

class Forms : public SpoolTest {
protected:
    std::vector<FORM_INFO_1W> Enumerate()
    {
        DWORD needed = 0, count = 0;
        EXPECT_FALSE(EnumFormsW(printer, 1, nullptr, 0, &needed, &count));
        EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
        buffer.assign(needed, 0);
        EXPECT_TRUE(EnumFormsW(printer, 1, buffer.data(), needed, &needed, &count));
        auto* forms = reinterpret_cast<FORM_INFO_1W*>(buffer.data());
        return std::vector<FORM_INFO_1W>(forms, forms + count);
    }
    BOOL Add(const char16_t* formName, DWORD flags, LONG cx = 50000, LONG cy = 30000)
    {
        std::u16string copy = formName;
        FORM_INFO_1W form{flags, copy.data(), {cx, cy}, {0, 0, cx, cy}};
        return AddFormW(printer, 1, reinterpret_cast<BYTE*>(&form));
    }
    std::vector<BYTE> buffer;
};

TEST_F(Forms, BuiltinsComeFirstInTheStandardOrder)
{
    auto forms = Enumerate();
    ASSERT_GE(forms.size(), 41u);
    EXPECT_EQ(std::u16string(forms[DMPAPER_LETTER - 1].pName), u"Letter");
    EXPECT_EQ(forms[0].Size.cx, 215900);
    EXPECT_EQ(forms[0].Size.cy, 279400);
    EXPECT_EQ(std::u16string(forms[DMPAPER_A4 - 1].pName), u"A4");
    EXPECT_EQ(forms[8].Size.cx, 210000);
    EXPECT_EQ(forms[8].Size.cy, 297000);
    EXPECT_EQ(std::u16string(forms[DMPAPER_ENV_10 - 1].pName), u"Envelope #10");
    for (const auto& f : forms) {
        EXPECT_EQ(f.Flags, FORM_BUILTIN);
        EXPECT_EQ(f.ImageableArea.right, f.Size.cx);
        // Every name lies inside the caller's buffer.
        auto* p = reinterpret_cast<BYTE*>(f.pName);
        EXPECT_TRUE(p >= buffer.data() + forms.size() * sizeof(FORM_INFO_1W) && p < buffer.data() + buffer.size());
    }
}

TEST_F(Forms, AddedFormsFollowInOrderWithTheirFlags)
{
    size_t builtins = Enumerate().size();
    ASSERT_TRUE(Add(u"Label 50x30", FORM_PRINTER));
    ASSERT_TRUE(Add(u"My Form", FORM_USER, 100000, 80000));
    ASSERT_TRUE(Add(u"a4", FORM_USER));  // names are case-sensitive: not the built-in A4
    auto forms = Enumerate();
    ASSERT_EQ(forms.size(), builtins + 3);
    EXPECT_EQ(std::u16string(forms[builtins].pName), u"Label 50x30");
    EXPECT_EQ(forms[builtins].Flags, FORM_PRINTER);
    EXPECT_EQ(forms[builtins + 1].Flags, FORM_USER);
    EXPECT_EQ(forms[builtins + 1].Size.cy, 80000);

    // Deleting and adding again moves a form to the end.
    ASSERT_TRUE(DeleteFormW(printer, const_cast<LPWSTR>(u"Label 50x30")));
    ASSERT_TRUE(Add(u"Label 50x30", FORM_PRINTER));
    forms = Enumerate();
    EXPECT_EQ(std::u16string(forms.back().pName), u"Label 50x30");
    EXPECT_EQ(std::u16string(forms[builtins].pName), u"My Form");
}

TEST_F(Forms, RefusedAdditions)
{
    ASSERT_TRUE(Add(u"Label", FORM_PRINTER));
    EXPECT_FALSE(Add(u"Label", FORM_USER));
    EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
    EXPECT_FALSE(Add(u"Letter", FORM_USER));
    EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
    EXPECT_FALSE(Add(u"Mine", FORM_BUILTIN));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_FALSE(Add(u"", FORM_USER));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_FORM_NAME);
    EXPECT_TRUE(Add(std::u16string(63, u'x').c_str(), FORM_USER));
    EXPECT_FALSE(Add(std::u16string(64, u'y').c_str(), FORM_USER));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_FORM_NAME);
    EXPECT_FALSE(Add(u"Flat", FORM_USER, 0, 100));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_FORM_SIZE);
    std::u16string areaName = u"Area";
    FORM_INFO_1W outside{FORM_USER, areaName.data(), {1000, 1000}, {0, 0, 1001, 1000}};
    EXPECT_FALSE(AddFormW(printer, 1, reinterpret_cast<BYTE*>(&outside)));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_FORM_SIZE);
    EXPECT_FALSE(AddFormW(printer, 2, reinterpret_cast<BYTE*>(&outside)));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_LEVEL);
    EXPECT_FALSE(AddFormW(reinterpret_cast<HANDLE>(0x77), 1, reinterpret_cast<BYTE*>(&outside)));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(Forms, SetAndDelete)
{
    ASSERT_TRUE(Add(u"Label", FORM_USER));
    FORM_INFO_1W changed{FORM_PRINTER, nullptr, {60000, 40000}, {1000, 1000, 59000, 39000}};
    ASSERT_TRUE(SetFormW(printer, const_cast<LPWSTR>(u"Label"), 1, reinterpret_cast<BYTE*>(&changed)));
    auto forms = Enumerate();
    const FORM_INFO_1W& f = forms.back();
    EXPECT_EQ(std::u16string(f.pName), u"Label");
    EXPECT_EQ(f.Flags, FORM_PRINTER);
    EXPECT_EQ(f.Size.cx, 60000);
    EXPECT_EQ(f.ImageableArea.left, 1000);
    EXPECT_EQ(f.ImageableArea.bottom, 39000);

    EXPECT_FALSE(SetFormW(printer, const_cast<LPWSTR>(u"A4"), 1, reinterpret_cast<BYTE*>(&changed)));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(SetFormW(printer, const_cast<LPWSTR>(u"label"), 1, reinterpret_cast<BYTE*>(&changed)));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_FORM_NAME);
    EXPECT_FALSE(DeleteFormW(printer, const_cast<LPWSTR>(u"Letter")));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    size_t before = Enumerate().size();
    ASSERT_TRUE(DeleteFormW(printer, const_cast<LPWSTR>(u"Label")));
    EXPECT_FALSE(DeleteFormW(printer, const_cast<LPWSTR>(u"Label")));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_FORM_NAME);
    EXPECT_EQ(Enumerate().size(), before - 1);
}

TEST_F(Forms, EnumerationBufferProtocol)
{
    ASSERT_TRUE(Add(u"Label", FORM_PRINTER));
    DWORD needed = 0, count = 99;
    EXPECT_FALSE(EnumFormsW(printer, 1, nullptr, 0, &needed, &count));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(count, 0u);
    auto forms = Enumerate();
    size_t names = 0;
    for (const auto& f : forms) names += (std::char_traits<char16_t>::length(f.pName) + 1) * 2;
    EXPECT_EQ(needed, forms.size() * sizeof(FORM_INFO_1W) + names);

    std::vector<BYTE> shortBuffer(needed - 1, 0xEE);
    DWORD needed2 = 0;
    EXPECT_FALSE(EngEnumForms(printer, 1, shortBuffer.data(), needed - 1, &needed2, &count));
    EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(needed2, needed);
    EXPECT_EQ(shortBuffer[0], 0xEE);  // untouched
    EXPECT_FALSE(EnumFormsW(printer, 2, nullptr, 0, &needed, &count));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_LEVEL);

    HANDLE server = nullptr;  // the server handle sees the same machine-wide list
    ASSERT_TRUE(OpenPrinterW(nullptr, &server, nullptr));
    EXPECT_FALSE(EnumFormsW(server, 1, nullptr, 0, &needed2, &count));
    EXPECT_EQ(needed2, needed);
    ClosePrinter(server);
}

}  // namespace
