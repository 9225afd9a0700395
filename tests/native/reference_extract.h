// The extraction rule written the plain way, on top of the text split: the
// yardstick for the fast single pass in tests, fuzzing and benchmarks.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "split.h"

struct ReferenceRow {
    std::string number;
    std::string address;
    bool operator==(const ReferenceRow&) const = default;
};

inline std::vector<ReferenceRow> reference_rows(std::string_view page)
{
    std::vector<ReferenceRow> rows;
    for (std::string_view piece : qz::text_split(page, "http")) {
        std::vector<std::string_view> members = qz::text_split(piece, ".swf");
        if (members.size() == 2)
            rows.push_back({std::to_string(rows.size() + 1), "http" + std::string(members[0]) + ".swf"});
    }
    return rows;
}
