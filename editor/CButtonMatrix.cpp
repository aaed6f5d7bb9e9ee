#include "editor/CButtonMatrix.h"

#include "gui/CBitmap.h"

#include <algorithm>
#include <cstring>

using namespace GUI;

namespace {
constexpr int32_t kMaxSide = 1024; // rows or columns: far more than any view holds
constexpr int32_t kCellAttributeSize = 2 * sizeof(int64_t);
} // namespace

CButtonMatrix::CButtonMatrix(const CRect& size, int32_t r, int32_t c, CControlListener* listener,
                             long tag, CBitmap* strip)
    : CControl(size, listener, tag, strip), rows(std::clamp(r, 0, kMaxSide)),
      columns(std::clamp(c, 0, kMaxSide)), states(size_t(rows) * size_t(columns), 0) {
    if (strip) {
        cellWidth = strip->getWidth();
        cellHeight = strip->getHeight() / 2;
    }
}

void CButtonMatrix::setValue(float v) {
    setValue(static_cast<unsigned char>(v > 0.f ? 1 : 0));
}

void CButtonMatrix::setValue(unsigned char state) {
    if (states.empty()) return;
    cell(current) = state;
    value = state;
}

float CButtonMatrix::getValue() const {
    return states.empty() ? 0.f : float(states[size_t(current.v * columns + current.h)]);
}

void CButtonMatrix::clear() {
    std::fill(states.begin(), states.end(), 0);
    value = 0.f;
    setDirty(true);
}

void CButtonMatrix::setAllValues(const unsigned char* in) {
    if (!in) return;
    std::copy_n(in, states.size(), states.begin());
    value = getValue();
    setDirty(true);
}

void CButtonMatrix::getAllValues(unsigned char* out) const {
    if (out) std::copy(states.begin(), states.end(), out);
}

void CButtonMatrix::getCellFromPoint(const CPoint& where, CPoint& c) const {
    const CCoord column = cellWidth > 0 ? (where.h - size.left) / cellWidth : 0;
    const CCoord row = cellHeight > 0 ? (where.v - size.top) / cellHeight : 0;
    c = {std::clamp<CCoord>(column, 0, std::max(columns - 1, 0)),
         std::clamp<CCoord>(row, 0, std::max(rows - 1, 0))};
}

bool CButtonMatrix::getAttributeSize(CViewAttributeID id, int32_t& outSize) const {
    if (id != kCurrentCellAttribute) return false;
    outSize = kCellAttributeSize;
    return true;
}

bool CButtonMatrix::getAttribute(CViewAttributeID id, int32_t inSize, void* out,
                                 int32_t& outSize) const {
    if (id != kCurrentCellAttribute || inSize < kCellAttributeSize || !out) return false;
    const int64_t c[2] = {current.h, current.v};
    std::memcpy(out, c, sizeof c);
    outSize = kCellAttributeSize;
    return true;
}

bool CButtonMatrix::setAttribute(CViewAttributeID id, int32_t inSize, const void* in) {
    if (id != kCurrentCellAttribute || inSize != kCellAttributeSize || !in) return false;
    int64_t c[2];
    std::memcpy(c, in, sizeof c);
    if (c[0] < 0 || c[0] >= columns || c[1] < 0 || c[1] >= rows) return false;
    current = {c[0], c[1]};
    value = getValue();
    return true;
}

void CButtonMatrix::draw(CDrawContext* context) {
    for (int32_t r = 0; r < rows; ++r)
        for (int32_t c = 0; c < columns; ++c) {
            const CCoord left = size.left + c * cellWidth;
            const CCoord top = size.top + r * cellHeight;
            const bool on = states[size_t(r * columns + c)] != 0;
            drawBackground(context, CRect(left, top, left + cellWidth, top + cellHeight),
                           {0, on ? cellHeight : 0});
        }
    setDirty(false);
}

CMouseEventResult CButtonMatrix::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if (!(buttons & kLButton)) return kMouseEventNotHandled;
    beginEdit();
    if (buttons & kControl) clear();
    if (cellWidth > 0 && cellHeight > 0) {
        const CPoint c((where.h - size.left) / cellWidth, (where.v - size.top) / cellHeight);
        if (c.h >= 0 && c.h < columns && c.v >= 0 && c.v < rows) {
            current = c;
            cell(c) = cell(c) ? 0 : 1;
            value = cell(c);
        }
    }
    notifyValueChanged();
    invalid();
    return kMouseEventHandled;
}

CMouseEventResult CButtonMatrix::onMouseUp(CPoint&, const CButtonState&) {
    endEdit();
    return kMouseEventHandled;
}
