#include "editor/CSelectorSwitch.h"

#include "gui/CBitmap.h"

#include <algorithm>
#include <cmath>

using namespace GUI;

namespace {
constexpr int32_t kMaxSide = 1024; // rows or columns: far more than any strip holds
} // namespace

CSelectorSwitch::CSelectorSwitch(const CRect& size, CControlListener* listener, long tag, int32_t r,
                                 int32_t c, CBitmap* strip, bool byRow, const CPoint& off)
    : CControl(size, listener, tag, strip), rows(std::clamp(r, 0, kMaxSide)),
      columns(std::clamp(c, 0, kMaxSide)), positions(rows * columns), rowMajor(byRow), offset(off) {
    defaultValue = 0.f;
    if (strip && positions > 0) {
        frameHeight = strip->getHeight() / positions;
        cellHeight = float(frameHeight) / float(rows);
        cellWidth = float(strip->getWidth()) / float(columns);
    }
}

void CSelectorSwitch::draw(CDrawContext* context) {
    const float position = std::isnan(value) ? 0.f : float(positions - 1) * value;
    const auto frame = CCoord(std::clamp(position, 0.f, float(std::max(positions - 1, 0))));
    if (pBackground) pBackground->draw(context, size, {offset.h, offset.v + frame * frameHeight});
    setDirty(false);
}

CMouseEventResult CSelectorSwitch::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    beginEdit();
    return onMouseMoved(where, buttons);
}

CMouseEventResult CSelectorSwitch::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    // Without cells, or with one, there is nothing to choose.
    if (!(cellHeight > 0.f) || !(cellWidth > 0.f) || positions < 2) return kMouseEventHandled;
    const float x = float(where.h - 1 - size.left);
    const float y = float(where.v - 2 - size.top);
    // A point past the grid counts as its last row or column: unclamped, a row past the
    // bottom of a column-major grid would pick the top of the next column.
    const auto row = int32_t(std::clamp(y / cellHeight, 0.f, float(rows - 1)));
    const auto column = int32_t(std::clamp(x / cellWidth, 0.f, float(columns - 1)));
    const int32_t index = rowMajor ? column + columns * row : column * rows + row;
    value = std::clamp(float(index) / float(positions - 1), 0.f, 1.f);
    if (isDirty()) {
        notifyValueChanged();
        invalid();
    }
    return kMouseEventHandled;
}

CMouseEventResult CSelectorSwitch::onMouseUp(CPoint&, const CButtonState&) {
    endEdit();
    return kMouseEventHandled;
}
