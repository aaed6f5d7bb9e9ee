#pragma once

// Shared helpers for the GUI tests: generated strip artwork, an offscreen frame and a
// listener that records what it hears.

#include "gui/CBitmap.h"
#include "gui/CControl.h"
#include "gui/CControlListener.h"
#include "gui/CDrawContext.h"
#include "gui/CFrame.h"
#include "gui/GUIEditorInterface.h"
#include "gui/PluginBundle.h"

#include <cairo.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace guitest {

// Opaque colour of strip frame k: distinct for every k below 256.
inline uint32_t frameColor(int k) {
    return 0xff000000u | uint32_t(k) << 16 | uint32_t(255 - k) << 8 | 0x55u;
}

// Writes a strip of `frames` solid frames, each width x frameHeight, as <folder>/<name>.png,
// in the colours of frames first, first + 1, ...
inline void writeStrip(const std::string& folder, const std::string& name, int width,
                       int frameHeight, int frames, int first = 0) {
    cairo_surface_t* s =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, frameHeight * frames);
    cairo_t* cr = cairo_create(s);
    for (int k = 0; k < frames; ++k) {
        const uint32_t c = frameColor(first + k);
        cairo_set_source_rgb(cr, ((c >> 16) & 255) / 255.0, ((c >> 8) & 255) / 255.0,
                             (c & 255) / 255.0);
        cairo_rectangle(cr, 0, k * frameHeight, width, frameHeight);
        cairo_fill(cr);
    }
    cairo_destroy(cr);
    cairo_surface_write_to_png(s, (folder + "/" + name + ".png").c_str());
    cairo_surface_destroy(s);
}

// A private bundle for one test program, removed at exit: its Contents/Resources is where
// bitmaps and fonts are read from.
class ResourceFolder {
public:
    ResourceFolder()
        : root(std::filesystem::temp_directory_path() /
               ("orvella-gui-" + std::to_string(::getpid()))),
          path(root / "Contents" / "Resources") {
        std::filesystem::create_directories(path);
        GUI::setResourceFolderOverride(path.string());
    }
    ~ResourceFolder() {
        GUI::setResourceFolderOverride("");
        std::filesystem::remove_all(root);
    }
    // Writes bmp<id>.png as a strip and loads it.
    GUI::CBitmap* strip(int id, int width, int frameHeight, int frames) const {
        writeStrip(path.string(), name(id), width, frameHeight, frames);
        return new GUI::CBitmap(id);
    }
    static std::string name(int id) {
        char text[16];
        std::snprintf(text, sizeof text, "bmp%05d", id);
        return text;
    }
    std::string file(const std::string& name) const { return (path / name).string(); }
    void write(const std::string& name, const std::vector<uint8_t>& bytes) const {
        std::ofstream(path / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    // Contents/Info.plist naming a font for each entry ("ZudariraInfo_<id>").
    void info(const std::vector<std::pair<long, std::string>>& fonts) const {
        std::ofstream f(root / "Contents" / "Info.plist");
        f << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>\n";
        for (const auto& [id, font] : fonts)
            f << "<key>ZudariraInfo_" << id << "</key><string>" << font << "</string>\n";
        f << "</dict></plist>\n";
    }
    std::filesystem::path root, path;
};

// Which strip frame fills `rect` of the image: k, or -1 when the area is not one frame.
inline int shownFrame(const GUI::COffscreenContext& image, const GUI::CRect& rect) {
    const uint32_t first = image.getPixel(rect.left, rect.top);
    for (GUI::CCoord y = rect.top; y < rect.bottom; ++y)
        for (GUI::CCoord x = rect.left; x < rect.right; ++x)
            if (image.getPixel(x, y) != first) return -1;
    for (int k = 0; k < 256; ++k)
        if (frameColor(k) == first) return k;
    return -1;
}

struct RecordingListener : GUI::CControlListener {
    void valueChanged(GUI::CControl* c) override { values.push_back(c->getValue()); }
    int32_t controlModifierClicked(GUI::CControl*, GUI::CButtonState b) override {
        modifierClicks.push_back(b);
        return claimModifierClicks;
    }
    void controlBeginEdit(GUI::CControl*) override { ++begins; }
    void controlEndEdit(GUI::CControl*) override { ++ends; }

    std::vector<float> values;
    std::vector<GUI::CButtonState> modifierClicks;
    int32_t claimModifierClicks = 0;
    int begins = 0;
    int ends = 0;
};

struct StubEditor : GUI::GUIEditorInterface {
    void doIdleStuff() override { ++idles; }
    int32_t getKnobMode() const override { return knobMode; }
    void beginEdit(long index) override { edits.push_back(index); }
    void endEdit(long index) override { edits.push_back(-1 - index); }

    int32_t knobMode = GUI::kLinearMode;
    int idles = 0;
    std::vector<long> edits; // begin as the index, end as -1 - index
};

// An offscreen frame W x H over a private resource folder, its controls heard by `listener`.
template <int W, int H, class Frame = GUI::CFrame> class OffscreenFrame : public ::testing::Test {
protected:
    void TearDown() override {
        if (frame) frame->forget();
    }
    template <class View> View* add(View* view) {
        frame->addView(view);
        return view;
    }
    // The strip frame that `view` shows after an idle pass.
    int shown(const GUI::CView* view) {
        frame->idle();
        return shownFrame(frame->getBackBuffer(), view->getViewSize());
    }

    ResourceFolder resources;
    StubEditor editor;
    RecordingListener listener;
    Frame* frame = new Frame(GUI::CRect(0, 0, W, H), nullptr, &editor);
};

// Mouse steps through the frame, the point taken by value.
inline void down(GUI::CFrame& frame, GUI::CPoint at, GUI::CButtonState buttons = GUI::kLButton) {
    frame.onMouseDown(at, buttons);
}
inline void move(GUI::CFrame& frame, GUI::CPoint at, GUI::CButtonState buttons = GUI::kLButton) {
    frame.onMouseMoved(at, buttons);
}
inline void up(GUI::CFrame& frame, GUI::CPoint at, GUI::CButtonState buttons = GUI::kLButton) {
    frame.onMouseUp(at, buttons);
}
inline void click(GUI::CFrame& frame, GUI::CPoint at, GUI::CButtonState buttons = GUI::kLButton) {
    down(frame, at, buttons);
    up(frame, at, buttons);
}

} // namespace guitest
