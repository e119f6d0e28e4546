// The listing as JSON, and the SHA-256 that identifies a plane's bits.
#include <openssl/evp.h>

#include <memory>
#include <nlohmann/json.hpp>

#include "inspect/decoder.h"

namespace lblinspect {

std::string PlaneSha256(const Plane& plane)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    const std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> ctx(EVP_MD_CTX_new(),
                                                                      &EVP_MD_CTX_free);
    if (!ctx || EVP_DigestInit_ex(ctx.get(), EVP_sha256(), nullptr) != 1 ||
        EVP_DigestUpdate(ctx.get(), plane.bits.data(), plane.bits.size()) != 1 ||
        EVP_DigestFinal_ex(ctx.get(), digest, &length) != 1)
        return {};
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    for (unsigned int i = 0; i < length; ++i) {
        out += kHex[digest[i] >> 4];
        out += kHex[digest[i] & 15];
    }
    return out;
}

std::string JsonListing(const Result& result)
{
    using nlohmann::ordered_json;
    ordered_json commands = ordered_json::array();
    for (const Command& c : result.commands) {
        ordered_json fields = ordered_json::object();
        for (const Field& f : c.fields) fields[f.key] = f.value;
        commands.push_back({{"offset", c.offset},
                            {"name", c.name},
                            {"raw", detail::EscapeBytes(c.raw)},
                            {"fields", std::move(fields)}});
    }
    ordered_json pages = ordered_json::array();
    for (const Page& page : result.pages) {
        ordered_json planes = ordered_json::array();
        for (const Plane& plane : page.planes)
            planes.push_back({{"plane", plane.colour},
                              {"colour", ColourName(plane.colour)},
                              {"width", plane.width},
                              {"height", plane.height},
                              {"sha256", PlaneSha256(plane)}});
        pages.push_back({{"complete", page.complete}, {"planes", std::move(planes)}});
    }
    ordered_json doc;
    doc["commands"] = std::move(commands);
    doc["pages"] = std::move(pages);
    if (result.error)
        doc["error"] = {{"offset", result.error->offset}, {"message", result.error->message}};
    else
        doc["error"] = nullptr;
    return doc.dump(2, ' ', false, ordered_json::error_handler_t::replace);
}

}  // namespace lblinspect
