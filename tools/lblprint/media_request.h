// The media a job asked for, from its attributes alone (no PAPPL job needed,
// so that it can be fuzzed with attributes read from any bytes).
#pragma once

#include <pappl/pappl.h>

#include <functional>

namespace lblprint {

// Where a job's media is kept when PAPPL would have dropped it from the request
// for not being among the printer's media (substituted_media.cpp).
constexpr const char* kSubstitutedMedia = "lblprint-substituted-media";
constexpr const char* kSubstitutedMediaCol = "lblprint-substituted-media-col";

// `col` is PAPPL's reading of the job's media, or what PAPPL would have
// dropped. `given` is false when the job asked for none; `stock` when it names
// media (other than a custom size) rather than asking only for a size.
struct RequestedMedia {
    pappl_media_col_t col{};
    bool given = false, stock = false;
};

// `find` gives the job's attribute of a name (null when it has none); `read` is
// PAPPL's reading of the job's media.
RequestedMedia ReadRequestedMedia(const std::function<ipp_attribute_t*(const char*)>& find,
                                  const pappl_media_col_t& read);

}  // namespace lblprint
