#include "template_reader.h"

namespace win32layer {

bool TemplateReader::need(size_t count)
{
    if (!ok_ || count > size_ - offset_)
        ok_ = false;
    return ok_;
}

uint16_t TemplateReader::u16()
{
    if (!need(2))
        return 0;
    uint16_t value = static_cast<uint16_t>(data_[offset_] | data_[offset_ + 1] << 8);
    offset_ += 2;
    return value;
}

uint32_t TemplateReader::u32()
{
    uint32_t low = u16();
    uint32_t high = u16();
    return ok_ ? low | high << 16 : 0;
}

void TemplateReader::skip(size_t count)
{
    if (need(count))
        offset_ += count;
}

void TemplateReader::alignDword()
{
    skip((4 - offset_ % 4) % 4);
}

void AppendUtf8(std::string &out, uint32_t cp)
{
    if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF)
        cp = 0xFFFD;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | cp >> 6);
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | cp >> 12);
        out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | cp >> 18);
        out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string TemplateReader::string()
{
    std::string out;
    for (;;) {
        uint32_t unit = u16();
        if (!ok_ || unit == 0)
            return out;
        if (unit >= 0xD800 && unit <= 0xDBFF && remaining() >= 2) {
            uint32_t low = static_cast<uint32_t>(data_[offset_] | data_[offset_ + 1] << 8);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                offset_ += 2;
                unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
            }
        }
        AppendUtf8(out, unit);
    }
}

NameOrOrdinal TemplateReader::nameOrOrdinal()
{
    NameOrOrdinal result;
    size_t start = offset_;
    uint16_t first = u16();
    if (!ok_ || first == 0)
        return result;
    result.present = true;
    if (first == 0xFFFF) {
        result.isOrdinal = true;
        result.ordinal = u16();
        return result;
    }
    offset_ = start;
    result.name = string();
    return result;
}

}  // namespace win32layer
