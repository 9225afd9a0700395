// The result list over a GtkColumnView: rows kept as bytes, shown as UTF-8.
#pragma once

#include <gtk/gtk.h>

#include <array>
#include <string_view>

#include "controls.h"
#include "owned.h"
#include "search_handlers.h"

namespace qz {

// Owns the rows and the column view showing them. The rows live in a plain
// vector behind a list model of our own that makes an item only for a row
// the view asks for, so 100,000 rows cost one change of the model and no
// object each.
class GtkResultList final : public ResultList, public ResultCells {
public:
    GtkResultList();
    GtkResultList(const GtkResultList&) = delete;
    GtkResultList& operator=(const GtkResultList&) = delete;
    ~GtkResultList() override;

    // The column view: two fixed columns, grid lines, single selection, no
    // sorting. Its container holds it too once placed.
    GtkWidget* view() const { return view_.get(); }

    int row_count() override;
    int insert_row(int index, const char* text) override;
    void set_cell(int row, int column, const char* text) override;
    // Empties the list and starts a fill: new rows wait until end_fill()
    // shows them all in one change.
    void remove_all() override;
    // Shows the rows added since the last fill; does nothing when none wait.
    void end_fill();

    int selected_row() override;
    int read_cell(int row, int column, char* buffer, int size) override;
    // Selects a row (-1: none), as a click on it would.
    void select_row(int row);
    // The row under a point of the view, or -1 over the header, below the
    // rows or on an empty list.
    int row_at(double x, double y);
    // True when the point lies on the column titles.
    bool on_header(double x, double y);

    // A cell's bytes as extraction gave them (GBK); for the view's factory.
    std::string_view cell(int row, int column) const;

private:
    // Where a cell's bytes lie in bytes_.
    struct CellPlace {
        std::size_t at = 0, size = 0;
    };

    using OwnedObject = Owned<GObject*, g_object_unref>;
    using OwnedSelection = Owned<GtkSingleSelection*, g_object_unref>;
    using OwnedWidget = Owned<GtkWidget*, g_object_unref>;

    using RowPlaces = std::array<CellPlace, 2>;

    // Bytes that keep their memory when emptied; owns its block, move-only.
    class KeptBytes {
    public:
        KeptBytes() = default;
        KeptBytes(const KeptBytes&) = delete;
        KeptBytes& operator=(const KeptBytes&) = delete;
        ~KeptBytes();
        void append(const void* bytes, std::size_t count);
        void clear() { size_ = 0; }
        unsigned char* data() const { return data_; }
        std::size_t size() const { return size_; }

    private:
        unsigned char* data_ = nullptr;
        std::size_t size_ = 0, capacity_ = 0;
    };

    // Every cell's bytes one after another, and each row's two places in
    // them: two blocks that grow in place, ask for huge pages and stay from
    // one search to the next, since faulting in fresh memory is what 100,000
    // rows cost most.
    KeptBytes bytes_;
    KeptBytes rows_;
    RowPlaces places(int row) const;
    void set_places(int row, const RowPlaces& places);
    std::size_t shown_ = 0;     // rows the model has announced
    OwnedObject model_;         // the list model over rows_
    OwnedSelection selection_;  // holds a reference to model_ as well
    OwnedWidget view_;          // our reference beside the container's
};

}  // namespace qz
