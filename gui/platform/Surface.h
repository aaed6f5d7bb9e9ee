#pragma once

#include "gui/CColor.h"
#include "gui/CRect.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace GUI::platform {

// A 32-bit ARGB pixel image (premultiplied alpha, one uint32 per pixel as 0xAARRGGBB).
// Backs both decoded bitmaps and offscreen drawing targets. [ui thread]
class Surface final {
public:
    // A transparent image of the given size.
    Surface(int width, int height);
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    // Decodes a PNG file; null when the file is missing or not a PNG.
    static std::unique_ptr<Surface> loadPng(const std::string& path);
    // Decodes PNG bytes held in memory; null when they are not a PNG.
    static std::unique_ptr<Surface> loadPng(const unsigned char* data, std::size_t size);

    int width() const { return w; }
    int height() const { return h; }
    // The pixel at (x, y); 0 outside the image.
    uint32_t pixel(int x, int y) const;
    // The pixel rows, `stride` bytes apart, after any pending drawing has landed.
    const unsigned char* data() const;
    int stride() const;
    // A copy in which every opaque pixel of the given colour is fully transparent.
    std::unique_ptr<Surface> withoutColor(const CColor& color) const;
    // False for an image decoded from a file without an alpha channel.
    bool hasAlpha() const { return alpha; }

    void* handle() const { return surface; } // the drawing layer's own object

private:
    explicit Surface(void* native);
    // Takes a decoded image, null when its decoding failed.
    static std::unique_ptr<Surface> fromDecoded(void* decoded);

    void* surface;
    int w;
    int h;
    bool alpha = true;
};

} // namespace GUI::platform
