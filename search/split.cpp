// The text split, written as plainly as the rule reads.
#include "split.h"

namespace qz {

std::vector<std::string_view> text_split(std::string_view text, std::string_view delimiter)
{
    std::vector<std::string_view> members;
    const std::size_t n = text.size();
    const std::size_t d = delimiter.size();
    std::size_t start = 0;
    std::size_t p = 0;
    while (d != 0 && n - p >= d) {
        if (text.compare(p, d, delimiter) == 0) {
            members.push_back(text.substr(start, p - start));
            p += d;
            start = p;
        } else if (static_cast<unsigned char>(text[p]) >= 0x80) {
            if (p + 1 == n)
                break;  // a lone lead byte at the very end
            p += 2;
        } else {
            p += 1;
        }
    }
    if (start < n)
        members.push_back(text.substr(start));
    return members;
}

}  // namespace qz
