/* The predefined controls (button, edit, static) as GTK widgets, and the
   messages a program sends them. */
#ifndef WIN32LAYER_DIALOG_CONTROLS_H
#define WIN32LAYER_DIALOG_CONTROLS_H

#include "dialog_template.h"
#include "window_records.h"

namespace win32layer {

bool IsSupportedControl(const DialogItemTemplate &item);

/* Creates the control's widget (not yet placed) and wires its
   notifications to the dialog's queue. */
ControlRecord *CreateControl(DialogRecord *dialog, const DialogItemTemplate &item);

}  // namespace win32layer

#endif
