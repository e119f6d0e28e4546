// Forms against the spooler's form list, and the geometry of the label in use.
#include <cstring>
#include <string>

#include "settings/settings_env.h"

namespace {

using settings_test::SettingsTest;

class Forms : public SettingsTest {
protected:
    // A form name unique to this test's printer.
    std::u16string Unique(const std::u16string& base) { return base + u" " + printerName.substr(14); }
};

TEST_F(Forms, FormNumbersAreListPositionsPlusOne)
{
    const DWORD before = FormCount();
    ASSERT_GT(before, 0u);  // the built-in forms come first
    const std::u16string name = Unique(u"Tag");
    AddForm(name);
    ASSERT_EQ(FormCount(), before + 1);

    const DWORD index = GetFormIndex(h, name.c_str());
    EXPECT_GE(index, 1u);
    DWORD cForms = 0;
    PFORM_INFO_1W forms = GetDatabaseForms(h, &cForms);
    ASSERT_NE(forms, nullptr);
    ASSERT_LE(index, cForms);
    EXPECT_EQ(std::u16string(forms[index - 1].pName), name);
    FreeDatabaseForms(forms);

    std::u16string upper = name;
    for (auto& c : upper) if (c >= u'a' && c <= u'z') c = c - u'a' + u'A';
    EXPECT_EQ(GetFormIndex(h, upper.c_str()), 0u);
    EXPECT_EQ(GetFormIndex(h, nullptr), 0u);

    platform::FailNthAllocation(1);
    EXPECT_EQ(GetFormIndex(h, name.c_str()), 0u);
    platform::FailNthAllocation(1);
    EXPECT_EQ(GetDatabaseForms(h, &cForms), nullptr);
    EXPECT_EQ(cForms, 0u);
    platform::FailNthAllocation(0);
    EXPECT_EQ(GetDatabaseForms(nullptr, &cForms), nullptr);
}

TEST_F(Forms, ValidateDevModeFormByNumberOrName)
{
    const std::u16string name = Unique(u"Shelf");
    AddForm(name, 61000, 32000);
    const DWORD count = FormCount();
    const DWORD index = GetFormIndex(h, name.c_str());
    ASSERT_GT(index, 0u);

    DEVMODEW dm{};
    FORMCHECK check;
    dm.dmFields = DM_PAPERSIZE | DM_FORMNAME;
    CopyStringW(dm.dmFormName, name.c_str(), CCHFORMNAME);
    dm.dmPaperSize = 0;  // the name is not consulted
    EXPECT_EQ(ValidateDevModeForm(h, &dm, &check), 2);
    dm.dmPaperSize = static_cast<SHORT>(count + 1);
    EXPECT_EQ(ValidateDevModeForm(h, &dm, &check), 2);
    dm.dmPaperSize = static_cast<SHORT>(index);
    ASSERT_EQ(ValidateDevModeForm(h, &dm, &check), 0);
    EXPECT_EQ(check.fi.pName, check.wszName);
    EXPECT_EQ(std::u16string(check.wszName), name);
    EXPECT_EQ(check.fi.Size.cx, 61000);
    EXPECT_EQ(check.fi.Size.cy, 32000);

    dm.dmPaperSize = static_cast<SHORT>(count);  // the last form
    DWORD cForms = 0;
    PFORM_INFO_1W forms = GetDatabaseForms(h, &cForms);
    ASSERT_NE(forms, nullptr);
    ASSERT_EQ(ValidateDevModeForm(h, &dm, &check), 0);
    EXPECT_EQ(std::u16string(check.wszName), std::u16string(forms[cForms - 1].pName));
    FreeDatabaseForms(forms);

    dm.dmFields = DM_FORMNAME;
    ASSERT_EQ(ValidateDevModeForm(h, &dm, &check), 0);
    EXPECT_EQ(std::u16string(check.wszName), name);
    dm.dmFormName[0] ^= 0x20;  // another letter case
    EXPECT_EQ(ValidateDevModeForm(h, &dm, &check), 2);
    dm.dmFields = 0;
    CopyStringW(dm.dmFormName, name.c_str(), CCHFORMNAME);
    EXPECT_EQ(ValidateDevModeForm(h, &dm, &check), 2);
}

TEST_F(Forms, FormNameFieldIsComparedAsStored)
{
    // A form of 31 characters matches a device mode whose name field is full
    // (no terminator): only the first 31 characters of the field count.
    std::u16string name = Unique(u"Wide");
    name.resize(31, u'w');
    AddForm(name);
    DEVMODEW dm{};
    dm.dmFields = DM_FORMNAME;
    for (int i = 0; i < CCHFORMNAME; ++i) dm.dmFormName[i] = i < 31 ? name[i] : u'Z';
    FORMCHECK check;
    ASSERT_EQ(ValidateDevModeForm(h, &dm, &check), 0);
    EXPECT_EQ(std::u16string(check.wszName), name);
}

TEST_F(Forms, LabelOfAFormAndItsGeometry)
{
    PLABELDATA db = GetLabelDatabase(h, printerName.c_str());
    ASSERT_NE(db, nullptr);
    std::u16string stdName = printerName + u" Standard Label";
    stdName.resize(std::min<size_t>(stdName.size(), 31));

    FORM_INFO_1W form{};
    form.pName = stdName.data();
    PRINTERFORMINFO info;
    std::memset(&info, 0xCD, sizeof(info));
    ASSERT_TRUE(FormSupportedOnPrinter(db, &form, &info, nullptr));
    EXPECT_EQ(std::u16string(info.wszFormName), stdName);
    EXPECT_EQ(std::u16string(info.wszLabelName), stdName);
    EXPECT_EQ(info.szlPaper.cx, 80000);
    EXPECT_EQ(info.szlPaper.cy, 74200);
    EXPECT_EQ(info.rclImageArea.left, 0);
    EXPECT_EQ(info.rclImageArea.top, 0);
    EXPECT_EQ(info.rclImageArea.right, 80000);
    EXPECT_EQ(info.rclImageArea.bottom, 74200);
    EXPECT_EQ(info.bLandscape, 0u);
    EXPECT_EQ(info.iLabel, 0u);
    EXPECT_EQ(info.pLabel, db);
    EXPECT_TRUE(FormSupportedOnPrinter(db, &form, nullptr, nullptr));

    std::u16string other = stdName;
    other.back() ^= 0x20;
    form.pName = other.data();
    EXPECT_FALSE(FormSupportedOnPrinter(db, &form, &info, nullptr));
    EXPECT_FALSE(FormSupportedOnPrinter(nullptr, &form, &info, nullptr));
    EXPECT_FALSE(FormSupportedOnPrinter(db, nullptr, &info, nullptr));
    FreeLabelDatabase(db);
}

}  // namespace
