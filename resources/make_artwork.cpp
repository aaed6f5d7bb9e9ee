// Paints the editor's artwork: the panel, every control's strip of frames and the about
// screen, as bmp10001.png ... bmp10020.png in the folder given. Each control's frames are
// painted over its own piece of the panel, so the controls sit seamlessly on it although
// the editor draws them opaque.
//
//   make_artwork <output folder> <version text>

#include "editor/OrvellaLayout.h"
#include "resources/ArtworkPalette.h"

#include <cairo.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace ArtworkPalette;
using OrvellaLayout::Kind;

// Dark hammered enamel under the shared cream print and amber accent.
constexpr Rgb kPanelTop{0.205, 0.170, 0.145};
constexpr Rgb kPanelBottom{0.125, 0.102, 0.088};
constexpr Rgb kInkDark{0.160, 0.125, 0.105};
constexpr Rgb kLampRed{1.000, 0.330, 0.150};

constexpr const char* kFace = "DejaVu Sans Condensed";

bool failed = false;

// Ends a drawing, noting whether any of it failed.
void finish(cairo_t* cr) {
    if (cairo_status(cr) != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "make_artwork: %s\n", cairo_status_to_string(cairo_status(cr)));
        failed = true;
    }
    cairo_destroy(cr);
}

void addStop(cairo_pattern_t* p, double at, const Rgb& c, double alpha = 1.0) {
    cairo_pattern_add_color_stop_rgba(p, at, c.r, c.g, c.b, alpha);
}

void fillWith(cairo_t* cr, cairo_pattern_t* p) {
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

void roundedRect(cairo_t* cr, double x0, double y0, double x1, double y1, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x1 - r, y0 + r, r, -kPi / 2, 0);
    cairo_arc(cr, x1 - r, y1 - r, r, 0, kPi / 2);
    cairo_arc(cr, x0 + r, y1 - r, r, kPi / 2, kPi);
    cairo_arc(cr, x0 + r, y0 + r, r, kPi, 3 * kPi / 2);
    cairo_close_path(cr);
}

void circle(cairo_t* cr, double x, double y, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x, y, r, 0, 2 * kPi);
}

enum class Align { Left, Center, Right };

// Capitals spaced out a little, as printed panels have them.
void label(cairo_t* cr, double x, double baseline, const std::string& s, double size, const Rgb& c,
           Align align = Align::Center, double tracking = 0.6, bool bold = true,
           const char* face = kFace) {
    cairo_select_font_face(cr, face, CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
    // One glyph per UTF-8 sequence: a lead byte and its continuation bytes.
    std::vector<std::string> glyphs;
    for (char ch : s) {
        if ((static_cast<unsigned char>(ch) & 0xc0) == 0x80 && !glyphs.empty())
            glyphs.back() += ch;
        else
            glyphs.emplace_back(1, ch);
    }
    std::vector<double> advances;
    double width = 0;
    for (const std::string& g : glyphs) {
        cairo_text_extents_t e;
        cairo_text_extents(cr, g.c_str(), &e);
        advances.push_back(e.x_advance);
        width += e.x_advance;
    }
    if (!glyphs.empty()) width += tracking * double(glyphs.size() - 1);
    double pen = align == Align::Left ? x : align == Align::Center ? x - width / 2 : x - width;
    setColor(cr, c);
    for (size_t i = 0; i < glyphs.size(); ++i) {
        cairo_move_to(cr, pen, baseline);
        cairo_show_text(cr, glyphs[i].c_str());
        pen += advances[i] + tracking;
    }
}

// --- panel ----------------------------------------------------------------------------

// Fine deterministic speckle, like hammered enamel.
void hammertone(cairo_surface_t* s) {
    cairo_surface_flush(s);
    unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    const int w = cairo_image_surface_get_width(s);
    const int h = cairo_image_surface_get_height(s);
    uint32_t seed = 0x2545f491u;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const int n = int(seed >> 28) - 8; // -8 .. 7
            auto* px = reinterpret_cast<uint32_t*>(data + y * stride) + x;
            uint32_t out = *px & 0xff000000u;
            for (int shift = 0; shift <= 16; shift += 8) {
                int v = int((*px >> shift) & 255u) + n / 3;
                v = v < 0 ? 0 : v > 255 ? 255 : v;
                out |= uint32_t(v) << shift;
            }
            *px = out;
        }
    cairo_surface_mark_dirty(s);
}

