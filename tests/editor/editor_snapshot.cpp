// Draws the open editor offscreen, exactly as the effect shows it, into a PNG file: the
// picture of the editor in the documentation comes from here.
//   orvella_editor_snapshot <artwork folder> <output.png>

#include "editor/OrvellaEditor.h"
#include "effect/Orvella.h"
#include "gui/CDrawContext.h"
#include "gui/CFrame.h"
#include "gui/PluginBundle.h"
#include "gui/platform/Surface.h"

#include <cairo.h>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: orvella_editor_snapshot <artwork folder> <output.png>\n");
        return 2;
    }
    GUI::setResourceFolderOverride(argv[1]);
    Orvella effect(nullptr);
    auto* editor = static_cast<OrvellaEditor*>(effect.getEditor());
    editor->open(nullptr);
    editor->idle();
    auto* image =
        static_cast<cairo_surface_t*>(editor->getFrame()->getBackBuffer().getSurface().handle());
    const bool ok = cairo_surface_write_to_png(image, argv[2]) == CAIRO_STATUS_SUCCESS;
    editor->close();
    return ok ? 0 : 1;
}
