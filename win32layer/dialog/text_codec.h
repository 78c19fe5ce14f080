/* Between the program's ANSI code page (932, Shift_JIS) and GTK's UTF-8. */
#ifndef WIN32LAYER_TEXT_CODEC_H
#define WIN32LAYER_TEXT_CODEC_H

#include <stddef.h>

#include <string>

namespace win32layer {

/* Bytes that are not valid code page 932 become U+FFFD. */
std::string AnsiToUtf8(const char *ansi);

/* Characters code page 932 lacks (and invalid UTF-8) become '?'. */
std::string Utf8ToAnsi(const char *utf8);

/* Copies ansi into out (size bytes, terminated), never splitting a
   double-byte character; returns the bytes copied without the NUL.
   size 0 copies nothing. */
size_t CopyAnsiText(const std::string &ansi, char *out, size_t size);

/* A label with Windows mnemonics ("E&xit", "&&" for '&') in GTK's form
   ("E_xit", "__" for '_'). */
std::string MnemonicToGtk(const std::string &text);

}  // namespace win32layer

#endif
