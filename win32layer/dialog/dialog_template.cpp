#include "dialog_template.h"

#include "win32_styles.h"

namespace win32layer {

static DialogUnitRect ReadRect(TemplateReader &reader)
{
    DialogUnitRect rect;
    rect.x = reader.i16();
    rect.y = reader.i16();
    rect.width = reader.i16();
    rect.height = reader.i16();
    return rect;
}

static bool IsSaneRect(const DialogUnitRect &rect)
{
    return rect.width >= 0 && rect.height >= 0;
}

static bool ParseItem(TemplateReader &reader, DialogItemTemplate &item)
{
    reader.alignDword();
    item.style = reader.u32();
    item.exStyle = reader.u32();
    item.rect = ReadRect(reader);
    item.id = reader.u16();
    item.controlClass = reader.nameOrOrdinal();
    item.title = reader.nameOrOrdinal();
    uint16_t creationDataSize = reader.u16();
    reader.skip(creationDataSize);
    return reader.ok() && item.controlClass.present && IsSaneRect(item.rect);
}

bool ParseDialogTemplate(const uint8_t *data, size_t size, DialogTemplate &dialog)
{
    dialog = DialogTemplate();
    if (data == nullptr)
        return false;
    TemplateReader reader(data, size);
    /* The extended form starts with version 1 and signature 0xFFFF. */
    if (size >= 4 && data[0] == 1 && data[1] == 0 && data[2] == 0xFF && data[3] == 0xFF)
        return false;
    dialog.style = reader.u32();
    dialog.exStyle = reader.u32();
    uint16_t itemCount = reader.u16();
    dialog.rect = ReadRect(reader);
    dialog.menu = reader.nameOrOrdinal();
    dialog.windowClass = reader.nameOrOrdinal();
    dialog.caption = reader.string();
    if (dialog.style & DS_SETFONT) {
        dialog.pointSize = reader.u16();
        dialog.faceName = reader.string();
    }
    /* Each item takes at least 18 bytes: refuse counts the data can't hold. */
    if (!reader.ok() || !IsSaneRect(dialog.rect) || itemCount > reader.remaining() / 18)
        return false;
    dialog.items.resize(itemCount);
    for (DialogItemTemplate &item : dialog.items)
        if (!ParseItem(reader, item))
            return false;
    return true;
}

enum { MENU_MAX_DEPTH = 8 };

static bool ParseMenuItems(TemplateReader &reader, std::vector<MenuItemTemplate> &items, int depth)
{
    if (depth > MENU_MAX_DEPTH)
        return false;
    for (;;) {
        MenuItemTemplate item;
        item.flags = reader.u16();
        if (!(item.flags & MF_POPUP))
            item.id = reader.u16();
        item.text = reader.string();
        if (!reader.ok())
            return false;
        if ((item.flags & MF_POPUP) && !ParseMenuItems(reader, item.children, depth + 1))
            return false;
        items.push_back(item);
        if (item.flags & MF_END)
            return true;
    }
}

bool ParseMenuTemplate(const uint8_t *data, size_t size, std::vector<MenuItemTemplate> &items)
{
    items.clear();
    if (data == nullptr)
        return false;
    TemplateReader reader(data, size);
    uint16_t version = reader.u16();
    uint16_t headerSize = reader.u16();
    reader.skip(headerSize);
    if (!reader.ok() || version != 0)
        return false;
    return ParseMenuItems(reader, items, 0);
}

}  // namespace win32layer
