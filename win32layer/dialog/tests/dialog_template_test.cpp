#include "dialog_template.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "resource_file.h"
#include "resource_fixture.h"
#include "win32_styles.h"

using namespace win32layer;

class PanelTemplates : public ::testing::Test {
protected:
    void SetUp() override
    {
        res_ = LoadPanelResources();
        ASSERT_TRUE(ParseResourceFile(res_.data(), res_.size(), entries_));
        dialog_ = FindResourceEntry(entries_, RESOURCE_TYPE_DIALOG, "DIALOG1");
        menu_ = FindResourceEntry(entries_, RESOURCE_TYPE_MENU, "MENU1");
        ASSERT_NE(dialog_, nullptr);
        ASSERT_NE(menu_, nullptr);
    }
    std::vector<uint8_t> DialogBytes() const { return {dialog_->data, dialog_->data + dialog_->size}; }
    std::vector<uint8_t> MenuBytes() const { return {menu_->data, menu_->data + menu_->size}; }

    std::vector<uint8_t> res_;
    std::vector<ResourceEntry> entries_;
    const ResourceEntry *dialog_ = nullptr;
    const ResourceEntry *menu_ = nullptr;
};

TEST_F(PanelTemplates, DialogHeader)
{
    DialogTemplate dialog;
    ASSERT_TRUE(ParseDialogTemplate(dialog_->data, dialog_->size, dialog));
    const uint32_t bits[] = {WS_VISIBLE, WS_SYSMENU, WS_MINIMIZEBOX, DS_SETFONT, DS_SETFOREGROUND, DS_CENTER};
    for (uint32_t bit : bits)
        EXPECT_TRUE(dialog.style & bit) << std::hex << bit;
    EXPECT_FALSE(dialog.style & WS_THICKFRAME);
    EXPECT_FALSE(dialog.style & WS_MAXIMIZEBOX);
    EXPECT_EQ(dialog.rect.x, 0);
    EXPECT_EQ(dialog.rect.y, 0);
    EXPECT_EQ(dialog.rect.width, 163);
    EXPECT_EQ(dialog.rect.height, 119);
    EXPECT_TRUE(dialog.menu.present);
    EXPECT_FALSE(dialog.menu.isOrdinal);
    EXPECT_EQ(dialog.menu.name, "MENU1");
    EXPECT_FALSE(dialog.windowClass.present);
    EXPECT_EQ(dialog.caption, "Kelvara");
    EXPECT_EQ(dialog.pointSize, 9);
    EXPECT_EQ(dialog.faceName, "ＭＳ Ｐゴシック");
}

TEST_F(PanelTemplates, DialogItemsInTemplateOrder)
{
    struct Expected {
        uint16_t id;
        uint16_t controlClass;
        DialogUnitRect rect;
        const char *title;
    } expected[] = {
        {2, CONTROL_CLASS_BUTTON, {110, 75, 45, 35}, "終了"},
        {1001, CONTROL_CLASS_BUTTON, {10, 35, 42, 23}, "A"},
        {1002, CONTROL_CLASS_BUTTON, {60, 35, 42, 23}, "abc"},
        {1003, CONTROL_CLASS_BUTTON, {110, 35, 42, 23}, "12345"},
        {1005, CONTROL_CLASS_EDIT, {10, 10, 140, 12}, ""},
        {1006, CONTROL_CLASS_BUTTON, {10, 85, 41, 25}, "通信開始"},
        {1007, CONTROL_CLASS_BUTTON, {60, 85, 41, 25}, "通信終了"},
    };
    DialogTemplate dialog;
    ASSERT_TRUE(ParseDialogTemplate(dialog_->data, dialog_->size, dialog));
    ASSERT_EQ(dialog.items.size(), std::size(expected));
    for (size_t i = 0; i < dialog.items.size(); ++i) {
        const DialogItemTemplate &item = dialog.items[i];
        SCOPED_TRACE(expected[i].id);
        EXPECT_EQ(item.id, expected[i].id);
        EXPECT_TRUE(item.controlClass.isOrdinal);
        EXPECT_EQ(item.controlClass.ordinal, expected[i].controlClass);
        EXPECT_EQ(item.rect.x, expected[i].rect.x);
        EXPECT_EQ(item.rect.y, expected[i].rect.y);
        EXPECT_EQ(item.rect.width, expected[i].rect.width);
        EXPECT_EQ(item.rect.height, expected[i].rect.height);
        EXPECT_EQ(item.title.name, expected[i].title);
        EXPECT_TRUE(item.style & WS_VISIBLE);
        EXPECT_TRUE(item.style & WS_TABSTOP);
        if (item.controlClass.ordinal == CONTROL_CLASS_BUTTON)
            EXPECT_EQ(item.style & BS_TYPEMASK, BS_PUSHBUTTON);
        else
            EXPECT_TRUE(item.style & WS_BORDER);
    }
}

TEST_F(PanelTemplates, Menu)
{
    std::vector<MenuItemTemplate> items;
    ASSERT_TRUE(ParseMenuTemplate(menu_->data, menu_->size, items));
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].id, 2);
    EXPECT_EQ(items[0].text, "E&xit");
    EXPECT_EQ(items[0].flags, MF_END);
    EXPECT_TRUE(items[0].children.empty());
}

