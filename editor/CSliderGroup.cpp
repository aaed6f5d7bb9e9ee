#include "editor/CSliderGroup.h"

#include "gui/CBitmap.h"

#include <algorithm>
#include <cmath>

using namespace GUI;

CSliderGroup::CSliderGroup(const CRect& size, CControlListener* listener, long tag, int32_t n,
                           CBitmap* h, CBitmap* background)
    : CControl(size, listener, tag, background), sliders(std::clamp(n, kMinSliders, kMaxSliders)),
      handle(h) {
    if (handle) {
        handle->remember();
        handleWidth = handle->getWidth();
        handleHeight = handle->getHeight();
    }
    if (background) trackLength = std::max<CCoord>(background->getHeight() - handleHeight, 0);
    pitch = (size.width() - sliders * handleWidth) / (sliders - 1) + handleWidth;
    for (int32_t i = 0; i < sliders; ++i) {
        values[size_t(i)] = float(i) / float(sliders);
        offsets[size_t(i)] = i * pitch;
    }
}

CSliderGroup::~CSliderGroup() {
    if (handle) handle->forget();
}

void CSliderGroup::setValue(int32_t index, float v) {
    if (index < 0 || index >= sliders) return;
    values[size_t(index)] = v;
    setDirty(true);
}

float CSliderGroup::getValue(int32_t index) const {
    return index < 0 || index >= sliders ? 0.f : values[size_t(index)];
}

int32_t CSliderGroup::inSliderTrack(CCoord x) const {
    const CCoord along = x - size.left;
    // Left of the view is no track (a division truncated toward zero would say slider 0).
    if (along < 0 || pitch <= 0) return -1;
    const CCoord i = along / pitch;
    if (i >= sliders || along > offsets[size_t(i)] + handleWidth) return -1;
    return int32_t(i);
}

void CSliderGroup::draw(CDrawContext* context) {
    if (pBackground) pBackground->draw(context, size, {});
    for (int32_t i = 0; i < sliders && handle; ++i) {
        const float v = std::isnan(values[size_t(i)]) ? 0.f : values[size_t(i)];
        const CCoord top =
            size.top + CCoord(std::clamp((1.f - v) * float(trackLength), 0.f, float(trackLength)));
        const CCoord left = size.left + offsets[size_t(i)];
        handle->draw(context, CRect(left, top, left + handleWidth, top + handleHeight));
    }
    setDirty(false);
}

void CSliderGroup::mouse(CDrawContext*, CPoint&) {}
