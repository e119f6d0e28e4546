// The table of built-in forms.
#include "builtinforms.h"

namespace platform::spool {
namespace {

constexpr BuiltinForm kForms[] = {
    {u"Letter", 215900, 279400},                 // 1
    {u"Letter Small", 215900, 279400},           // 2
    {u"Tabloid", 279400, 431800},                // 3
    {u"Ledger", 431800, 279400},                 // 4
    {u"Legal", 215900, 355600},                  // 5
    {u"Statement", 139700, 215900},              // 6
    {u"Executive", 184150, 266700},              // 7
    {u"A3", 297000, 420000},                     // 8
    {u"A4", 210000, 297000},                     // 9
    {u"A4 Small", 210000, 297000},               // 10
    {u"A5", 148000, 210000},                     // 11
    {u"B4 (JIS)", 257000, 364000},               // 12
    {u"B5 (JIS)", 182000, 257000},               // 13
    {u"Folio", 215900, 330200},                  // 14
    {u"Quarto", 215000, 275000},                 // 15
    {u"10x14", 254000, 355600},                  // 16
    {u"11x17", 279400, 431800},                  // 17
    {u"Note", 215900, 279400},                   // 18
    {u"Envelope #9", 98425, 225425},             // 19
    {u"Envelope #10", 104775, 241300},           // 20
    {u"Envelope #11", 114300, 263525},           // 21
    {u"Envelope #12", 120650, 279400},           // 22
    {u"Envelope #14", 127000, 292100},           // 23
    {u"C size sheet", 431800, 558800},           // 24
    {u"D size sheet", 558800, 863600},           // 25
    {u"E size sheet", 863600, 1117600},          // 26
    {u"Envelope DL", 110000, 220000},            // 27
    {u"Envelope C5", 162000, 229000},            // 28
    {u"Envelope C3", 324000, 458000},            // 29
    {u"Envelope C4", 229000, 324000},            // 30
    {u"Envelope C6", 114000, 162000},            // 31
    {u"Envelope C65", 114000, 229000},           // 32
    {u"Envelope B4", 250000, 353000},            // 33
    {u"Envelope B5", 176000, 250000},            // 34
    {u"Envelope B6", 176000, 125000},            // 35
    {u"Envelope", 110000, 230000},               // 36
    {u"Envelope Monarch", 98425, 190500},        // 37
    {u"6 3/4 Envelope", 92075, 165100},          // 38
    {u"US Std Fanfold", 377825, 279400},         // 39
    {u"German Std Fanfold", 215900, 304800},     // 40
    {u"German Legal Fanfold", 215900, 330200},   // 41
};

}  // namespace

std::span<const BuiltinForm> BuiltinForms() { return kForms; }

}  // namespace platform::spool
