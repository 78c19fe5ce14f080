#include "dialog_style.h"

#include <string>

namespace win32layer {

/* Pango's "A,B" family list as CSS: "A", "B" (quotes dropped from names). */
static std::string CssFamilies(const std::string &families)
{
    std::string css = "\"";
    for (char c : families) {
        if (c == ',')
            css += "\", \"";
        else if (c != '"' && c != '\\')
            css += c;
    }
    return css + "\"";
}

GtkCssProvider *CreateDialogStyle(const DialogFont &font)
{
    std::string css = "window, menubar, menu { font-family: " + CssFamilies(font.family) +
                      "; font-size: " + std::to_string(font.pixelSize) + "px; }\n"
                      "button { min-height: 0; min-width: 0; padding: 0 2px; }\n"
                      "entry { min-height: 0; padding: 0 2px; }\n";
    GtkCssProvider *provider = gtk_css_provider_new();
    gtk_css_provider_load_from_data(provider, css.c_str(), -1, nullptr);
    return provider;
}

void ApplyDialogStyle(GtkWidget *widget, GtkCssProvider *style)
{
    gtk_style_context_add_provider(gtk_widget_get_style_context(widget), GTK_STYLE_PROVIDER(style),
                                   GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
}

}  // namespace win32layer
