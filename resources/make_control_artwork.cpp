// Paints the control library's artwork: the label font (glyph bitmap with two colour
// variants stacked, and its glyph table), the character and digit strips and a strip for
// each further control, into the folder given.
//
//   make_control_artwork <output folder>

#include "resources/ArtworkPalette.h"
#include "resources/ControlArtwork.h"

#include <cairo.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace ArtworkPalette;

// Dark enamel and the lamps' colours beside the shared inks.
constexpr Rgb kEnamel{0.165, 0.136, 0.117};
constexpr Rgb kDeep{0.080, 0.066, 0.058};
constexpr Rgb kGreen{0.420, 0.860, 0.380};
constexpr Rgb kRed{1.000, 0.290, 0.180};

constexpr const char* kLabelFace = "DejaVu Sans Condensed";
constexpr const char* kMonoFace = "DejaVu Sans Mono";

bool failed = false;

void fillRect(cairo_t* cr, double x, double y, double w, double h, const Rgb& c) {
    cairo_rectangle(cr, x, y, w, h);
    setColor(cr, c);
    cairo_fill(cr);
}

// A sunken plate: dark fill, a lighter lower-right rim.
void plate(cairo_t* cr, double x, double y, double w, double h, const Rgb& fill) {
    fillRect(cr, x, y, w, h, fill);
    cairo_set_line_width(cr, 1);
    cairo_rectangle(cr, x + 0.5, y + 0.5, w - 1, h - 1);
    setColor(cr, kInk, 0.35);
    cairo_stroke(cr);
}

void text(cairo_t* cr, double cx, double cy, const std::string& s, double size, const Rgb& c,
          const char* face = kLabelFace) {
    cairo_select_font_face(cr, face, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, s.c_str(), &e);
    cairo_move_to(cr, cx - e.x_advance / 2, cy - e.y_bearing - e.height / 2);
    setColor(cr, c);
    cairo_show_text(cr, s.c_str());
}

bool writePng(cairo_surface_t* s, const std::string& path) {
    const bool ok = cairo_surface_status(s) == CAIRO_STATUS_SUCCESS &&
                    cairo_surface_write_to_png(s, path.c_str()) == CAIRO_STATUS_SUCCESS;
    if (!ok) std::fprintf(stderr, "make_control_artwork: cannot write %s\n", path.c_str());
    cairo_surface_destroy(s);
    return ok;
}

// A vertical strip of `frames` frames, each painted by `paint(cr, frame)` at the origin.
cairo_surface_t* strip(int width, int frameHeight, int frames,
                       const std::function<void(cairo_t*, int)>& paint) {
    cairo_surface_t* s =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, frameHeight * frames);
    cairo_t* cr = cairo_create(s);
    for (int k = 0; k < frames; ++k) {
        cairo_save(cr);
        cairo_translate(cr, 0, k * frameHeight);
        cairo_rectangle(cr, 0, 0, width, frameHeight);
        cairo_clip(cr);
        paint(cr, k);
        cairo_restore(cr);
    }
    if (cairo_status(cr) != CAIRO_STATUS_SUCCESS) failed = true;
    cairo_destroy(cr);
    return s;
}

// --- the label font ----------------------------------------------------------------------

void put16(std::vector<uint8_t>& out, size_t at, int v) {
    out[at] = uint8_t(v & 255);
    out[at + 1] = uint8_t((v >> 8) & 255);
}