void screw(cairo_t* cr, double x, double y, double r, double slotAngle) {
    circle(cr, x + 0.6, y + 0.8, r + 0.8);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.45);
    cairo_fill(cr);
    cairo_pattern_t* p = cairo_pattern_create_radial(x - r / 3, y - r / 3, 0.5, x, y, r);
    addStop(p, 0, {0.93, 0.92, 0.88});
    addStop(p, 0.7, {0.62, 0.60, 0.56});
    addStop(p, 1, {0.36, 0.35, 0.33});
    circle(cr, x, y, r);
    fillWith(cr, p);
    cairo_set_line_width(cr, r / 3.2);
    cairo_set_source_rgba(cr, 0.16, 0.15, 0.14, 0.9);
    cairo_move_to(cr, x - r * 0.8 * std::cos(slotAngle), y - r * 0.8 * std::sin(slotAngle));
    cairo_line_to(cr, x + r * 0.8 * std::cos(slotAngle), y + r * 0.8 * std::sin(slotAngle));
    cairo_stroke(cr);
}

// A section: an outlined box with its name on a cream tab.
void section(cairo_t* cr, double x0, double y0, double x1, double y1, const std::string& name) {
    roundedRect(cr, x0, y0, x1, y1, 7);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.16);
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, 1.2);
    setColor(cr, kInk, 0.55);
    cairo_stroke(cr);
    cairo_select_font_face(cr, kFace, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, 9.5);
    cairo_text_extents_t e;
    cairo_text_extents(cr, name.c_str(), &e);
    const double tabWidth = e.x_advance + 0.9 * double(name.size()) + 12;
    roundedRect(cr, x0 + 8, y0 + 6, x0 + 8 + tabWidth, y0 + 19, 3);
    setColor(cr, kInk);
    cairo_fill(cr);
    label(cr, x0 + 14, y0 + 16.2, name, 9.5, kInkDark, Align::Left, 0.9);
}

// The scale printed round a knob: eleven ticks, the range's ends numbered.
void knobScale(cairo_t* cr, double cx, double cy, const char* low, const char* high) {
    for (int i = 0; i <= 10; ++i) {
        const double a = (225.0 - 27.0 * i) * kPi / 180;
        const bool major = i % 5 == 0;
        const double r0 = major ? 23.5 : 24.5;
        cairo_set_line_width(cr, major ? 1.6 : 1.0);
        setColor(cr, kInk, major ? 0.95 : 0.7);
        cairo_move_to(cr, cx + r0 * std::cos(a), cy - r0 * std::sin(a));
        cairo_line_to(cr, cx + 28 * std::cos(a), cy - 28 * std::sin(a));
        cairo_stroke(cr);
    }
    label(cr, cx - 27, cy + 29, low, 7.5, kInk, Align::Center, 0);
    label(cr, cx + 27, cy + 29, high, 7.5, kInk, Align::Center, 0);
}

const OrvellaLayout::Control& row(long tag, Kind kind) {
    for (const auto& c : OrvellaLayout::kControls)
        if (c.tag == tag && c.kind == kind) return c;
    return OrvellaLayout::kControls.front();
}

double centerX(const OrvellaLayout::Control& c) {
    return (c.rect.left + c.rect.right) / 2.0;
}
double centerY(const OrvellaLayout::Control& c) {
    return (c.rect.top + c.rect.bottom) / 2.0;
}

// What the panel prints at each control: its name and, for two-state buttons and switches,
// what each state means.
struct Legend {
    long tag;
    Kind kind;
    const char* name;
    const char* states[3];
};

constexpr Legend kLegends[] = {
    {0, Kind::Knob, "RATE", {"1", "10"}},
    {3, Kind::Knob, "RATE", {"1", "10"}},
    {5, Kind::Knob, "DEPTH", {"1", "10"}},
    {9, Kind::Knob, "DEPTH", {"1", "10"}},
    {6, Kind::Knob, "FEEDBACK", {"0", "10"}},
    {10, Kind::Knob, "FEEDBACK", {"0", "10"}},
    {1, Kind::Button, "RATE CTRL", {"MAN", "SWEEP"}},
    {2, Kind::Button, "SHAPE", {"SINE", "SQR"}},
    {4, Kind::Button, "SHAPE", {"SINE", "SQR"}},
    {7, Kind::Button, "SWEEP", {"GEN 1", "CTRL"}},
    {12, Kind::Button, "SYNC", {"NORM", "REV"}},
    {8, Kind::Switch, "INPUT", {"IN A", "OUT A", "IN B"}},
    {11, Kind::Switch, "SWEEP", {"GEN 1", "GEN 2", "CTRL"}},
    {18, Kind::Lamp, "ACTIVE", {}},
    {19, Kind::Lamp, "ACTIVE", {}},
    {13, Kind::Toggle, "PHASER A", {}},
    {14, Kind::Toggle, "PHASER B", {}},
    {OrvellaLayout::kLearnTag, Kind::LearnButton, "SWEEP", {}},
};

