#include "editor/CDecimalDigit.h"

#include "gui/CBitmap.h"

#include <algorithm>
#include <cmath>

using namespace GUI;

namespace {

constexpr int32_t kMaxDigits = 9;
constexpr CCoord kPoint = 10;
constexpr CCoord kPlus = 11;
constexpr CCoord kMinus = 12;

int64_t power10(int32_t n) {
    int64_t p = 1;
    while (n-- > 0) p *= 10;
    return p;
}

} // namespace

CDecimalDigit::CDecimalDigit(const CRect& size, CControlListener* listener, long tag, int v,
                             int integer, int frac, CCoord width, CCoord height, CBitmap* strip)
    : CControl(size, listener, tag, strip), digitWidth(width), digitHeight(height),
      integerDigits(std::clamp(integer, 0, kMaxDigits)),
      fracDigits(std::clamp(frac, 0, kMaxDigits)) {
    vmax = float(power10(integerDigits) - 1);
    vmin = -vmax;
    value = float(v);
}

void CDecimalDigit::setFracDigits(int digits) {
    digits = std::clamp(digits, 0, kMaxDigits);
    if (digits == fracDigits) return;
    fracDigits = digits;
    setDirty(true);
}

void CDecimalDigit::useSign(bool state) {
    if (state == sign) return;
    sign = state;
    setDirty(true);
}

void CDecimalDigit::drawCell(CDrawContext* context, CCoord index, CCoord cell) {
    const CRect dest(size.left + index * digitWidth, size.top, size.left + (index + 1) * digitWidth,
                     size.top + digitHeight);
    drawBackground(context, dest, {0, cell * digitHeight});
}

void CDecimalDigit::draw(CDrawContext* context) {
    const float shown = std::isnan(value) ? 0.f : value;
    const auto k = int64_t(std::clamp(shown, vmin, vmax));
    CCoord index = 0;
    if (sign) drawCell(context, index++, k < 0 ? kMinus : kPlus);
    const int64_t magnitude = k < 0 ? -k : k;
    for (int32_t d = integerDigits - 1; d >= 0; --d)
        drawCell(context, index++, std::min<int64_t>(magnitude / power10(d) % 10, 9));
    drawCell(context, index++, kPoint);
    const float fraction = std::isfinite(shown) ? std::fabs(shown - std::trunc(shown)) : 0.f;
    const auto digits = int64_t(fraction * float(power10(fracDigits)));
    for (int32_t d = fracDigits - 1; d >= 0; --d)
        drawCell(context, index++, digits / power10(d) % 10);
    setDirty(false);
}
