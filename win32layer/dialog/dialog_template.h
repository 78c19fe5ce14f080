/* The dialog template (DLGTEMPLATE and its DLGITEMTEMPLATEs) and the
   menu template, decoded from a compiled resource. */
#ifndef WIN32LAYER_DIALOG_TEMPLATE_H
#define WIN32LAYER_DIALOG_TEMPLATE_H

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

#include "template_reader.h"

namespace win32layer {

/* Predefined control classes by their ordinal. */
enum : uint16_t { CONTROL_CLASS_BUTTON = 0x0080, CONTROL_CLASS_EDIT = 0x0081 };

/* A rectangle in dialog units. */
struct DialogUnitRect {
    int x = 0, y = 0, width = 0, height = 0;
};

struct DialogItemTemplate {
    uint32_t style = 0;
    uint32_t exStyle = 0;
    DialogUnitRect rect;
    uint16_t id = 0;
    NameOrOrdinal controlClass;
    NameOrOrdinal title;
};

struct DialogTemplate {
    uint32_t style = 0;
    uint32_t exStyle = 0;
    DialogUnitRect rect;
    NameOrOrdinal menu;
    NameOrOrdinal windowClass;
    std::string caption;
    uint16_t pointSize = 0; /* 0 without DS_SETFONT */
    std::string faceName;
    std::vector<DialogItemTemplate> items;
};

struct MenuItemTemplate {
    uint16_t flags = 0;
    uint16_t id = 0;
    std::string text;
    std::vector<MenuItemTemplate> children; /* for MF_POPUP */
};

/* False for a truncated or inconsistent template, and for the extended
   form (DLGTEMPLATEEX), which our resources never use. */
bool ParseDialogTemplate(const uint8_t *data, size_t size, DialogTemplate &dialog);

/* False for a truncated template, a popup nested too deep, and the
   extended form (MENUEX). */
bool ParseMenuTemplate(const uint8_t *data, size_t size, std::vector<MenuItemTemplate> &items);

}  // namespace win32layer

#endif
