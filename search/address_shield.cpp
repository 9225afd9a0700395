// The %XX shield both transports put around their URL parsers.
#include "address_shield.h"

namespace qz {
namespace {

int hex_value(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

}  // namespace

std::string shielded(const char* address)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out;
    for (const char* p = address; *p; ++p) {
        unsigned char byte = static_cast<unsigned char>(*p);
        if (byte <= 0x20 || byte >= 0x7F || byte == '%') {
            out += '%';
            out += hex[byte >> 4];
            out += hex[byte & 15];
        } else {
            out += *p;
        }
    }
    return out;
}

std::string restored(std::string_view part)
{
    std::string out;
    for (std::size_t i = 0; i < part.size(); ++i) {
        int high = 0, low = 0;
        if (part[i] == '%' && i + 2 < part.size() && (high = hex_value(part[i + 1])) >= 0 &&
            (low = hex_value(part[i + 2])) >= 0) {
            out += static_cast<char>(high << 4 | low);
            i += 2;
        } else {
            out += part[i];
        }
    }
    return out;
}

}  // namespace qz
