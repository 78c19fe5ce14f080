/* The dialog font on this host: the template's face mapped to an
   installed metric-compatible font, sized at 96 dpi, measured with Pango
   for the dialog base units. */
#ifndef WIN32LAYER_DIALOG_FONT_H
#define WIN32LAYER_DIALOG_FONT_H

#include <pango/pango.h>

#include <string>

#include "dialog_units.h"

namespace win32layer {

struct DialogFont {
    std::string family; /* Pango family list, best first */
    int pixelSize = 0;
};

/* The font for a template's point size and face (point size 0: no
   DS_SETFONT, a 9 point default). */
DialogFont ChooseDialogFont(int pointSize, const std::string &faceName);

/* Base units of font as the dialog manager defines them: the rounded
   average width of A-Z and a-z, and ascent plus descent. */
BaseUnits MeasureBaseUnits(const DialogFont &font);

}  // namespace win32layer

#endif
