// Bitmap fonts and the text and number displays, read back from offscreen pixels.

#include "editor/CDecimalDigit.h"
#include "editor/CMovieCharacterDisplay.h"
#include "editor/CTQBitmap.h"
#include "editor/CTQTextDisplay.h"
#include "editor/ZudariraTable.h"
#include "gui/CDrawContext.h"
#include "resources/ControlArtwork.h"
#include "tests/gui/gui_test_support.h"

#include <cairo.h>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>

using namespace GUI;
using namespace guitest;

namespace {

// Pixel (x, y) in colour x, and below `half` rows in colour 100 + x.
void writeGlyphBitmap(const std::string& path, int width, int half) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, 2 * half);
    auto* pixels = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(s));
    const int stride = cairo_image_surface_get_stride(s) / 4;
    for (int y = 0; y < 2 * half; ++y)
        for (int x = 0; x < width; ++x)
            pixels[y * stride + x] = frameColor(x + (y < half ? 0 : 100));
    cairo_surface_mark_dirty(s);
    cairo_surface_write_to_png(s, path.c_str());
    cairo_surface_destroy(s);
}

// A table file of the given records; `count` overrides the announced number.
std::vector<uint8_t> table(const std::vector<ZudariraGlyph>& glyphs, int count = -1) {
    std::vector<uint8_t> bytes(kZudariraHeaderSize + 16 * glyphs.size(), 0);
    const int n = count < 0 ? int(glyphs.size()) : count;
    bytes[10] = uint8_t(n & 255);
    bytes[11] = uint8_t(n >> 8);
    for (size_t i = 0; i < glyphs.size(); ++i) {
        const ZudariraGlyph& g = glyphs[i];
        const uint16_t f[6] = {g.x, g.y, g.width, g.height, g.leftOffset, g.advance};
        uint8_t* r = bytes.data() + kZudariraHeaderSize + 16 * i;
        r[0] = uint8_t(g.character);
        for (int k = 0; k < 6; ++k) {
            r[4 + 2 * k] = uint8_t(f[k] & 255);
            r[5 + 2 * k] = uint8_t(f[k] >> 8);
        }
    }
    return bytes;
}

// 'A' plain, 'B' drawn 2 pixels left of the pen, and a glyph for the negative code -3.
const std::vector<ZudariraGlyph> kGlyphs = {
    {'A', {}, 0, 0, 4, 10, 0, 5}, {'B', {}, 4, 0, 6, 8, 2, 6}, {-3, {}, 10, 0, 3, 10, 0, 3}};

class Fonts : public ::testing::Test {
protected:
    void SetUp() override {
        bundle.info({{1, "Test"},
                     {2, "Short"},
                     {3, "Overcount"},
                     {4, "NoTable"},
                     {5, "NoBitmap"},
                     {6, "../Test"},
                     {7, "Many"}});
        // Glyph bitmap pixel (x, y) has colour x in the top half, 100 + x in the bottom one.
        for (const char* name : {"Test", "Short", "Overcount", "NoTable", "Many"})
            writeGlyphBitmap(bundle.file(name + std::string(".png")), 20, 10);
        bundle.write("Test.tab", table(kGlyphs));
        bundle.write("Short.tab", std::vector<uint8_t>(19, 1));
        bundle.write("Overcount.tab", table(kGlyphs, 4));
        bundle.write("NoBitmap.tab", table(kGlyphs));
        std::vector<ZudariraGlyph> many(130, kGlyphs[1]);
        many[0] = kGlyphs[0];
        many[127].character = 'Z'; // past the 127th record: never loaded
        bundle.write("Many.tab", table(many));
    }

    ResourceFolder bundle;
};

