// The LF NUL terminated commands: which command a text is, and its fields in words.
#include "inspect/decoder.h"

namespace lblinspect::detail {

namespace {

using Fields = std::vector<Field>;

std::string PlaneWords(long plane)
{
    return std::to_string(plane) + " (" + ColourName(static_cast<int>(plane)) + ")";
}

bool ValidPlane(long plane) { return plane >= 0 && plane <= 3; }

bool AutoFeed(FieldScanner& s, Command& c, const char* name)
{
    const auto length = s.Digits(4);
    if (!length || !s.AtEnd()) return false;
    c.name = name;
    c.fields = {{"lAutoFeed", Tenths(*length)}};
    return true;
}

bool LabelSize(FieldScanner& s, Command& c)
{
    const std::size_t start = s.pos;
    for (const bool wide : {false, true}) {
        s.pos = start;
        const auto pitch = s.Digits(wide ? 5 : 4);
        if (!pitch || !s.Literal(",")) continue;
        const auto width = s.Digits(4);
        if (!width || !s.Literal(",")) continue;
        const auto height = s.Digits(wide ? 5 : 4);
        if (!height || !s.AtEnd()) continue;
        c.name = "label size";
        c.fields = {{"lPitch", Tenths(*pitch)}, {"width", Tenths(*width)},
                    {"height", Tenths(*height)}};
        if (wide) c.fields.push_back({"form", "model 9"});
        return true;
    }
    return false;
}

bool Position(FieldScanner& s, Command& c, ModelHints& hints)
{
    const auto feed = s.Signed(3);
    if (!feed || !s.Literal(",")) return false;
    const auto cut = s.Signed(3);
    if (!cut || !s.Literal(",")) return false;
    const auto back = s.Signed(2);
    if (!back) return false;
    c.name = "position adjustment";
    c.fields = {{"lFeedAdj", Tenths(*feed, true)},
                {"lCutPosAdj", Tenths(*cut, true)},
                {"lBackFeedAdj", Tenths(*back, true)}};
    if (s.AtEnd()) return true;
    if (!s.Literal(",")) return false;
    const auto stop = s.Signed(4);
    if (!stop || !s.AtEnd()) return false;
    c.fields.push_back({"lStopPosAdj", Tenths(*stop, true)});
    hints.model0 = true;
    return true;
}

bool Density(FieldScanner& s, Command& c, ModelHints& hints, std::string& why)
{
    const auto density = s.Signed(2);
    if (!density || !s.Literal(",")) return false;
    c.name = "density";
    c.fields = {{"alDensAdj", SignedNumber(*density)}};
    if (s.Literal("0,")) {
        const auto plane = s.Decimal();
        if (!plane || !s.AtEnd()) return false;
        if (!ValidPlane(*plane)) {
            why = "density command for plane " + std::to_string(*plane) + " (planes are 0 to 3)";
            return false;
        }
        c.fields.push_back({"plane", PlaneWords(*plane)});
        hints.model0 = true;
        return true;
    }
    const auto withoutRibbon = s.Decimal();
    if (!withoutRibbon || !s.AtEnd()) return false;
    c.fields.push_back({"dwRibbonSel1", std::to_string(*withoutRibbon) +
                                            (*withoutRibbon ? " (without ribbon)" : " (with ribbon)")});
    return true;
}

bool ColourPosition(FieldScanner& s, Command& c, ModelHints& hints, std::string& why)
{
    const auto plane = s.Decimal();
    if (!plane || !s.Literal(",")) return false;
    const auto x = s.Signed(3);
    if (!x || !s.Literal(",")) return false;
    const auto y = s.Signed(3);
    if (!y || !s.AtEnd()) return false;
    if (!ValidPlane(*plane)) {
        why = "colour position for plane " + std::to_string(*plane) + " (planes are 0 to 3)";
        return false;
    }
    c.name = "colour position";
    c.fields = {{"plane", PlaneWords(*plane)}, {"x", Hundredths(*x, true)},
                {"y", Hundredths(*y, true)}};
    hints.model0 = true;
    return true;
}

bool RibbonType(FieldScanner& s, Command& c)
{
    const auto type = s.Decimal();
    if (!type || !s.AtEnd()) return false;
    c.name = "ribbon type";
    c.fields = {{"ribbon type", std::to_string(*type)}};
    return true;
}

bool RibbonMotor(FieldScanner& s, Command& c, ModelHints& hints, std::string& why)
{
    if (s.Literal("9,")) {
        const auto rewind = s.Signed(2);
        if (!rewind) return false;
        const auto tension = s.Signed(2);
        if (!tension) return false;
        const auto plane = s.Decimal();
        if (!plane || !s.AtEnd()) return false;
        if (!ValidPlane(*plane)) {
            why = "ribbon motor command for plane " + std::to_string(*plane) + " (planes are 0 to 3)";
            return false;
        }
        c.name = "ribbon motor";
        c.fields = {{"lRewindAdj", SignedNumber(*rewind)},
                    {"lBackTensionAdj", SignedNumber(*tension)},
                    {"plane", PlaneWords(*plane)}};
        hints.model0 = true;
        return true;
    }
    if (s.Literal("-")) {
        const auto rewind = s.Digits(2);
        if (!rewind || !s.Literal("-")) return false;
        const auto tension = s.Digits(2);
        if (!tension || !s.AtEnd()) return false;
        c.name = "ribbon motor";
        c.fields = {{"lRewindAdj", SignedNumber(-*rewind)},
                    {"lBackTensionAdj", SignedNumber(-*tension)}};
        return true;
    }
    const auto preset = s.Decimal();
    if (!preset || !s.AtEnd()) return false;
    if (*preset < 1 || *preset > 4) {
        why = "ribbon motor preset " + std::to_string(*preset) + " is outside 1 to 4";
        return false;
    }
    c.name = "ribbon motor preset";
    c.fields = {{"preset", std::to_string(*preset)},
                {"ribbon type", std::to_string((*preset - 1) / 2)},
                {"ribbon width", (*preset - 1) % 2 ? "68 mm" : "109 mm"}};
    hints.model0 = true;
    return true;
}

// "%c%d%d%d0" of the issue command: letter, speed code in plain decimal, ribbon
// digit, orientation digit, literal 0.
bool IssueTail(char letter, std::string_view digits, ModelHints& hints, Fields& fields,
               std::string& why)
{
    if (digits.size() < 4 || digits.back() != '0') return false;
    for (const char d : digits)
        if (d < '0' || d > '9') return false;
    const std::string_view speed = digits.substr(0, digits.size() - 3);
    const int ribbon = digits[digits.size() - 3] - '0';
    const int orientation = digits[digits.size() - 2] - '0';
    const bool model0 = letter == 'E' || (letter == 'C' && (hints.model0 || ribbon == 3));
    if (model0) {
        hints.model0 = true;
        if (ribbon != 2 && ribbon != 3) {
            why = "issue command: ribbon digit " + std::to_string(ribbon) + " is not 2 or 3";
            return false;
        }
        if (orientation > 1) {
            why = "issue command: orientation digit " + std::to_string(orientation) +
                  " is not 0 or 1";
            return false;
        }
        fields.push_back({"bBackFeed", letter == 'C' ? "on" : "off"});
        fields.push_back({"speed code", std::string(speed)});
        fields.push_back({"bRibbonSaver", ribbon == 3 ? "on" : "off"});
        fields.push_back({"orientation", orientation ? "top down" : "bottom up"});
        return true;
    }
    if (letter != 'C' && letter != 'D') return false;
    if (ribbon > 2) {
        why = "issue command: ribbon digit " + std::to_string(ribbon) + " is not 0, 1 or 2";
        return false;
    }
    if (orientation > 3) {
        why = "issue command: orientation digit " + std::to_string(orientation) +
              " is not 0 to 3";
        return false;
    }
    static const char* const kRibbon[] = {"none", "saver on", "saver off"};
    fields.push_back({"iIssueMode", letter == 'D' ? "strip" : "batch"});
    fields.push_back({"speed code", std::string(speed)});
    fields.push_back({"ribbon", kRibbon[ribbon]});
    fields.push_back({"orientation", orientation & 1 ? "top down" : "bottom up"});
    fields.push_back({"bMirror", orientation & 2 ? "on" : "off"});
    return true;
}

bool Issue(FieldScanner& s, Command& c, ModelHints& hints, std::string& why)
{
    const auto copies = s.Digits(4);
    if (!copies || !s.Literal(",")) return false;
    const auto cut = s.Digits(3);
    if (!cut) return false;
    const auto sensor = s.Decimal();
    if (!sensor || s.AtEnd()) return false;
    const char letter = s.text[s.pos++];
    c.name = "issue";
    c.fields = {{"cCopies", std::to_string(*copies)},
                {"cut", std::to_string(*cut)},
                {"iSensor", std::to_string(*sensor)}};
    return IssueTail(letter, s.Rest(), hints, c.fields, why);
}

// "\eT%d%d%c%d%d": sensor, cut flag, print mode letter, speed code, ribbon digit.
bool Feed(FieldScanner& s, Command& c, std::string& why)
{
    const std::string_view t = s.Rest();
    const std::size_t letterAt = t.find_first_of("CD");
    if (letterAt == std::string_view::npos || letterAt < 2) return false;
    const std::string_view head = t.substr(0, letterAt);
    const std::string_view tail = t.substr(letterAt + 1);
    if (tail.size() < 2) return false;
    for (const std::string_view part : {head, tail})
        for (const char d : part)
            if (d < '0' || d > '9') return false;
    const int cutFlag = head.back() - '0';
    const int ribbon = tail.back() - '0';
    if (cutFlag > 1) {
        why = "feed command: cut flag " + std::to_string(cutFlag) + " is not 0 or 1";
        return false;
    }
    if (ribbon > 2) {
        why = "feed command: ribbon digit " + std::to_string(ribbon) + " is not 0, 1 or 2";
        return false;
    }
    static const char* const kRibbon[] = {"none", "saver on", "saver off"};
    c.name = "feed";
    c.fields = {{"iSensor", std::string(head.substr(0, head.size() - 1))},
                {"cut", cutFlag ? "on" : "off"},
                {"iIssueMode", t[letterAt] == 'D' ? "strip" : "batch"},
                {"speed code", std::string(tail.substr(0, tail.size() - 1))},
                {"ribbon", kRibbon[ribbon]}};
    return true;
}

}  // namespace

bool DecodeCommandText(std::string_view text, ModelHints& hints, Command& command,
                       std::string& why)
{
    FieldScanner s{text};
    bool known = true;
    bool ok = false;
    if (s.Literal("U2;")) {
        ok = AutoFeed(s, command, "auto feed on");
    } else if (s.Literal("U1;")) {
        ok = AutoFeed(s, command, "auto feed off");
    } else if (s.Literal("D")) {
        ok = LabelSize(s, command);
    } else if (s.Literal("AX;")) {
        ok = Position(s, command, hints);
    } else if (s.Literal("AY;")) {
        ok = Density(s, command, hints, why);
    } else if (s.Literal("AZ;")) {
        ok = ColourPosition(s, command, hints, why);
    } else if (s.Literal("RN;0")) {
        ok = RibbonType(s, command);
    } else if (s.Literal("RM;")) {
        ok = RibbonMotor(s, command, hints, why);
    } else if (text == "C") {
        command.name = "end of page set-up";
        ok = true;
    } else if (text == "IB") {
        command.name = "end of cut-every-time job";
        ok = true;
    } else if (s.Literal("XS;I,")) {
        ok = Issue(s, command, hints, why);
    } else if (s.Literal("T")) {
        ok = Feed(s, command, why);
    } else {
        known = false;
    }
    if (ok) return true;
    if (why.empty()) {
        const std::string shown = EscapeBytes(
            Bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
        why = known ? "malformed command \\e" + shown : "unknown command \\e" + shown;
    }
    return false;
}

}  // namespace lblinspect::detail
