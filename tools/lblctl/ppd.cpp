// lblctl ppd info and compile: the printer description record of a
// description file, shown as text or JSON, and its binary description file.
#include <cstdio>
#include <filesystem>
#include <string>

#include <nlohmann/json.hpp>

#include "base/codepage.h"
#include "commands.h"
#include "frontend/owners.h"
#include "spool_scope.h"

namespace lblctl {

namespace {

using Json = nlohmann::ordered_json;

using RecordPtr = PpdPtr;

// The description's strings are in the ANSI code page; shown as UTF-8.
std::string Text(const char* s)
{
    if (!s) return {};
    int cch = MultiByteToWideChar(CP_ACP, 0, s, -1, nullptr, 0);
    if (cch <= 0) return s;
    std::u16string w(static_cast<std::size_t>(cch), u'\0');
    MultiByteToWideChar(CP_ACP, 0, s, -1, w.data(), cch);
    w.resize(static_cast<std::size_t>(cch - 1));
    return platform::Narrow(w);
}

Json OptionalText(const char* s)
{
    return s ? Json(Text(s)) : Json(nullptr);
}

std::u16string WidePath(const std::string& file)
{
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) throw Failure{file + ": no such file"};
    return platform::Widen(file);
}

const char* GroupTypeName(WORD wUiType)
{
    return wUiType == UITYPE_BOOLEAN ? "boolean" : "pick-one";
}

const char* OrientationName(WORD w)
{
    switch (w) {
    case 0: return "Any";
    case 1: return "Plus90";
    case 2: return "Minus90";
    default: return "?";
    }
}

std::string Hex4(WORD w)
{
    char buf[8];
    std::snprintf(buf, sizeof(buf), "%04X", w);
    return buf;
}

Json OptionJson(const PPDDATA* p, const UIGROUP* g, const UIOPTION* o)
{
    Json j;
    j["pstrName"] = OptionalText(PpdOptionName(p, o));
    j["pstrTranslation"] = OptionalText(PpdOptionTranslation(p, o));
    j["pstrInvocation"] = OptionalText(PpdOptionInvocation(p, o));
    if (const INPUTSLOT* slot = PpdInputSlotOption(g, o)) j["bRequiresPageRegion"] = slot->bRequiresPageRegion;
    if (const RESOPTION* res = PpdResOption(g, o))
        j["pstrSetResolution"] = OptionalText(PpdString(p, res->pstrSetResolution));
    return j;
}

Json RecordJson(const PPDDATA* p)
{
    Json j;
    j["dwSize"] = p->dwSize;
    j["pwstrFileName"] = platform::Narrow(PpdFileName(p));
    j["pstrNickName"] = OptionalText(PpdNickName(p));
    j["wVersion"] = p->wVersion;
    j["wChecksum"] = Hex4(p->wChecksum);
    j["wLsOrientation"] = p->wLsOrientation;
    j["dwLanguageLevel"] = p->dwLanguageLevel;
    j["bColorDevice"] = p->bColorDevice;
    j["dwMaxMediaWidth"] = p->dwMaxMediaWidth;
    j["dwMaxMediaHeight"] = p->dwMaxMediaHeight;
    j["wGroupCount"] = p->wGroupCount;
    Json groups = Json::array();
    for (const UIGROUP* g = PpdFirstGroup(p); g; g = PpdNextGroup(p, g)) {
        Json jg;
        jg["wSequence"] = g->wSequence;
        jg["pstrName"] = OptionalText(PpdGroupName(p, g));
        jg["wGroupIndex"] = g->wGroupIndex;
        jg["wUiType"] = g->wUiType;
        jg["wGroupFlags"] = g->wGroupFlags;
        jg["dwDefault"] = g->dwDefault;
        Json options = Json::array();
        for (const UIOPTION* o = PpdFirstOption(p, g); o; o = PpdNextOption(p, o)) options.push_back(OptionJson(p, g, o));
        jg["pOptions"] = options;
        groups.push_back(jg);
    }
    j["pUiGroups"] = groups;
    return j;
}

std::string Quoted(const char* s)
{
    if (!s) return "-";
    std::string out = "\"";
    for (char c : Text(s)) {
        if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else if (c == '"' || c == '\\') out += std::string("\\") + c;
        else out += c;
    }
    return out + "\"";
}

void PrintRecord(const PPDDATA* p)
{
    std::printf("nickname: %s\n", Quoted(PpdNickName(p)).c_str());
    std::printf("checksum: %s\n", Hex4(p->wChecksum).c_str());
    std::printf("language level: %u\n", p->dwLanguageLevel);
    std::printf("colour: %s\n", p->bColorDevice ? "yes" : "no");
    std::printf("landscape orientation: %s\n", OrientationName(p->wLsOrientation));
    std::printf("media limits: width %u, height %u\n", p->dwMaxMediaWidth, p->dwMaxMediaHeight);
    for (const UIGROUP* g = PpdFirstGroup(p); g; g = PpdNextGroup(p, g)) {
        std::printf("group %u: %s, index %u, %s, flags 0x%04X, default %u\n", g->wSequence,
                    Text(PpdGroupName(p, g)).c_str(), g->wGroupIndex, GroupTypeName(g->wUiType), g->wGroupFlags,
                    g->dwDefault);
        for (const UIOPTION* o = PpdFirstOption(p, g); o; o = PpdNextOption(p, o)) {
            std::printf("  option %s: translation %s, invocation %s", Text(PpdOptionName(p, o)).c_str(),
                        Quoted(PpdOptionTranslation(p, o)).c_str(), Quoted(PpdOptionInvocation(p, o)).c_str());
            if (const INPUTSLOT* slot = PpdInputSlotOption(g, o))
                std::printf(", bRequiresPageRegion %u", slot->bRequiresPageRegion);
            if (const RESOPTION* res = PpdResOption(g, o))
                std::printf(", pstrSetResolution %s", Quoted(PpdString(p, res->pstrSetResolution)).c_str());
            std::printf("\n");
        }
    }
}

struct InfoArgs {
    std::string file;
    bool json = false;
};

void PpdInfo(const InfoArgs& args)
{
    std::u16string path = WidePath(args.file);
    RecordPtr record(PpdParse(path.c_str()));
    if (!record) throw Failure{args.file + ": the description cannot be read (unreadable, or a name longer than 40 characters)"};
    if (args.json)
        std::printf("%s\n", RecordJson(record.get()).dump(2).c_str());
    else
        PrintRecord(record.get());
}

void PpdCompile(const std::string& file)
{
    std::u16string path = WidePath(file);
    DWORD source = 0;
    RecordPtr record(PpdCreateEx(path.c_str(), &source));
    if (!record) throw Failure{file + ": the description cannot be read (unreadable, or a name longer than 40 characters)"};
    WCHAR bpd[BPD_MAX_PATH];
    const bool named = GenerateBpdFilename(bpd, BPD_MAX_PATH, path.c_str());
    const std::string bpdName = named ? platform::Narrow(bpd) : std::string("(path too long: no binary file)");
    if (source == PPDSRC_BINARY) {
        std::printf("reused %s (%u bytes, checksum %s)\n", bpdName.c_str(), record->dwSize, Hex4(record->wChecksum).c_str());
        return;
    }
    std::error_code ec;
    if (named && std::filesystem::is_regular_file(platform::Narrow(bpd), ec))
        std::printf("parsed %s and wrote %s (%u bytes, checksum %s)\n", file.c_str(), bpdName.c_str(), record->dwSize,
                    Hex4(record->wChecksum).c_str());
    else
        std::printf("parsed %s; %s could not be written\n", file.c_str(), bpdName.c_str());
}

}  // namespace

void AddPpdCommand(CLI::App& app)
{
    CLI::App* ppd = app.add_subcommand("ppd", "Read printer description files as the driver does");
    ppd->require_subcommand(1);
    LeavesSpoolAlone(ppd);

    auto info = std::make_shared<InfoArgs>();
    CLI::App* infoCmd = ppd->add_subcommand("info", "Print the description record of a description file");
    infoCmd->add_option("FILE", info->file, "Description file")->required();
    infoCmd->add_flag("--json", info->json, "Print the record as JSON with the record's field names");
    infoCmd->callback([info] { PpdInfo(*info); });

    auto file = std::make_shared<std::string>();
    CLI::App* compileCmd =
        ppd->add_subcommand("compile", "Build the record as the UI library does, writing or reusing the binary file");
    compileCmd->add_option("FILE", *file, "Description file")->required();
    compileCmd->callback([file] { PpdCompile(*file); });

    AddPpdListCommand(*ppd);
}

}  // namespace lblctl
