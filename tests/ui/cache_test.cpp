// The one-record description cache: shared by users of the same description,
// bypassed while in use, replaced only when unused.
#include <cctype>

#include "ui_fixture.h"

using namespace uitest;

namespace {

class CacheTest : public UiTest {};

TEST_F(CacheTest, TwoSheetsShareTheRecordUntilBothClose)
{
    HANDLE a = Open(AddBarePrinter(ModelPpd(3)));
    PPDDATA* first = LoadPpdFile(a);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(cachedPpdData, first);
    EXPECT_EQ(cacheRefCount, 1);
    PPDDATA* second = LoadPpdFile(a);
    EXPECT_EQ(second, first);
    EXPECT_EQ(cacheRefCount, 2);
    UnloadPpdFile(first);
    EXPECT_EQ(cacheRefCount, 1);
    UnloadPpdFile(second);
    EXPECT_EQ(cacheRefCount, 0);
    EXPECT_EQ(cachedPpdData, first);  // stays cached with no users
}

TEST_F(CacheTest, AnotherDescriptionWhileInUseIsBuiltUncachedAndFreed)
{
    HANDLE a = Open(AddBarePrinter(ModelPpd(3)));
    HANDLE b = Open(AddBarePrinter(ModelPpd(7)));
    PPDDATA* sheetA = LoadPpdFile(a);
    ASSERT_NE(sheetA, nullptr);
    const long liveWithA = platform::LiveGlobalBlocks();
    PPDDATA* queryB = LoadPpdFile(b);
    ASSERT_NE(queryB, nullptr);
    EXPECT_NE(queryB, sheetA);
    EXPECT_EQ(queryB->dwLanguageLevel, 7u);
    EXPECT_EQ(cachedPpdData, sheetA);
    UnloadPpdFile(queryB);
    EXPECT_EQ(platform::LiveGlobalBlocks(), liveWithA);  // B's record is gone
    EXPECT_EQ(cachedPpdData, sheetA);
    EXPECT_EQ(cacheRefCount, 1);
    UnloadPpdFile(sheetA);
}

TEST_F(CacheTest, AnUnusedRecordIsReplacedByTheNextDescription)
{
    HANDLE a = Open(AddBarePrinter(ModelPpd(3)));
    HANDLE b = Open(AddBarePrinter(ModelPpd(7)));
    UnloadPpdFile(LoadPpdFile(a));
    PPDDATA* recordB = LoadPpdFile(b);
    ASSERT_NE(recordB, nullptr);
    EXPECT_EQ(cachedPpdData, recordB);
    EXPECT_EQ(cacheRefCount, 1);
    UnloadPpdFile(recordB);
}

TEST_F(CacheTest, PathsCompareWithoutRegardToCase)
{
    const std::string path = ModelPpd(5);
    std::string upper = path;
    const auto slash = upper.find_last_of('/');
    for (size_t i = slash + 1; i < upper.size(); ++i) upper[i] = static_cast<char>(std::toupper(upper[i]));
    HANDLE a = Open(AddBarePrinter(path));
    HANDLE b = Open(AddBarePrinter(upper));  // the same record, though no file has this name
    PPDDATA* first = LoadPpdFile(a);
    PPDDATA* second = LoadPpdFile(b);
    EXPECT_EQ(first, second);
    EXPECT_EQ(cacheRefCount, 2);
    UnloadPpdFile(first);
    UnloadPpdFile(second);
}

TEST_F(CacheTest, AnUnreadableDescriptionGivesNothingAndKeepsTheCache)
{
    HANDLE a = Open(AddBarePrinter(ModelPpd(3)));
    HANDLE bad = Open(AddBarePrinter(TestDir() + "/missing.ppd"));
    UnloadPpdFile(LoadPpdFile(a));
    PPDDATA* cached = cachedPpdData;
    EXPECT_EQ(LoadPpdFile(bad), nullptr);
    EXPECT_EQ(cachedPpdData, cached);
    EXPECT_EQ(LoadPpdFile(nullptr), nullptr);
}

}  // namespace
