/* The dialog's menu bar from its menu template. */
#ifndef WIN32LAYER_DIALOG_MENU_H
#define WIN32LAYER_DIALOG_MENU_H

#include <gtk/gtk.h>

#include <vector>

#include "dialog_template.h"
#include "window_records.h"

namespace win32layer {

/* Items post WM_COMMAND (id, 0) with lParam 0 to the dialog. */
GtkWidget *CreateMenuBar(DialogRecord *dialog, const std::vector<MenuItemTemplate> &items);

}  // namespace win32layer

#endif
