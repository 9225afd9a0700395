// The result list over a GtkColumnView: rows kept as bytes, shown as UTF-8.
#include "result_list_gtk.h"

#include <cstring>
#include <string>

#include "form.h"
#include "gbk.h"

// One row of the list: its two cells as the bytes extraction gave them.
struct QzRow {
    GObject parent_instance;
    char* cell[2];
    int index;  // its place in the list, fixed: rows are only appended or all removed
};
struct QzRowClass {
    GObjectClass parent_class;
};
G_DEFINE_TYPE(QzRow, qz_row, G_TYPE_OBJECT)

static void qz_row_finalize(GObject* object)
{
    QzRow* row = reinterpret_cast<QzRow*>(object);
    g_free(row->cell[0]);
    g_free(row->cell[1]);
    G_OBJECT_CLASS(qz_row_parent_class)->finalize(object);
}
static void qz_row_class_init(QzRowClass* klass) { G_OBJECT_CLASS(klass)->finalize = qz_row_finalize; }
static void qz_row_init(QzRow* row)
{
    row->cell[0] = nullptr;
    row->cell[1] = nullptr;
    row->index = -1;
}

namespace qz {
namespace {

constexpr char kRowKey[] = "qz-row";  // on a cell's label: the row's index + 1
constexpr char kColumnKey[] = "qz-column";

QzRow* as_row(gpointer object) { return reinterpret_cast<QzRow*>(object); }

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
void bind_cell(GtkSignalListItemFactory*, GtkListItem* item, gpointer column)
{
    GtkWidget* label = gtk_list_item_get_child(item);
    QzRow* row = as_row(gtk_list_item_get_item(item));
    const char* bytes = row->cell[GPOINTER_TO_INT(column)];
    const std::string shown = display_text_from_gbk(bytes ? bytes : "");
    gtk_label_set_text(GTK_LABEL(label), shown.c_str());
    g_object_set_data(G_OBJECT(label), kRowKey, GINT_TO_POINTER(row->index + 1));
}

void unbind_cell(GtkSignalListItemFactory*, GtkListItem* item, gpointer)
{
    g_object_set_data(G_OBJECT(gtk_list_item_get_child(item)), kRowKey, nullptr);
}

GtkColumnViewColumn* make_column(const ColumnForm& form, int index)
{
    GtkListItemFactory* factory = gtk_signal_list_item_factory_new();
    g_signal_connect(factory, "setup", G_CALLBACK(setup_cell), nullptr);
    g_signal_connect(factory, "bind", G_CALLBACK(bind_cell), GINT_TO_POINTER(index));
    g_signal_connect(factory, "unbind", G_CALLBACK(unbind_cell), nullptr);
    GtkColumnViewColumn* column = gtk_column_view_column_new(form.title, factory);  // takes the factory
    gtk_column_view_column_set_fixed_width(column, form.width);
    gtk_column_view_column_set_resizable(column, TRUE);
    g_object_set_data(G_OBJECT(column), kColumnKey, GINT_TO_POINTER(index));
    return column;
}

// The row index a cell's label carries, searching below `widget`; -1 if none.
int row_below(GtkWidget* widget)
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

GtkResultList::GtkResultList() : store_(g_list_store_new(qz_row_get_type()))
{
    GtkSingleSelection* selection = gtk_single_selection_new(G_LIST_MODEL(g_object_ref(store_.get())));
    gtk_single_selection_set_autoselect(selection, FALSE);
    selection_.reset(selection);
    GtkWidget* view = gtk_column_view_new(GTK_SELECTION_MODEL(g_object_ref(selection)));
    view_.reset(GTK_WIDGET(g_object_ref_sink(view)));
    GtkColumnView* columns = GTK_COLUMN_VIEW(view);
    gtk_column_view_set_show_row_separators(columns, TRUE);
    gtk_column_view_set_show_column_separators(columns, TRUE);
    gtk_column_view_set_reorderable(columns, FALSE);
    for (int i = 0; i < static_cast<int>(kColumns.size()); ++i) {
        GtkColumnViewColumn* column = make_column(kColumns[i], i);
        gtk_column_view_append_column(columns, column);
        g_object_unref(column);
    }
}

GtkResultList::~GtkResultList()
{
    for (GObject* row : pending_)
        g_object_unref(row);
}

int GtkResultList::row_count()
{
    return static_cast<int>(g_list_model_get_n_items(G_LIST_MODEL(store_.get())) + pending_.size());
}

int GtkResultList::insert_row(int index, const char* text)
{
    if (index != row_count())
        return -1;
    auto* row = as_row(g_object_new(qz_row_get_type(), nullptr));
    row->cell[0] = g_strdup(text ? text : "");
    row->index = index;
    pending_.push_back(G_OBJECT(row));
    return index;
}

GObject* GtkResultList::row_object(int row)
{
    const int stored = static_cast<int>(g_list_model_get_n_items(G_LIST_MODEL(store_.get())));
    if (row < 0 || row >= row_count())
        return nullptr;
    if (row >= stored)
        return pending_[static_cast<std::size_t>(row - stored)];
    GObject* object = G_OBJECT(g_list_model_get_item(G_LIST_MODEL(store_.get()), static_cast<guint>(row)));
    g_object_unref(object);  // the store keeps it
    return object;
}

void GtkResultList::set_cell(int row, int column, const char* text)
{
    GObject* object = row_object(row);
    if (!object || column < 0 || column > 1)
        return;
    QzRow* cells = as_row(object);
    g_free(cells->cell[column]);
    cells->cell[column] = g_strdup(text ? text : "");
    // A row already shown is put back in its place, so the view rebinds it.
    if (row < static_cast<int>(g_list_model_get_n_items(G_LIST_MODEL(store_.get())))) {
        g_object_ref(object);  // the splice drops the store's reference before it takes a new one
        g_list_store_splice(store_.get(), static_cast<guint>(row), 1, reinterpret_cast<gpointer*>(&object), 1);
        g_object_unref(object);
    }
}

void GtkResultList::remove_all()
{
    for (GObject* row : pending_)
        g_object_unref(row);
    pending_.clear();
    g_list_store_remove_all(store_.get());
}

void GtkResultList::end_fill()
{
    if (pending_.empty())
        return;
    const guint at = g_list_model_get_n_items(G_LIST_MODEL(store_.get()));
    g_list_store_splice(store_.get(), at, 0, reinterpret_cast<gpointer*>(pending_.data()),
                        static_cast<guint>(pending_.size()));
    for (GObject* row : pending_)
        g_object_unref(row);  // the store holds them now
    pending_.clear();
}

int GtkResultList::selected_row()
{
    const guint selected = gtk_single_selection_get_selected(selection_.get());
    return selected == GTK_INVALID_LIST_POSITION ? -1 : static_cast<int>(selected);
}

int GtkResultList::read_cell(int row, int column, char* buffer, int size)
{
    GObject* object = row_object(row);
    if (!object || column < 0 || column > 1 || size <= 0)
        return 0;
    const char* text = as_row(object)->cell[column];
    const std::size_t length = text ? std::strlen(text) : 0;
    const std::size_t copied =
        length < static_cast<std::size_t>(size - 1) ? length : static_cast<std::size_t>(size - 1);
    if (copied)
        std::memcpy(buffer, text, copied);
    buffer[copied] = '\0';
    return static_cast<int>(length);
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
