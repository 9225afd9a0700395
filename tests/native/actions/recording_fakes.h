// Recording fakes of the result actions' ports, writing one shared log.
#pragma once

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "action_ports.h"
#include "controls.h"

namespace qz::test {

using Log = std::vector<std::string>;

// A list with one text per row in column 1; copies like LVM_GETITEMTEXTA.
class FakeList final : public ResultCells {
public:
    explicit FakeList(Log& log) : log_(log) {}
    int selected = -1;
    std::map<int, std::string> addresses;
    std::vector<int> read_sizes;  // the buffer size of every cell read

    int selected_row() override
    {
        log_.push_back("selected_row");
        return selected;
    }
    int read_cell(int row, int column, char* buffer, int size) override
    {
        log_.push_back("cell_text " + std::to_string(row) + " " + std::to_string(column));
        read_sizes.push_back(size);
        const std::string& text = addresses[row];
        const int n = std::min(static_cast<int>(text.size()), size - 1);
        std::memcpy(buffer, text.data(), static_cast<std::size_t>(n));
        buffer[n] = '\0';
        return n;
    }

private:
    Log& log_;
};

class FakePreview final : public PreviewView {
public:
    explicit FakePreview(Log& log) : log_(log) {}
    std::vector<std::string> addresses;
    void set_address(const char* address) override
    {
        log_.push_back("set_address");
        addresses.emplace_back(address);
    }
    Text address() override { return addresses.empty() ? Text() : Text(addresses.back()); }

private:
    Log& log_;
};

class FakeClipboard final : public Clipboard {
public:
    explicit FakeClipboard(Log& log) : log_(log) {}
    CopyOutcome outcome = CopyOutcome::copied;
    std::string content = "before";
    CopyOutcome put_text(std::string_view text) override
    {
        log_.push_back("put_text");
        if (outcome == CopyOutcome::copied)
            content = std::string(text);
        return outcome;
    }

private:
    Log& log_;
};

class FakeNotices final : public Notices {
public:
    explicit FakeNotices(Log& log) : log_(log) {}
    std::vector<Notice> shown;
    void show(Notice notice) override
    {
        log_.push_back(notice == Notice::copied ? "show copied" : "show copy_failed");
        shown.push_back(notice);
    }

private:
    Log& log_;
};

class FakeMenu final : public ContextMenu {
public:
    explicit FakeMenu(Log& log) : log_(log) {}
    int cursor_x = 0;
    int cursor_y = 0;
    struct Point {
        int x, y;
        friend bool operator==(const Point&, const Point&) = default;
    };
    std::vector<Point> popped_at;
    void cursor(int& x, int& y) override
    {
        log_.push_back("cursor");
        x = cursor_x;
        y = cursor_y;
    }
    void popup_at(int x, int y) override
    {
        log_.push_back("popup_at");
        popped_at.push_back({x, y});
    }

private:
    Log& log_;
};

}  // namespace qz::test
