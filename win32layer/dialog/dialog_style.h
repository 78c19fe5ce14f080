/* The dialog font on every widget, and control sizes that follow the
   template rather than the theme's minimums. */
#ifndef WIN32LAYER_DIALOG_STYLE_H
#define WIN32LAYER_DIALOG_STYLE_H

#include <gtk/gtk.h>

#include "dialog_font.h"

namespace win32layer {

/* A provider to add to the window and to each control (its caller
   unrefs it). */
GtkCssProvider *CreateDialogStyle(const DialogFont &font);
void ApplyDialogStyle(GtkWidget *widget, GtkCssProvider *style);

}  // namespace win32layer

#endif