// Glyphs for ' ' .. '~' in one row, each as wide as its ink and advance need; the second
// variant (amber) lies one line height below the first (cream).
bool writeFont(const std::string& folder) {
    constexpr double kSize = 11;
    cairo_surface_t* probe = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
    cairo_t* cr = cairo_create(probe);
    cairo_select_font_face(cr, kLabelFace, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, kSize);
    cairo_font_extents_t fe;
    cairo_font_extents(cr, &fe);
    const int ascent = int(std::ceil(fe.ascent));
    const int lineHeight = ascent + int(std::ceil(fe.descent));
    struct Glyph {
        std::string s;
        int x, width, leftOffset, advance;
    };
    std::vector<Glyph> glyphs;
    int x = 0;
    for (char c = ' '; c <= '~'; ++c) {
        cairo_text_extents_t e;
        const std::string s(1, c);
        cairo_text_extents(cr, s.c_str(), &e);
        const int left = int(std::floor(std::min(0.0, e.x_bearing)));
        const int right = int(std::ceil(std::max(e.x_advance, e.x_bearing + e.width)));
        glyphs.push_back({s, x, right - left, -left, int(std::lround(e.x_advance))});
        x += right - left + 1;
    }
    cairo_destroy(cr);
    cairo_surface_destroy(probe);

    cairo_surface_t* bitmap = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, x, 2 * lineHeight);
    cr = cairo_create(bitmap);
    cairo_select_font_face(cr, kLabelFace, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, kSize);
    for (int variant = 0; variant < 2; ++variant)
        for (const Glyph& g : glyphs) {
            setColor(cr, variant == 0 ? kInk : kAmber);
            cairo_move_to(cr, g.x + g.leftOffset, variant * lineHeight + ascent);
            cairo_show_text(cr, g.s.c_str());
        }
    cairo_destroy(cr);

    std::vector<uint8_t> table(20 + 16 * glyphs.size(), 0);
    put16(table, 10, int(glyphs.size()));
    for (size_t i = 0; i < glyphs.size(); ++i) {
        const size_t r = 20 + 16 * i;
        const Glyph& g = glyphs[i];
        table[r] = uint8_t(g.s[0]);
        put16(table, r + 4, g.x);
        put16(table, r + 6, 0);
        put16(table, r + 8, g.width);
        put16(table, r + 10, lineHeight);
        put16(table, r + 12, g.leftOffset);
        put16(table, r + 14, g.advance);
    }
    const std::string tablePath = folder + "/" + ControlArtwork::kFontName + ".tab";
    FILE* f = std::fopen(tablePath.c_str(), "wb");
    const bool written = f && std::fwrite(table.data(), 1, table.size(), f) == table.size();
    if (f) std::fclose(f);
    if (!written)
        std::fprintf(stderr, "make_control_artwork: cannot write %s\n", tablePath.c_str());
    return writePng(bitmap, folder + "/" + ControlArtwork::kFontName + ".png") && written;
}

// --- control strips ------------------------------------------------------------------------

void characterCell(cairo_t* cr, int k) {
    fillRect(cr, 0, 0, 8, 13, kDeep);
    text(cr, 4, 6.5, std::string(1, char(' ' + k)), 11, kGreen, kMonoFace);
}

void digitCell(cairo_t* cr, int k) {
    static const char* const kCells[] = {"0", "1", "2", "3", "4", "5", "6",
                                         "7", "8", "9", ".", "+", "-"};
    fillRect(cr, 0, 0, 10, 16, kDeep);
    text(cr, 5, 8, kCells[k], 14, kAmber, kMonoFace);
}

void pushButton(cairo_t* cr, int w, int h, bool on) {
    plate(cr, 0, 0, w, h, on ? Rgb{0.42, 0.26, 0.10} : kEnamel);
    if (on) {
        cairo_rectangle(cr, 3, h - 4, w - 6, 2);
        setColor(cr, kAmber);
        cairo_fill(cr);
    }
}

// Sixteen levels from green to red, then an overload frame with the top lamp lit.
void meterFrame(cairo_t* cr, int k) {
    constexpr int kLevels = 16;
    fillRect(cr, 0, 0, 14, 80, kDeep);
    const int lit = k < kLevels ? k : kLevels - 1;
    for (int seg = 0; seg < kLevels - 1; ++seg) {
        const double y = 80 - 5 * (seg + 1);
        const Rgb c = seg >= 12 ? kRed : seg >= 9 ? kAmber : kGreen;
        cairo_rectangle(cr, 2, y + 1, 10, 3.5);
        setColor(cr, c, seg < lit ? 1.0 : 0.15);
        cairo_fill(cr);
    }
    cairo_arc(cr, 7, 3, 2.5, 0, 2 * kPi);
    setColor(cr, kRed, k == kLevels ? 1.0 : 0.15);
    cairo_fill(cr);
}

