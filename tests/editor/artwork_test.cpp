// The artwork painted into the built bundle: sizes and frame counts the editor relies on,
// controls that sit seamlessly on the panel, and frames that show what they stand for.

#include "editor/OrvellaLayout.h"
#include "tests/common/TestHost.h"

#include <cairo.h>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>

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
    EXPECT_EQ(panel.width(), 675);
    EXPECT_EQ(panel.height(), 386);
    for (const auto& c : kControls) {
        SCOPED_TRACE(c.bitmapId);
        const Image strip(c.bitmapId);
        ASSERT_TRUE(strip.ok());
        const bool about = c.kind == Kind::AboutScreen;
        EXPECT_EQ(strip.width(), about ? 675 : c.rect.width());
        EXPECT_EQ(strip.height(), c.frames * c.frameHeight);
        if (about) continue;
        // Every frame starts from the panel under the control, so the opaque control
        // shows no seam: its corners are the panel's.
        for (int k = 0; k < c.frames; ++k) {
            const int y = k * c.frameHeight;
            EXPECT_LE(channelDistance(strip.at(0, y), panel.at(c.rect.left, c.rect.top)), 2);
            EXPECT_LE(channelDistance(strip.at(c.rect.width() - 1, y + c.frameHeight - 1),
                                      panel.at(c.rect.right - 1, c.rect.bottom - 1)),
                      2);
        }
    }
}

TEST(Artwork, KnobPointersSweepFromSevenToFiveOClock) {
    for (const auto& c : kControls) {
        if (c.kind != Kind::Knob) continue;
        const Image strip(c.bitmapId);
        ASSERT_TRUE(strip.ok());
        for (int k = 0; k < c.frames; ++k) {
            // The centroid of the amber pointer's pixels gives its direction.
            double sx = 0, sy = 0;
            int n = 0;
            for (int y = 0; y < c.frameHeight; ++y)
                for (int x = 0; x < c.rect.width(); ++x) {
                    const uint32_t p = strip.at(x, k * c.frameHeight + y);
                    const int r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
                    if (r > 200 && g > 100 && g < 180 && b < 90) {
                        sx += x + 0.5 - c.rect.width() / 2.0;
                        sy += y + 0.5 - c.frameHeight / 2.0;
                        ++n;
                    }
                }
            ASSERT_GT(n, 10) << "frame " << k;
            double angle = std::atan2(-sy, sx) * 180 / M_PI;
            if (angle < -90) angle += 360;
            EXPECT_NEAR(angle, 225.0 - 270.0 * k / (c.frames - 1), 4.0)
                << "bitmap " << c.bitmapId << " frame " << k;
        }
    }
}

TEST(Artwork, FramesShowTheirStates) {
    for (const auto& c : kControls) {
        SCOPED_TRACE(c.bitmapId);
        const Image strip(c.bitmapId);
        const int w = c.rect.width(), h = c.frameHeight;
        switch (c.kind) {
        case Kind::Lamp: // lit when on
            EXPECT_GT(strip.brightness(1, h, 3, 3, 9, 9), strip.brightness(0, h, 3, 3, 9, 9) + 60);
            break;
        case Kind::Button: // the indicator lights, the cap sinks
            EXPECT_GT(strip.brightness(1, h, 10, 4, 17, 10),
                      strip.brightness(0, h, 10, 4, 17, 10) + 60);
            EXPECT_LT(strip.brightness(1, h, 5, 20, 22, 36), strip.brightness(0, h, 5, 20, 22, 36));
            break;
        case Kind::LearnButton:
            EXPECT_GT(strip.brightness(1, h, 3, 3, w - 3, h - 3),
                      strip.brightness(0, h, 3, 3, w - 3, h - 3) + 25);
            break;
        case Kind::Toggle: // off, on, off pressed, on pressed
            for (int k = 0; k < 4; ++k) {
                const double lamp = strip.brightness(k, h, 13, 7, 20, 13);
                const double off = strip.brightness(k % 2 ? k - 1 : k, h, 13, 7, 20, 13);
                if (k % 2) {
                    EXPECT_GT(lamp, off + 60) << k;
                }
                const double plunger = strip.brightness(k, h, 10, 38, 23, 54);
                const double released = strip.brightness(k % 2, h, 10, 38, 23, 54);
                if (k >= 2) {
                    EXPECT_LT(plunger, released - 10) << k;
                }
            }
            break;
        case Kind::Switch: // the slider stands over the chosen third
            for (int k = 0; k < 3; ++k) {
                double best = -1;
                int at = -1;
                for (int third = 0; third < 3; ++third) {
                    const int x0 = w * third / 3;
                    const double b = strip.brightness(k, h, x0, 36, x0 + w / 3, 56);
                    if (b > best) best = b, at = third;
                }
                EXPECT_EQ(at, k);
            }
            break;
        default:
            break;
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
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right - rect->left, 675);
    EXPECT_EQ(rect->bottom - rect->top, 386);
}

} // namespace
