// Orvella.so copied without its bundle, as plug-ins are often installed on Linux: its editor
// draws from the artwork built into the module, and a bundle's own files still win over it.
// Needs an X server; without one the tests are skipped.

#include "tests/editor/editor_test_support.h"

#include <cairo.h>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
// Last: see there.
#include "tests/gui/x11_test_support.h"

namespace fs = std::filesystem;

namespace {

constexpr int kWidth = 675, kHeight = 386;
constexpr uint32_t kReplaced = 0x12ab34;

// The editor of the module at `path` as the screen shows it, compared with the editor
// drawn offscreen in this process from the built bundle's files: differing pixels, and
// pixels of the replaced panel's colour.
std::pair<int, int> drawnByModule(Display* display, const fs::path& path) {
    TestHost host(path.string());
    AEffect* effect = host.loaded() ? host.instantiate() : nullptr;
    if (!effect) return {-1, -1};
    const Window parent =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 20, 20, kWidth, kHeight, 0, 0, 0);
    XMapRaised(display, parent);
    XSync(display, False);
    TestHost::dispatch(effect, effEditOpen, 0, 0, reinterpret_cast<void*>(parent));
    xtest::idleUntil([&] { TestHost::dispatch(effect, effEditIdle), XSync(display, False); },
                     [] { return false; }, 300);
    const xtest::Screenshot shot(display, parent, kWidth, kHeight);

    const int differing = edtest::differencesFromOffscreen(shot);
    int replaced = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) replaced += shot.getPixel(x, y) == kReplaced;
    TestHost::dispatch(effect, effEditClose);
    host.close(effect);
    XDestroyWindow(display, parent);
    return {differing, replaced};
}

void writePanel(const fs::path& path) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight);
    cairo_t* cr = cairo_create(s);
    cairo_set_source_rgb(cr, 0x12 / 255.0, 0xab / 255.0, 0x34 / 255.0);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_write_to_png(s, path.c_str());
    cairo_surface_destroy(s);
}

TEST(BareModule, DrawsItsOwnArtworkUnlessTheBundleHoldsAFile) {
    Display* display = xtest::openDisplay();
    if (!display) GTEST_SKIP() << "No X display: the editor window is not tested";
    std::string pattern = (fs::temp_directory_path() / "orvella-bare-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    const fs::path dir = pattern,
                   built = builtModule("Orvella.vst/Contents/x86_64-linux/Orvella.so");
    // A copy alone in a folder, and one in a bundle whose panel bitmap was replaced.
    fs::copy_file(built, dir / "Orvella.so");
    const fs::path bundle = dir / "Other.vst/Contents";
    fs::create_directories(bundle / "x86_64-linux");
    fs::create_directories(bundle / "Resources");
    fs::copy_file(built, bundle / "x86_64-linux/Orvella.so");
    writePanel(bundle / "Resources/bmp10001.png");

    const auto [bareDiffering, bareReplaced] = drawnByModule(display, dir / "Orvella.so");
    EXPECT_EQ(bareDiffering, 0);
    EXPECT_EQ(bareReplaced, 0);
    const auto [bundleDiffering, bundleReplaced] =
        drawnByModule(display, bundle / "x86_64-linux/Orvella.so");
    EXPECT_GT(bundleDiffering, 0);
    EXPECT_GT(bundleReplaced, kWidth * kHeight / 4);
    XCloseDisplay(display);
    fs::remove_all(dir);
}

} // namespace
