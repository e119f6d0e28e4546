// The binary description file: its name, the checks that make it usable,
// writing it (UI build) and reusing it.
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "description/ppdtest.h"

using namespace ppdtest;

namespace {

std::u16string Bpd(const std::u16string& ppd)
{
    WCHAR buf[BPD_MAX_PATH];
    if (!GenerateBpdFilename(buf, BPD_MAX_PATH, ppd.c_str())) return u"<refused>";
    return buf;
}

[[maybe_unused]] std::vector<BYTE> ReadAll(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const std::string& file, const std::vector<BYTE>& bytes)
{
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

const char kDesc[] = "*NickName: \"Model\"\n*LanguageLevel: \"4\"\n*InputSlot Roll: \"r\"\n"
                     "*Resolution 203dpi: \"a\"\n*Resolution 300dpi: \"b\"\n*DefaultResolution: 300dpi\n";

void Age(const std::string& file, int seconds)
{
    auto t = std::filesystem::last_write_time(file);
    std::filesystem::last_write_time(file, t - std::chrono::seconds(seconds));
}

}  // namespace

TEST(BpdName, LastDotOfTheFileNamePart)
{
    EXPECT_EQ(Bpd(u"C:\\drivers\\label.ppd"), u"C:\\drivers\\label.BPD");
    EXPECT_EQ(Bpd(u"/x/label"), u"/x/label.BPD");
    EXPECT_EQ(Bpd(u"a."), u"a.BPD");
    EXPECT_EQ(Bpd(u"/x/label.v2.ppd"), u"/x/label.v2.BPD");
    // A dot in a directory name is not the extension: the binary file stays in
    // its directory and two descriptions there do not share one.
    EXPECT_EQ(Bpd(u"C:\\dir.d\\label"), u"C:\\dir.d\\label.BPD");
    EXPECT_EQ(Bpd(u"x.one/lbl"), u"x.one/lbl.BPD");
    EXPECT_EQ(Bpd(u"x.one/lbl2"), u"x.one/lbl2.BPD");
    EXPECT_EQ(Bpd(u"/a.b\\c/d.e/f"), u"/a.b\\c/d.e/f.BPD");
}

TEST(BpdName, TooLongPathIsRefusedWithoutOverrun)
{
    // 255 characters plus ".BPD" and the NUL need 260: the limit.
    std::u16string fits(255, u'a');
    EXPECT_EQ(Bpd(fits).size(), 259u);
    EXPECT_EQ(Bpd(fits + u"a"), u"<refused>");
    EXPECT_EQ(Bpd(std::u16string(5000, u'b') + u".ppd"), u"<refused>");
    // A long directory part before a short extension still must fit.
    EXPECT_EQ(Bpd(std::u16string(256, u'c') + u".ppd"), u"<refused>");
    EXPECT_EQ(Bpd(std::u16string(255, u'c') + u".ppd").size(), 259u);
    // A long name after a dotted directory is long too.
    EXPECT_EQ(Bpd(u"C:\\dir.d\\" + std::u16string(400, u'f')), u"<refused>");

    WCHAR small[8];
    std::memset(small, 0x55, sizeof(small));
    EXPECT_FALSE(GenerateBpdFilename(small, 8, u"abcd.ppd"));  // "abcd.BPD" + NUL needs 9
    EXPECT_EQ(small[0], 0);
    EXPECT_TRUE(GenerateBpdFilename(small, 8, u"abc.ppd"));

    // Such a description is still parsed; only the binary file is left out.
    ScratchDir dir;
    const std::string deep = dir.Path(std::string(200, 'd') + "/" + std::string(100, 'e'));
    std::filesystem::create_directories(deep);
    const std::string ppd = deep + "/label.ppd";
    std::ofstream(ppd) << kDesc;
    DWORD src = 0;
    Record r(PpdCreateEx(Wide(ppd).c_str(), &src));
    ASSERT_TRUE(r);
    EXPECT_EQ(src, PPDSRC_PARSED);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(deep), std::filesystem::directory_iterator()), 1);
}

