#include "dialog_units.h"

#include <stdint.h>

namespace win32layer {

int MulDiv(int number, int numerator, int denominator)
{
    if (denominator == 0)
        return -1;
    int64_t product = static_cast<int64_t>(number) * numerator;
    bool negative = (product < 0) != (denominator < 0);
    int64_t magnitude = product < 0 ? -product : product;
    int64_t divisor = denominator < 0 ? -static_cast<int64_t>(denominator) : denominator;
    int64_t quotient = (magnitude + divisor / 2) / divisor;
    int64_t result = negative ? -quotient : quotient;
    if (result > INT32_MAX || result < INT32_MIN)
        return -1;
    return static_cast<int>(result);
}

int AverageCharWidth(int lettersWidth)
{
    return (lettersWidth / 26 + 1) / 2;
}

PixelRect DialogUnitsToPixels(const DialogUnitRect &rect, BaseUnits base)
{
    PixelRect pixels;
    pixels.x = MulDiv(rect.x, base.x, 4);
    pixels.y = MulDiv(rect.y, base.y, 8);
    pixels.width = MulDiv(rect.width, base.x, 4);
    pixels.height = MulDiv(rect.height, base.y, 8);
    return pixels;
}

}  // namespace win32layer
