#include "editor/CMovieCharacterDisplay.h"

#include "gui/CBitmap.h"

#include <algorithm>

using namespace GUI;

namespace {
constexpr CCoord kCells = 95; // ' ' .. '~'
constexpr const char* kPlaceholder = "Orvella character display...";
} // namespace

CMovieCharacterDisplay::CMovieCharacterDisplay(const CRect& size, long tag, CBitmap* strip)
    : CCharacterDisplay(size, tag) {
    setTransparency(true);
    setBackground(strip);
    if (strip) {
        cellWidth = int16_t(std::min<CCoord>(strip->getWidth(), INT16_MAX));
        cellHeight = int16_t(std::min<CCoord>(strip->getHeight() / kCells, INT16_MAX));
    }
    setDisplayString(kPlaceholder);
    sizeInChars =
        cellWidth > 0 ? int16_t(std::clamp<CCoord>(size.width() / cellWidth, 0, INT16_MAX)) : 0;
}

void CMovieCharacterDisplay::drawCell(CDrawContext* context, CCoord index, char c) {
    const CCoord cell = c >= ' ' && c <= '~' ? c - ' ' : 0;
    const CRect dest(size.left + index * cellWidth, size.top, size.left + (index + 1) * cellWidth,
                     size.top + cellHeight);
    drawBackground(context, dest, {0, cell * cellHeight});
}

void CMovieCharacterDisplay::draw(CDrawContext* context) {
    setDirty(false);
    if (cellHeight <= 0) return;
    const CCoord cells = std::max<int16_t>(sizeInChars, 0);
    const CCoord n = std::min<CCoord>(CCoord(displayString.size()), cells);
    CCoord first = 0; // the cell of the first character drawn
    if (justification == 1) {
        if (autoErase)
            for (CCoord i = 0; i < cells; ++i) drawCell(context, i, ' ');
        first = cells / 2 - n / 2;
    } else if (justification == 2) {
        first = cells - n;
    }
    const CCoord from = justification == 2 ? CCoord(displayString.size()) - n : 0;
    for (CCoord i = 0; i < n; ++i) drawCell(context, first + i, displayString[size_t(from + i)]);
    if (autoErase && justification != 1) {
        const CCoord blankFrom = justification == 2 ? 0 : n;
        const CCoord blankTo = justification == 2 ? first : cells;
        for (CCoord i = blankFrom; i < blankTo; ++i) drawCell(context, i, ' ');
    }
}
