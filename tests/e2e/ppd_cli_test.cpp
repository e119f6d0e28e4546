// lblctl ppd info and compile, run as a user would: the record of every model's
// description, the binary description file beside a copy, and unreadable input.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include <nlohmann/json.hpp>

#include "e2e/lblctl_run.h"

namespace e2e {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::StartsWith;
using Json = nlohmann::json;

std::string ReadText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// CRC-16, polynomial 0x1021, start 0, most significant bit first, no final inversion.
std::string Crc16Hex(const std::string& bytes)
{
    std::uint16_t crc = 0;
    for (unsigned char b : bytes) {
        crc ^= static_cast<std::uint16_t>(b << 8);
        for (int i = 0; i < 8; ++i)
            crc = static_cast<std::uint16_t>(crc & 0x8000 ? (crc << 1) ^ 0x1021 : crc << 1);
    }
    char hex[8];
    std::snprintf(hex, sizeof(hex), "%04X", crc);
    return hex;
}

// The value of a "*Keyword: value" line of a description, quotes removed.
std::string Entry(const std::string& text, const std::string& keyword)
{
    std::smatch m;
    if (!std::regex_search(text, m, std::regex("\\*" + keyword + ": \"?([^\"\\n]*)\"?\\n"))) return "";
    return m[1];
}

// A directory of its own for each test, so binary files of one test never meet another.
class PpdCli : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::path(SpoolDir()).parent_path() / ("ppd-cli-" + std::string(::testing::UnitTest::GetInstance()
                                                                                  ->current_test_info()
                                                                                  ->name()));
        fs::create_directories(dir_);
    }
    std::string Copy(int model, const std::string& name)
    {
        const fs::path to = dir_ / name;
        fs::copy_file(fs::path(LBL_SOURCE_DIR) / "ppd" / ("model" + std::to_string(model) + ".ppd"), to,
                      fs::copy_options::overwrite_existing);
        return to.string();
    }
    std::string Write(const std::string& name, const std::string& text)
    {
        std::ofstream(dir_ / name, std::ios::binary) << text;
        return (dir_ / name).string();
    }

    fs::path dir_;
};

TEST_F(PpdCli, InfoShowsTheRecordOfEveryModel)
{
    for (int model = 0; model <= 10; ++model) {
        SCOPED_TRACE("model " + std::to_string(model));
        const fs::path ppd = fs::path(LBL_SOURCE_DIR) / "ppd" / ("model" + std::to_string(model) + ".ppd");
        const std::string text = ReadText(ppd);
        const bool colour = Entry(text, "ColorDevice") == "True";

        RunResult r = Lblctl({"ppd", "info", ppd.string()});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err, "");
        EXPECT_THAT(r.out, StartsWith("nickname: \"" + Entry(text, "NickName") + "\"\n"));
        EXPECT_THAT(r.out, HasSubstr("\nchecksum: " + Crc16Hex(text) + "\n"));
        EXPECT_THAT(r.out, HasSubstr("\nlanguage level: " + std::to_string(model) + "\n"));
        EXPECT_THAT(r.out, HasSubstr(std::string("\ncolour: ") + (colour ? "yes" : "no") + "\n"));
        EXPECT_THAT(r.out, HasSubstr("\ngroup 0: InputSlot, index 0,"));
        EXPECT_THAT(r.out, HasSubstr("option Roll: translation \"Roll Feed\""));
        EXPECT_THAT(r.out, ::testing::ContainsRegex("\ngroup [0-9]+: Resolution, index 4, pick-one, flags 0x[0-9A-F]{4}, "
                                                    "default [1-9][0-9]*\n"));

        RunResult j = Lblctl({"ppd", "info", "--json", ppd.string()});
        ASSERT_EQ(j.status, 0) << j.err;
        const Json doc = Json::parse(j.out, nullptr, false);
        ASSERT_TRUE(doc.is_object()) << j.out;
        EXPECT_EQ(doc["pstrNickName"], Entry(text, "NickName"));
        EXPECT_EQ(doc["wChecksum"], Crc16Hex(text));
        EXPECT_EQ(doc["dwLanguageLevel"], model);
        EXPECT_EQ(doc["bColorDevice"], colour ? 1 : 0);
        EXPECT_EQ(doc["wVersion"], 3);
        EXPECT_EQ(doc["pwstrFileName"], ppd.string());
        ASSERT_TRUE(doc["pUiGroups"].is_array());
        EXPECT_EQ(doc["wGroupCount"], doc["pUiGroups"].size());
        std::vector<std::string> groups;
        for (std::size_t i = 0; i < doc["pUiGroups"].size(); ++i) {
            const Json& g = doc["pUiGroups"][i];
            EXPECT_EQ(g["wSequence"], i);
            ASSERT_TRUE(g["pOptions"].is_array());
            EXPECT_FALSE(g["pOptions"].empty());
            groups.push_back(g["pstrName"]);
        }
        EXPECT_THAT(groups, ::testing::IsSupersetOf({"InputSlot", "Resolution"}));
        EXPECT_EQ(doc["pUiGroups"][0]["pOptions"][0]["pstrName"], "Roll");
        EXPECT_EQ(doc["pUiGroups"][0]["pOptions"][0]["bRequiresPageRegion"], 1);
    }
}

