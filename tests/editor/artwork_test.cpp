// The artwork painted into the built bundle: sizes and frame counts the editor relies on,
// controls that sit seamlessly on the panel, and frames that show what they stand for.

#include "editor/OrvellaLayout.h"
#include "tests/common/TestHost.h"

#include <cairo.h>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>

using OrvellaLayout::kControls;
using OrvellaLayout::Kind;

namespace {

struct Image {
    explicit Image(int id) {
        char name[64];
        std::snprintf(name, sizeof name, "Orvella.vst/Contents/Resources/bmp%05d.png", id);
        s = cairo_image_surface_create_from_png(builtModule(name).c_str());
    }
    ~Image() { cairo_surface_destroy(s); }
    bool ok() const { return cairo_surface_status(s) == CAIRO_STATUS_SUCCESS; }
    int width() const { return cairo_image_surface_get_width(s); }
    int height() const { return cairo_image_surface_get_height(s); }
    uint32_t at(int x, int y) const {
        const auto* row = cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s);
        return reinterpret_cast<const uint32_t*>(row)[x];
    }
    // Mean of red, green and blue over an area of frame `frame`.
    double brightness(int frame, int frameHeight, int x0, int y0, int x1, int y1) const {
        double sum = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x) {
                const uint32_t p = at(x, frame * frameHeight + y);
                sum += ((p >> 16) & 255) + ((p >> 8) & 255) + (p & 255);
            }
        return sum / (3.0 * (x1 - x0) * (y1 - y0));
    }
    cairo_surface_t* s;
};

int channelDistance(uint32_t a, uint32_t b) {
    int d = 0;
    for (int shift = 0; shift <= 24; shift += 8)
        d = std::max(d, std::abs(int((a >> shift) & 255) - int((b >> shift) & 255)));
    return d;
}

TEST(Artwork, EveryBitmapHasTheSizeAndFramesTheEditorExpects) {
    const Image panel(OrvellaLayout::kBackgroundBitmap);
    ASSERT_TRUE(panel.ok());
    EXPECT_EQ(panel.width() * 1000 + panel.height(), 675386);
    for (const auto& c : kControls) {
        SCOPED_TRACE(c.bitmapId);
        const Image strip(c.bitmapId);
        ASSERT_TRUE(strip.ok());
        const bool about = c.kind == Kind::AboutScreen;
        EXPECT_EQ(strip.width(), about ? 675 : c.rect.width());
        EXPECT_EQ(strip.height(), c.frames * c.frameHeight);
        // Every frame starts from the panel under the control, so the opaque control
        // shows no seam: its corners are the panel's.
        for (int k = 0; k < c.frames && !about; ++k) {
            const int y = k * c.frameHeight, r = c.rect.right - 1, b = c.rect.bottom - 1;
            EXPECT_LE(channelDistance(strip.at(0, y), panel.at(c.rect.left, c.rect.top)), 2);
            EXPECT_LE(channelDistance(strip.at(c.rect.width() - 1, y + c.frameHeight - 1),
                                      panel.at(r, b)),
                      2);
        }
    }
}

TEST(Artwork, FramesShowTheirStates) {
    // Areas that a frame shows brighter than another: lamps and indicators light; a pressed
    // cap or plunger sinks into shadow. Toggle frames: off, on, off pressed, on pressed.
    struct Brighter {
        Kind kind;
        int lit, dark, x0, y0, x1, y1;
        double margin;
    };
    const Brighter brighter[] = {
        {Kind::Lamp, 1, 0, 3, 3, 9, 9, 60},       {Kind::Button, 1, 0, 10, 4, 17, 10, 60},
        {Kind::Button, 0, 1, 5, 20, 22, 36, 0},   {Kind::LearnButton, 1, 0, 3, 3, 50, 14, 25},
        {Kind::Toggle, 1, 0, 13, 7, 20, 13, 60},  {Kind::Toggle, 3, 2, 13, 7, 20, 13, 60},
        {Kind::Toggle, 0, 2, 10, 38, 23, 54, 10}, {Kind::Toggle, 1, 3, 10, 38, 23, 54, 10},
    };
    for (const auto& c : kControls) {
        SCOPED_TRACE(c.bitmapId);
        const Image strip(c.bitmapId);
        const int w = c.rect.width(), h = c.frameHeight;
        const auto lit = [&](int k, int x0, int y0, int x1, int y1) {
            return strip.brightness(k, h, x0, y0, x1, y1);
        };
        if (c.kind == Kind::Knob) // the amber pointer sweeps from seven to five o'clock
            for (int k = 0; k < c.frames; ++k) {
                double sx = 0, sy = 0;
                int n = 0;
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x) {
                        const uint32_t p = strip.at(x, k * h + y);
                        const int r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
                        if (r > 200 && g > 100 && g < 180 && b < 90)
                            sx += x + 0.5 - w / 2.0, sy += y + 0.5 - h / 2.0, ++n;
                    }
                ASSERT_GT(n, 10) << "frame " << k;
                const double angle = std::atan2(-sy, sx) * 180 / M_PI;
                EXPECT_NEAR(angle < -90 ? angle + 360 : angle, 225.0 - 270.0 * k / (c.frames - 1),
                            4.0)
                    << k;
            }
        for (const Brighter& t : brighter) {
            if (t.kind != c.kind) continue;
            EXPECT_GT(lit(t.lit, t.x0, t.y0, t.x1, t.y1),
                      lit(t.dark, t.x0, t.y0, t.x1, t.y1) + t.margin)
                << t.lit << " over " << t.dark;
        }
        if (c.kind == Kind::Switch) // the slider stands over the chosen third
            for (int k = 0; k < 3; ++k) {
                int at = 0;
                for (int third = 1; third < 3; ++third)
                    if (lit(k, w * third / 3, 36, w * third / 3 + w / 3, 56) >
                        lit(k, w * at / 3, 36, w * at / 3 + w / 3, 56))
                        at = third;
                EXPECT_EQ(at, k);
            }
    }
}

TEST(Artwork, BundleAnswersItsEditorsSizeBeforeTheWindowOpens) {
    TestHost host(builtModule("Orvella.vst/Contents/x86_64-linux/Orvella.so"));
    AEffect* effect = host.instantiate();
    ASSERT_NE(effect, nullptr);
    EXPECT_TRUE(effect->flags & effFlagsHasEditor);
    ERect* rect = nullptr;
    ASSERT_EQ(TestHost::dispatch(effect, effEditGetRect, 0, 0, &rect), 1);
    EXPECT_EQ((rect->right - rect->left) * 1000 + rect->bottom - rect->top, 675386);
}

} // namespace