void printLegend(cairo_t* cr, const Legend& l) {
    const auto& c = row(l.tag, l.kind);
    const double cx = centerX(c);
    switch (l.kind) {
    case Kind::Knob:
        knobScale(cr, cx, centerY(c), l.states[0], l.states[1]);
        label(cr, cx, c.rect.bottom + 9, l.name, 8.5, kInk);
        break;
    case Kind::Button:
        label(cr, cx, c.rect.top - 5, l.name, 8, kInk);
        label(cr, cx, c.rect.bottom + 8.5, std::string(l.states[0]) + " \xc2\xb7 " + l.states[1],
              6.5, kInk, Align::Center, 0.3, false);
        break;
    case Kind::Switch: {
        label(cr, cx, c.rect.top - 5, l.name, 8, kInk);
        const double step = c.rect.width() / 3.0;
        for (int k = 0; k < 3; ++k)
            label(cr, c.rect.left + step * (k + 0.5), c.rect.top + (k == 1 ? 8 : 17), l.states[k],
                  6.5, kInk, Align::Center, 0.2, false);
        break;
    }
    case Kind::Toggle:
        label(cr, cx, c.rect.top - 14, l.name, 8.5, kInk);
        label(cr, cx, c.rect.top - 4, "ACTIVE", 6.5, kInk, Align::Center, 0.6, false);
        break;
    case Kind::Lamp:
        label(cr, c.rect.right + 4, c.rect.bottom - 3, l.name, 6.5, kInk, Align::Left, 0.6, false);
        break;
    case Kind::LearnButton:
        label(cr, c.rect.left - 6, c.rect.top + 7, l.name, 7, kInk, Align::Right, 0.5);
        label(cr, c.rect.left - 6, c.rect.bottom, "MIDI", 7, kAmber, Align::Right, 0.5);
        break;
    default:
        break;
    }
}

// Two waves a quarter turn apart: the mark of a phase shifter.
void phaseEmblem(cairo_t* cr, double x0, double x1, double cy, double amplitude, const Rgb& a,
                 const Rgb& b, double width) {
    for (int wave = 0; wave < 2; ++wave) {
        cairo_set_line_width(cr, width);
        setColor(cr, wave == 0 ? a : b);
        for (double x = x0; x <= x1; x += 0.5) {
            const double t = (x - x0) / (x1 - x0);
            const double y = cy - amplitude * std::sin(2 * kPi * 2 * t + wave * kPi / 2);
            if (x == x0)
                cairo_move_to(cr, x, y);
            else
                cairo_line_to(cr, x, y);
        }
        cairo_stroke(cr);
    }
}

void nameplate(cairo_t* cr, double x0, double y0, double x1, double y1) {
    roundedRect(cr, x0 + 1, y0 + 2, x1 + 1, y1 + 2, 6);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.5);
    cairo_fill(cr);
    cairo_pattern_t* p = cairo_pattern_create_linear(x0, y0, x1, y1);
    addStop(p, 0, {0.86, 0.85, 0.81});
    addStop(p, 0.45, {0.74, 0.73, 0.69});
    addStop(p, 0.55, {0.80, 0.79, 0.75});
    addStop(p, 1, {0.60, 0.59, 0.56});
    roundedRect(cr, x0, y0, x1, y1, 6);
    fillWith(cr, p);
    // Brushed grain.
    uint32_t seed = 77;
    for (double y = y0 + 1; y < y1 - 1; y += 1) {
        seed = seed * 1664525u + 1013904223u;
        cairo_set_source_rgba(cr, 1, 1, 1, (seed >> 24) / 255.0 * 0.12);
        cairo_move_to(cr, x0 + 3, y + 0.5);
        cairo_line_to(cr, x1 - 3, y + 0.5);
        cairo_set_line_width(cr, 0.6);
        cairo_stroke(cr);
    }
    roundedRect(cr, x0 + 0.5, y0 + 0.5, x1 - 0.5, y1 - 0.5, 6);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.5);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    for (double sx : {x0 + 8, x1 - 8})
        for (double sy : {y0 + 8, y1 - 8}) screw(cr, sx, sy, 3, 0.6);
}

