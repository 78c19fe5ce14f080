#include "dialog_units.h"

#include <gtest/gtest.h>
#include <pango/pangocairo.h>

#include "dialog_font.h"

using namespace win32layer;

TEST(MulDiv, RoundsHalfAwayFromZero)
{
    struct Case {
        int number, numerator, denominator, expected;
    } cases[] = {
        {163, 7, 4, 285},  /* 285.25 */
        {119, 12, 8, 179}, /* 178.5 */
        {45, 6, 4, 68},    /* 67.5 */
        {-45, 6, 4, -68},
        {45, -6, 4, -68},
        {45, 6, -4, -68},
        {-45, -6, -4, -68},
        {10, 7, 4, 18}, /* 17.5 */
        {0, 7, 4, 0},
        {5, 1, 0, -1},
        {0x40000000, 4, 1, -1}, /* overflows int */
    };
    for (const Case &c : cases)
        EXPECT_EQ(MulDiv(c.number, c.numerator, c.denominator), c.expected)
            << c.number << "*" << c.numerator << "/" << c.denominator;
}

TEST(DialogUnits, AverageWidthIsTheRoundedFiftySecond)
{
    struct Case {
        int lettersWidth, expected;
    } cases[] = {{311, 6}, {337, 6}, {338, 7}, {368, 7}, {389, 7}, {390, 8}, {0, 0}};
    for (const Case &c : cases)
        EXPECT_EQ(AverageCharWidth(c.lettersWidth), c.expected) << c.lettersWidth;
}

TEST(DialogUnits, ScalesEachFieldOnItsOwn)
{
    /* The quit button and the dialog frame at base units 7 x 12. */
    BaseUnits base{7, 12};
    PixelRect quit = DialogUnitsToPixels({110, 75, 45, 35}, base);
    EXPECT_EQ(quit.x, 193);      /* 192.5 */
    EXPECT_EQ(quit.y, 113);      /* 112.5 */
    EXPECT_EQ(quit.width, 79);   /* 78.75 */
    EXPECT_EQ(quit.height, 53);  /* 52.5 */
    PixelRect frame = DialogUnitsToPixels({0, 0, 163, 119}, base);
    EXPECT_EQ(frame.width, 285);
    EXPECT_EQ(frame.height, 179);
}

TEST(DialogFont, MapsTheTemplateFaceAtNinetySixDpi)
{
    DialogFont font = ChooseDialogFont(9, "ＭＳ Ｐゴシック");
    EXPECT_EQ(font.pixelSize, 12);
    EXPECT_EQ(font.family.rfind("IPAPGothic,", 0), 0u) << font.family;
    EXPECT_EQ(ChooseDialogFont(0, "").pixelSize, 12);
    EXPECT_EQ(ChooseDialogFont(12, "Unknown Face").pixelSize, 16);
    EXPECT_NE(ChooseDialogFont(12, "Unknown Face").family.find("Sans"), std::string::npos);
}

/* The family Pango actually picks for font. */
static std::string LoadedFamily(const DialogFont &font)
{
    PangoFontMap *map = pango_cairo_font_map_get_default();
    PangoContext *context = pango_font_map_create_context(map);
    PangoFontDescription *description = pango_font_description_from_string(font.family.c_str());
    pango_font_description_set_absolute_size(description, font.pixelSize * PANGO_SCALE);
    PangoFont *loaded = pango_font_map_load_font(map, context, description);
    std::string family;
    if (loaded != nullptr) {
        PangoFontDescription *described = pango_font_describe(loaded);
        family = pango_font_description_get_family(described);
        pango_font_description_free(described);
        g_object_unref(loaded);
    }
    pango_font_description_free(description);
    g_object_unref(context);
    return family;
}

TEST(DialogFont, BaseUnitsOfIpaPGothicAtTwelvePixels)
{
    DialogFont font = ChooseDialogFont(9, "ＭＳ Ｐゴシック");
    if (LoadedFamily(font) != "IPAPGothic")
        GTEST_SKIP() << "IPAPGothic (fonts-ipafont-gothic) is not installed";
    /* Letters 368 px wide; ascent 10.56 and descent 1.44 round to 11 + 1. */
    BaseUnits base = MeasureBaseUnits(font);
    EXPECT_EQ(base.x, 7);
    EXPECT_EQ(base.y, 12);
}
