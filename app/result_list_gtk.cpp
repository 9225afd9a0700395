// The result list over a GtkColumnView: rows kept as bytes, shown as UTF-8.
#include "result_list_gtk.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "form.h"
#include "gbk.h"

// An item the view asks for: the place of one row, nothing more.
struct QzRowItem {
    GObject parent_instance;
    int index;
};
struct QzRowItemClass {
    GObjectClass parent_class;
};
G_DEFINE_TYPE(QzRowItem, qz_row_item, G_TYPE_OBJECT)
static void qz_row_item_class_init(QzRowItemClass*) {}
static void qz_row_item_init(QzRowItem* item) { item->index = -1; }

// The list model over the rows: its length is the number of rows shown; an
// item is made when asked for.
struct QzRowModel {
    GObject parent_instance;
    guint length;
};
struct QzRowModelClass {
    GObjectClass parent_class;
};
static GType qz_row_model_item_type(GListModel*) { return qz_row_item_get_type(); }
static guint qz_row_model_n_items(GListModel* model) { return reinterpret_cast<QzRowModel*>(model)->length; }
static gpointer qz_row_model_get_item(GListModel* model, guint position)
{
    if (position >= reinterpret_cast<QzRowModel*>(model)->length)
        return nullptr;
    auto* item = reinterpret_cast<QzRowItem*>(g_object_new(qz_row_item_get_type(), nullptr));
    item->index = static_cast<int>(position);
    return item;
}
static void qz_row_model_list_init(GListModelInterface* iface)
{
    iface->get_item_type = qz_row_model_item_type;
    iface->get_n_items = qz_row_model_n_items;
    iface->get_item = qz_row_model_get_item;
}
G_DEFINE_TYPE_WITH_CODE(QzRowModel, qz_row_model, G_TYPE_OBJECT,
                        G_IMPLEMENT_INTERFACE(G_TYPE_LIST_MODEL, qz_row_model_list_init))
static void qz_row_model_class_init(QzRowModelClass*) {}
static void qz_row_model_init(QzRowModel* model) { model->length = 0; }

