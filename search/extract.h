// Module extraction: the Flash addresses of a page, as numbered rows.
#pragma once

#include <string_view>

namespace qz {

// What module extraction needs of the result list. Texts are zero-terminated
// and borrowed for the call only.
class ResultRows {
public:
    virtual ~ResultRows() = default;
    // The number of rows the list holds now.
    virtual int row_count() = 0;
    // Appends a row at `index`, which is the current row count, with `text`
    // in column 0; returns the new row's index (-1 when the list refused it).
    virtual int insert_row(int index, const char* text) = 0;
    // Sets the text of one cell; column 1 holds the module address.
    virtual void set_cell(int row, int column, const char* text) = 0;
};

// Cuts `page` at every "http" and each piece at every ".swf"; a piece whose
// cut gives exactly two members adds the row "http" + member 1 + ".swf",
// numbered from the list's own row count. One forward pass; the pieces are
// never copied.
void extract_modules(std::string_view page, ResultRows& rows);

// The row number text for a list that holds `count` rows: "%.13g" of count + 1.
// `out` must hold 32 bytes.
void row_number_text(int count, char* out);

}  // namespace qz
