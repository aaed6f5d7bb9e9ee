#pragma once

#include "gui/CBaseObject.h"
#include "gui/CColor.h"
#include "gui/CRect.h"
#include "gui/CResourceDescription.h"

#include <memory>

namespace GUI {

class CDrawContext;
namespace platform {
class Surface;
}

// An image loaded from the plug-in's resources. Id n is read from "bmp%05d" with the types
// png, bmp, jpg, pict tried in turn; a name is read as given. One that does not load is
// 0 x 0 and draws nothing. [ui thread] for every operation.
class CBitmap : public CBaseObject {
public:
    explicit CBitmap(const CResourceDescription& desc);
    // An image made elsewhere (generated artwork); the bitmap takes it over.
    explicit CBitmap(std::unique_ptr<platform::Surface> image);
    ~CBitmap() override;

    // Copies the part of the image that starts at `offset` into `rect`, without scaling.
    virtual void draw(CDrawContext* context, const CRect& rect, const CPoint& offset = {});
    // The same, leaving out pixels of the transparent colour.
    virtual void drawTransparent(CDrawContext* context, const CRect& rect,
                                 const CPoint& offset = {});
    // The same, with the whole image scaled in opacity by alpha / 255.
    virtual void drawAlphaBlend(CDrawContext* context, const CRect& rect, const CPoint& offset,
                                uint8_t alpha);

    CCoord getWidth() const { return width; }
    CCoord getHeight() const { return height; }
    bool isLoaded() const { return image != nullptr; }
    const CResourceDescription& getResourceDescription() const { return resourceDesc; }

    void setTransparentColor(const CColor& color);
    CColor getTransparentColor() const { return transparentColor; }

    // The image, which bitmaps made from this one share; null when none loaded.
    const std::shared_ptr<platform::Surface>& sharedImage() const { return image; }

    // The file a resource description is looked up in for a given type ("" for none).
    static std::string resourcePath(const CResourceDescription& desc, const char* type);

protected:
    // A bitmap drawing an image that others may share.
    CBitmap(std::shared_ptr<platform::Surface> image, const CResourceDescription& desc);
    // False for images decoded from files without an alpha channel of their own.
    bool hasAlphaChannel() const;
    // Draws the image, without the transparent colour when `masked`, at opacity alpha / 255.
    void drawImage(CDrawContext* context, const CRect& rect, const CPoint& offset, bool masked,
                   uint8_t alpha);

private:
    CResourceDescription resourceDesc;
    std::shared_ptr<platform::Surface> image;
    std::unique_ptr<platform::Surface> maskedImage; // made on first transparent draw
    CCoord width = 0;
    CCoord height = 0;
    CColor transparentColor = kWhiteCColor;
};

} // namespace GUI
