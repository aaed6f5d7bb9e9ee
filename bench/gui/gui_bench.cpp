// Cost of the editor's frame: a full repaint of a window the editor's size with its
// nineteen controls, and an idle pass when nothing changed.

#include "gui/CAnimKnob.h"
#include "gui/CBitmap.h"
#include "gui/CFrame.h"
#include "gui/CHorizontalSwitch.h"
#include "gui/CMovieBitmap.h"
#include "gui/CMovieButton.h"
#include "gui/platform/Painter.h"
#include "gui/platform/Surface.h"

#include <benchmark/benchmark.h>
#include <memory>

using namespace GUI;

namespace {

// Striped artwork of the given size, so that drawing moves real pixels.
CBitmap* artwork(int width, int height) {
    auto image = std::make_unique<platform::Surface>(width, height);
    {
        platform::Painter painter(*image);
        for (int y = 0; y < height; y += 4)
            painter.fillRect(CRect(0, y, width, y + 2),
                             CColor{uint8_t(y), uint8_t(255 - y), 128, 255});
    }
    return new CBitmap(std::move(image));
}

struct Layout {
    enum Kind { Knob, Button, Switch, Lamp } kind;
    CRect rect;
};

// The editor's arrangement: six knobs, two switches, six buttons, two lamps, two more
// buttons in place of the toggles and the learn button.
constexpr Layout kLayout[] = {
    {Layout::Knob, {62, 59, 120, 117}},     {Layout::Knob, {403, 59, 461, 117}},
    {Layout::Knob, {52, 146, 110, 204}},    {Layout::Knob, {405, 145, 463, 203}},
    {Layout::Knob, {43, 222, 101, 280}},    {Layout::Knob, {409, 221, 467, 279}},
    {Layout::Switch, {222, 226, 272, 287}}, {Layout::Switch, {312, 226, 362, 287}},
    {Layout::Button, {139, 72, 166, 116}},  {Layout::Button, {191, 72, 218, 116}},
    {Layout::Button, {301, 72, 328, 116}},  {Layout::Button, {126, 228, 153, 272}},
    {Layout::Button, {326, 153, 353, 197}}, {Layout::Lamp, {148, 135, 160, 147}},
    {Layout::Lamp, {365, 135, 377, 147}},   {Layout::Button, {529, 251, 562, 325}},
    {Layout::Button, {597, 284, 630, 358}}, {Layout::Button, {535, 364, 588, 381}},
};

CFrame* editorFrame() {
    auto* frame = new CFrame(CRect(0, 0, 675, 386), nullptr, nullptr);
    CBitmap* background = artwork(675, 386);
    frame->setBackground(background);
    background->forget();
    long tag = 0;
    for (const Layout& l : kLayout) {
        const auto w = int(l.rect.width()), h = int(l.rect.height());
        CControl* c = nullptr;
        CBitmap* strip = nullptr;
        switch (l.kind) {
        case Layout::Knob:
            strip = artwork(w, h * 33);
            c = new CAnimKnob(l.rect, nullptr, tag, 33, h, strip);
            break;
        case Layout::Switch:
            strip = artwork(w, h * 3);
            c = new CHorizontalSwitch(l.rect, nullptr, tag, 3, h, 3, strip);
            break;
        case Layout::Button:
            strip = artwork(w, h * 2);
            c = new CMovieButton(l.rect, nullptr, tag, h, strip);
            break;
        case Layout::Lamp:
            strip = artwork(w, h * 2);
            c = new CMovieBitmap(l.rect, nullptr, tag, 2, h, strip);
            break;
        }
        strip->forget();
        c->setValue(0.5f);
        frame->addView(c);
        ++tag;
    }
    frame->idle();
    return frame;
}

void BM_FullRepaint675x386(benchmark::State& state) {
    CFrame* frame = editorFrame();
    for (auto _ : state) {
        frame->invalidRect(frame->getViewSize());
        frame->idle();
    }
    frame->forget();
}
BENCHMARK(BM_FullRepaint675x386)->Unit(benchmark::kMicrosecond);

void BM_IdleNothingDirty(benchmark::State& state) {
    CFrame* frame = editorFrame();
    for (auto _ : state) frame->idle();
    frame->forget();
}
BENCHMARK(BM_IdleNothingDirty);

void BM_IdleOneKnobChanged(benchmark::State& state) {
    CFrame* frame = editorFrame();
    auto* knob = static_cast<CControl*>(frame->getView(0));
    float v = 0;
    for (auto _ : state) {
        v = v > 0.9f ? 0.f : v + 0.05f;
        knob->setValue(v);
        frame->idle();
    }
    frame->forget();
}
BENCHMARK(BM_IdleOneKnobChanged)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
