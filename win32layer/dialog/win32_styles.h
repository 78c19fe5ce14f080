/* Window, dialog and menu style bits the layer reads from templates. */
#ifndef WIN32LAYER_WIN32_STYLES_H
#define WIN32LAYER_WIN32_STYLES_H

#include <stdint.h>

namespace win32layer {

enum : uint32_t {
    WS_TABSTOP = 0x00010000u,
    WS_MAXIMIZEBOX = 0x00010000u, /* same bit as WS_TABSTOP, on top-level windows */
    WS_MINIMIZEBOX = 0x00020000u,
    WS_THICKFRAME = 0x00040000u,
    WS_SYSMENU = 0x00080000u,
    WS_BORDER = 0x00800000u,
    WS_DISABLED = 0x08000000u,
    WS_VISIBLE = 0x10000000u,

    DS_SETFONT = 0x0040u,
    DS_SETFOREGROUND = 0x0200u,
    DS_CENTER = 0x0800u,

    BS_TYPEMASK = 0x000Fu,
    BS_PUSHBUTTON = 0x0000u,
    BS_DEFPUSHBUTTON = 0x0001u,

    ES_READONLY = 0x0800u,
};

enum : uint16_t {
    MF_GRAYED = 0x0001u,
    MF_DISABLED = 0x0002u,
    MF_POPUP = 0x0010u,
    MF_END = 0x0080u,
    MF_SEPARATOR = 0x0800u,
};

enum : uint16_t { BN_CLICKED = 0 };

}  // namespace win32layer

#endif
