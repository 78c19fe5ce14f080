/* The thread's message queue, fed by GTK signal handlers. */
#ifndef WIN32LAYER_MESSAGE_QUEUE_H
#define WIN32LAYER_MESSAGE_QUEUE_H

#include <windows.h>

namespace win32layer {

void PostWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
/* Drops what is still queued for a window being destroyed. */
void DiscardWindowMessages(HWND window);

}  // namespace win32layer

#endif