TEST(BinaryFile, WrittenByTheUiBuildAndReused)
{
    ScratchDir dir;
    std::string ppd = dir.Write("label.ppd", kDesc);
    const std::string bpd = dir.Path("label.BPD");
    DWORD src = 0;
    Record r(PpdCreateEx(Wide(ppd).c_str(), &src));
    ASSERT_TRUE(r);
    EXPECT_EQ(src, PPDSRC_PARSED);
#if defined(LBL_UI_BUILD)
    ASSERT_TRUE(std::filesystem::exists(bpd));
    std::vector<BYTE> file = ReadAll(bpd);
    ASSERT_EQ(file.size(), r->dwSize);
    // The file holds the packed record: the predefined group offsets are 0.
    EXPECT_EQ(std::memcmp(file.data(), r.get(), 44), 0);
    EXPECT_EQ(std::memcmp(file.data() + 64, reinterpret_cast<BYTE*>(r.get()) + 64, file.size() - 64), 0);
    for (int i = 44; i < 64; ++i) EXPECT_EQ(file[i], 0);
    EXPECT_FALSE(std::filesystem::exists(bpd + ".tmp"));

    Record again(PpdCreateEx(Wide(ppd).c_str(), &src));
    ASSERT_TRUE(again);
    EXPECT_EQ(src, PPDSRC_BINARY);
    EXPECT_EQ(std::memcmp(again.get(), r.get(), r->dwSize), 0);
#else
    EXPECT_FALSE(std::filesystem::exists(bpd));
#endif
}

TEST(BinaryFile, BothBuildsRefuseABinaryFileOlderThanItsDescription)
{
    ScratchDir dir;
    std::string ppd = dir.Write("label.ppd", kDesc);
    Record parsed(PpdParse(Wide(ppd).c_str()));
    ASSERT_TRUE(parsed);
    std::vector<BYTE> bytes(reinterpret_cast<BYTE*>(parsed.get()), reinterpret_cast<BYTE*>(parsed.get()) + parsed->dwSize);
    std::memset(&bytes[44], 0, 20);
    bytes[24] = 1;  // bColorDevice, to see which source was used
    WriteAll(dir.Path("label.BPD"), bytes);
    DWORD src = 0;
    Record r(PpdCreateEx(Wide(ppd).c_str(), &src));
    ASSERT_TRUE(r);
    EXPECT_EQ(src, PPDSRC_BINARY);
    EXPECT_EQ(r->bColorDevice, 1u);

    // The description is now newer than its binary file.
    Age(dir.Path("label.BPD"), 100);
    r.reset(PpdCreateEx(Wide(ppd).c_str(), &src));
    ASSERT_TRUE(r);
    EXPECT_EQ(src, PPDSRC_PARSED);
    EXPECT_EQ(r->bColorDevice, 0u);
#if defined(LBL_UI_BUILD)
    EXPECT_EQ(ReadAll(dir.Path("label.BPD"))[24], 0);  // rewritten
#else
    EXPECT_EQ(ReadAll(dir.Path("label.BPD"))[24], 1);  // the render build never writes it
#endif
}

class StaleBinary : public ::testing::Test {
protected:
    void SetUp() override
    {
        ppd_ = dir_.Write("label.ppd", kDesc);
        Record parsed(PpdParse(Wide(ppd_).c_str()));
        ASSERT_TRUE(parsed);
        good_.assign(reinterpret_cast<BYTE*>(parsed.get()), reinterpret_cast<BYTE*>(parsed.get()) + parsed->dwSize);
        std::memset(&good_[44], 0, 20);
        good_[24] = 1;  // marks the binary file's record
    }
    // Writes the bytes as the binary file (not older than the description) and
    // says whether PpdCreate used them.
    bool Used(const std::vector<BYTE>& bytes)
    {
        WriteAll(dir_.Path("label.BPD"), bytes);
        Age(ppd_, 100);
        DWORD src = 0;
        Record r(PpdCreateEx(Wide(ppd_).c_str(), &src));
        EXPECT_TRUE(r);
        if (!r) return false;
        EXPECT_EQ(r->bColorDevice, src == PPDSRC_BINARY ? 1u : 0u);
        return src == PPDSRC_BINARY;
    }
    ScratchDir dir_;
    std::string ppd_;
    std::vector<BYTE> good_;
};