cairo_surface_t* paintPanel() {
    using namespace OrvellaLayout;
    cairo_surface_t* s =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWindowWidth, kWindowHeight);
    cairo_t* cr = cairo_create(s);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, 0, 0, kWindowHeight);
    addStop(p, 0, kPanelTop);
    addStop(p, 1, kPanelBottom);
    cairo_rectangle(cr, 0, 0, kWindowWidth, kWindowHeight);
    fillWith(cr, p);
    hammertone(s);

    // A bevelled rim: light above and left, dark below and right.
    cairo_set_line_width(cr, 2);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.12);
    cairo_move_to(cr, 1, kWindowHeight - 1);
    cairo_line_to(cr, 1, 1);
    cairo_line_to(cr, kWindowWidth - 1, 1);
    cairo_stroke(cr);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.55);
    cairo_move_to(cr, kWindowWidth - 1, 1);
    cairo_line_to(cr, kWindowWidth - 1, kWindowHeight - 1);
    cairo_line_to(cr, 1, kWindowHeight - 1);
    cairo_stroke(cr);
    screw(cr, 10, 10, 4.2, 0.5);
    screw(cr, kWindowWidth - 10, 10, 4.2, 2.0);
    screw(cr, 10, kWindowHeight - 10, 4.2, 1.2);
    screw(cr, kWindowWidth - 10, kWindowHeight - 10, 4.2, 2.6);

    section(cr, 22, 8, 248, 129, "GEN 1");
    section(cr, 284, 8, 490, 129, "GEN 2");
    section(cr, 22, 131, 198, 304, "PHASER A");
    section(cr, 206, 131, 490, 304, "PHASER B");
    for (const Legend& l : kLegends) printLegend(cr, l);

    // The nameplate in the right column.
    nameplate(cr, 506, 16, 662, 214);
    label(cr, 584, 57, "ORVELLA", 23, kInkDark, Align::Center, 1.2, true, "DejaVu Serif");
    cairo_set_line_width(cr, 1);
    setColor(cr, kInkDark, 0.7);
    cairo_move_to(cr, 522, 68.5);
    cairo_line_to(cr, 646, 68.5);
    cairo_stroke(cr);
    label(cr, 584, 83, "DUAL PHASE SHIFTER", 9, kInkDark, Align::Center, 1.4);
    phaseEmblem(cr, 526, 642, 122, 17, kInkDark, {0.72, 0.32, 0.08}, 2);
    label(cr, 584, 170, "TWO GENERATORS \xc2\xb7 TWO SECTIONS", 6.5, kInkDark, Align::Center, 0.5,
          false);
    label(cr, 584, 182, "STEREO \xc2\xb7 MIDI LEARN", 6.5, kInkDark, Align::Center, 0.5, false);
    label(cr, 584, 201, "CALDERIS, INC.", 8, kInkDark, Align::Center, 1.2);

    // How learning works, printed under the sections.
    cairo_set_line_width(cr, 1);
    setColor(cr, kInk, 0.4);
    cairo_move_to(cr, 22, 317.5);
    cairo_line_to(cr, 490, 317.5);
    cairo_stroke(cr);
    label(cr, 22, 334, "MIDI LEARN", 8, kAmber, Align::Left, 0.8);
    label(cr, 90, 334, "SHIFT + CTRL + CLICK A CONTROL, THEN MOVE A CONTROLLER TWICE.", 7, kInk,
          Align::Left, 0.4, false);
    label(cr, 90, 346, "THE SAME CLICK AGAIN CANCELS AND FORGETS ITS CONTROLLER.", 7, kInk,
          Align::Left, 0.4, false);
    label(cr, 90, 358, "LEARN SWEEP: A CONTROLLER FOR THE MANUAL SWEEP.", 7, kInk, Align::Left, 0.4,
          false);
    label(cr, 22, 376, "ORVELLA", 9, kInk, Align::Left, 2.2, true, "DejaVu Serif");
    label(cr, 490, 376, "STEREO PHASE SHIFTER", 7, kInk, Align::Right, 1.2, false);

    // The badge that opens the about screen.
    roundedRect(cr, 601, 363, 653, 381, 3);
    cairo_pattern_t* badge = cairo_pattern_create_linear(0, 363, 0, 381);
    addStop(badge, 0, {0.84, 0.80, 0.70});
    addStop(badge, 1, {0.62, 0.58, 0.50});
    fillWith(cr, badge);
    label(cr, 627, 375.5, "CALDERIS", 7, kInkDark, Align::Center, 0.8);

    finish(cr);
    return s;
}

// --- controls ---------------------------------------------------------------------------

