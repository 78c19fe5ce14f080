/* The foreground window.
   On X11 it is the desktop's: _NET_ACTIVE_WINDOW when the window manager
   publishes it, otherwise the X input focus. A window of another program
   gets an HWND that records its X id.
   Wayland has no global foreground and no way to activate another
   program's window: GetForegroundWindow returns one of our dialogs when it
   is active and NULL otherwise, SetForegroundWindow only presents our own
   dialogs (and fails for anything else). */
#include <gdk/gdk.h>
#ifdef GDK_WINDOWING_X11
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <gdk/gdkx.h>
#endif

#include <map>
#include <memory>

#include "window_records.h"

namespace win32layer {

static DialogRecord *ActiveDialog()
{
    for (DialogRecord *dialog : LiveDialogs())
        if (dialog->window != nullptr && gtk_window_is_active(GTK_WINDOW(dialog->window)))
            return dialog;
    return nullptr;
}

static BOOL PresentDialog(DialogRecord *dialog)
{
    if (dialog->window == nullptr)
        return FALSE;
    gtk_window_present_with_time(GTK_WINDOW(dialog->window), GDK_CURRENT_TIME);
    gdk_display_flush(gtk_widget_get_display(dialog->window));
    return TRUE;
}

#ifdef GDK_WINDOWING_X11

/* One record per foreign X window seen, kept for the program's life, so
   an HWND handed out never dangles. */
static HWND ForeignWindow(Window xid)
{
    static std::map<Window, std::unique_ptr<ForeignRecord>> records;
    std::unique_ptr<ForeignRecord> &record = records[xid];
    if (!record) {
        record.reset(new ForeignRecord(xid));
        RegisterWindow(record.get());
    }
    return record.get();
}

static DialogRecord *DialogOfXid(Window xid)
{
    for (DialogRecord *dialog : LiveDialogs()) {
        GdkWindow *window = dialog->window != nullptr ? gtk_widget_get_window(dialog->window) : nullptr;
        if (window != nullptr && GDK_WINDOW_XID(window) == xid)
            return dialog;
    }
    return nullptr;
}

static bool SupportsActiveWindow(GdkDisplay *display)
{
    return gdk_x11_screen_supports_net_wm_hint(gdk_display_get_default_screen(display),
                                               gdk_atom_intern_static_string("_NET_ACTIVE_WINDOW"));
}

static Window ActiveXid(GdkDisplay *display)
{
    Display *xdisplay = GDK_DISPLAY_XDISPLAY(display);
    if (SupportsActiveWindow(display)) {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char *data = nullptr;
        Window active = None;
        gdk_x11_display_error_trap_push(display);
        Atom property = gdk_x11_get_xatom_by_name_for_display(display, "_NET_ACTIVE_WINDOW");
        if (XGetWindowProperty(xdisplay, DefaultRootWindow(xdisplay), property, 0, 1, False, XA_WINDOW, &type,
                               &format, &count, &after, &data) == Success &&
            type == XA_WINDOW && format == 32 && count == 1)
            active = *reinterpret_cast<Window *>(data);
        if (data != nullptr)
            XFree(data);
        gdk_x11_display_error_trap_pop_ignored(display);
        return active;
    }
    Window focus = None;
    int revertTo = 0;
    XGetInputFocus(xdisplay, &focus, &revertTo);
    return focus == PointerRoot ? None : focus;
}

static BOOL ActivateForeign(GdkDisplay *display, Window xid)
{
    Display *xdisplay = GDK_DISPLAY_XDISPLAY(display);
    gdk_x11_display_error_trap_push(display);
    if (SupportsActiveWindow(display)) {
        XEvent event = {};
        event.xclient.type = ClientMessage;
        event.xclient.window = xid;
        event.xclient.message_type = gdk_x11_get_xatom_by_name_for_display(display, "_NET_ACTIVE_WINDOW");
        event.xclient.format = 32;
        /* Source 2 (a pager): we hand the foreground back on the user's
           behalf, which focus-stealing prevention must not refuse. */
        event.xclient.data.l[0] = 2;
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(xdisplay, DefaultRootWindow(xdisplay), False, SubstructureRedirectMask | SubstructureNotifyMask,
                   &event);
    } else {
        XRaiseWindow(xdisplay, xid);
        XSetInputFocus(xdisplay, xid, RevertToParent, CurrentTime);
    }
    XSync(xdisplay, False);
    return gdk_x11_display_error_trap_pop(display) == 0;
}

#endif

}  // namespace win32layer

using namespace win32layer;

extern "C" {

HWND WINAPI GetForegroundWindow(void)
{
    GdkDisplay *display = gdk_display_get_default();
#ifdef GDK_WINDOWING_X11
    if (display != nullptr && GDK_IS_X11_DISPLAY(display)) {
        Window xid = ActiveXid(display);
        if (xid == None)
            return nullptr;
        if (DialogRecord *dialog = DialogOfXid(xid))
            return dialog;
        return ForeignWindow(xid);
    }
#endif
    (void)display;
    return ActiveDialog();
}

BOOL WINAPI SetForegroundWindow(HWND window)
{
    if (DialogRecord *dialog = AsDialog(window))
        return PresentDialog(dialog);
#ifdef GDK_WINDOWING_X11
    GdkDisplay *display = gdk_display_get_default();
    ForeignRecord *foreign = AsForeign(window);
    if (foreign != nullptr && display != nullptr && GDK_IS_X11_DISPLAY(display))
        return ActivateForeign(display, foreign->xid);
#endif
    return FALSE;
}

}  // extern "C"
