#include "gui/platform/Painter.h"

#include "gui/platform/Surface.h"

#include <cairo.h>

namespace GUI::platform {

namespace {
cairo_t* ctx(void* p) {
    return static_cast<cairo_t*>(p);
}

void setColor(cairo_t* cr, const CColor& c) {
    cairo_set_source_rgba(cr, c.red / 255.0, c.green / 255.0, c.blue / 255.0, c.alpha / 255.0);
}

void rectPath(cairo_t* cr, const CRect& r) {
    cairo_rectangle(cr, double(r.left), double(r.top), double(r.width()), double(r.height()));
}
} // namespace

Painter::Painter(Surface& target)
    : cr(cairo_create(static_cast<cairo_surface_t*>(target.handle()))) {
    cairo_set_antialias(ctx(cr), CAIRO_ANTIALIAS_NONE);
}

Painter::~Painter() {
    cairo_surface_flush(cairo_get_target(ctx(cr)));
    cairo_destroy(ctx(cr));
}

void Painter::save() {
    cairo_save(ctx(cr));
}

void Painter::restore() {
    cairo_restore(ctx(cr));
}

void Painter::clip(const CRect& r) {
    rectPath(ctx(cr), r);
    cairo_clip(ctx(cr));
}

void Painter::strokeRect(const CRect& r, double lineWidth, const CColor& c) {
    if (r.isEmpty() || lineWidth <= 0) return;
    const double inset = lineWidth / 2;
    cairo_rectangle(ctx(cr), double(r.left) + inset, double(r.top) + inset,
                    double(r.width()) - lineWidth, double(r.height()) - lineWidth);
    setColor(ctx(cr), c);
    cairo_set_line_width(ctx(cr), lineWidth);
    cairo_set_line_join(ctx(cr), CAIRO_LINE_JOIN_MITER);
    cairo_stroke(ctx(cr));
}

void Painter::fillRect(const CRect& r, const CColor& c) {
    if (r.isEmpty()) return;
    rectPath(ctx(cr), r);
    setColor(ctx(cr), c);
    cairo_fill(ctx(cr));
}

void Painter::line(const CPoint& from, const CPoint& to, double lineWidth, const CColor& c) {
    cairo_move_to(ctx(cr), double(from.h) + 0.5, double(from.v) + 0.5);
    cairo_line_to(ctx(cr), double(to.h) + 0.5, double(to.v) + 0.5);
    setColor(ctx(cr), c);
    cairo_set_line_width(ctx(cr), lineWidth);
    cairo_set_line_cap(ctx(cr), CAIRO_LINE_CAP_SQUARE);
    cairo_stroke(ctx(cr));
}

void Painter::drawImage(const Surface& image, const CRect& dest, const CPoint& source,
                        double alpha) {
    if (dest.isEmpty() || alpha <= 0) return;
    cairo_t* c = ctx(cr);
    cairo_save(c);
    rectPath(c, dest);
    cairo_clip(c);
    cairo_set_source_surface(c, static_cast<cairo_surface_t*>(image.handle()),
                             double(dest.left - source.h), double(dest.top - source.v));
    // No extension: past the image's own pixels nothing is drawn.
    cairo_pattern_set_extend(cairo_get_source(c), CAIRO_EXTEND_NONE);
    if (alpha >= 1)
        cairo_paint(c);
    else
        cairo_paint_with_alpha(c, alpha);
    cairo_restore(c);
}

} // namespace GUI::platform
