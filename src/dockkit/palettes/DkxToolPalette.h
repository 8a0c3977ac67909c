#pragma once
// Tool palettes: an item that shows a grid of cells instead of one button.
// In a tool bar or a drop-down menu the user points at cells, clicks them or
// keys through them; the palette keeps one selected cell. Cells are drawn
// from the item's image list (cell n is image row x ColCount + col) or by the
// owner, on button faces the current theme paints.

#include "dockkit/themes/DkThemeTypes.h"
#include "dockkit/themes/DkThemedItem.h"
#include "dockkit/themes/DkThemedViewer.h"

#include "platform/gui/Rect.h"

#include <QString>

#include <cstdint>
#include <functional>

class QPainter;

// Palette options, one bit each.
using TDkxToolPaletteOptions = unsigned;
constexpr TDkxToolPaletteOptions tpoCustomImages = 0x1; // cells drawn only by the owner
constexpr TDkxToolPaletteOptions tpoNoAutoSelect = 0x2; // a click leaves the selection alone

namespace dk {

// A cell of a palette; column -1 is no cell.
struct PaletteCell {
    int Col = -1;
    int Row = -1;

    bool IsNone() const { return Col < 0; }
    bool operator==(const PaletteCell&) const = default;
};

} // namespace dk

class TDkxCustomToolPalette : public TDkxCustomItem {
    Q_OBJECT
public:
    using TDkxPaletteEvent = std::function<void(TDkxCustomToolPalette* Sender)>;
    using TDkxCalcImageSizeEvent = std::function<void(TDkxCustomToolPalette* Sender,
                                                      QPainter& Canvas, int& AWidth, int& AHeight)>;
    using TDkxCellClickEvent =
        std::function<void(TDkxCustomToolPalette* Sender, int ACol, int ARow, bool& AllowChange)>;
    using TDkxDrawCellImageEvent = std::function<void(
        TDkxCustomToolPalette* Sender, QPainter& Canvas, const plat::TRect& ARect, int ACol,
        int ARow, bool Selected, bool Hot, bool Enabled)>;
    using TDkxGetCellVisibleEvent =
        std::function<void(TDkxCustomToolPalette* Sender, int ACol, int ARow, bool& Visible)>;
    using TDkxGetCellHintEvent =
        std::function<void(TDkxCustomToolPalette* Sender, int ACol, int ARow, QString& HintText)>;

    // One cell, shown in tool bar style.
    explicit TDkxCustomToolPalette(QObject* owner = nullptr);
    ~TDkxCustomToolPalette() override;

    // --- Properties ---
    // 0 to 255; a change lays the views out again.
    int ColCount() const { return colCount_; }
    void SetColCount(int value);
    int RowCount() const { return rowCount_; }
    void SetRowCount(int value);
    TDkxToolPaletteOptions PaletteOptions() const { return paletteOptions_; }
    void SetPaletteOptions(TDkxToolPaletteOptions value);

    // The selected cell (column -1: none). Setting stores it, lays the views
    // out again and calls DoChange.
    dk::PaletteCell SelectedCell() const { return selected_; }
    void SetSelectedCell(int col, int row);

    // Whether the cell shows: inside the grid, below the image count when
    // the cells are the list's images, and not refused by DoGetCellVisible.
    bool CellVisible(int col, int row, const plat::ImageList* images) const;

    // --- Events ---
    TDkxCalcImageSizeEvent OnCalcImageSize;
    TDkxCellClickEvent OnCellClick;
    TDkxPaletteEvent OnChange;
    TDkxDrawCellImageEvent OnDrawCellImage;
    TDkxGetCellVisibleEvent OnGetCellVisible;
    TDkxGetCellHintEvent OnGetCellHint;

    // --- Operations ---
    // Adjusts the cell size (the image size here); nothing by default.
    virtual void DoCalcCellSize(QPainter& canvas, int& width, int& height);
    // Adjusts the image size; fires OnCalcImageSize.
    virtual void DoCalcImageSize(QPainter& canvas, int& width, int& height);
    // Fires OnCellClick; answers whether the selection may move there.
    virtual bool DoCellClick(int col, int row);
    // Fires OnChange.
    virtual void DoChange();
    // Fires OnDrawCellImage with the cell's state from the paint record.
    virtual void DoDrawCellImage(QPainter& canvas, const plat::TRect& rect, int col, int row,
                                 const dk::TDkxItemInfo& info);
    // Fires OnGetCellVisible.
    virtual void DoGetCellVisible(int col, int row, bool& visible) const;
    // Fires OnGetCellHint.
    virtual void DoGetHint(dk::PaletteCell cell, QString& hintText) const;
    // A click on the cell: DoCellClick, then (when allowed and clicks
    // select) the cell becomes the selected one.
    virtual void HandleClickCell(int col, int row);

    std::unique_ptr<TDkItemViewer> CreateViewer(TDkView* view, int groupLevel) override;

private:
    uint8_t colCount_ = 1;
    uint8_t rowCount_ = 1;
    TDkxToolPaletteOptions paletteOptions_ = 0;
    dk::PaletteCell selected_;
};

class TDkxToolPalette : public TDkxCustomToolPalette {
    Q_OBJECT
public:
    using TDkxCustomToolPalette::TDkxCustomToolPalette;
};

// The viewer of a palette: measures the grid, paints the cells, tracks the
// cell under the pointer (the hot cell) and moves it by keys. With Stretch
// the cells spread over the room the view gives the palette.
class TDkxToolViewer : public TDkxItemViewer {
public:
    TDkxToolViewer(TDkView* view, TDkxCustomToolPalette* palette, int groupLevel);

    TDkxCustomToolPalette* Palette() const;

    // The cell's rectangle inside `bounds` (the viewer's rectangle).
    plat::TRect CellRect(const plat::TRect& bounds, int col, int row) const;
    // The visible cell at the point (relative to the viewer); none outside
    // the viewer, on a hidden cell or on a grid without room.
    dk::PaletteCell HitTest(QPoint point) const;
    bool CellVisible(dk::PaletteCell cell) const;
    dk::PaletteCell HotCell() const { return hot_; }
    QSize CellSize() const { return {cellWidth_, cellHeight_}; }

    void CalcSize(QPainter& canvas, int& width, int& height) override;
    void Paint(QPainter& canvas, const plat::TRect& clientArea, bool isHoverItem, bool isPushed,
               bool useDisabledShadow) override;
    void MouseMove(int x, int y) override;
    void MouseDown(bool doubleClick, int x, int y, bool& mouseDownOnMenu) override;
    void MouseUp(int x, int y, bool mouseWasDownOnMenu) override;
    // Navigation keys move the hot cell while it stays on visible cells;
    // Enter clicks it.
    void KeyDown(int& key, Qt::KeyboardModifiers shift) override;
    // Coming from the viewer above starts at the first cell, from below at
    // the last visible cell of the last row.
    void Entering(TDkItemViewer* previous) override;
    // The hint of the cell under the point, over that cell.
    QString GetHint(QPoint point, plat::TRect& rect) const override;

private:
    void SetHotCell(dk::PaletteCell cell);
    void InvalidateCell(dk::PaletteCell cell);

    int cols_ = 0;
    int rows_ = 0;
    int cellWidth_ = 0;
    int cellHeight_ = 0;
    int imageWidth_ = 0;
    int imageHeight_ = 0;
    dk::PaletteCell hot_;
    bool mouseDown_ = false;
};