void softShadow(cairo_t* cr, double cx, double cy, double r) {
    cairo_pattern_t* p = cairo_pattern_create_radial(cx, cy, r * 0.6, cx, cy, r);
    cairo_pattern_add_color_stop_rgba(p, 0, 0, 0, 0, 0.6);
    cairo_pattern_add_color_stop_rgba(p, 1, 0, 0, 0, 0);
    circle(cr, cx, cy, r);
    fillWith(cr, p);
}

// A black knob with a knurled skirt and a machined cap; value 0 points at 7 o'clock,
// 1 at 5 o'clock, clockwise through 12.
void paintKnob(cairo_t* cr, double w, double h, double value) {
    const double cx = w / 2, cy = h / 2;
    softShadow(cr, cx + 1.5, cy + 2.5, 23.5);

    cairo_pattern_t* skirt = cairo_pattern_create_linear(cx - 20, cy - 20, cx + 20, cy + 20);
    addStop(skirt, 0, {0.30, 0.28, 0.27});
    addStop(skirt, 1, {0.05, 0.05, 0.05});
    circle(cr, cx, cy, 21.5);
    fillWith(cr, skirt);
    for (int i = 0; i < 40; ++i) {
        const double a = 2 * kPi * i / 40;
        cairo_set_line_width(cr, 1.1);
        cairo_set_source_rgba(cr, 1, 1, 1, 0.05 + 0.12 * (0.5 + 0.5 * std::cos(a + kPi / 4)));
        cairo_move_to(cr, cx + 18.5 * std::cos(a), cy + 18.5 * std::sin(a));
        cairo_line_to(cr, cx + 21.2 * std::cos(a), cy + 21.2 * std::sin(a));
        cairo_stroke(cr);
    }

    cairo_pattern_t* body = cairo_pattern_create_radial(cx - 5, cy - 7, 2, cx, cy, 18);
    addStop(body, 0, {0.27, 0.24, 0.22});
    addStop(body, 1, {0.06, 0.05, 0.05});
    circle(cr, cx, cy, 17.5);
    fillWith(cr, body);
    circle(cr, cx, cy, 17.5);
    cairo_set_line_width(cr, 1);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.8);
    cairo_stroke(cr);

    cairo_pattern_t* cap = cairo_pattern_create_radial(cx - 3.5, cy - 4.5, 0.5, cx, cy, 11.5);
    addStop(cap, 0, {0.97, 0.96, 0.93});
    addStop(cap, 0.55, {0.70, 0.69, 0.66});
    addStop(cap, 1, {0.40, 0.39, 0.37});
    circle(cr, cx, cy, 11);
    fillWith(cr, cap);
    for (double r = 2.5; r < 11; r += 1.5) {
        circle(cr, cx, cy, r);
        cairo_set_line_width(cr, 0.5);
        cairo_set_source_rgba(cr, 0, 0, 0, 0.07);
        cairo_stroke(cr);
    }

    const double a = (225.0 - 270.0 * value) * kPi / 180;
    const double dx = std::cos(a), dy = -std::sin(a);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(cr, 3.2);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.55);
    cairo_move_to(cr, cx + 7 * dx + 0.5, cy + 7 * dy + 0.8);
    cairo_line_to(cr, cx + 19 * dx + 0.5, cy + 19 * dy + 0.8);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 2.4);
    setColor(cr, kAmber);
    cairo_move_to(cr, cx + 7 * dx, cy + 7 * dy);
    cairo_line_to(cr, cx + 19 * dx, cy + 19 * dy);
    cairo_stroke(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
}

// A jewel lamp in a chrome bezel.
void paintLamp(cairo_t* cr, double cx, double cy, double r, bool on) {
    cairo_pattern_t* bezel = cairo_pattern_create_linear(cx - r, cy - r, cx + r, cy + r);
    addStop(bezel, 0, {0.92, 0.91, 0.88});
    addStop(bezel, 1, {0.30, 0.29, 0.28});
    circle(cr, cx, cy, r);
    fillWith(cr, bezel);
    const double g = r * 0.72;
    cairo_pattern_t* glass = cairo_pattern_create_radial(cx - g / 3, cy - g / 3, 0, cx, cy, g);
    if (on) {
        addStop(glass, 0, {1.0, 0.97, 0.80});
        addStop(glass, 0.35, {1.0, 0.62, 0.25});
        addStop(glass, 1, {0.78, 0.16, 0.04});
    } else {
        addStop(glass, 0, {0.42, 0.16, 0.12});
        addStop(glass, 1, {0.15, 0.05, 0.04});
    }
    circle(cr, cx, cy, g);
    fillWith(cr, glass);
    circle(cr, cx - g / 3, cy - g / 3, g / 4);
    cairo_set_source_rgba(cr, 1, 1, 1, on ? 0.8 : 0.35);
    cairo_fill(cr);
}

