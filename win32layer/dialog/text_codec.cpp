#include "text_codec.h"

#include <errno.h>
#include <iconv.h>
#include <string.h>

namespace win32layer {

/* Converts text with iconv; at each byte sequence it can't convert it
   appends replacement and skips unit(bytes at in) bytes of input. */
static std::string Convert(const char *to, const char *from, const char *text, const char *replacement,
                           size_t (*unit)(const char *in, size_t left))
{
    std::string out;
    if (text == nullptr)
        return out;
    iconv_t converter = iconv_open(to, from);
    if (converter == reinterpret_cast<iconv_t>(-1))
        return out;
    char *in = const_cast<char *>(text);
    size_t inLeft = strlen(text);
    char buffer[256];
    while (inLeft > 0) {
        char *outPtr = buffer;
        size_t outLeft = sizeof buffer;
        size_t result = iconv(converter, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, sizeof buffer - outLeft);
        if (result != static_cast<size_t>(-1) || errno == E2BIG)
            continue;
        /* EILSEQ or EINVAL (cut short at the end): replace and go on. */
        out += replacement;
        size_t skip = unit(in, inLeft);
        in += skip;
        inLeft -= skip;
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
    }
    iconv_close(converter);
    return out;
}

static size_t OneByte(const char *, size_t)
{
    return 1;
}

/* One UTF-8 sequence (possibly cut short by the end of the text), or one
   byte when the bytes don't start one. */
static size_t Utf8Sequence(const char *in, size_t left)
{
    unsigned char lead = static_cast<unsigned char>(in[0]);
    size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 && lead < 0xE0 ? 2 : 1;
    if (length > left)
        length = left;
    for (size_t i = 1; i < length; ++i)
        if ((static_cast<unsigned char>(in[i]) & 0xC0) != 0x80)
            return 1;
    return length;
}

std::string AnsiToUtf8(const char *ansi)
{
    return Convert("UTF-8", "CP932", ansi, "\xEF\xBF\xBD", OneByte);
}

std::string Utf8ToAnsi(const char *utf8)
{
    return Convert("CP932", "UTF-8", utf8, "?", Utf8Sequence);
}

static bool IsLeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

size_t CopyAnsiText(const std::string &ansi, char *out, size_t size)
{
    if (out == nullptr || size == 0)
        return 0;
    size_t length = 0;
    while (length < ansi.size()) {
        size_t step = IsLeadByte(static_cast<unsigned char>(ansi[length])) ? 2 : 1;
        if (length + step > size - 1 || length + step > ansi.size())
            break;
        length += step;
    }
    memcpy(out, ansi.data(), length);
    out[length] = '\0';
    return length;
}

std::string MnemonicToGtk(const std::string &text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) {
            out += text[i + 1] == '&' ? "&" : "_";
            if (text[i + 1] == '&')
                ++i;
        } else if (text[i] == '_') {
            out += "__";
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace win32layer
