#include "window_records.h"

#include <algorithm>
#include <memory>
#include <unordered_set>

namespace win32layer {

static std::unordered_set<HWND> &LiveWindows()
{
    static std::unordered_set<HWND> windows;
    return windows;
}

static std::vector<DialogRecord *> &Dialogs()
{
    static std::vector<DialogRecord *> dialogs;
    return dialogs;
}

void RegisterWindow(HWND window)
{
    LiveWindows().insert(window);
    if (window->kind == WindowKind::Dialog)
        Dialogs().push_back(static_cast<DialogRecord *>(window));
}

void UnregisterWindow(HWND window)
{
    LiveWindows().erase(window);
    std::vector<DialogRecord *> &dialogs = Dialogs();
    dialogs.erase(std::remove(dialogs.begin(), dialogs.end(), window), dialogs.end());
}

template <typename Record>
static Record *LiveAs(HWND window, WindowKind kind)
{
    if (window == nullptr || LiveWindows().count(window) == 0 || window->kind != kind)
        return nullptr;
    return static_cast<Record *>(window);
}

DialogRecord *AsDialog(HWND window)
{
    return LiveAs<DialogRecord>(window, WindowKind::Dialog);
}

ControlRecord *AsControl(HWND window)
{
    return LiveAs<ControlRecord>(window, WindowKind::Control);
}

ForeignRecord *AsForeign(HWND window)
{
    return LiveAs<ForeignRecord>(window, WindowKind::Foreign);
}

ControlRecord *FindControl(DialogRecord *dialog, int id)
{
    for (ControlRecord *control : dialog->controls)
        if (control->id == id)
            return control;
    return nullptr;
}

const std::vector<DialogRecord *> &LiveDialogs()
{
    return Dialogs();
}

static std::vector<std::unique_ptr<HINSTANCE__>> &Modules()
{
    static std::vector<std::unique_ptr<HINSTANCE__>> modules;
    return modules;
}

HINSTANCE RegisterModule(const uint8_t *resources, size_t size)
{
    for (const auto &module : Modules())
        if (module->resources == resources && module->size == size)
            return module.get();
    Modules().push_back(std::unique_ptr<HINSTANCE__>(new HINSTANCE__{resources, size}));
    return Modules().back().get();
}

const HINSTANCE__ *FindModule(HINSTANCE instance)
{
    for (const auto &module : Modules())
        if (module.get() == instance)
            return module.get();
    return nullptr;
}

}  // namespace win32layer