// A glow around a lit lamp, drawn before it.
void glow(cairo_t* cr, double cx, double cy, double r, const Rgb& c) {
    cairo_pattern_t* p = cairo_pattern_create_radial(cx, cy, 0, cx, cy, r);
    addStop(p, 0, c, 0.55);
    addStop(p, 1, c, 0);
    circle(cr, cx, cy, r);
    fillWith(cr, p);
}

// An ivory push button with its indicator above; pressed in and lit when on.
void paintButton(cairo_t* cr, double w, double, bool on) {
    const double cx = w / 2;
    if (on) glow(cr, cx, 7, 8, kLampRed);
    paintLamp(cr, cx, 7, 4.5, on);

    roundedRect(cr, 2, 14, w - 2, 43, 3.5);
    cairo_pattern_t* well = cairo_pattern_create_linear(0, 14, 0, 43);
    addStop(well, 0, {0.02, 0.02, 0.02});
    addStop(well, 1, {0.20, 0.18, 0.16});
    fillWith(cr, well);

    const double top = on ? 18.5 : 16, bottom = on ? 41 : 38.5;
    if (!on) {
        roundedRect(cr, 4, top + 2, w - 4, bottom + 2.5, 2.5);
        cairo_set_source_rgba(cr, 0, 0, 0, 0.7);
        cairo_fill(cr);
    }
    cairo_pattern_t* face = cairo_pattern_create_linear(0, top, 0, bottom);
    addStop(face, 0, on ? Rgb{0.74, 0.70, 0.61} : Rgb{0.95, 0.92, 0.84});
    addStop(face, 1, on ? Rgb{0.56, 0.52, 0.45} : Rgb{0.70, 0.66, 0.58});
    roundedRect(cr, 4, top, w - 4, bottom, 2.5);
    fillWith(cr, face);
    cairo_set_line_width(cr, 1);
    if (on) { // the rim of the well shades the sunken cap's top
        cairo_set_source_rgba(cr, 0, 0, 0, 0.45);
        cairo_move_to(cr, 5, top + 1);
        cairo_line_to(cr, w - 5, top + 1);
    } else {
        cairo_set_source_rgba(cr, 1, 1, 1, 0.7);
        cairo_move_to(cr, 5.5, top + 1);
        cairo_line_to(cr, w - 5.5, top + 1);
    }
    cairo_stroke(cr);
    for (double y = (top + bottom) / 2 - 3; y <= (top + bottom) / 2 + 3.5; y += 3) {
        cairo_set_source_rgba(cr, 0, 0, 0, 0.18);
        cairo_move_to(cr, 8, y + 0.5);
        cairo_line_to(cr, w - 8, y + 0.5);
        cairo_stroke(cr);
    }
}

// A three-position slide: the slider stands over the chosen position, whose dot is lit.
void paintSwitch(cairo_t* cr, double w, double, int position) {
    roundedRect(cr, 1, 26, w - 1, 59, 4);
    cairo_pattern_t* plate = cairo_pattern_create_linear(0, 26, 0, 59);
    addStop(plate, 0, {0.05, 0.04, 0.04});
    addStop(plate, 1, {0.20, 0.18, 0.16});
    fillWith(cr, plate);
    const double step = w / 3;
    for (int k = 0; k < 3; ++k) {
        const double x = step * (k + 0.5);
        if (k == position) glow(cr, x, 31, 5, kAmber);
        circle(cr, x, 31, 1.9);
        if (k == position)
            setColor(cr, {1.0, 0.78, 0.45});
        else
            setColor(cr, kInk, 0.25);
        cairo_fill(cr);
    }
    roundedRect(cr, 5, 42, w - 5, 49, 3.5);
    cairo_set_source_rgb(cr, 0, 0, 0);
    cairo_fill(cr);

    const double x = step * (position + 0.5);
    roundedRect(cr, x - 6.5 + 0.8, 36 + 1.5, x + 6.5 + 0.8, 56 + 1.5, 2.5);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
    cairo_fill(cr);
    cairo_pattern_t* slider = cairo_pattern_create_linear(x - 6.5, 0, x + 6.5, 0);
    addStop(slider, 0, {0.55, 0.54, 0.51});
    addStop(slider, 0.35, {0.96, 0.95, 0.92});
    addStop(slider, 1, {0.42, 0.41, 0.39});
    roundedRect(cr, x - 6.5, 36, x + 6.5, 56, 2.5);
    fillWith(cr, slider);
    cairo_set_line_width(cr, 1);
    for (double y = 40.5; y < 54; y += 3) {
        cairo_set_source_rgba(cr, 0, 0, 0, 0.35);
        cairo_move_to(cr, x - 4.5, y);
        cairo_line_to(cr, x + 4.5, y);
        cairo_stroke(cr);
    }
}

