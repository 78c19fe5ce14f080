#include "dialog_menu.h"

#include "message_queue.h"
#include "text_codec.h"
#include "win32_styles.h"

namespace win32layer {

static void OnMenuItemActivated(GtkMenuItem *item, gpointer data)
{
    DialogRecord *dialog = AsDialog(static_cast<HWND>(data));
    if (dialog != nullptr)
        PostWindowMessage(dialog, WM_COMMAND,
                          MAKEWPARAM(GPOINTER_TO_UINT(g_object_get_data(G_OBJECT(item), "win32-id")), 0), 0);
}

/* GTK's menu bar ignores a quick click on an item without a submenu (it
   waits for a second one); Windows runs the command at once. */
static gboolean OnMenuBarItemReleased(GtkWidget *item, GdkEventButton *event, gpointer)
{
    if (event->button != GDK_BUTTON_PRIMARY)
        return FALSE;
    gtk_menu_shell_deactivate(GTK_MENU_SHELL(gtk_widget_get_parent(item)));
    gtk_menu_item_activate(GTK_MENU_ITEM(item));
    return TRUE;
}

static void AddMenuItems(GtkMenuShell *shell, DialogRecord *dialog, const std::vector<MenuItemTemplate> &items)
{
    for (const MenuItemTemplate &item : items) {
        GtkWidget *widget;
        if ((item.flags & MF_SEPARATOR) || (item.id == 0 && item.text.empty() && !(item.flags & MF_POPUP))) {
            widget = gtk_separator_menu_item_new();
        } else {
            widget = gtk_menu_item_new_with_mnemonic(MnemonicToGtk(item.text).c_str());
            gtk_widget_set_sensitive(widget, (item.flags & (MF_GRAYED | MF_DISABLED)) == 0);
            if (item.flags & MF_POPUP) {
                GtkWidget *submenu = gtk_menu_new();
                AddMenuItems(GTK_MENU_SHELL(submenu), dialog, item.children);
                gtk_menu_item_set_submenu(GTK_MENU_ITEM(widget), submenu);
            } else {
                g_object_set_data(G_OBJECT(widget), "win32-id", GUINT_TO_POINTER(item.id));
                g_signal_connect(widget, "activate", G_CALLBACK(OnMenuItemActivated), dialog);
                if (GTK_IS_MENU_BAR(shell))
                    g_signal_connect(widget, "button-release-event", G_CALLBACK(OnMenuBarItemReleased), nullptr);
            }
        }
        gtk_menu_shell_append(shell, widget);
    }
}

GtkWidget *CreateMenuBar(DialogRecord *dialog, const std::vector<MenuItemTemplate> &items)
{
    GtkWidget *bar = gtk_menu_bar_new();
    AddMenuItems(GTK_MENU_SHELL(bar), dialog, items);
    return bar;
}

}  // namespace win32layer
