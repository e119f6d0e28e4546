// GetLocaleInfoW: the user's country code, from the territory of the process
// locale (ll_TT.encoding@modifier) or, when that is C/POSIX, from the
// LC_ALL, LC_MESSAGES and LANG variables.
#include <clocale>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "base/codepage.h"

namespace {

constexpr LCTYPE LOCALE_NOUSEROVERRIDE = 0x80000000;

struct Territory {
    const char* code;
    const char* country;
};

// Telephone country codes, which is what LOCALE_ICOUNTRY reports.
constexpr Territory kTerritories[] = {
    {"US", "1"},   {"CA", "2"},    {"RU", "7"},    {"ZA", "27"},  {"GR", "30"},  {"NL", "31"},  {"BE", "32"},
    {"FR", "33"},  {"ES", "34"},   {"HU", "36"},   {"IT", "39"},  {"RO", "40"},  {"CH", "41"},  {"AT", "43"},
    {"GB", "44"},  {"DK", "45"},   {"SE", "46"},   {"NO", "47"},  {"PL", "48"},  {"DE", "49"},  {"MX", "52"},
    {"AR", "54"},  {"BR", "55"},   {"CL", "56"},   {"MY", "60"},  {"AU", "61"},  {"ID", "62"},  {"PH", "63"},
    {"NZ", "64"},  {"SG", "65"},   {"TH", "66"},   {"JP", "81"},  {"KR", "82"},  {"VN", "84"},  {"CN", "86"},
    {"TR", "90"},  {"IN", "91"},   {"PT", "351"},  {"IE", "353"}, {"IS", "354"}, {"FI", "358"}, {"CZ", "420"},
    {"SK", "421"}, {"IL", "972"},  {"HK", "852"},  {"TW", "886"},
};

bool IsNeutral(std::string_view name)
{
    return name.empty() || name == "C" || name == "POSIX" || name.starts_with("C.");
}

std::string LocaleName()
{
    const char* current = std::setlocale(LC_MESSAGES, nullptr);
    if (current && !IsNeutral(current)) return current;
    for (const char* var : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(var);
        if (value && *value) return value;
    }
    return "C";
}

// The country code of a locale name; "1" for C, POSIX and territories not in the table.
const char* CountryOf(std::string_view name)
{
    size_t underscore = name.find('_');
    if (underscore == std::string_view::npos) return "1";
    std::string_view territory = name.substr(underscore + 1);
    territory = territory.substr(0, territory.find_first_of(".@"));
    for (const Territory& t : kTerritories)
        if (territory == t.code) return t.country;
    return "1";
}

}  // namespace

extern "C" int GetLocaleInfoW(LCID, LCTYPE LCType, LPWSTR lpLCData, int cchData)
{
    if (cchData < 0 || (cchData > 0 && !lpLCData)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if ((LCType & ~LOCALE_NOUSEROVERRIDE) != LOCALE_ICOUNTRY) {
        SetLastError(ERROR_INVALID_FLAGS);
        return 0;
    }
    const char* country = CountryOf(LocaleName());
    int needed = static_cast<int>(std::strlen(country)) + 1;
    if (cchData == 0) return needed;
    if (cchData < needed) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    for (int i = 0; i < needed; ++i) lpLCData[i] = static_cast<WCHAR>(country[i]);
    return needed;
}
