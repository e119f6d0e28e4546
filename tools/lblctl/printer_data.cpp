// lblctl printer data: the printer data values stored for a printer, and a repair
// tool that stores one value from a file.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>

#include <nlohmann/json.hpp>

#include "base/codepage.h"
#include "printer_access.h"
#include "printer_commands.h"
#include "spool_scope.h"
#include "input_file.h"

namespace lblctl {
namespace {

using Json = nlohmann::ordered_json;

struct DataArgs {
    std::string name;
    std::string value;
    bool json = false;
    std::string write;
    std::string type;
};

const char* TypeName(DWORD type)
{
    switch (type) {
    case REG_SZ: return "REG_SZ";
    case REG_BINARY: return "REG_BINARY";
    case REG_DWORD: return "REG_DWORD";
    default: return "REG_NONE";
    }
}

std::string Hex(const std::vector<BYTE>& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (BYTE b : bytes) {
        text += digits[b >> 4];
        text += digits[b & 15];
    }
    return text;
}

std::vector<BYTE> ReadValue(HANDLE h, const std::string& name, DWORD& type)
{
    std::u16string wname = platform::Widen(name);
    DWORD cbNeeded = 0;
    BYTE probe = 0;
    DWORD rc = GetPrinterDataW(h, wname.data(), &type, &probe, 0, &cbNeeded);
    if (rc == ERROR_FILE_NOT_FOUND) throw Failure{"printer has no value \"" + name + "\""};
    if (rc != ERROR_SUCCESS && rc != ERROR_MORE_DATA)
        throw Failure{"cannot read \"" + name + "\" (error " + std::to_string(rc) + ")"};
    std::vector<BYTE> data(cbNeeded);
    rc = GetPrinterDataW(h, wname.data(), &type, data.data(), cbNeeded, &cbNeeded);
    if (rc != ERROR_SUCCESS) throw Failure{"cannot read \"" + name + "\" (error " + std::to_string(rc) + ")"};
    data.resize(cbNeeded);
    return data;
}

void Write(HANDLE h, const DataArgs& a)
{
    if (a.value.empty()) throw Failure{"--write needs the VALUE name"};
    DWORD type = a.type == "REG_DWORD" ? REG_DWORD : a.type == "REG_SZ" ? REG_SZ : REG_BINARY;
    std::vector<BYTE> data = ReadInputFile(a.write, kMaxValueFile, "a printer data value");
    if (type == REG_DWORD && data.size() != 4) throw Failure{a.write + ": a REG_DWORD value is 4 bytes"};
    if (data.size() > 0xFFFFFFFFu) throw Failure{a.write + ": too large"};
    std::u16string wname = platform::Widen(a.value);
    const DWORD rc = SetPrinterDataW(h, wname.data(), type, data.data(), static_cast<DWORD>(data.size()));
    if (rc != ERROR_SUCCESS) throw Failure{"cannot store \"" + a.value + "\" (error " + std::to_string(rc) + ")"};
}

void PrinterData(const DataArgs& a)
{
    auto printer = OpenPrinterOrFail(a.name);
    if (!a.write.empty()) return Write(printer->h, a);
    if (!a.value.empty()) {
        DWORD type = 0;
        std::printf("%s\n", Hex(ReadValue(printer->h, a.value, type)).c_str());
        return;
    }
    Json all = Json::array();
    for (const std::string& value : platform::PrinterValueNames(a.name)) {
        DWORD type = 0;
        std::vector<BYTE> data = ReadValue(printer->h, value, type);
        if (a.json) {
            all.push_back(Json{{"name", value}, {"type", TypeName(type)}, {"size", data.size()}, {"hex", Hex(data)}});
        } else {
            std::printf("%-16s %-10s %4zu %s\n", value.c_str(), TypeName(type), data.size(), Hex(data).c_str());
        }
    }
    if (a.json) std::printf("%s\n", all.dump(2).c_str());
}

}  // namespace

void AddPrinterDataCommand(CLI::App& printer)
{
    auto args = std::make_shared<DataArgs>();
    CLI::App* data = printer.add_subcommand("data", "Show a printer's stored values; store one from a file (repair)");
    data->add_option("NAME", args->name, "Printer name")->required();
    data->add_option("VALUE", args->value, "One value's name: print its bytes as hex");
    data->add_flag("--json", args->json, "Every value as JSON");
    auto* write = data->add_option("--write", args->write, "Store VALUE from this file's bytes");
    data->add_option("--type", args->type, "Type of the stored value")
        ->check(CLI::IsMember({"REG_BINARY", "REG_DWORD", "REG_SZ"}))
        ->needs(write);
    write->needs(data->get_option("--type"));
    data->callback([args] { PrinterData(*args); });
    ChangesSpool(data);
}

}  // namespace lblctl