TEST_F(PpdCli, InfoShowsAnsiStringsAsUtf8)
{
    // The description's strings are in code page 1252: 0xC9 is "É", 0xFC "ü", 0x80 "€".
    std::string text = ReadText(fs::path(LBL_SOURCE_DIR) / "ppd" / "model1.ppd");
    const std::string from = "*NickName: \"LBL Model 1 Label Printer\"";
    ASSERT_NE(text.find(from), std::string::npos);
    text.replace(text.find(from), from.size(), "*NickName: \"\xC9tiquette \xFC \x80\"");
    const std::string ppd = Write("latin.ppd", text);

    RunResult r = Lblctl({"ppd", "info", ppd});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_THAT(r.out, StartsWith("nickname: \"\xC3\x89tiquette \xC3\xBC \xE2\x82\xAC\"\n"));
    EXPECT_THAT(r.out, HasSubstr("\nchecksum: " + Crc16Hex(text) + "\n"));

    RunResult j = Lblctl({"ppd", "info", "--json", ppd});
    ASSERT_EQ(j.status, 0) << j.err;
    const Json doc = Json::parse(j.out, nullptr, false);
    ASSERT_TRUE(doc.is_object()) << j.out;
    EXPECT_EQ(doc["pstrNickName"], "\xC3\x89tiquette \xC3\xBC \xE2\x82\xAC");
}

TEST_F(PpdCli, InfoReadsTheTextFileOnly)
{
    // A binary file beside the copy, current and valid but made from another model:
    // info must neither use it nor write one.
    const std::string other = Copy(0, "label.ppd");
    ASSERT_EQ(Lblctl({"ppd", "compile", other}).status, 0);
    const fs::path bpd = dir_ / "label.BPD";
    ASSERT_TRUE(fs::exists(bpd));
    const std::string before = ReadText(bpd);
    const std::string ppd = Copy(3, "label.ppd");
    fs::last_write_time(bpd, fs::last_write_time(ppd) + std::chrono::seconds(10));

    RunResult r = Lblctl({"ppd", "info", ppd});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_THAT(r.out, HasSubstr("\nchecksum: " + Crc16Hex(ReadText(ppd)) + "\n"));
    EXPECT_THAT(r.out, HasSubstr("\nlanguage level: 3\n"));
    EXPECT_EQ(ReadText(bpd), before);

    const std::string alone = Copy(1, "alone.ppd");
    ASSERT_EQ(Lblctl({"ppd", "info", alone}).status, 0);
    EXPECT_FALSE(fs::exists(dir_ / "alone.BPD"));
}