TEST_F(Fonts, MeasuresAndHitTestsWithLeftOffsets) {
    auto* font = new CZudariraResource(1, 0);
    ASSERT_TRUE(font->hasGlyphs());
    EXPECT_EQ(font->getMaxCharacterHeight(), 10);
    const struct {
        std::string text;
        CCoord width;
    } widths[] = {{"", 0}, {"AB", 9}, {"B", 4}, {"Q", 5}, {std::string(1, char(-3)), 3}};
    for (const auto& w : widths) EXPECT_EQ(font->getStringWidth(w.text), w.width) << w.text;
    const struct {
        long x;
        const char* text;
        uint16_t index;
    } hits[] = {{-1, "AB", 0}, {4, "AB", 0},    {5, "AB", 1}, {8, "AB", 1},
                {9, "AB", 2},  {1000, "AB", 2}, {0, "", 0}};
    for (const auto& h : hits)
        EXPECT_EQ(font->characterIndexInString(h.x, h.text), h.index) << h.x << " " << h.text;
    EXPECT_EQ(font->characterIndexInString(1L << 40, std::string(70000, 'A')), 65535);
    font->forget();
}

TEST_F(Fonts, GlyphsLandAtThePenWithOffsetsAndAlignment) {
    auto* font = new CZudariraResource(1, 0);
    auto* lower = new CZudariraResource(1, 10);
    const struct {
        CZudariraResource* font;
        const char* text;
        CHoriTxtAlign align;
        CCoord x;       // column checked on row 5
        uint32_t pixel; // expected there
    } cases[] = {
        {font, "AB", kLeftText, 10, frameColor(0)},
        {font, "AB", kLeftText, 13, frameColor(4)},
        {font, "AB", kLeftText, 18, frameColor(9)},
        {font, "AB", kLeftText, 19, 0},
        {lower, "AB", kLeftText, 10, frameColor(100)}, // the row offset picks the lower variant
        {font, "AB", kCenterText, 25, 0},              // 30 - 9 / 2 = 26
        {font, "AB", kCenterText, 26, frameColor(0)},
        {font, "AB", kRightText, 21, frameColor(0)},
        {font, "Q", kLeftText, 10, frameColor(0)},     // absent: record 0's glyph
        {font, "\xfd", kLeftText, 10, frameColor(10)}, // code -3
    };
    for (const auto& c : cases) {
        COffscreenContext image(60, 30);
        const CCoord h = c.align == kLeftText ? 10 : 30;
        c.font->drawText(&image, {h, 5}, c.text, c.align);
        EXPECT_EQ(image.getPixel(c.x, 5), c.pixel)
            << c.text << " align " << c.align << " x " << c.x;
    }
    // Drawn 6 wide from 2 left of the pen, measured 4: the extent and the width differ.
    COffscreenContext image(60, 30);
    font->drawText(&image, {10, 5}, "B", kLeftText);
    EXPECT_EQ(image.getPixel(8, 5), frameColor(4));
    EXPECT_EQ(image.getPixel(13, 5), frameColor(9));
    EXPECT_EQ(image.getPixel(8, 13), 0u); // B is 8 high
    font->setAlpha(128);
    EXPECT_EQ(lower->getAlpha(), 255); // each font has its own bitmap
    COffscreenContext faded(20, 20);
    font->drawText(&faded, {0, 0}, "A", kLeftText);
    EXPECT_NEAR(double(faded.getPixel(0, 0) >> 24), 128, 1);
    font->forget();
    lower->forget();
}

TEST_F(Fonts, DamagedOrMissingFontsMeasureZeroAndDrawNothing) {
    // 2 short header, 3 count past the file, 4 no table, 5 no bitmap, 6 a name leaving the
    // resource folder, 99 no key.
    for (long id : {2L, 3L, 4L, 5L, 6L, 99L}) {
        auto* font = new CZudariraResource(id, 0);
        EXPECT_FALSE(font->hasGlyphs()) << id;
        EXPECT_EQ(font->getStringWidth("AB"), 0) << id;
        EXPECT_EQ(font->characterIndexInString(3, "AB"), 2) << id;
        COffscreenContext image(40, 20);
        font->drawText(&image, {5, 5}, "AB", kLeftText);
        for (CCoord x = 0; x < 40; ++x) EXPECT_EQ(image.getPixel(x, 6), 0u) << id;
        font->forget();
    }
    auto* many = new CZudariraResource(7, 0);
    EXPECT_EQ(many->getStringWidth("Z"), 5); // record 127 is not loaded: 'Z' is absent
    EXPECT_EQ(many->getStringWidth("B"), 4);
    many->forget();
}

