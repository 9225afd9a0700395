// libFuzzer target of the file-name rule: the input is two addresses cut at
// its first zero byte; each name must be safe, and two different addresses
// must not share a name, even with ASCII letters folded.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "save_names.h"

namespace {

std::string folded(std::string name)
{
    for (char& c : name)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::size_t zero = input.find('\0');
    std::string_view a = input.substr(0, zero);
    std::string_view b = zero == std::string_view::npos ? std::string_view() : input.substr(zero + 1);
    std::string name_a = qz::cli::save_name(a);
    std::string name_b = qz::cli::save_name(b);
    if (!qz::cli::safe_relative_name(name_a) || !qz::cli::safe_relative_name(name_b))
        std::abort();
    if (a != b && folded(name_a) == folded(name_b))
        std::abort();
    return 0;
}
