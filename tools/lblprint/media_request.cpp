// The media a job asked for, read from its attributes: what PAPPL kept, or what
// it would have dropped (kept under another name by substituted_media.cpp).
#include "media_request.h"

#include <cstdio>
#include <cstring>

namespace lblprint {

namespace {

// A media name that names a stock: not empty and no custom size.
bool IsStockName(const char* name) { return name && *name && std::strncmp(name, "custom_", 7) != 0; }

void SetName(pappl_media_col_t& col, const char* name)
{
    std::snprintf(col.size_name, sizeof col.size_name, "%s", name ? name : "");
    if (const pwg_media_t* pwg = name ? pwgMediaForPWG(name) : nullptr) {
        col.size_width = pwg->width;
        col.size_length = pwg->length;
    }
}

}  // namespace

RequestedMedia ReadRequestedMedia(const std::function<ipp_attribute_t*(const char*)>& find,
                                  const pappl_media_col_t& read)
{
    RequestedMedia asked;
    asked.col = read;
    if (ipp_attribute_t* kept = find(kSubstitutedMediaCol)) {
        asked.col = pappl_media_col_t{};
        ipp_t* col = ippGetCollection(kept, 0);
        const char* name = ippGetString(ippFindAttribute(col, "media-size-name", IPP_TAG_ZERO), 0, nullptr);
        SetName(asked.col, name);
        ipp_attribute_t* x = ippFindAttribute(col, "media-size/x-dimension", IPP_TAG_INTEGER);
        ipp_attribute_t* y = ippFindAttribute(col, "media-size/y-dimension", IPP_TAG_INTEGER);
        if (x && y) {
            asked.col.size_width = ippGetInteger(x, 0);
            asked.col.size_length = ippGetInteger(y, 0);
        }
        asked.given = true;
        asked.stock = IsStockName(name);
    } else if (ipp_attribute_t* kept = find(kSubstitutedMedia)) {
        asked.col = pappl_media_col_t{};
        const char* name = ippGetString(kept, 0, nullptr);
        SetName(asked.col, name);
        asked.given = true;
        asked.stock = IsStockName(name);
    } else if (ipp_attribute_t* col = find("media-col")) {
        asked.given = true;
        asked.stock = IsStockName(
            ippGetString(ippFindAttribute(ippGetCollection(col, 0), "media-size-name", IPP_TAG_ZERO), 0, nullptr));
    } else if (ipp_attribute_t* media = find("media")) {
        asked.given = true;
        asked.stock = IsStockName(ippGetString(media, 0, nullptr));
    }
    // A size of no more than nothing asks for no size.
    if (asked.col.size_width < 0 || asked.col.size_length < 0) asked.col.size_width = asked.col.size_length = 0;
    return asked;
}

}  // namespace lblprint
