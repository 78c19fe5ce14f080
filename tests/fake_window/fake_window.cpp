#include "fake_window.h"

namespace FakeWindow {
namespace {

struct State {
    std::vector<ItemMessage> itemMessages;
    std::vector<int> quitCodes;
};

State &S()
{
    static State state;
    return state;
}

} // namespace

void Reset() { S() = State{}; }
const std::vector<ItemMessage> &ItemMessages() { return S().itemMessages; }
const std::vector<int> &QuitCodes() { return S().quitCodes; }

} // namespace FakeWindow

using namespace FakeWindow;

LRESULT WINAPI SendDlgItemMessageA(HWND dialog, int id, UINT message, WPARAM wParam,
                                   LPARAM lParam)
{
    ItemMessage sent{dialog, id, message, wParam, {}};
    if (message == WM_SETTEXT && lParam != 0)
        sent.text = reinterpret_cast<const char *>(lParam);
    S().itemMessages.push_back(sent);
    return TRUE;
}

void WINAPI PostQuitMessage(int exitCode) { S().quitCodes.push_back(exitCode); }
