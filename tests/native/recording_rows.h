// A result list that records its rows, for the extraction and search tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "search_handlers.h"

struct Row {
    std::string number;
    std::string address;
    bool operator==(const Row&) const = default;
};

inline void PrintTo(const Row& row, std::ostream* os)
{
    *os << "{" << row.number << ", " << testing::PrintToString(row.address) << "}";
}

class RecordingRows : public qz::ResultList {
public:
    std::vector<Row> rows;
    std::vector<std::string>* log = nullptr;  // not owned; shared with the other fakes

    int row_count() override { return static_cast<int>(rows.size()); }
    int insert_row(int index, const char* text) override
    {
        EXPECT_EQ(index, row_count()) << "a row goes in at the current count";
        rows.push_back({text, ""});
        note("insert " + std::string(text));
        return index;
    }
    void set_cell(int row, int column, const char* text) override
    {
        EXPECT_EQ(column, 1);
        rows.at(static_cast<std::size_t>(row)).address = text;
    }
    void remove_all() override
    {
        rows.clear();
        note("remove_all");
    }

private:
    void note(const std::string& what)
    {
        if (log)
            log->push_back(what);
    }
};