TEST_F(PanelTemplates, EveryTruncationIsRefused)
{
    std::vector<uint8_t> dialogBytes = DialogBytes();
    for (size_t size = 0; size < dialogBytes.size(); ++size) {
        std::vector<uint8_t> cut(dialogBytes.begin(), dialogBytes.begin() + size);
        DialogTemplate dialog;
        EXPECT_FALSE(ParseDialogTemplate(cut.data(), cut.size(), dialog)) << "dialog cut to " << size;
    }
    std::vector<uint8_t> menuBytes = MenuBytes();
    for (size_t size = 0; size < menuBytes.size(); ++size) {
        std::vector<uint8_t> cut(menuBytes.begin(), menuBytes.begin() + size);
        std::vector<MenuItemTemplate> items;
        EXPECT_FALSE(ParseMenuTemplate(cut.data(), cut.size(), items)) << "menu cut to " << size;
    }
}

/* Overwrites bytes at the first place where pattern occurs. */
static void Patch(std::vector<uint8_t> &bytes, const std::vector<uint8_t> &pattern, size_t offset,
                  const std::vector<uint8_t> &replacement)
{
    auto at = std::search(bytes.begin(), bytes.end(), pattern.begin(), pattern.end());
    ASSERT_NE(at, bytes.end());
    std::copy(replacement.begin(), replacement.end(), at + static_cast<std::ptrdiff_t>(offset));
}

TEST_F(PanelTemplates, CorruptDialogsAreRefused)
{
    /* Byte 8 is the item count, 14 the dialog width; the edit box's rect
       10,10,140,12 is unique in the template. */
    const std::vector<uint8_t> start = DialogBytes();
    const std::vector<uint8_t> editRect = {10, 0, 10, 0, 140, 0, 12, 0};
    struct Case {
        const char *what;
        std::vector<uint8_t> pattern;
        size_t offset;
        std::vector<uint8_t> replacement;
    } cases[] = {
        {"extended template signature", {start.begin(), start.begin() + 4}, 0, {1, 0, 0xFF, 0xFF}},
        {"more items than the data holds", {start.begin(), start.begin() + 10}, 8, {0xFF, 0x7F}},
        {"negative dialog width", {start.begin(), start.begin() + 16}, 14, {0xFF, 0xFF}},
        {"negative item height", editRect, 6, {0xF4, 0xFF}},
    };
    for (const Case &c : cases) {
        std::vector<uint8_t> bytes = start;
        Patch(bytes, c.pattern, c.offset, c.replacement);
        DialogTemplate dialog;
        EXPECT_FALSE(ParseDialogTemplate(bytes.data(), bytes.size(), dialog)) << c.what;
    }
    DialogTemplate dialog;
    EXPECT_FALSE(ParseDialogTemplate(nullptr, 0, dialog));
}

/* Menu bytes: header, then items given as (flags, id or -1 for a popup,
   ASCII text). */
struct RawMenuItem {
    uint16_t flags;
    int id;
    const char *text;
};

static std::vector<uint8_t> MenuTemplate(uint16_t version, const std::vector<RawMenuItem> &items)
{
    std::vector<uint8_t> bytes = {static_cast<uint8_t>(version), 0, 0, 0};
    auto put16 = [&bytes](unsigned value) {
        bytes.push_back(static_cast<uint8_t>(value));
        bytes.push_back(static_cast<uint8_t>(value >> 8));
    };
    for (const RawMenuItem &item : items) {
        put16(item.flags);
        if (item.id >= 0)
            put16(static_cast<unsigned>(item.id));
        for (const char *c = item.text; *c; ++c)
            put16(static_cast<unsigned char>(*c));
        put16(0);
    }
    return bytes;
}

TEST(MenuTemplate, PopupsNest)
{
    std::vector<uint8_t> bytes = MenuTemplate(0, {
                                                     {MF_POPUP, -1, "&File"},
                                                     {0, 10, "&Open"},
                                                     {MF_END | MF_GRAYED, 11, "Save"},
                                                     {MF_END, 12, "&Help"},
                                                 });
    std::vector<MenuItemTemplate> items;
    ASSERT_TRUE(ParseMenuTemplate(bytes.data(), bytes.size(), items));
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].text, "&File");
    ASSERT_EQ(items[0].children.size(), 2u);
    EXPECT_EQ(items[0].children[1].id, 11);
    EXPECT_TRUE(items[0].children[1].flags & MF_GRAYED);
    EXPECT_EQ(items[1].id, 12);
}

TEST(MenuTemplate, RefusesExtendedAndEndlessMenus)
{
    std::vector<MenuItemTemplate> items;
    std::vector<uint8_t> extended = MenuTemplate(1, {{MF_END, 1, "x"}});
    EXPECT_FALSE(ParseMenuTemplate(extended.data(), extended.size(), items));

    std::vector<uint8_t> noEnd = MenuTemplate(0, {{0, 1, "a"}, {0, 2, "b"}});
    EXPECT_FALSE(ParseMenuTemplate(noEnd.data(), noEnd.size(), items));

    std::vector<RawMenuItem> deep(40, RawMenuItem{MF_POPUP | MF_END, -1, "p"});
    deep.push_back({MF_END, 1, "leaf"});
    std::vector<uint8_t> tooDeep = MenuTemplate(0, deep);
    EXPECT_FALSE(ParseMenuTemplate(tooDeep.data(), tooDeep.size(), items));

    EXPECT_FALSE(ParseMenuTemplate(nullptr, 0, items));
}
