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

// The file name a resource description is looked up under; empty for a name that would
// leave the resource folder.
std::string resourceName(const CResourceDescription& desc, const char* type) {
    std::string name;
    if (desc.type == CResourceDescription::kIntegerType) {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "bmp%05d", desc.id);
        name = buffer;
    } else {
        if (desc.name.empty() || desc.name.find('/') != std::string::npos) return {};
        name = desc.name;
    }
    if (type[0] != '\0') name += std::string(".") + type;
    return name;
}

// The resource folder's files first, so a replaced bitmap wins over the module's own copy.
std::unique_ptr<platform::Surface> load(const CResourceDescription& desc) {
    const bool named = desc.type == CResourceDescription::kStringType;
    for (const ImageType& t : kImageTypes) {
        if (!t.decode) continue;
        const std::string path = CBitmap::resourcePath(desc, named ? "" : t.extension);
        if (auto image = path.empty() ? nullptr : t.decode(path)) return image;
    }
    const EmbeddedResource* builtIn = findEmbeddedResource(resourceName(desc, named ? "" : "png"));
    return builtIn ? platform::Surface::loadPng(builtIn->data, builtIn->size) : nullptr;
}

} // namespace

std::string CBitmap::resourcePath(const CResourceDescription& desc, const char* type) {
    const std::string folder = getResourceFolder();
    const std::string name = resourceName(desc, type);
    if (folder.empty() || name.empty()) return {};
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