TEST_F(StaleBinary, ChecksOfSizeVersionAndName)
{
    EXPECT_TRUE(Used(good_));
    std::vector<BYTE> b = good_;
    b.push_back(0);  // dwSize differs from the length
    EXPECT_FALSE(Used(b));
    b = good_;
    b[12] = 2;  // wVersion
    EXPECT_FALSE(Used(b));
    EXPECT_FALSE(Used({}));

    // Made from a description file of another name (case is ignored).
    Record other(PpdParse(Wide(dir_.Write("other.ppd", kDesc)).c_str()));
    b.assign(reinterpret_cast<BYTE*>(other.get()), reinterpret_cast<BYTE*>(other.get()) + other->dwSize);
    std::memset(&b[44], 0, 20);
    b[24] = 1;
    EXPECT_FALSE(Used(b));
    Record upper(PpdParse(Wide(dir_.Write("LABEL.PPD", kDesc)).c_str()));
    b.assign(reinterpret_cast<BYTE*>(upper.get()), reinterpret_cast<BYTE*>(upper.get()) + upper->dwSize);
    std::memset(&b[44], 0, 20);
    b[24] = 1;
    EXPECT_TRUE(Used(b));
}

TEST_F(StaleBinary, EightyFourBytesAreNeverUsed)
{
    // A minimal valid record of exactly 84 bytes: header, a 6-character name, constraints.
    std::vector<BYTE> b(84, 0);
    DWORD v = 84;
    std::memcpy(&b[0], &v, 4);
    v = 68;
    std::memcpy(&b[4], &v, 4);
    b[12] = 3;
    const char16_t name[] = u"label";
    std::memcpy(&b[68], name, sizeof(name));
    v = 80;
    std::memcpy(&b[64], &v, 4);
    b[82] = 8;
    EXPECT_TRUE(UnpackPpdData(reinterpret_cast<PPDDATA*>(b.data())));
    std::memset(&b[44], 0, 20);
    EXPECT_FALSE(Used(b));
}

TEST_F(StaleBinary, DamagedContentIsParsedAgain)
{
    std::vector<BYTE> b = good_;
    DWORD size = static_cast<DWORD>(b.size());
    std::memcpy(&b[8], &size, 4);  // nickname offset at the end
    EXPECT_FALSE(Used(b));
    b = good_;
    std::memset(&b[b.size() - 8], 'z', 8);  // the last string loses its NUL
    EXPECT_FALSE(Used(b));
    b = good_;
    DWORD groups;
    std::memcpy(&groups, &b[40], 4);
    std::memcpy(&b[groups], &groups, 4);  // the group list loops
    EXPECT_FALSE(Used(b));
#if defined(LBL_UI_BUILD)
    // The rewritten file is good again.
    DWORD src = 0;
    Record r(PpdCreateEx(Wide(ppd_).c_str(), &src));
    EXPECT_EQ(src, PPDSRC_BINARY);
#endif
}

