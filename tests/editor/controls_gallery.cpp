// Draws the control library offscreen into a PNG: the gallery picture in the documentation
// comes from here.
//   orvella_controls_gallery <bundle resource folder> <output.png>

#include "tests/editor/controls_gallery.h"
#include "gui/CDrawContext.h"
#include "gui/PluginBundle.h"
#include "gui/platform/Surface.h"

#include <cairo.h>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: orvella_controls_gallery <resource folder> <output.png>\n");
        return 2;
    }
    GUI::setResourceFolderOverride(argv[1]);
    GUI::CFrame* frame = gallery::makeFrame(nullptr);
    frame->idle();
    auto* image = static_cast<cairo_surface_t*>(frame->getBackBuffer().getSurface().handle());
    const bool ok = cairo_surface_write_to_png(image, argv[2]) == CAIRO_STATUS_SUCCESS;
    frame->forget();
    return ok ? 0 : 1;
}
