#include "dialog_controls.h"

#include "message_queue.h"
#include "text_codec.h"
#include "win32_styles.h"

namespace win32layer {

bool IsSupportedControl(const DialogItemTemplate &item)
{
    if (!item.controlClass.isOrdinal)
        return false;
    switch (item.controlClass.ordinal) {
    case CONTROL_CLASS_BUTTON: {
        uint32_t type = item.style & BS_TYPEMASK;
        return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
    }
    case CONTROL_CLASS_EDIT:
        return true;
    }
    return false;
}

static void OnButtonClicked(GtkButton *, gpointer data)
{
    ControlRecord *control = AsControl(static_cast<HWND>(data));
    if (control != nullptr)
        PostWindowMessage(control->dialog, WM_COMMAND, MAKEWPARAM(control->id, BN_CLICKED),
                          reinterpret_cast<LPARAM>(control));
}

static void SetControlText(ControlRecord *control, const std::string &utf8)
{
    switch (control->controlClass) {
    case CONTROL_CLASS_BUTTON:
        gtk_button_set_label(GTK_BUTTON(control->widget), MnemonicToGtk(utf8).c_str());
        break;
    case CONTROL_CLASS_EDIT:
        gtk_entry_set_text(GTK_ENTRY(control->widget), utf8.c_str());
        break;
    }
    control->text = utf8;
}

static std::string GetControlText(const ControlRecord *control)
{
    if (control->controlClass == CONTROL_CLASS_EDIT)
        return gtk_entry_get_text(GTK_ENTRY(control->widget));
    return control->text;
}

static GtkWidget *CreateWidget(const DialogItemTemplate &item)
{
    switch (item.controlClass.ordinal) {
    case CONTROL_CLASS_BUTTON:
        /* A plain push button never becomes GTK's default widget; a
           BS_DEFPUSHBUTTON only looks like one on Windows too. */
        return gtk_button_new_with_mnemonic("");
    case CONTROL_CLASS_EDIT: {
        GtkWidget *entry = gtk_entry_new();
        gtk_entry_set_has_frame(GTK_ENTRY(entry), (item.style & WS_BORDER) != 0);
        gtk_editable_set_editable(GTK_EDITABLE(entry), (item.style & ES_READONLY) == 0);
        gtk_entry_set_activates_default(GTK_ENTRY(entry), FALSE);
        /* Let the template's width rule, not a character count. */
        gtk_entry_set_width_chars(GTK_ENTRY(entry), 0);
        return entry;
    }
    }
    return nullptr;
}

static void OnWidgetDestroyed(GtkWidget *, gpointer data)
{
    ControlRecord *control = AsControl(static_cast<HWND>(data));
    if (control != nullptr)
        control->widget = nullptr;
}

ControlRecord *CreateControl(DialogRecord *dialog, const DialogItemTemplate &item)
{
    ControlRecord *control = new ControlRecord();
    control->dialog = dialog;
    control->id = item.id;
    control->controlClass = item.controlClass.ordinal;
    control->style = item.style;
    control->widget = CreateWidget(item);
    RegisterWindow(control);
    SetControlText(control, item.title.present && !item.title.isOrdinal ? item.title.name : std::string());
    gtk_widget_set_sensitive(control->widget, (item.style & WS_DISABLED) == 0);
    gtk_widget_set_can_default(control->widget, FALSE);
    if (control->controlClass == CONTROL_CLASS_BUTTON)
        g_signal_connect(control->widget, "clicked", G_CALLBACK(OnButtonClicked), control);
    g_signal_connect(control->widget, "destroy", G_CALLBACK(OnWidgetDestroyed), control);
    return control;
}

}  // namespace win32layer

using namespace win32layer;

extern "C" LRESULT WINAPI SendDlgItemMessageA(HWND dialogWindow, int id, UINT message, WPARAM wParam, LPARAM lParam)
{
    DialogRecord *dialog = AsDialog(dialogWindow);
    ControlRecord *control = dialog != nullptr ? FindControl(dialog, id) : nullptr;
    if (control == nullptr || control->widget == nullptr)
        return 0;
    switch (message) {
    case WM_SETTEXT:
        SetControlText(control, AnsiToUtf8(reinterpret_cast<const char *>(lParam)));
        return TRUE;
    case WM_GETTEXT:
        return static_cast<LRESULT>(
            CopyAnsiText(Utf8ToAnsi(GetControlText(control).c_str()), reinterpret_cast<char *>(lParam), wParam));
    }
    return 0;
}