TEST_F(PpdCli, CompileWritesTheBinaryFileThenReusesIt)
{
    const std::string ppd = Copy(1, "model1.ppd");
    const fs::path bpd = dir_ / "model1.BPD";
    const std::string crc = Crc16Hex(ReadText(ppd));

    RunResult first = Lblctl({"ppd", "compile", ppd});
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.err, "");
    EXPECT_EQ(LineCount(first.out), 1);
    EXPECT_THAT(first.out, StartsWith("parsed " + ppd + " and wrote " + bpd.string()));
    EXPECT_THAT(first.out, HasSubstr("checksum " + crc));
    ASSERT_TRUE(fs::exists(bpd));
    // The file is the packed record: its first u32 is its own size, as the message says.
    const std::string bytes = ReadText(bpd);
    ASSERT_GT(bytes.size(), 84u);
    std::uint32_t dwSize = 0;
    std::memcpy(&dwSize, bytes.data(), 4);
    EXPECT_EQ(dwSize, bytes.size());
    EXPECT_THAT(first.out, HasSubstr("(" + std::to_string(bytes.size()) + " bytes"));

    RunResult second = Lblctl({"ppd", "compile", ppd});
    ASSERT_EQ(second.status, 0) << second.err;
    EXPECT_EQ(LineCount(second.out), 1);
    EXPECT_THAT(second.out, StartsWith("reused " + bpd.string()));
    EXPECT_THAT(second.out, HasSubstr("checksum " + crc));
    EXPECT_EQ(ReadText(bpd), bytes);
}

TEST_F(PpdCli, CompileParsesAgainWhenTheBinaryFileCannotBeUsed)
{
    const std::string ppd = Copy(1, "model1.ppd");
    const fs::path bpd = dir_ / "model1.BPD";
    ASSERT_EQ(Lblctl({"ppd", "compile", ppd}).status, 0);
    const std::string good = ReadText(bpd);

    // Cut short to 84 bytes: never used, rewritten whole.
    fs::resize_file(bpd, 84);
    RunResult cut = Lblctl({"ppd", "compile", ppd});
    ASSERT_EQ(cut.status, 0) << cut.err;
    EXPECT_THAT(cut.out, StartsWith("parsed "));
    EXPECT_EQ(ReadText(bpd), good);

    // The description edited after the binary file was written: its new content counts.
    std::string text = ReadText(ppd);
    const std::string from = "*NickName: \"LBL Model 1 Label Printer\"";
    ASSERT_NE(text.find(from), std::string::npos);
    text.replace(text.find(from), from.size(), "*NickName: \"Dock Printer\"");
    std::ofstream(ppd, std::ios::binary | std::ios::trunc) << text;
    fs::last_write_time(ppd, fs::last_write_time(bpd) + std::chrono::seconds(5));
    RunResult edited = Lblctl({"ppd", "compile", ppd});
    ASSERT_EQ(edited.status, 0) << edited.err;
    EXPECT_THAT(edited.out, StartsWith("parsed "));
    EXPECT_THAT(edited.out, HasSubstr("checksum " + Crc16Hex(text)));
    EXPECT_NE(ReadText(bpd), good);
    EXPECT_THAT(Lblctl({"ppd", "info", ppd}).out, StartsWith("nickname: \"Dock Printer\"\n"));
}

TEST_F(PpdCli, UnreadableInputIsAOneLineError)
{
    std::string tooLong = ReadText(fs::path(LBL_SOURCE_DIR) / "ppd" / "model1.ppd");
    tooLong += "*InputSlot " + std::string(41, 'X') + "/Long: \"x\"\n";
    const std::vector<std::string> files = {
        (dir_ / "missing.ppd").string(),
        Write("empty.ppd", ""),
        dir_.string(),
        Write("long.ppd", tooLong),
    };
    for (const std::string& file : files) {
        for (const char* command : {"info", "compile"}) {
            SCOPED_TRACE(std::string(command) + " " + file);
            RunResult r = Lblctl({"ppd", command, file});
            EXPECT_NE(r.status, 0);
            EXPECT_EQ(r.out, "");
            EXPECT_EQ(LineCount(r.err), 1) << r.err;
            EXPECT_THAT(r.err, StartsWith("lblctl: " + file + ": "));
        }
    }
    EXPECT_FALSE(fs::exists(dir_ / "empty.BPD"));
    EXPECT_FALSE(fs::exists(dir_ / "long.BPD"));
}

}  // namespace
}  // namespace e2e
