#include "dialog_font.h"

#include <pango/pangocairo.h>

#include "dialog_units.h"

namespace win32layer {

enum { SCREEN_DPI = 96, POINTS_PER_INCH = 72, DEFAULT_POINT_SIZE = 9 };

/* Faces that templates name, and the installed fonts with their metrics. */
static const struct {
    const char *face;
    const char *family;
} FACE_SUBSTITUTES[] = {
    {"ＭＳ Ｐゴシック", "IPAPGothic"},
    {"ＭＳ ゴシック", "IPAGothic"},
    {"MS PGothic", "IPAPGothic"},
    {"MS Gothic", "IPAGothic"},
};

/* Any Japanese sans font, when the substitute is not installed. */
static const char FALLBACK_FAMILIES[] = "IPAPGothic,IPAGothic,Noto Sans CJK JP,VL PGothic,Sans";

DialogFont ChooseDialogFont(int pointSize, const std::string &faceName)
{
    DialogFont font;
    font.pixelSize = MulDiv(pointSize > 0 ? pointSize : DEFAULT_POINT_SIZE, SCREEN_DPI, POINTS_PER_INCH);
    font.family = FALLBACK_FAMILIES;
    for (const auto &substitute : FACE_SUBSTITUTES)
        if (faceName == substitute.face)
            font.family = std::string(substitute.family) + "," + FALLBACK_FAMILIES;
    return font;
}

/* A context with unhinted metrics: the character cell rounds each of
   ascent and descent to whole pixels, as GDI's text metrics do, instead
   of growing each to the next pixel. */
static PangoContext *CreateMeasuringContext()
{
    PangoContext *context = pango_font_map_create_context(pango_cairo_font_map_get_default());
    cairo_font_options_t *options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    pango_cairo_context_set_font_options(context, options);
    cairo_font_options_destroy(options);
    return context;
}

BaseUnits MeasureBaseUnits(const DialogFont &font)
{
    PangoContext *context = CreateMeasuringContext();
    static const char LETTERS[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    PangoFontDescription *description = pango_font_description_new();
    pango_font_description_set_family(description, font.family.c_str());
    pango_font_description_set_absolute_size(description, font.pixelSize * PANGO_SCALE);

    PangoLayout *layout = pango_layout_new(context);
    pango_layout_set_font_description(layout, description);
    pango_layout_set_text(layout, LETTERS, -1);
    int width = 0;
    pango_layout_get_pixel_size(layout, &width, nullptr);
    g_object_unref(layout);

    PangoFontMetrics *metrics = pango_context_get_metrics(context, description, nullptr);
    BaseUnits base;
    base.x = AverageCharWidth(width);
    base.y = PANGO_PIXELS(pango_font_metrics_get_ascent(metrics)) +
             PANGO_PIXELS(pango_font_metrics_get_descent(metrics));
    pango_font_metrics_unref(metrics);
    pango_font_description_free(description);
    g_object_unref(context);
    return base;
}

}  // namespace win32layer
