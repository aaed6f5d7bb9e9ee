#pragma once

#include "gui/CControl.h"

#include <vector>

// A grid of R x C on/off cells drawn from a two-cell strip (off above, on below). A click
// flips the cell under it and makes it the current cell; with Control held every other cell
// is cleared first. The value is the current cell's state. The attribute 'TQmc' (16 bytes)
// is the current cell as two signed 64-bit numbers, column then row. [ui thread] for every
// operation.
class CButtonMatrix : public GUI::CControl {
public:
    static constexpr GUI::CViewAttributeID kCurrentCellAttribute =
        'T' << 24 | 'Q' << 16 | 'm' << 8 | 'c';

    // Negative counts are taken as 0 (no cells).
    CButtonMatrix(const GUI::CRect& size, int32_t rows, int32_t columns,
                  GUI::CControlListener* listener, long tag, GUI::CBitmap* strip);

    // Sets the current cell: on for a value above 0.
    void setValue(float value) override;
    void setValue(unsigned char state);
    float getValue() const override;
    void clear();
    // All R x C cells, row by row.
    void setAllValues(const unsigned char* states);
    void getAllValues(unsigned char* states) const;
    // The cell under a point, column and row each held to the grid.
    void getCellFromPoint(const GUI::CPoint& where, GUI::CPoint& cell) const;
    GUI::CPoint getCurrentCell() const { return current; }

    bool getAttributeSize(GUI::CViewAttributeID id, int32_t& outSize) const override;
    bool getAttribute(GUI::CViewAttributeID id, int32_t inSize, void* outData,
                      int32_t& outSize) const override;
    // Refuses a cell outside the grid.
    bool setAttribute(GUI::CViewAttributeID id, int32_t inSize, const void* inData) override;

    void draw(GUI::CDrawContext* context) override;
    GUI::CMouseEventResult onMouseDown(GUI::CPoint& where,
                                       const GUI::CButtonState& buttons) override;
    GUI::CMouseEventResult onMouseUp(GUI::CPoint& where, const GUI::CButtonState& buttons) override;

private:
    unsigned char& cell(const GUI::CPoint& c) { return states[size_t(c.v * columns + c.h)]; }

    int32_t rows;
    int32_t columns;
    GUI::CCoord cellWidth = 0;
    GUI::CCoord cellHeight = 0;
    std::vector<unsigned char> states;
    GUI::CPoint current; // column, row
};
