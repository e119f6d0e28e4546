// Queries on a finished record.
#include "description/ppdtest.h"

using namespace ppdtest;

TEST(Queries, WithoutResolutionGroup)
{
    ScratchDir dir;
    Record r = ParseRecord(dir, "*InputSlot Roll: \"r\"\n");
    ASSERT_TRUE(r);
    EXPECT_EQ(PpdDefaultResolution(r.get()), 300u);
    EXPECT_EQ(PpdFindResolution(r.get(), 300), nullptr);
    EXPECT_FALSE(PpdSupportDuplex(r.get()));
    EXPECT_EQ(PpdFindCollateCode(r.get(), TRUE), nullptr);
}

TEST(Queries, FindResolutionByLeadingNumber)
{
    ScratchDir dir;
    Record r = ParseRecord(dir, "*Resolution 300dpi: \"a\"\n*Resolution 600dpi: \"b\"\n*Resolution 600x300dpi: \"c\"\n");
    ASSERT_TRUE(r);
    const RESOPTION* o = PpdFindResolution(r.get(), 600);
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(Str(PpdString(r.get(), o->pstrInvocation)), "b");
    EXPECT_EQ(PpdFindResolution(r.get(), 400), nullptr);
    EXPECT_EQ(PpdFindResolution(r.get(), 0), nullptr);
    EXPECT_EQ(PpdDefaultResolution(r.get()), 300u);
}

TEST(Queries, CollateCodesAndDuplex)
{
    ScratchDir dir;
    Record r = ParseRecord(dir, "*Collate False: \"off\"\n*DefaultCollate: False\n*DefaultDuplex: None\n"
                                "*Collate True/On: \"\"\n");
    ASSERT_TRUE(r);
    EXPECT_EQ(Str(PpdFindCollateCode(r.get(), FALSE)), "off");
    EXPECT_EQ(Str(PpdFindCollateCode(r.get(), TRUE)), "");  // an empty invocation is still one
    EXPECT_FALSE(PpdSupportDuplex(r.get()));               // a Duplex group without options

    r = ParseRecord(dir, "*Collate True/On: \"x\"\n*SetResolution 300dpi: \"s\"\n*Duplex None: \"n\"\n");
    ASSERT_TRUE(r);
    EXPECT_EQ(PpdFindCollateCode(r.get(), FALSE), nullptr);
    EXPECT_TRUE(PpdSupportDuplex(r.get()));
    EXPECT_EQ(FindBooleanOptionCode(r.get(), nullptr, TRUE), nullptr);

    // An option that exists only through SetResolution has no invocation.
    const UIGROUP* res = PpdPredefGroup(r.get(), PPDGROUP_RESOLUTION);
    EXPECT_EQ(PpdFirstOption(r.get(), res)->pstrInvocation, 0u);
    EXPECT_EQ(FindBooleanOptionCode(r.get(), res, TRUE), nullptr);
}

TEST(Queries, CollateTrueWithoutInvocation)
{
    ScratchDir dir;
    Obj obj = ParseText(dir, "*Collate True: \"on\"\n*Collate False: \"off\"\n");
    ASSERT_TRUE(obj);
    Option(Group(obj.get(), "Collate"), "True")->pstrInvocation = nullptr;
    Record r(PackPpdData(obj.release()));
    ASSERT_TRUE(r);
    ASSERT_TRUE(UnpackPpdData(r.get()));
    EXPECT_EQ(PpdFindCollateCode(r.get(), TRUE), nullptr);
    EXPECT_EQ(Str(PpdFindCollateCode(r.get(), FALSE)), "off");
    // Accessors tolerate nulls and indexes past the end.
    EXPECT_EQ(PpdFirstGroup(nullptr), nullptr);
    EXPECT_EQ(PpdNickName(nullptr), nullptr);
    EXPECT_EQ(PpdOptionAt(r.get(), PpdPredefGroup(r.get(), PPDGROUP_COLLATE), 5), nullptr);
    EXPECT_EQ(PpdPredefGroup(r.get(), 7), nullptr);
}
