#pragma once

// A private bundle for font tests: Contents/Info.plist naming fonts, Contents/Resources with
// glyph tables, glyph bitmaps and cell strips whose every glyph or cell is one solid colour.

#include "editor/ZudariraTable.h"
#include "gui/PluginBundle.h"

#include <cairo.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace fonttest {

// Opaque colour number k (0 .. 255), distinct for each k.
inline uint32_t color(int k) {
    return 0xff000000u | uint32_t(k) << 16 | uint32_t(255 - k) << 8 | 0x55u;
}

// Fills the image column by column (or row by row) with colour first, first + 1, ... per
// band of `band` pixels.
inline void writeBands(const std::string& path, int width, int height, int band, bool rows,
                       int first = 0) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cr = cairo_create(s);
    for (int i = 0; i * band < (rows ? height : width); ++i) {
        const uint32_t c = color(first + i);
        cairo_set_source_rgb(cr, ((c >> 16) & 255) / 255.0, ((c >> 8) & 255) / 255.0,
                             (c & 255) / 255.0);
        if (rows)
            cairo_rectangle(cr, 0, i * band, width, band);
        else
            cairo_rectangle(cr, i * band, 0, band, height);
        cairo_fill(cr);
    }
    cairo_destroy(cr);
    cairo_surface_write_to_png(s, path.c_str());
    cairo_surface_destroy(s);
}

// Pixel (x, y) in colour x, and below `half` rows in colour 100 + x.
inline void writeGlyphBitmap(const std::string& path, int width, int half) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, 2 * half);
    auto* pixels = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(s));
    const int stride = cairo_image_surface_get_stride(s) / 4;
    for (int y = 0; y < 2 * half; ++y)
        for (int x = 0; x < width; ++x) pixels[y * stride + x] = color(x + (y < half ? 0 : 100));
    cairo_surface_mark_dirty(s);
    cairo_surface_write_to_png(s, path.c_str());
    cairo_surface_destroy(s);
}

// A table file of the given records; `count` overrides the announced number.
inline std::vector<uint8_t> table(const std::vector<ZudariraGlyph>& glyphs, int count = -1) {
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

class Bundle {
public:
    Bundle() {
        root = std::filesystem::temp_directory_path() /
               ("orvella-fonts-" + std::to_string(::getpid()));
        std::filesystem::create_directories(resources());
        GUI::setResourceFolderOverride(resources().string());
    }
    ~Bundle() {
        GUI::setResourceFolderOverride("");
        std::filesystem::remove_all(root);
    }
    std::filesystem::path resources() const { return root / "Contents" / "Resources"; }

    // Info.plist with "ZudariraInfo_<id>" = name for each entry.
    void info(const std::vector<std::pair<long, std::string>>& fonts) const {
        std::ofstream f(root / "Contents" / "Info.plist");
        f << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>\n";
        for (const auto& [id, name] : fonts)
            f << "<key>ZudariraInfo_" << id << "</key><string>" << name << "</string>\n";
        f << "</dict></plist>\n";
    }
    void file(const std::string& name, const std::vector<uint8_t>& bytes) const {
        std::ofstream(resources() / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    std::string path(const std::string& name) const { return (resources() / name).string(); }

private:
    std::filesystem::path root;
};

} // namespace fonttest
