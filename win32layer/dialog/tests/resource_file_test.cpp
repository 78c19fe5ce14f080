#include "resource_file.h"

#include <gtest/gtest.h>

#include "resource_fixture.h"

using namespace win32layer;

static const char *Ordinal(uintptr_t value)
{
    return reinterpret_cast<const char *>(value);
}

TEST(ResourceFile, FindsThePanelTemplatesInJapanese)
{
    std::vector<uint8_t> res = LoadPanelResources();
    std::vector<ResourceEntry> entries;
    ASSERT_TRUE(ParseResourceFile(res.data(), res.size(), entries));

    const ResourceEntry *dialog = FindResourceEntry(entries, RESOURCE_TYPE_DIALOG, "DIALOG1");
    const ResourceEntry *menu = FindResourceEntry(entries, RESOURCE_TYPE_MENU, "menu1");
    ASSERT_NE(dialog, nullptr);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(dialog->language, 1041);
    EXPECT_EQ(menu->language, 1041);
    EXPECT_GT(dialog->size, 0u);
    EXPECT_GE(dialog->data, res.data());
    EXPECT_LE(dialog->data + dialog->size, res.data() + res.size());

    EXPECT_EQ(FindResourceEntry(entries, RESOURCE_TYPE_MENU, "DIALOG1"), nullptr);
    EXPECT_EQ(FindResourceEntry(entries, RESOURCE_TYPE_DIALOG, "DIALOG2"), nullptr);
    EXPECT_EQ(FindResourceEntry(entries, RESOURCE_TYPE_DIALOG, Ordinal(1)), nullptr);
}

/* A resource entry with an ordinal type and name, then its data. */
static std::vector<uint8_t> Entry(uint16_t type, uint16_t name, const std::vector<uint8_t> &data)
{
    std::vector<uint8_t> entry = {
        static_cast<uint8_t>(data.size()), 0, 0, 0, 32, 0, 0, 0,
        0xFF, 0xFF, static_cast<uint8_t>(type), 0, 0xFF, 0xFF, static_cast<uint8_t>(name), 0,
        0, 0, 0, 0, 0x30, 0x10, 0x11, 0x04, 0, 0, 0, 0, 0, 0, 0, 0};
    entry.insert(entry.end(), data.begin(), data.end());
    while (entry.size() % 4)
        entry.push_back(0);
    return entry;
}

TEST(ResourceFile, FindsByNumber)
{
    std::vector<uint8_t> res = Entry(RESOURCE_TYPE_DIALOG, 7, {1, 2, 3});
    std::vector<ResourceEntry> entries;
    ASSERT_TRUE(ParseResourceFile(res.data(), res.size(), entries));
    const ResourceEntry *found = FindResourceEntry(entries, RESOURCE_TYPE_DIALOG, Ordinal(7));
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->size, 3u);
    EXPECT_EQ(found->data[2], 3);
    EXPECT_EQ(FindResourceEntry(entries, RESOURCE_TYPE_DIALOG, "7"), nullptr);
}

TEST(ResourceFile, RefusesEveryTruncationOfTheRealFile)
{
    std::vector<uint8_t> res = LoadPanelResources();
    std::vector<ResourceEntry> entries;
    /* Only the final entry's padding may be missing. */
    for (size_t size = 0; size + 3 < res.size(); ++size) {
        std::vector<uint8_t> cut(res.begin(), res.begin() + size);
        EXPECT_FALSE(ParseResourceFile(cut.data(), cut.size(), entries) &&
                     FindResourceEntry(entries, RESOURCE_TYPE_DIALOG, "DIALOG1") != nullptr &&
                     FindResourceEntry(entries, RESOURCE_TYPE_MENU, "MENU1") != nullptr)
            << "size " << size;
    }
}

TEST(ResourceFile, RefusesSizesPastTheEnd)
{
    struct Case {
        const char *what;
        size_t offset;
        uint8_t value;
    } cases[] = {
        {"data size", 0, 0xF0},
        {"header size", 4, 0xF0},
        {"header size below its own fields", 4, 4},
        {"data size top byte", 3, 0xFF},
    };
    for (const Case &c : cases) {
        std::vector<uint8_t> res = Entry(RESOURCE_TYPE_DIALOG, 1, {1, 2, 3, 4});
        res[c.offset] = c.value;
        std::vector<ResourceEntry> entries;
        EXPECT_FALSE(ParseResourceFile(res.data(), res.size(), entries)) << c.what;
    }
    std::vector<ResourceEntry> entries;
    EXPECT_FALSE(ParseResourceFile(nullptr, 0, entries));
}

TEST(ResourceFile, RefusesAnUnterminatedName)
{
    /* Header of 16 bytes whose name string runs into the end. */
    std::vector<uint8_t> res = {0, 0, 0, 0, 16, 0, 0, 0, 0xFF, 0xFF, 5, 0, 'D', 0, 'X', 0};
    std::vector<ResourceEntry> entries;
    EXPECT_FALSE(ParseResourceFile(res.data(), res.size(), entries));
}
