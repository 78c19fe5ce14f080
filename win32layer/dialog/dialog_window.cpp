/* Modeless dialogs from templates: the top-level window with its menu
   bar above a fixed-size client area where the controls sit at their
   template positions. */
#include <gdk/gdkkeysyms.h>
#include <gtk/gtk.h>
#ifdef GDK_WINDOWING_X11
#include <gdk/gdkx.h>
#endif

#include <memory>

#include "dialog_controls.h"
#include "dialog_font.h"
#include "dialog_menu.h"
#include "dialog_style.h"
#include "message_queue.h"
#include "resource_file.h"
#include "win32_styles.h"
#include "window_records.h"

namespace win32layer {

/* A template name as CreateDialogParamA takes it (number or string). */
static const char *ResourceName(const NameOrOrdinal &name)
{
    return name.isOrdinal ? reinterpret_cast<const char *>(static_cast<uintptr_t>(name.ordinal)) : name.name.c_str();
}

struct LoadedTemplates {
    DialogTemplate dialog;
    std::vector<MenuItemTemplate> menu;
};

static bool LoadTemplates(const HINSTANCE__ *module, const char *name, LoadedTemplates &loaded)
{
    std::vector<ResourceEntry> entries;
    if (!ParseResourceFile(module->resources, module->size, entries))
        return false;
    const ResourceEntry *dialog = FindResourceEntry(entries, RESOURCE_TYPE_DIALOG, name);
    if (dialog == nullptr || !ParseDialogTemplate(dialog->data, dialog->size, loaded.dialog))
        return false;
    /* Only the predefined dialog class exists here. */
    if (loaded.dialog.windowClass.present)
        return false;
    for (const DialogItemTemplate &item : loaded.dialog.items)
        if (!IsSupportedControl(item))
            return false;
    if (!loaded.dialog.menu.present)
        return true;
    const ResourceEntry *menu = FindResourceEntry(entries, RESOURCE_TYPE_MENU, ResourceName(loaded.dialog.menu));
    return menu != nullptr && ParseMenuTemplate(menu->data, menu->size, loaded.menu);
}

static gboolean OnDeleteEvent(GtkWidget *, GdkEvent *, gpointer data)
{
    /* The close box asks the dialog to cancel; it closes itself. */
    DialogRecord *dialog = AsDialog(static_cast<HWND>(data));
    if (dialog != nullptr) {
        ControlRecord *cancel = FindControl(dialog, IDCANCEL);
        PostWindowMessage(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
    }
    return TRUE;
}

static void OnWindowDestroyed(GtkWidget *, gpointer data)
{
    /* GTK destroyed the window without DestroyWindow (it does so when
       another X client destroys it): forget the widget, and ask the
       dialog to close as the close box does. */
    DialogRecord *dialog = AsDialog(static_cast<HWND>(data));
    if (dialog == nullptr || dialog->destroying)
        return;
    dialog->window = nullptr;
    PostWindowMessage(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

static void OnWindowRealized(GtkWidget *window, gpointer data)
{
    DialogRecord *dialog = AsDialog(static_cast<HWND>(data));
    if (dialog == nullptr)
        return;
    /* No maximise and no resize unless the template has them. */
    int functions = GDK_FUNC_MOVE | GDK_FUNC_CLOSE;
    int decorations = GDK_DECOR_BORDER | GDK_DECOR_TITLE | GDK_DECOR_MENU;
    if (dialog->style & WS_MINIMIZEBOX) {
        functions |= GDK_FUNC_MINIMIZE;
        decorations |= GDK_DECOR_MINIMIZE;
    }
    if (dialog->style & WS_THICKFRAME) {
        functions |= GDK_FUNC_RESIZE;
        decorations |= GDK_DECOR_RESIZEH;
    }
    gdk_window_set_functions(gtk_widget_get_window(window), static_cast<GdkWMFunction>(functions));
    gdk_window_set_decorations(gtk_widget_get_window(window), static_cast<GdkWMDecoration>(decorations));
}

static void OnClientRealized(GtkWidget *client, gpointer)
{
    /* On X11 the client area is a window of its own, as on Windows (other
       X clients see where it is); Wayland keeps child windows in GDK. */
#ifdef GDK_WINDOWING_X11
    if (GDK_IS_X11_DISPLAY(gtk_widget_get_display(client)))
        gdk_window_ensure_native(gtk_widget_get_window(client));
#else
    (void)client;
#endif
}

static gboolean OnWindowMapped(GtkWidget *window, GdkEvent *, gpointer)
{
    /* DS_SETFOREGROUND: the dialog takes the foreground once it is shown. */
    gtk_window_present_with_time(GTK_WINDOW(window), GDK_CURRENT_TIME);
    return FALSE;
}

static bool TakesTabStop(const ControlRecord *control)
{
    return (control->style & WS_TABSTOP) && control->widget != nullptr && gtk_widget_is_sensitive(control->widget) &&
           gtk_widget_get_visible(control->widget);
}

/* Tab and Shift+Tab walk the WS_TABSTOP controls in template order. */
static gboolean OnKeyPress(GtkWidget *window, GdkEventKey *event, gpointer data)
{
    DialogRecord *dialog = AsDialog(static_cast<HWND>(data));
    bool isTab =
        event->keyval == GDK_KEY_Tab || event->keyval == GDK_KEY_ISO_Left_Tab || event->keyval == GDK_KEY_KP_Tab;
    if (dialog == nullptr || !isTab || (event->state & (GDK_CONTROL_MASK | GDK_MOD1_MASK)))
        return FALSE;
    bool backward = event->keyval == GDK_KEY_ISO_Left_Tab || (event->state & GDK_SHIFT_MASK);
    int count = static_cast<int>(dialog->controls.size());
    GtkWidget *focus = gtk_window_get_focus(GTK_WINDOW(window));
    int current = backward ? 0 : -1;
    for (int i = 0; i < count; ++i)
        if (focus != nullptr && dialog->controls[i]->widget != nullptr &&
            (focus == dialog->controls[i]->widget || gtk_widget_is_ancestor(focus, dialog->controls[i]->widget)))
            current = i;
    for (int step = 1; step <= count; ++step) {
        ControlRecord *next = dialog->controls[((current + (backward ? -step : step)) % count + count) % count];
        if (TakesTabStop(next)) {
            gtk_widget_grab_focus(next->widget);
            return TRUE;
        }
    }
    return TRUE;
}

/* The template-sized client area with the controls at their places, in
   template order. */
static GtkWidget *BuildClientArea(DialogRecord *dialog, const DialogTemplate &dialogTemplate, BaseUnits base,
                                  GtkCssProvider *style)
{
    GtkWidget *client = gtk_event_box_new();
    /* Its own window needs the theme's window background painted. */
    gtk_style_context_add_class(gtk_widget_get_style_context(client), GTK_STYLE_CLASS_BACKGROUND);
    PixelRect frame = DialogUnitsToPixels(dialogTemplate.rect, base);
    gtk_widget_set_size_request(client, frame.width, frame.height);
    g_signal_connect_after(client, "realize", G_CALLBACK(OnClientRealized), nullptr);
    GtkWidget *fixed = gtk_fixed_new();
    gtk_container_add(GTK_CONTAINER(client), fixed);
    for (const DialogItemTemplate &item : dialogTemplate.items) {
        ControlRecord *control = CreateControl(dialog, item);
        dialog->controls.push_back(control);
        ApplyDialogStyle(control->widget, style);
        PixelRect place = DialogUnitsToPixels(item.rect, base);
        gtk_widget_set_size_request(control->widget, place.width, place.height);
        gtk_fixed_put(GTK_FIXED(fixed), control->widget, place.x, place.y);
    }
    return client;
}

static GtkWidget *BuildWindow(DialogRecord *dialog, const LoadedTemplates &loaded)
{
    const DialogTemplate &dialogTemplate = loaded.dialog;
    GtkWidget *window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window), dialogTemplate.caption.c_str());
    gtk_window_set_resizable(GTK_WINDOW(window), (dialogTemplate.style & WS_THICKFRAME) != 0);
    gtk_window_set_type_hint(GTK_WINDOW(window), GDK_WINDOW_TYPE_HINT_DIALOG);

    DialogFont font = ChooseDialogFont(dialogTemplate.pointSize, dialogTemplate.faceName);
    std::unique_ptr<GtkCssProvider, decltype(&g_object_unref)> style(CreateDialogStyle(font), g_object_unref);
    ApplyDialogStyle(window, style.get());
    BaseUnits base = MeasureBaseUnits(font);

    if (dialogTemplate.style & DS_CENTER) {
        gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER);
    } else {
        PixelRect frame = DialogUnitsToPixels(dialogTemplate.rect, base);
        gtk_window_move(GTK_WINDOW(window), frame.x, frame.y);
    }

    GtkWidget *layout = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    gtk_container_add(GTK_CONTAINER(window), layout);
    if (dialogTemplate.menu.present) {
        GtkWidget *menuBar = CreateMenuBar(dialog, loaded.menu);
        ApplyDialogStyle(menuBar, style.get());
        gtk_box_pack_start(GTK_BOX(layout), menuBar, FALSE, FALSE, 0);
    }
    gtk_box_pack_start(GTK_BOX(layout), BuildClientArea(dialog, dialogTemplate, base, style.get()), FALSE, FALSE, 0);
    gtk_widget_show_all(layout);
    /* show_all showed every control; their WS_VISIBLE decides. */
    for (ControlRecord *control : dialog->controls)
        gtk_widget_set_visible(control->widget, (control->style & WS_VISIBLE) != 0);

    g_signal_connect(window, "delete-event", G_CALLBACK(OnDeleteEvent), dialog);
    g_signal_connect(window, "destroy", G_CALLBACK(OnWindowDestroyed), dialog);
    g_signal_connect_after(window, "realize", G_CALLBACK(OnWindowRealized), dialog);
    g_signal_connect(window, "key-press-event", G_CALLBACK(OnKeyPress), dialog);
    if (dialogTemplate.style & DS_SETFOREGROUND)
        g_signal_connect(window, "map-event", G_CALLBACK(OnWindowMapped), nullptr);
    return window;
}

static ControlRecord *FirstTabStop(const DialogRecord *dialog)
{
    for (ControlRecord *control : dialog->controls)
        if (TakesTabStop(control))
            return control;
    return nullptr;
}

}  // namespace win32layer

