/*
 * Test double of the window calls the panel code makes: records every
 * SendDlgItemMessageA (with a copy of a WM_SETTEXT text) and every
 * PostQuitMessage. Reset() between tests.
 */
#ifndef FAKE_WINDOW_H
#define FAKE_WINDOW_H

#include <windows.h>

#include <string>
#include <vector>

namespace FakeWindow {

struct ItemMessage {
    HWND panel;
    int id;
    UINT message;
    WPARAM wParam;
    std::string text; /* WM_SETTEXT only */
};

void Reset();
const std::vector<ItemMessage> &ItemMessages();
const std::vector<int> &QuitCodes();

} // namespace FakeWindow

#endif
