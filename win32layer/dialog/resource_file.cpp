#include "resource_file.h"

#include <stdint.h>
#include <strings.h>

namespace win32layer {

/* DataSize, HeaderSize, then after type and name: DataVersion,
   MemoryFlags, LanguageId, Version, Characteristics. */
enum { RESOURCE_SIZES_BYTES = 8, RESOURCE_TRAILER_BYTES = 16 };

static bool ParseEntry(TemplateReader &file, const uint8_t *data, ResourceEntry &entry)
{
    size_t start = file.offset();
    uint32_t dataSize = file.u32();
    uint32_t headerSize = file.u32();
    if (!file.ok() || headerSize < RESOURCE_SIZES_BYTES || headerSize > file.remaining() + RESOURCE_SIZES_BYTES)
        return false;

    TemplateReader header(data + start, headerSize);
    header.skip(RESOURCE_SIZES_BYTES);
    entry.type = header.nameOrOrdinal();
    entry.name = header.nameOrOrdinal();
    header.alignDword();
    header.skip(4 + 2); /* DataVersion, MemoryFlags */
    entry.language = header.u16();
    header.skip(4 + 4); /* Version, Characteristics */
    if (!header.ok())
        return false;

    file.skip(headerSize - RESOURCE_SIZES_BYTES);
    if (!file.ok() || dataSize > file.remaining())
        return false;
    entry.data = data + file.offset();
    entry.size = dataSize;
    file.skip(dataSize);
    /* The last entry may end without its padding. */
    if (file.remaining() > 0)
        file.alignDword();
    return file.ok();
}

bool ParseResourceFile(const uint8_t *data, size_t size, std::vector<ResourceEntry> &entries)
{
    entries.clear();
    if (data == nullptr)
        return false;
    TemplateReader file(data, size);
    while (file.remaining() > 0) {
        ResourceEntry entry;
        if (!ParseEntry(file, data, entry))
            return false;
        entries.push_back(entry);
    }
    return !entries.empty();
}

static bool ResourceNameMatches(const NameOrOrdinal &name, const char *wanted)
{
    uintptr_t value = reinterpret_cast<uintptr_t>(wanted);
    if (value < 0x10000)
        return name.present && name.isOrdinal && name.ordinal == value;
    return name.present && !name.isOrdinal && strcasecmp(name.name.c_str(), wanted) == 0;
}

const ResourceEntry *FindResourceEntry(const std::vector<ResourceEntry> &entries, uint16_t type,
                                       const char *wanted)
{
    for (const ResourceEntry &entry : entries)
        if (entry.type.present && entry.type.isOrdinal && entry.type.ordinal == type &&
            ResourceNameMatches(entry.name, wanted))
            return &entry;
    return nullptr;
}

}  // namespace win32layer
