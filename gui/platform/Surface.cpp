#include "gui/platform/Surface.h"

#include <algorithm>
#include <cairo.h>

namespace GUI::platform {

namespace {
cairo_surface_t* native(void* s) {
    return static_cast<cairo_surface_t*>(s);
}
} // namespace

Surface::Surface(int width, int height)
    : Surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width > 0 ? width : 0,
                                         height > 0 ? height : 0)) {}

Surface::Surface(void* s)
    : surface(s), w(cairo_image_surface_get_width(native(s))),
      h(cairo_image_surface_get_height(native(s))) {}

Surface::~Surface() {
    cairo_surface_destroy(native(surface));
}

std::unique_ptr<Surface> Surface::loadPng(const std::string& path) {
    return fromDecoded(cairo_image_surface_create_from_png(path.c_str()));
}

std::unique_ptr<Surface> Surface::loadPng(const unsigned char* data, std::size_t size) {
    struct Reader {
        const unsigned char* next;
        std::size_t left;
    } reader{data, size};
    const auto read = [](void* closure, unsigned char* out, unsigned int length) {
        auto& r = *static_cast<Reader*>(closure);
        if (length > r.left) return CAIRO_STATUS_READ_ERROR;
        std::copy(r.next, r.next + length, out);
        r.next += length;
        r.left -= length;
        return CAIRO_STATUS_SUCCESS;
    };
    return fromDecoded(cairo_image_surface_create_from_png_stream(read, &reader));
}

std::unique_ptr<Surface> Surface::fromDecoded(void* decoded) {
    cairo_surface_t* s = native(decoded);
    if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(s);
        return nullptr;
    }
    if (cairo_image_surface_get_format(s) == CAIRO_FORMAT_ARGB32)
        return std::unique_ptr<Surface>(new Surface(s));
    // Opaque or palette images come in other formats: normalise so pixel() reads one layout.
    auto copy = std::make_unique<Surface>(cairo_image_surface_get_width(s),
                                          cairo_image_surface_get_height(s));
    cairo_t* cr = cairo_create(native(copy->surface));
    cairo_set_source_surface(cr, s, 0, 0);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_destroy(s);
    copy->alpha = false;
    return copy;
}

uint32_t Surface::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= w || y >= h) return 0;
    return reinterpret_cast<const uint32_t*>(data() + static_cast<ptrdiff_t>(y) * stride())[x];
}

const unsigned char* Surface::data() const {
    cairo_surface_flush(native(surface));
    return cairo_image_surface_get_data(native(surface));
}

int Surface::stride() const {
    return cairo_image_surface_get_stride(native(surface));
}

std::unique_ptr<Surface> Surface::withoutColor(const CColor& c) const {
    auto copy = std::make_unique<Surface>(w, h);
    cairo_t* cr = cairo_create(native(copy->surface));
    cairo_set_source_surface(cr, native(surface), 0, 0);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_flush(native(copy->surface));
    const uint32_t key = 0xff000000u | uint32_t(c.red) << 16 | uint32_t(c.green) << 8 | c.blue;
    unsigned char* data = cairo_image_surface_get_data(native(copy->surface));
    const int stride = cairo_image_surface_get_stride(native(copy->surface));
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + static_cast<ptrdiff_t>(y) * stride);
        for (int x = 0; x < w; ++x)
            if (row[x] == key) row[x] = 0;
    }
    cairo_surface_mark_dirty(native(copy->surface));
    return copy;
}

} // namespace GUI::platform
