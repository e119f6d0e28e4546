// The common UI's own strings: the standard texts that items name by identifier
// (64000 and up) instead of a string of the caller's module.
#include "compstui_strings.h"

namespace compstui {

const char16_t* StandardString(unsigned id)
{
    struct Entry {
        unsigned id;
        const char16_t* text;
    };
    static constexpr Entry kStrings[] = {
        {64726, u"False"},       {64727, u"True"},        {64728, u"No"},         {64729, u"Yes"},
        {64730, u"Off"},         {64731, u"On"},          {64734, u"None"},       {64738, u"Orientation"},
        {64743, u"Resolution"},  {64747, u"Form Name"},   {64753, u"Portrait"},   {64754, u"Landscape"},
        {64756, u"Collate"},     {64757, u"Collated"},    {64764, u"Color"},      {64765, u"Monochrome"},
        {64831, u"Copies"},
    };
    for (const Entry& e : kStrings)
        if (e.id == id) return e.text;
    return nullptr;
}

}  // namespace compstui
