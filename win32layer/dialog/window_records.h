/* What an HWND or HINSTANCE points to. Handles come from programs, so
   every entry point checks a handle against the live records before
   touching it. */
#ifndef WIN32LAYER_WINDOW_RECORDS_H
#define WIN32LAYER_WINDOW_RECORDS_H

#include <windows.h>

#include <gtk/gtk.h>

#include <string>
#include <vector>

#include "dialog_template.h"

enum class WindowKind { Dialog, Control, Foreign };

struct HWND__ {
    explicit HWND__(WindowKind kind) : kind(kind) {}
    virtual ~HWND__() = default;
    const WindowKind kind;
};

namespace win32layer {

struct DialogRecord;

struct ControlRecord : HWND__ {
    ControlRecord() : HWND__(WindowKind::Control) {}
    DialogRecord *dialog = nullptr;
    uint16_t id = 0;
    uint16_t controlClass = 0;
    uint32_t style = 0;
    GtkWidget *widget = nullptr; /* nullptr once GTK destroyed it */
    std::string text; /* UTF-8, as set (the edit box keeps its own) */
};

struct DialogRecord : HWND__ {
    DialogRecord() : HWND__(WindowKind::Dialog) {}
    DLGPROC procedure = nullptr;
    uint32_t style = 0;
    GtkWidget *window = nullptr; /* nullptr once GTK destroyed it */
    std::vector<ControlRecord *> controls; /* template order */
    bool destroying = false;
};

/* A window of another program, known by its X id. */
struct ForeignRecord : HWND__ {
    explicit ForeignRecord(unsigned long xid) : HWND__(WindowKind::Foreign), xid(xid) {}
    const unsigned long xid;
};

void RegisterWindow(HWND window);
void UnregisterWindow(HWND window);
/* window if it is live and of kind, else nullptr. */
DialogRecord *AsDialog(HWND window);
ControlRecord *AsControl(HWND window);
ForeignRecord *AsForeign(HWND window);
ControlRecord *FindControl(DialogRecord *dialog, int id);
/* The live dialogs, oldest first. */
const std::vector<DialogRecord *> &LiveDialogs();

}  // namespace win32layer

/* A program image's resources. */
struct HINSTANCE__ {
    const uint8_t *resources;
    size_t size;
};

namespace win32layer {

/* The instance handle for resources (one per distinct image). */
HINSTANCE RegisterModule(const uint8_t *resources, size_t size);
/* instance if it was registered, else nullptr. */
const HINSTANCE__ *FindModule(HINSTANCE instance);

}  // namespace win32layer

#endif