TEST_F(Fonts, TextDisplayJustifiesOnTheCharactersItHolds) {
    auto* font = new CZudariraResource(1, 0);
    const struct {
        int16_t justification;
        CCoord x; // where "A" starts in the view 10 .. 40
    } cases[] = {{0, 10}, {1, 23}, {2, 35}, {9, 10}};
    for (const auto& c : cases) {
        auto* display =
            new CTQTextDisplay(CRect(10, 0, 40, 10), 0, font, "A", c.justification, 255);
        COffscreenContext image(60, 10);
        display->draw(&image);
        EXPECT_EQ(image.getPixel(c.x, 0), frameColor(0)) << c.justification;
        EXPECT_EQ(image.getPixel(c.x - 1, 0), 0u) << c.justification;
        // Longer than its size in characters: centred on the first character, drawn whole.
        display->setDisplayStringAtPosition("AAAA", 0);
        COffscreenContext longer(60, 10);
        display->draw(&longer);
        EXPECT_EQ(longer.getPixel(c.x + 15, 0), frameColor(0)) << c.justification;
        display->forget();
    }
    auto* display = new CTQTextDisplay(CRect(0, 0, 30, 10), 0, font, "AB", 1, 200);
    EXPECT_TRUE(display->getTransparency());
    display->setDirty(false);
    display->setDisplayString("AB"); // the same text: not dirty, size reset
    EXPECT_FALSE(display->isDirty());
    display->setDisplayStringAtPosition("BBB", -2); // the first two fall before the start
    EXPECT_EQ(display->getDisplayString(), "BB");
    EXPECT_TRUE(display->isDirty());
    display->setDisplayStringAtPosition("A", 4);
    EXPECT_EQ(display->getDisplayString(), "BB  A");
    EXPECT_EQ(display->getSizeInChars(), 2);
    display->setDisplayString(std::string(40000, 'A'));
    EXPECT_EQ(display->getSizeInChars(), 32767);
    display->setDisplayString(static_cast<const char*>(nullptr));
    EXPECT_EQ(display->getSizeInChars(), 0);
    display->forget();
    font->forget();
}

// The frames shown by `cells` cells `width` wide on row 0 of the image.
std::vector<int> cellsShown(const COffscreenContext& image, int cells, int width) {
    std::vector<int> shown;
    for (int i = 0; i < cells; ++i)
        shown.push_back(shownFrame(image, CRect(i * width, 0, i * width + width, 1)));
    return shown;
}

TEST_F(Fonts, CharacterStripDisplayPlacesCellsAndErases) {
    writeStrip(bundle.path.string(), "bmp00001", 2, 1, 95); // cell k: colour k
    auto* strip = new CBitmap(1);
    constexpr int a = 'a' - ' ', b = 'b' - ' ', space = 0, none = -1;
    const struct {
        int16_t justification;
        bool erase;
        const char* text;
        std::vector<int> cells;
    } cases[] = {
        {0, true, "ab", {a, b, space, space}},
        {0, false, "ab", {a, b, none, none}},
        {1, true, "ab", {space, a, b, space}},
        {1, false, "ab", {none, a, b, none}},
        {2, true, "ab", {space, space, a, b}},
        {2, true, "abcdef", {'c' - ' ', 'd' - ' ', 'e' - ' ', 'f' - ' '}},
        {0, true, "\x7f\x01", {space, space, space, space}},
    };
    for (const auto& c : cases) {
        auto* display = new CMovieCharacterDisplay(CRect(0, 0, 8, 1), 0, strip);
        EXPECT_EQ(display->getSizeInChars(), 4);
        display->clear();
        display->setDisplayStringAtPosition(c.text, 0);
        display->setJustification(c.justification);
        display->setAutoErase(c.erase);
        COffscreenContext image(8, 1);
        display->draw(&image);
        EXPECT_EQ(cellsShown(image, 4, 2), c.cells) << c.justification << c.erase << c.text;
        display->forget();
    }
    auto* empty = new CMovieCharacterDisplay(CRect(0, 0, 0, 0), 0, nullptr);
    COffscreenContext image(4, 4);
    empty->draw(&image);
    EXPECT_EQ(empty->getSizeInChars(), 0);
    empty->forget();
    strip->forget();
}