void hexagon(cairo_t* cr, double cx, double cy, double r) {
    for (int i = 0; i < 6; ++i) {
        const double a = kPi / 6 + i * kPi / 3;
        if (i == 0)
            cairo_move_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
        else
            cairo_line_to(cr, cx + r * std::cos(a), cy + r * std::sin(a));
    }
    cairo_close_path(cr);
}

// A chrome footswitch under its status lamp; pressed, the plunger sinks into its nut.
void paintToggle(cairo_t* cr, double w, double, bool on, bool pressed) {
    const double cx = w / 2, cy = 47;
    if (on) glow(cr, cx, 10, 10, kLampRed);
    paintLamp(cr, cx, 10, 5.5, on);

    softShadow(cr, cx + 1.5, cy + 3, 17);
    cairo_pattern_t* nut = cairo_pattern_create_linear(cx - 14, cy - 14, cx + 14, cy + 14);
    addStop(nut, 0, {0.90, 0.89, 0.86});
    addStop(nut, 0.5, {0.60, 0.59, 0.56});
    addStop(nut, 1, {0.28, 0.27, 0.26});
    hexagon(cr, cx, cy, 15);
    fillWith(cr, nut);
    hexagon(cr, cx, cy, 15);
    cairo_set_line_width(cr, 0.8);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.5);
    cairo_stroke(cr);

    cairo_pattern_t* collar = cairo_pattern_create_linear(cx, cy - 11, cx, cy + 11);
    addStop(collar, 0, {0.20, 0.19, 0.18});
    addStop(collar, 1, {0.75, 0.74, 0.71});
    circle(cr, cx, cy, 11);
    fillWith(cr, collar);

    const double r = pressed ? 7.2 : 8.8;
    const double py = pressed ? cy + 1 : cy - 1;
    if (!pressed) softShadow(cr, cx + 1, py + 2.5, r + 2.5);
    cairo_pattern_t* plunger =
        cairo_pattern_create_radial(cx - r / 3, py - r / 2.5, 0.5, cx, py, r);
    addStop(plunger, 0, pressed ? Rgb{0.80, 0.79, 0.76} : Rgb{1.0, 1.0, 0.98});
    addStop(plunger, 0.6, pressed ? Rgb{0.48, 0.47, 0.45} : Rgb{0.72, 0.71, 0.68});
    addStop(plunger, 1, pressed ? Rgb{0.26, 0.25, 0.24} : Rgb{0.40, 0.39, 0.37});
    circle(cr, cx, py, r);
    fillWith(cr, plunger);
}

// The learn button: a dark key with its name that lights amber while learning.
void paintLearnButton(cairo_t* cr, double w, double h, bool on) {
    roundedRect(cr, 0.5, 0.5, w - 0.5, h - 0.5, 3);
    cairo_set_source_rgb(cr, 0.02, 0.02, 0.02);
    cairo_fill(cr);
    const double inset = on ? 2 : 1.5;
    cairo_pattern_t* face = cairo_pattern_create_linear(0, 0, 0, h);
    if (on) {
        addStop(face, 0, {1.0, 0.70, 0.32});
        addStop(face, 1, {0.86, 0.40, 0.10});
    } else {
        addStop(face, 0, {0.33, 0.30, 0.28});
        addStop(face, 1, {0.15, 0.13, 0.12});
    }
    roundedRect(cr, inset, inset + (on ? 0.5 : 0), w - inset, h - inset + (on ? 0.5 : -0.5), 2.2);
    fillWith(cr, face);
    label(cr, w / 2, h / 2 + 3.5 + (on ? 0.5 : 0), "LEARN", 8.5, on ? kInkDark : kInk,
          Align::Center, 1.0);
}