// Two rows of three: the selected cell lit, numbered along each row.
void selectorFrame(cairo_t* cr, int k) {
    fillRect(cr, 0, 0, 90, 40, kEnamel);
    for (int cell = 0; cell < 6; ++cell) {
        const double x = (cell % 3) * 30, y = (cell / 3) * 20;
        plate(cr, x + 2, y + 2, 26, 16, cell == k ? Rgb{0.42, 0.26, 0.10} : kDeep);
        text(cr, x + 15, y + 10, std::to_string(cell + 1), 10, cell == k ? kAmber : kInk);
    }
}

void matrixCell(cairo_t* cr, int k) {
    plate(cr, 0, 0, 16, 16, kDeep);
    if (k == 1) fillRect(cr, 3, 3, 10, 10, kAmber);
}

void multiFrame(cairo_t* cr, int k) {
    static const char* const kNames[] = {"SINE", "TRI", "SAW", "SQR"};
    plate(cr, 0, 0, 40, 20, kEnamel);
    text(cr, 20, 10, kNames[k], 9, kAmber);
}

void knobFrame(cairo_t* cr, int k) {
    const double a = (225.0 - 270.0 * k / 32) * kPi / 180;
    cairo_arc(cr, 20, 20, 17, 0, 2 * kPi);
    setColor(cr, kEnamel);
    cairo_fill_preserve(cr);
    setColor(cr, kInk, 0.5);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    cairo_move_to(cr, 20 + 6 * std::cos(a), 20 - 6 * std::sin(a));
    cairo_line_to(cr, 20 + 15 * std::cos(a), 20 - 15 * std::sin(a));
    setColor(cr, kAmber);
    cairo_set_line_width(cr, 2.5);
    cairo_stroke(cr);
}

void sliderHandle(cairo_t* cr, int) {
    fillRect(cr, 0, 0, 14, 8, kInk);
    fillRect(cr, 0, 3, 14, 2, kAmber);
}

void sliderTrack(cairo_t* cr, int) {
    fillRect(cr, 0, 0, 120, 70, kEnamel);
    for (int i = 0; i < 8; ++i) fillRect(cr, 7 + i * 15.14, 4, 2, 62, kDeep);
}

void scope(cairo_t* cr, int) {
    fillRect(cr, 0, 0, 160, 60, kDeep);
    setColor(cr, kGreen, 0.18);
    cairo_set_line_width(cr, 1);
    for (int x = 20; x < 160; x += 20) {
        cairo_move_to(cr, x + 0.5, 0);
        cairo_line_to(cr, x + 0.5, 60);
    }
    for (int y = 15; y < 60; y += 15) {
        cairo_move_to(cr, 0, y + 0.5);
        cairo_line_to(cr, 160, y + 0.5);
    }
    cairo_stroke(cr);
}

struct StripArt {
    int id;
    int width, frameHeight, frames;
    std::function<void(cairo_t*, int)> paint;
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_control_artwork <output folder>\n");
        return 2;
    }
    const std::string folder = argv[1];
    using namespace ControlArtwork;
    const auto button = [](cairo_t* cr, int k) { pushButton(cr, 60, 22, k == 1); };
    const StripArt strips[] = {
        {kCharacters, 8, 13, 95, characterCell},
        {kDigits, 10, 16, 13, digitCell},
        {kButton, 60, 22, 2, button},
        {kMeter, 14, 80, 17, meterFrame},
        {kSelector, 90, 40, 6, selectorFrame},
        {kMatrixCell, 16, 16, 2, matrixCell},
        {kMultiState, 40, 20, 4, multiFrame},
        {kKnob, 40, 40, 33, knobFrame},
        {kSliderHandle, 14, 8, 1, sliderHandle},
        {kSliderTrack, 120, 70, 1, sliderTrack},
        {kScope, 160, 60, 1, scope},
    };
    bool ok = writeFont(folder);
    for (const StripArt& a : strips) {
        char name[32];
        std::snprintf(name, sizeof name, "/bmp%05d.png", a.id);
        ok &= writePng(strip(a.width, a.frameHeight, a.frames, a.paint), folder + name);
    }
    cairo_debug_reset_static_data();
    return ok && !failed ? 0 : 1;
}
