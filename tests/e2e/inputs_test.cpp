// Inputs from outside, bounded and checked: oversized or endless files are
// refused at a stated limit, names that are not UTF-8 or hold control characters
// are refused, JSON errors name the file and the label, and no message quotes
// more than a short prefix of what it was given.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "e2e/lblctl_run.h"

namespace e2e {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

class LblctlInputs : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(Lblctl({"printer", "add", name, "--ppd", TestPpd()}).status, 0); }
    void TearDown() override { Lblctl({"printer", "remove", name}); }
    std::string name = "Inputs";
};

TEST_F(LblctlInputs, OversizedAndEndlessFilesAreRefused)
{
    const auto before = PrinterValue(name, "LabelData");
    RunResult endless = Lblctl({"labels", "import", name, "/dev/zero"});
    EXPECT_EQ(endless.status, 1);
    EXPECT_THAT(endless.err, HasSubstr("/dev/zero: larger than 1048576 bytes"));
    std::string big = "[" + std::string(2u << 20, ' ') + "]";
    RunResult huge = Lblctl({"labels", "import", name, WriteFile("big.json", big)});
    EXPECT_THAT(huge.err, HasSubstr("larger than 1048576 bytes"));
    EXPECT_EQ(PrinterValue(name, "LabelData"), before);

    RunResult data = Lblctl({"printer", "data", name, "PrinterHT", "--write", "/dev/zero", "--type", "REG_BINARY"});
    EXPECT_EQ(data.status, 1);
    EXPECT_THAT(data.err, HasSubstr("larger than"));
}

TEST_F(LblctlInputs, JsonErrorsNameFileAndLabelAndWriteNothing)
{
    const auto before = PrinterValue(name, "LabelData");
    const std::string file = WriteFile("overflow.json", R"([{"szLabelName": "A"}, {"szLabelName": "B", "lWidth": 1e400}])");
    RunResult r = Lblctl({"labels", "import", name, file});
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.err, HasSubstr(file + ": label 2: not valid JSON"));
    EXPECT_THAT(r.err, HasSubstr("nothing was written"));
    EXPECT_EQ(LineCount(r.err), 1);
    EXPECT_EQ(PrinterValue(name, "LabelData"), before);

    // A long bad key is quoted by a short prefix only.
    std::string longKey(5000, 'k');
    r = Lblctl({"labels", "import", name, WriteFile("key.json", "[{\"" + longKey + "\": 1}]")});
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.err, HasSubstr("unknown field"));
    EXPECT_LT(r.err.size(), 300u);
}

TEST_F(LblctlInputs, NamesMustBeUtf8WithoutControlCharacters)
{
    for (std::string bad : {std::string("Bad\xFF"), std::string("Bad\xC3"), std::string("Tab\tName"),
                            std::string("C1\xC2\x85"), std::string("Sur\xED\xA0\x80")}) {
        RunResult r = Lblctl({"printer", "add", bad, "--ppd", TestPpd()});
        EXPECT_EQ(r.status, 1) << bad;
        EXPECT_THAT(r.err, HasSubstr("printer name")) << bad;
        EXPECT_EQ(LineCount(r.err), 1) << r.err;
    }
    // Two invalid names once aliased each other; now neither reaches the spooler.
    EXPECT_EQ(Lblctl({"labels", "export", "Inputs\xFF"}).status, 1);
    RunResult list = Lblctl({"printer", "list"});
    EXPECT_THAT(list.out, Not(HasSubstr("Bad")));

    RunResult label = Lblctl({"labels", "import", name, WriteFile("ctl.json", R"([{"szLabelName": "A\u0001B"}])")});
    EXPECT_EQ(label.status, 1);
    EXPECT_THAT(label.err, HasSubstr("field szLabelName: holds a control character"));

    std::string longName(3000, 'n');
    RunResult missing = Lblctl({"labels", "export", longName});
    EXPECT_EQ(missing.status, 1);
    EXPECT_LT(missing.err.size(), 200u);
}

TEST_F(LblctlInputs, PortsThatCannotBePrintersAreRefusedAtAdd)
{
    std::string dir = std::filesystem::path(SpoolDir()).parent_path().string();
    RunResult r = Lblctl({"printer", "add", "Dir", "--ppd", TestPpd(), "--port", dir});
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.err, HasSubstr("a directory"));
    for (const auto& e : std::filesystem::directory_iterator("/dev")) {
        if (!e.is_block_file()) continue;
        r = Lblctl({"printer", "add", "Disk", "--ppd", TestPpd(), "--port", e.path().string()});
        EXPECT_EQ(r.status, 1);
        EXPECT_THAT(r.err, HasSubstr("block device"));
        break;
    }
    EXPECT_THAT(Lblctl({"printer", "list"}).out, Not(HasSubstr("Dir")));
}

}  // namespace
}  // namespace e2e
