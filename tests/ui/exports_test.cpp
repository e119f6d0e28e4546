// The two driver libraries export exactly their entry points.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <memory>
#include <set>
#include <string>

namespace {

std::set<std::string> DefinedDynamicSymbols(const std::string& library)
{
    std::set<std::string> names;
    const std::string cmd = "nm -D --defined-only '" + library + "'";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(cmd.c_str(), "r"), ::pclose);
    if (!pipe) return names;
    std::array<char, 512> line{};
    while (std::fgets(line.data(), line.size(), pipe.get())) {
        std::string text(line.data());
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        const auto space = text.find_last_of(' ');
        if (space != std::string::npos) names.insert(text.substr(space + 1));
    }
    return names;
}

TEST(Exports, UiLibraryExportsItsEntryPointsOnly)
{
    EXPECT_EQ(DefinedDynamicSymbols(LBLUI_PATH),
              (std::set<std::string>{"DevQueryPrintEx", "DllInitialize", "DrvAdvancedDocumentProperties",
                                     "DrvConvertDevMode", "DrvDeviceCapabilities", "DrvDevicePropertySheets",
                                     "DrvDocumentProperties", "DrvDocumentPropertySheets", "DrvPrinterEvent",
                                     "DrvUpgradePrinter"}));
}

TEST(Exports, RenderLibraryExportsOnlyDrvEnableDriver)
{
    EXPECT_EQ(DefinedDynamicSymbols(LBLRENDER_PATH), (std::set<std::string>{"DrvEnableDriver"}));
}

}  // namespace