TEST_F(Fonts, DecimalDigitShowsSignDigitsPointAndFraction) {
    writeStrip(bundle.path.string(), "bmp00002", 1, 1, 13);
    auto* strip = new CBitmap(2);
    const struct {
        float value;
        int integer, fraction;
        bool sign;
        std::vector<int> cells;
    } cases[] = {
        {123.4f, 2, 1, true, {11, 9, 9, 10, 4}},
        {-5.25f, 2, 2, true, {12, 0, 5, 10, 2, 5}},
        {7.f, 1, 0, false, {7, 10}},
        {-1000.f, 3, 0, true, {12, 9, 9, 9, 10}},
        {std::nanf(""), 1, 1, true, {11, 0, 10, 0}},
    };
    for (const auto& c : cases) {
        auto* digits =
            new CDecimalDigit(CRect(0, 0, 10, 1), nullptr, 0, 0, c.integer, 0, 1, 1, strip);
        digits->setFracDigits(c.fraction);
        digits->useSign(c.sign);
        digits->setValue(c.value);
        COffscreenContext image(10, 1);
        digits->draw(&image);
        EXPECT_EQ(cellsShown(image, int(c.cells.size()), 1), c.cells) << c.value;
        digits->forget();
    }
    strip->forget();
}

TEST_F(Fonts, AlphaBitmapSharesItsImageAndMasksOnlyWithoutAlphaChannel) {
    writeStrip(bundle.path.string(), "bmp00002", 1, 1, 13);
    // One pixel of colour 0 beside a transparent one, so the file keeps its alpha channel.
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 2, 1);
    *reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(s)) = frameColor(0);
    cairo_surface_mark_dirty(s);
    cairo_surface_write_to_png(s, bundle.file("bmp00004.png").c_str());
    cairo_surface_destroy(s);
    auto* opaque = new CTQBitmap(CResourceDescription(2), 255);
    auto* faded = new CTQBitmap(*opaque, 51);
    EXPECT_EQ(faded->getWidth(), 1);
    COffscreenContext image(2, 2);
    faded->draw(&image, CRect(0, 0, 1, 1));
    EXPECT_NEAR(double(image.getPixel(0, 0) >> 24), 51, 1);
    // Colour 0 masked: only from the image without an alpha channel of its own.
    auto* withAlpha = new CTQBitmap(CResourceDescription(4), 255);
    for (CTQBitmap* b : {opaque, withAlpha}) b->setTransparentColor(CColor{0, 255, 0x55, 255});
    withAlpha->drawTransparent(&image, CRect(1, 0, 2, 1));
    opaque->drawTransparent(&image, CRect(0, 1, 1, 2));
    EXPECT_EQ(image.getPixel(1, 0), frameColor(0));
    EXPECT_EQ(image.getPixel(0, 1), 0u);
    auto* blank = new CTQBitmap(nullptr, 3, -4, 255);
    EXPECT_EQ(blank->getWidth(), 3);
    EXPECT_EQ(blank->getHeight(), 0);
    for (CTQBitmap* b : {opaque, faded, withAlpha, blank}) b->forget();
}

TEST(LabelFont, TheBundleNamesAWholePrintableFont) {
    const char* build = std::getenv("ORVELLA_BUILD_DIR");
    setResourceFolderOverride(std::string(build ? build : ".") + "/Orvella.vst/Contents/Resources");
    auto* font = new CZudariraResource(ControlArtwork::kFontId, 0);
    ASSERT_TRUE(font->hasGlyphs());
    for (char c = ' '; c <= '~'; ++c) EXPECT_EQ(font->getCharacterInfo(c).character, c);
    // Two colour variants stacked: the glyph bitmap is twice the line height.
    EXPECT_EQ(font->getCharacterBitmap()->getHeight(), 2 * font->getMaxCharacterHeight());
    EXPECT_GT(font->getStringWidth("Ph A Depth"), font->getStringWidth("Ph A"));
    font->forget();
    setResourceFolderOverride("");
}

} // namespace
