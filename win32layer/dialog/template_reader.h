/* Bounds-checked little-endian reader over resource bytes. Every read
   fails softly (ok() turns false, values read as 0) instead of running
   past the end, so parsers check ok() once per record. */
#ifndef WIN32LAYER_TEMPLATE_READER_H
#define WIN32LAYER_TEMPLATE_READER_H

#include <stddef.h>
#include <stdint.h>

#include <string>

namespace win32layer {

/* A resource or class reference: either a number or a UTF-8 name.
   present is false for the "none" form (a single 0x0000). */
struct NameOrOrdinal {
    bool present = false;
    bool isOrdinal = false;
    uint16_t ordinal = 0;
    std::string name;
};

class TemplateReader {
public:
    TemplateReader(const uint8_t *data, size_t size) : data_(data), size_(size) {}

    bool ok() const { return ok_; }
    size_t offset() const { return offset_; }
    size_t remaining() const { return ok_ ? size_ - offset_ : 0; }

    uint16_t u16();
    uint32_t u32();
    int16_t i16() { return static_cast<int16_t>(u16()); }
    void skip(size_t count);
    /* Skips to the next multiple of 4 counted from the start of data. */
    void alignDword();
    /* A NUL-terminated UTF-16LE string, returned as UTF-8. */
    std::string string();
    /* 0x0000 = none, 0xFFFF + number = ordinal, else a string. */
    NameOrOrdinal nameOrOrdinal();

private:
    bool need(size_t count);

    const uint8_t *data_;
    size_t size_;
    size_t offset_ = 0;
    bool ok_ = true;
};

/* Appends code point cp as UTF-8 (lone surrogates become U+FFFD). */
void AppendUtf8(std::string &out, uint32_t cp);

}  // namespace win32layer

#endif