TEST(BinaryFile, WriteFailureIsIgnored)
{
    ScratchDir dir;
    std::string ppd = dir.Write("label.ppd", kDesc);
    std::filesystem::create_directories(dir.Path("label.BPD"));  // a directory stands in the way
    DWORD src = 0;
    Record r(PpdCreateEx(Wide(ppd).c_str(), &src));
    ASSERT_TRUE(r);
    EXPECT_EQ(src, PPDSRC_PARSED);
    std::vector<std::string> names;
    for (auto& e : std::filesystem::directory_iterator(dir.Path(""))) names.push_back(e.path().filename().string());
    EXPECT_EQ(names.size(), 2u);  // no temporary left beside the description
}

#if defined(LBL_UI_BUILD)
// Links and files someone left beside the binary file are never written through
// or truncated: the binary file is written under a new name and renamed.
TEST(BinaryFile, WrittenUnderANewNameNeverThroughALink)
{
    ScratchDir dir;
    std::string ppd = dir.Write("label.ppd", kDesc);
    const std::string victim = dir.Write("victim.txt", "keep me");
    std::filesystem::create_symlink(victim, dir.Path("label.BPD.tmp"));
    DWORD src = 0;
    Record r(PpdCreateEx(Wide(ppd).c_str(), &src));
    ASSERT_TRUE(r);
    EXPECT_EQ(src, PPDSRC_PARSED);
    EXPECT_EQ(ReadAll(victim), std::vector<BYTE>({'k', 'e', 'e', 'p', ' ', 'm', 'e'}));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.Path("label.BPD.tmp")));
    EXPECT_EQ(ReadAll(dir.Path("label.BPD")).size(), r->dwSize);
    // The binary file itself a link: replaced by the new file, its target untouched.
    Age(dir.Path("label.BPD"), 200);
    Age(ppd, 100);
    std::filesystem::remove(dir.Path("label.BPD"));
    std::filesystem::create_symlink(victim, dir.Path("label.BPD"));
    r.reset(PpdCreateEx(Wide(ppd).c_str(), &src));
    ASSERT_TRUE(r);
    EXPECT_EQ(ReadAll(victim).size(), 7u);
    EXPECT_FALSE(std::filesystem::is_symlink(dir.Path("label.BPD")));
    size_t files = 0;
    for (auto& e : std::filesystem::directory_iterator(dir.Path(""))) files += e.path().filename() != "";
    EXPECT_EQ(files, 4u);  // label.ppd, victim.txt, the old link, label.BPD: no temporary left
}
#endif

// Two descriptions in a dotted directory keep their own models.
TEST(BinaryFile, DescriptionsInADottedDirectoryKeepTheirOwn)
{
    ScratchDir dir;
    std::filesystem::create_directories(dir.Path("x.one"));
    std::string a = dir.Write("x.one/lbl", kDesc);
    std::string b = dir.Write("x.one/lbl2", "*NickName: \"Other\"\n*LanguageLevel: \"1\"\n*InputSlot Roll: \"r\"\n"
                                            "*Resolution 203dpi: \"a\"\n*DefaultResolution: 203dpi\n");
    for (int pass = 0; pass < 2; ++pass) {
        Record ra(PpdCreate(Wide(a).c_str(), nullptr));
        Record rb(PpdCreate(Wide(b).c_str(), nullptr));
        ASSERT_TRUE(ra && rb);
        EXPECT_EQ(ra->dwLanguageLevel, 4u);
        EXPECT_EQ(rb->dwLanguageLevel, 1u);
    }
    EXPECT_FALSE(std::filesystem::exists(dir.Path("x.BPD")));
}

TEST(BinaryFile, NothingLeaksOnAnyPath)
{
    ScratchDir dir;
    std::string ppd = dir.Write("label.ppd", kDesc);
    const long before = LiveDriverBlocks();
    for (int i = 0; i < 3; ++i) PpdDelete(PpdCreate(Wide(ppd).c_str(), nullptr));
    WriteAll(dir.Path("label.BPD"), std::vector<BYTE>(200, 0xAB));
    PpdDelete(PpdCreate(Wide(ppd).c_str(), nullptr));
    EXPECT_EQ(LiveDriverBlocks(), before);
}
