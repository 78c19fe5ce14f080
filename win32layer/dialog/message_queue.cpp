/* Posted messages wait in a queue; GetMessageA runs the GTK main loop
   until one arrives. WM_QUIT is a flag, as on Windows: it is returned
   once the posted messages ahead of it have been read. */
#include "message_queue.h"

#include <glib.h>

#include <algorithm>
#include <deque>

#include "window_records.h"

namespace win32layer {

static std::deque<MSG> g_queue;
static bool g_quitPosted = false;
static int g_quitCode = 0;

void PostWindowMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    MSG msg = {};
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    msg.time = static_cast<DWORD>(g_get_monotonic_time() / 1000);
    g_queue.push_back(msg);
}

void DiscardWindowMessages(HWND window)
{
    auto forWindow = [window](const MSG &msg) { return msg.hwnd == window; };
    g_queue.erase(std::remove_if(g_queue.begin(), g_queue.end(), forWindow), g_queue.end());
}

static bool Matches(const MSG &msg, HWND window, UINT filterMin, UINT filterMax)
{
    if (window != nullptr && msg.hwnd != window)
        return false;
    return (filterMin == 0 && filterMax == 0) || (msg.message >= filterMin && msg.message <= filterMax);
}

/* Takes the first message that passes the filter; the quit flag only
   once no posted message passes. */
static bool TakeMessage(MSG &msg, HWND window, UINT filterMin, UINT filterMax)
{
    for (auto it = g_queue.begin(); it != g_queue.end(); ++it) {
        if (Matches(*it, window, filterMin, filterMax)) {
            msg = *it;
            g_queue.erase(it);
            return true;
        }
    }
    if (!g_quitPosted)
        return false;
    g_quitPosted = false;
    msg = MSG();
    msg.message = WM_QUIT;
    msg.wParam = static_cast<WPARAM>(g_quitCode);
    return true;
}

}  // namespace win32layer

using namespace win32layer;

extern "C" {

BOOL WINAPI GetMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax)
{
    if (msg == nullptr || (window != nullptr && AsDialog(window) == nullptr && AsControl(window) == nullptr))
        return -1;
    while (!TakeMessage(*msg, window, filterMin, filterMax))
        g_main_context_iteration(nullptr, TRUE);
    return msg->message != WM_QUIT;
}

/* Keys never enter this queue: GTK delivers them to the focused control,
   which turns them into characters itself. Nothing is left to translate. */
BOOL WINAPI TranslateMessage(const MSG *msg)
{
    (void)msg;
    return FALSE;
}

LRESULT WINAPI DispatchMessageA(const MSG *msg)
{
    if (msg == nullptr)
        return 0;
    DialogRecord *dialog = AsDialog(msg->hwnd);
    if (dialog == nullptr || dialog->procedure == nullptr)
        return 0;
    return dialog->procedure(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

void WINAPI PostQuitMessage(int exitCode)
{
    g_quitPosted = true;
    g_quitCode = exitCode;
}

}  // extern "C"
