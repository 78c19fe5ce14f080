/* The program's entry point: GTK first, then the program's WinMain with
   an instance handle for the resources linked into the executable. */
#include <gtk/gtk.h>
#include <stdio.h>

#include <string>

#include "window_records.h"

/* The compiled resource file, embedded by win32layer_embed_resources(). */
extern "C" const unsigned char win32layer_resource_data[];
extern "C" const size_t win32layer_resource_size;

int main(int argc, char **argv)
{
    if (!gtk_init_check(&argc, &argv)) {
        fprintf(stderr, "%s: cannot open the display\n", argc > 0 ? argv[0] : "program");
        return 1;
    }
    std::string commandLine;
    for (int i = 1; i < argc; ++i)
        commandLine += (i > 1 ? " " : "") + std::string(argv[i]);
    HINSTANCE instance = win32layer::RegisterModule(win32layer_resource_data, win32layer_resource_size);
    return WinMain(instance, nullptr, &commandLine[0], SW_SHOWNORMAL);
}