using namespace win32layer;

extern "C" {

HWND WINAPI CreateDialogParamA(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC dialogProc,
                               LPARAM initParam)
{
    const HINSTANCE__ *module = FindModule(instance);
    LoadedTemplates loaded;
    if (module == nullptr || (owner != nullptr && AsDialog(owner) == nullptr) ||
        !LoadTemplates(module, templateName, loaded))
        return nullptr;

    DialogRecord *dialog = new DialogRecord();
    dialog->procedure = dialogProc;
    dialog->style = loaded.dialog.style;
    RegisterWindow(dialog);
    dialog->window = BuildWindow(dialog, loaded);
    if (owner != nullptr && AsDialog(owner)->window != nullptr)
        gtk_window_set_transient_for(GTK_WINDOW(dialog->window), GTK_WINDOW(AsDialog(owner)->window));

    ControlRecord *first = FirstTabStop(dialog);
    if (dialogProc != nullptr &&
        dialogProc(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(static_cast<HWND>(first)), initParam) &&
        first != nullptr && AsDialog(dialog) != nullptr)
        gtk_widget_grab_focus(first->widget);
    /* The procedure may have destroyed the dialog already. */
    if (AsDialog(dialog) == nullptr)
        return nullptr;
    if (loaded.dialog.style & WS_VISIBLE)
        gtk_widget_show(dialog->window);
    return dialog;
}

BOOL WINAPI ShowWindow(HWND window, int showCommand)
{
    GtkWidget *widget = nullptr;
    if (DialogRecord *dialog = AsDialog(window))
        widget = dialog->window;
    else if (ControlRecord *control = AsControl(window))
        widget = control->widget;
    if (widget == nullptr)
        return FALSE;
    BOOL wasVisible = gtk_widget_get_visible(widget);
    gtk_widget_set_visible(widget, showCommand != SW_HIDE);
    return wasVisible;
}

BOOL WINAPI DestroyWindow(HWND window)
{
    DialogRecord *dialog = AsDialog(window);
    if (dialog == nullptr || dialog->destroying)
        return FALSE;
    dialog->destroying = true;
    if (dialog->procedure != nullptr)
        dialog->procedure(dialog, WM_DESTROY, 0, 0);
    for (ControlRecord *control : dialog->controls) {
        DiscardWindowMessages(control);
        UnregisterWindow(control);
    }
    DiscardWindowMessages(dialog);
    UnregisterWindow(dialog);
    if (dialog->window != nullptr) {
        GdkDisplay *display = gtk_widget_get_display(dialog->window);
        gtk_widget_destroy(dialog->window);
        gdk_display_flush(display);
    }
    for (ControlRecord *control : dialog->controls)
        delete control;
    delete dialog;
    return TRUE;
}

}  // extern "C"
