#include "gui/CBitmap.h"

#include "gui/CDrawContext.h"
#include "gui/PluginBundle.h"
#include "gui/platform/Painter.h"
#include "gui/platform/Surface.h"

#include <cstdio>

namespace GUI {

namespace {

using Decoder = std::unique_ptr<platform::Surface> (*)(const std::string&);

struct ImageType {
    const char* extension;
    Decoder decode; // null: the drawing layer cannot read this type, so it never matches
};

// Lookup order for numbered resources; the first file that decodes wins.
constexpr ImageType kImageTypes[] = {
    {"png", &platform::Surface::loadPng},
    {"bmp", nullptr},
    {"jpg", nullptr},
    {"pict", nullptr},
};

std::unique_ptr<platform::Surface> load(const CResourceDescription& desc) {
    if (desc.type == CResourceDescription::kStringType) {
        const std::string path = CBitmap::resourcePath(desc, "");
        return path.empty() ? nullptr : platform::Surface::loadPng(path);
    }
    for (const ImageType& t : kImageTypes) {
        if (!t.decode) continue;
        const std::string path = CBitmap::resourcePath(desc, t.extension);
        if (path.empty()) return nullptr;
        if (auto image = t.decode(path)) return image;
    }
    return nullptr;
}

} // namespace

std::string CBitmap::resourcePath(const CResourceDescription& desc, const char* type) {
    const std::string folder = getResourceFolder();
    if (folder.empty()) return {};
    std::string name;
    if (desc.type == CResourceDescription::kIntegerType) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "bmp%05d", desc.id);
        name = buffer;
    } else {
        // A name never leaves the resource folder.
        if (desc.name.empty() || desc.name.find('/') != std::string::npos) return {};
        name = desc.name;
    }
    if (type[0] != '\0') name += std::string(".") + type;
    return folder + "/" + name;
}

CBitmap::CBitmap(const CResourceDescription& desc) : CBitmap(load(desc), desc) {}

CBitmap::CBitmap(std::unique_ptr<platform::Surface> img) : CBitmap(std::move(img), 0) {}

CBitmap::CBitmap(std::shared_ptr<platform::Surface> img, const CResourceDescription& desc)
    : resourceDesc(desc), image(std::move(img)) {
    if (image) {
        width = image->width();
        height = image->height();
    }
}

CBitmap::~CBitmap() = default;

bool CBitmap::hasAlphaChannel() const {
    return image && image->hasAlpha();
}

void CBitmap::drawImage(CDrawContext* context, const CRect& rect, const CPoint& offset, bool masked,
                        uint8_t alpha) {
    if (!context || !image) return;
    if (masked && !maskedImage) maskedImage = image->withoutColor(transparentColor);
    const platform::Surface& source = masked ? *maskedImage : *image;
    context->getPainter().drawImage(source, rect, offset, alpha / 255.0);
}

void CBitmap::draw(CDrawContext* context, const CRect& rect, const CPoint& offset) {
    drawImage(context, rect, offset, false, 255);
}

void CBitmap::drawTransparent(CDrawContext* context, const CRect& rect, const CPoint& offset) {
    drawImage(context, rect, offset, true, 255);
}

void CBitmap::drawAlphaBlend(CDrawContext* context, const CRect& rect, const CPoint& offset,
                             uint8_t alpha) {
    drawImage(context, rect, offset, false, alpha);
}

void CBitmap::setTransparentColor(const CColor& color) {
    if (color == transparentColor) return;
    transparentColor = color;
    maskedImage.reset();
}

} // namespace GUI
