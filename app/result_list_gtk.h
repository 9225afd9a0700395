// The result list over a GtkColumnView: rows kept as bytes, shown as UTF-8.
#pragma once

#include <gtk/gtk.h>

#include <vector>

#include "controls.h"
#include "owned.h"
#include "search_handlers.h"

namespace qz {

// Owns the rows (a GListStore of row objects, each holding its two cells'
// original bytes) and the column view showing them; the view goes to
// whatever container the window puts it in.
class GtkResultList final : public ResultList, public ResultCells {
public:
    GtkResultList();
    GtkResultList(const GtkResultList&) = delete;
    GtkResultList& operator=(const GtkResultList&) = delete;
    ~GtkResultList() override;

    // The column view: two fixed columns, grid lines, single selection, no
    // sorting. Owned by its container once placed.
    GtkWidget* view() const { return view_.get(); }

    int row_count() override;
    int insert_row(int index, const char* text) override;
    void set_cell(int row, int column, const char* text) override;
    // Empties the list and starts a fill: rows gather aside until end_fill()
    // adds them in one step, so 100,000 rows cost one change of the model.
    void remove_all() override;
    // Adds the gathered rows; does nothing when none are waiting.
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

private:
    using OwnedStore = Owned<GListStore*, g_object_unref>;
    using OwnedSelection = Owned<GtkSingleSelection*, g_object_unref>;
    using OwnedWidget = Owned<GtkWidget*, g_object_unref>;

    GObject* row_object(int row);  // borrowed; null outside the rows

    OwnedStore store_;
    OwnedSelection selection_;       // also holds a reference to store_
    OwnedWidget view_;               // our reference beside the container's
    std::vector<GObject*> pending_;  // owned references, rows not yet in the store
};

}  // namespace qz
