/* The compiled resource file (.res): a sequence of entries, each a header
   (sizes, type, name, language) followed by its data. */
#ifndef WIN32LAYER_RESOURCE_FILE_H
#define WIN32LAYER_RESOURCE_FILE_H

#include <stddef.h>
#include <stdint.h>

#include <vector>

#include "template_reader.h"

namespace win32layer {

enum : uint16_t { RESOURCE_TYPE_MENU = 4, RESOURCE_TYPE_DIALOG = 5 };

struct ResourceEntry {
    NameOrOrdinal type;
    NameOrOrdinal name;
    uint16_t language = 0;
    const uint8_t *data = nullptr;
    size_t size = 0;
};

/* Splits a .res image into its entries. Returns false, with entries
   unspecified, when any header or data size runs past the end. */
bool ParseResourceFile(const uint8_t *data, size_t size, std::vector<ResourceEntry> &entries);

/* The first entry of type with name wanted, or nullptr. wanted is as
   programs pass it: a pointer below 0x10000 is a number; names compare
   without case. */
const ResourceEntry *FindResourceEntry(const std::vector<ResourceEntry> &entries, uint16_t type,
                                       const char *wanted);

}  // namespace win32layer

#endif
