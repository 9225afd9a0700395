// The JSON forms printed by --json and kept in the manifest.
#include "json_out.h"

#include <cstdio>

#include "gbk_text.h"

namespace qz::cli {

std::string hex_of(std::string_view bytes)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char c : bytes) {
        auto byte = static_cast<unsigned char>(c);
        out += kDigits[byte >> 4];
        out += kDigits[byte & 15];
    }
    return out;
}

void put_address(nlohmann::json& object, std::string_view address)
{
    object["address"] = utf8_from_gbk(address);
    object["address_hex"] = hex_of(address);
}

nlohmann::json header_json(const MovieHeader& header)
{
    nlohmann::json background = nullptr;
    if (header.background) {
        char rgb[16];
        std::snprintf(rgb, sizeof rgb, "#%06X", static_cast<unsigned>(*header.background));
        background = rgb;
    }
    return {
        {"signature", header.signature},
        {"version", header.version},
        {"declared_length", header.declared_length},
        {"file_length", header.file_length},
        {"width", header.width_px()},
        {"height", header.height_px()},
        {"frame_rate", header.frame_rate},
        {"frame_count", header.frame_count},
        {"background", background},
    };
}

void print_json(const nlohmann::json& document)
{
    std::string text = document.dump(2, ' ', true, nlohmann::json::error_handler_t::replace) + "\n";
    std::fwrite(text.data(), 1, text.size(), stdout);
}

}  // namespace qz::cli
