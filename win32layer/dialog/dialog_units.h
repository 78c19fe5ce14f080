/* Dialog units to pixels, the way the dialog manager scales templates:
   horizontally by a quarter, vertically by an eighth of the base units
   of the dialog font. */
#ifndef WIN32LAYER_DIALOG_UNITS_H
#define WIN32LAYER_DIALOG_UNITS_H

#include "dialog_template.h"

namespace win32layer {

struct BaseUnits {
    int x = 0; /* average character width, pixels */
    int y = 0; /* character height, pixels */
};

struct PixelRect {
    int x = 0, y = 0, width = 0, height = 0;
};

/* number * numerator / denominator, rounded half away from zero;
   -1 when denominator is 0 (as MulDiv). */
int MulDiv(int number, int numerator, int denominator);

/* The rounded average width of the 52 letters whose total is
   lettersWidth pixels. */
int AverageCharWidth(int lettersWidth);

PixelRect DialogUnitsToPixels(const DialogUnitRect &rect, BaseUnits base);

}  // namespace win32layer

#endif