namespace qz {
namespace {

constexpr char kRowKey[] = "qz-row";  // on a cell's label: its row's index + 1

struct CellSource {
    GtkResultList* list;  // not owned: the list outlives its view's factories
    int column;
};

// The model's length changes, then the view hears of the change.
void announce(GObject* model, guint position, guint removed, guint added)
{
    auto* rows = reinterpret_cast<QzRowModel*>(model);
    rows->length = rows->length - removed + added;
    g_list_model_items_changed(G_LIST_MODEL(model), position, removed, added);
}

void setup_cell(GtkSignalListItemFactory*, GtkListItem* item, gpointer)
{
    GtkWidget* label = gtk_label_new(nullptr);
    gtk_label_set_xalign(GTK_LABEL(label), 0);
    gtk_label_set_single_line_mode(GTK_LABEL(label), TRUE);
    gtk_label_set_ellipsize(GTK_LABEL(label), PANGO_ELLIPSIZE_END);
    gtk_widget_set_hexpand(label, TRUE);
    gtk_list_item_set_child(item, label);
}

// Shown converted from GBK; the row keeps its bytes for the actions.
void bind_cell(GtkSignalListItemFactory*, GtkListItem* item, gpointer data)
{
    const auto* source = static_cast<const CellSource*>(data);
    GtkWidget* label = gtk_list_item_get_child(item);
    const int row = reinterpret_cast<QzRowItem*>(gtk_list_item_get_item(item))->index;
    const std::string shown = display_text_from_gbk(source->list->cell(row, source->column));
    gtk_label_set_text(GTK_LABEL(label), shown.c_str());
    g_object_set_data(G_OBJECT(label), kRowKey, GINT_TO_POINTER(row + 1));
}

void unbind_cell(GtkSignalListItemFactory*, GtkListItem* item, gpointer)
{
    g_object_set_data(G_OBJECT(gtk_list_item_get_child(item)), kRowKey, nullptr);
}

void free_source(gpointer source, GClosure*) { delete static_cast<CellSource*>(source); }

GtkColumnViewColumn* make_column(GtkResultList* list, const ColumnForm& form, int index)
{
    GtkListItemFactory* factory = gtk_signal_list_item_factory_new();
    g_signal_connect(factory, "setup", G_CALLBACK(setup_cell), nullptr);
    g_signal_connect_data(factory, "bind", G_CALLBACK(bind_cell), new CellSource{list, index}, free_source,
                          GConnectFlags(0));
    g_signal_connect(factory, "unbind", G_CALLBACK(unbind_cell), nullptr);
    GtkColumnViewColumn* column = gtk_column_view_column_new(form.title, factory);  // takes the factory
    gtk_column_view_column_set_fixed_width(column, form.width);
    gtk_column_view_column_set_resizable(column, TRUE);
    return column;
}

// The row index a cell's label carries, searching below `widget`; -1 if none.
int row_below(GtkWidget* widget)  // NOLINT(misc-no-recursion): as deep as a cell's few widgets
{
    if (gpointer mark = g_object_get_data(G_OBJECT(widget), kRowKey))
        return GPOINTER_TO_INT(mark) - 1;
    for (GtkWidget* child = gtk_widget_get_first_child(widget); child; child = gtk_widget_get_next_sibling(child)) {
        const int row = row_below(child);
        if (row >= 0)
            return row;
    }
    return -1;
}

}  // namespace

GtkResultList::KeptBytes::~KeptBytes() { std::free(data_); }

void GtkResultList::KeptBytes::append(const void* bytes, std::size_t count)
{
    if (size_ + count > capacity_) {
        std::size_t capacity = capacity_ ? capacity_ : 4096;
        while (capacity < size_ + count)
            capacity *= 2;
        data_ = static_cast<unsigned char*>(checked_realloc(data_, capacity));
        capacity_ = capacity;
        // Huge pages for a large block before its new part is touched; a hint only.
        constexpr std::size_t kHugePage = std::size_t(2) << 20;
        if (capacity_ >= kHugePage) {
            static const std::uintptr_t page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
            const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(data_) & ~(page - 1);
            madvise(reinterpret_cast<void*>(start), reinterpret_cast<std::uintptr_t>(data_) + capacity_ - start,
                    MADV_HUGEPAGE);
        }
    }
    if (count)
        std::memcpy(data_ + size_, bytes, count);
    size_ += count;
}

GtkResultList::GtkResultList() : model_(G_OBJECT(g_object_new(qz_row_model_get_type(), nullptr)))
{
    GtkSingleSelection* selection = gtk_single_selection_new(G_LIST_MODEL(g_object_ref(model_.get())));
    gtk_single_selection_set_autoselect(selection, FALSE);
    selection_.reset(selection);
    GtkWidget* view = gtk_column_view_new(GTK_SELECTION_MODEL(g_object_ref(selection)));
    view_.reset(GTK_WIDGET(g_object_ref_sink(view)));
    GtkColumnView* columns = GTK_COLUMN_VIEW(view);
    gtk_column_view_set_show_row_separators(columns, TRUE);
    gtk_column_view_set_show_column_separators(columns, TRUE);
    gtk_column_view_set_reorderable(columns, FALSE);
    for (int i = 0; i < static_cast<int>(kColumns.size()); ++i) {
        GtkColumnViewColumn* column = make_column(this, kColumns[i], i);
        gtk_column_view_append_column(columns, column);
        g_object_unref(column);
    }
}

GtkResultList::~GtkResultList()
{
    // The view may outlive us in its container for a moment: it must find
    // no rows it could ask about.
    if (shown_)
        announce(model_.get(), 0, static_cast<guint>(shown_), 0);
    shown_ = 0;
}

int GtkResultList::row_count() { return static_cast<int>(rows_.size() / sizeof(RowPlaces)); }

GtkResultList::RowPlaces GtkResultList::places(int row) const
{
    RowPlaces places;
    std::memcpy(&places, rows_.data() + static_cast<std::size_t>(row) * sizeof places, sizeof places);
    return places;
}

void GtkResultList::set_places(int row, const RowPlaces& places)
{
    std::memcpy(rows_.data() + static_cast<std::size_t>(row) * sizeof places, &places, sizeof places);
}

int GtkResultList::insert_row(int index, const char* text)
{
    if (index != row_count())
        return -1;
    const RowPlaces empty{};
    rows_.append(&empty, sizeof empty);
    set_cell(index, 0, text);
    return index;
}

std::string_view GtkResultList::cell(int row, int column) const
{
    const CellPlace place = places(row)[static_cast<std::size_t>(column)];
    return {reinterpret_cast<const char*>(bytes_.data()) + place.at, place.size};
}

void GtkResultList::set_cell(int row, int column, const char* text)
{
    if (row < 0 || row >= row_count() || column < 0 || column > 1)
        return;
    // A cell set again leaves its old bytes behind until the list empties.
    const std::string_view value = text ? text : "";
    RowPlaces row_places = places(row);
    row_places[static_cast<std::size_t>(column)] = {bytes_.size(), value.size()};
    set_places(row, row_places);
    bytes_.append(value.data(), value.size());
    // A row already shown is announced again, so the view rebinds it.
    if (static_cast<std::size_t>(row) < shown_)
        announce(model_.get(), static_cast<guint>(row), 1, 1);
}

void GtkResultList::remove_all()
{
    const std::size_t removed = shown_;
    rows_.clear();
    bytes_.clear();
    shown_ = 0;
    if (removed)
        announce(model_.get(), 0, static_cast<guint>(removed), 0);
}

void GtkResultList::end_fill()
{
    const std::size_t rows = static_cast<std::size_t>(row_count());
    if (rows == shown_)
        return;
    const std::size_t added = rows - shown_;
    const std::size_t at = shown_;
    shown_ = rows;
    announce(model_.get(), static_cast<guint>(at), 0, static_cast<guint>(added));
}

int GtkResultList::selected_row()
{
    const guint selected = gtk_single_selection_get_selected(selection_.get());
    return selected == GTK_INVALID_LIST_POSITION ? -1 : static_cast<int>(selected);
}

int GtkResultList::read_cell(int row, int column, char* buffer, int size)
{
    if (row < 0 || row >= row_count() || column < 0 || column > 1 || size <= 0)
        return 0;
    const std::string_view text = cell(row, column);
    const std::size_t room = static_cast<std::size_t>(size - 1);
    const std::size_t copied = text.size() < room ? text.size() : room;
    std::memcpy(buffer, text.data(), copied);
    buffer[copied] = '\0';
    return static_cast<int>(text.size());
}

void GtkResultList::select_row(int row)
{
    const guint position = row < 0 ? GTK_INVALID_LIST_POSITION : static_cast<guint>(row);
    gtk_single_selection_set_selected(selection_.get(), position);
}

bool GtkResultList::on_header(double x, double y)
{
    for (GtkWidget* widget = gtk_widget_pick(view_.get(), x, y, GTK_PICK_DEFAULT); widget && widget != view_.get();
         widget = gtk_widget_get_parent(widget)) {
        if (std::strcmp(gtk_widget_get_css_name(widget), "header") == 0)
            return true;
    }
    return false;
}

int GtkResultList::row_at(double x, double y)
{
    for (GtkWidget* widget = gtk_widget_pick(view_.get(), x, y, GTK_PICK_DEFAULT); widget && widget != view_.get();
         widget = gtk_widget_get_parent(widget)) {
        const char* name = gtk_widget_get_css_name(widget);
        if (std::strcmp(name, "header") == 0)
            return -1;
        if (g_object_get_data(G_OBJECT(widget), kRowKey) || std::strcmp(name, "row") == 0)
            return row_below(widget);
    }
    return -1;
}

}  // namespace qz