// The about screen, shown over the whole window.
cairo_surface_t* paintAbout(const std::string& version) {
    using namespace OrvellaLayout;
    cairo_surface_t* s =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWindowWidth, kWindowHeight);
    cairo_t* cr = cairo_create(s);
    cairo_pattern_t* p =
        cairo_pattern_create_radial(kWindowWidth / 2.0, 150, 20, kWindowWidth / 2.0, 190, 420);
    addStop(p, 0, {0.27, 0.22, 0.18});
    addStop(p, 1, {0.07, 0.06, 0.05});
    cairo_rectangle(cr, 0, 0, kWindowWidth, kWindowHeight);
    fillWith(cr, p);
    hammertone(s);
    roundedRect(cr, 14, 14, kWindowWidth - 14, kWindowHeight - 14, 10);
    cairo_set_line_width(cr, 1.5);
    setColor(cr, kInk, 0.5);
    cairo_stroke(cr);

    const double mid = kWindowWidth / 2.0;
    for (int k = 0; k < 5; ++k)
        phaseEmblem(cr, 40, kWindowWidth - 40, 226, 34 - 6 * k, kAmber, kInk, 0.8 + 0.35 * (4 - k));
    cairo_rectangle(cr, 0, 0, kWindowWidth, kWindowHeight);
    cairo_set_source_rgba(cr, 0.07, 0.06, 0.05, 0.45);
    cairo_fill(cr);

    label(cr, mid + 2, 124, "ORVELLA", 64, {0, 0, 0}, Align::Center, 6, true, "DejaVu Serif");
    label(cr, mid, 121, "ORVELLA", 64, kInk, Align::Center, 6, true, "DejaVu Serif");
    label(cr, mid, 152, "DUAL PHASE SHIFTER", 15, kAmber, Align::Center, 4);
    label(cr, mid, 300, "Version " + version, 13, kInk, Align::Center, 0.5, false);
    label(cr, mid, 322, "Calderis, Inc.", 15, kInk, Align::Center, 0.5, true);
    label(cr, mid, 346, "VST 2.4 effect for Linux", 10, kInk, Align::Center, 0.4, false);
    label(cr, mid, 366, "CLICK ANYWHERE TO CLOSE", 7.5, kInk, Align::Center, 1.2, false);
    finish(cr);
    return s;
}

void paintControlFrame(cairo_t* cr, const OrvellaLayout::Control& c, int frame) {
    const double w = c.rect.width(), h = c.frameHeight;
    switch (c.kind) {
    case Kind::Knob:
        paintKnob(cr, w, h, double(frame) / double(c.frames - 1));
        break;
    case Kind::Switch:
        paintSwitch(cr, w, h, frame);
        break;
    case Kind::Button:
        paintButton(cr, w, h, frame == 1);
        break;
    case Kind::Lamp:
        if (frame == 1) glow(cr, w / 2, h / 2, w / 2, kLampRed);
        paintLamp(cr, w / 2, h / 2, w / 2 - 0.5, frame == 1);
        break;
    case Kind::Toggle: // off, on, off pressed, on pressed
        paintToggle(cr, w, h, frame % 2 == 1, frame >= 2);
        break;
    case Kind::LearnButton:
        paintLearnButton(cr, w, h, frame == 1);
        break;
    case Kind::AboutScreen:
        break;
    }
}

// The control's strip: each frame starts from the panel under the control.
cairo_surface_t* paintStrip(cairo_surface_t* panel, const OrvellaLayout::Control& c) {
    const int w = c.rect.width();
    cairo_surface_t* s =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, c.frameHeight * c.frames);
    cairo_t* cr = cairo_create(s);
    for (int k = 0; k < c.frames; ++k) {
        cairo_save(cr);
        cairo_translate(cr, 0, k * c.frameHeight);
        cairo_rectangle(cr, 0, 0, w, c.frameHeight);
        cairo_clip(cr);
        cairo_set_source_surface(cr, panel, -c.rect.left, -c.rect.top);
        cairo_paint(cr);
        paintControlFrame(cr, c, k);
        cairo_restore(cr);
    }
    finish(cr);
    return s;
}

bool write(cairo_surface_t* s, const std::string& folder, int id) {
    char name[32];
    std::snprintf(name, sizeof name, "/bmp%05d.png", id);
    const bool ok = cairo_surface_status(s) == CAIRO_STATUS_SUCCESS &&
                    cairo_surface_write_to_png(s, (folder + name).c_str()) == CAIRO_STATUS_SUCCESS;
    if (!ok) std::fprintf(stderr, "make_artwork: cannot write %s%s\n", folder.c_str(), name);
    cairo_surface_destroy(s);
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_artwork <output folder> <version>\n");
        return 2;
    }
    const std::string folder = argv[1];
    cairo_surface_t* panel = paintPanel();
    bool ok = true;
    for (const auto& c : OrvellaLayout::kControls)
        ok &= write(c.kind == Kind::AboutScreen ? paintAbout(argv[2]) : paintStrip(panel, c),
                    folder, c.bitmapId);
    ok &= write(panel, folder, OrvellaLayout::kBackgroundBitmap);
    cairo_debug_reset_static_data();
    return ok && !failed ? 0 : 1;
}
