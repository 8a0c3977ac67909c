#pragma once
// The Flat theme: light tool bar and pop-up backgrounds mixed from the system
// colours, items that show a coloured fill with a one-pixel frame when hot,
// checked or pushed, pop-ups with drop shadows of their own, and glyphs from
// a small monochrome strip. Its colours live in one cache computed when the
// theme is prepared; two state tables pick fill, text and frame for every
// state of a tool bar item and of a menu item.

#include "dockkit/themes/DkTheme.h"

#include <array>

namespace dk {

// The colour cache's entries.
enum FlatColor : int {
    fcMenuBarBack = 0,
    fcToolbarBack = 1,
    fcPopupBack = 2,
    fcPanelBack = 3,
    fcPopupFrame = 4,
    fcSeparator = 5,   // separators and drag handles
    fcCaptionBack = 6, // floating captions
    fcCaptionText = 7,
    fcDragHandle = 8,
    fcFace = 9,
    fcFaceLine = 10,
    fcPanelFrame = 11, // docked panel captions
    fcPanelCaptionBack = 12,
    fcPanelCaptionText = 13,
    fcStatusFrame = 14, // status bars
    fcStatusBack = 15,
    fcStatusGrip = 16,
    fcToolbarStates = 17, // 8 states x (fill, text, frame)
    fcMenuStates = 41,    // 4 states x (fill, text, frame)
    fcBorder = 53,        // tool bar and floating borders
    fcStatusPanel = 54,
    fcStatusPanelLast = 55,
    fcHotShade = 56,
    fcCheckBack = 57,
    kFlatColorCount = 58,
};

// Tool bar item states and menu item states.
enum FlatToolbarState : int {
    ftsNormal,
    ftsDisabled,
    ftsChecked,
    ftsPushed,
    ftsHot,
    ftsDisabledHot,
    ftsCheckedHot,
    ftsDropDownOpen,
};
enum FlatMenuState : int { fmsNormal, fmsDisabled, fmsHot, fmsDisabledHot };

// One state's colours; clNone draws nothing.
struct FlatStateColors {
    plat::TColor Fill = plat::clNone;
    plat::TColor Text = plat::clNone;
    plat::TColor Frame = plat::clNone;

    bool operator==(const FlatStateColors&) const = default;
};

} // namespace dk

class TDkxFlatTheme : public TDkxTheme {
public:
    TDkxFlatTheme();
    ~TDkxFlatTheme() override;
    TDkxFlatTheme(const TDkxFlatTheme&) = delete;
    TDkxFlatTheme& operator=(const TDkxFlatTheme&) = delete;

    // Computes the colour cache from the system colours and the kit values.
    void Prepare() override;

    // The cache (valid after Prepare).
    plat::TColor CachedColor(int index) const { return colors_[static_cast<size_t>(index)]; }
    // The state of an item in the tool bar table or the menu table, and the
    // table that applies to the item.
    static int ToolbarState(const dk::TDkxItemInfo& info);
    static int MenuState(const dk::TDkxItemInfo& info);
    static bool UsesMenuTable(const dk::TDkxItemInfo& info);
    // The colours of the item's state from its table, with the opaque tool
    // bar's lookup.
    dk::FlatStateColors ItemColors(const dk::TDkxItemInfo& info) const;
    // The shared glyph strip (image 0 is the close cross) and how many themes use it.
    static const plat::ImageList* Glyphs();
    static int GlyphUsers();

    QPoint GetImageShift(QPainter& canvas, const dk::TDkxItemInfo& info,
                         const plat::ImageList* images) override;
    plat::TColor GetItemBackColor(const dk::TDkxItemInfo& info) override;
    plat::TColor GetImageBackColor(const dk::TDkxItemInfo& info) override;
    int GetPopupShadowStyle() override;
    QPoint GetViewBorderSize(unsigned viewKind) override;
    plat::TColor GetViewBackColor(unsigned viewKind) override;
    dk::TDkxMargins GetViewMargins(unsigned viewKind) override;

    void DrawButtonFace(QPainter& canvas, const plat::TRect& rect,
                        const dk::TDkxItemInfo& info) override;
    void DrawItemCaption(QPainter& canvas, const plat::TRect& rect, const dk::TDkxItemInfo& info,
                         const QString& text, unsigned format, bool rotated) override;
    void DrawCheckGlyph(QPainter& canvas, const plat::TRect& rect,
                        const dk::TDkxItemInfo& info) override;
    void DrawChevronGlyph(QPainter& canvas, const plat::TRect& rect,
                          const dk::TDkxItemInfo& info) override;
    void DrawEditFrame(QPainter& canvas, const plat::TRect& rect, const dk::TDkxItemInfo& info,
                       const dk::TDkxEditFrameInfo& frame) override;
    void DrawEditButton(QPainter& canvas, const plat::TRect& rect, const dk::TDkxItemInfo& info,
                        const dk::TDkxEditButtonInfo& button) override;

    void DrawDockPanelFrame(QPainter& canvas, const plat::TRect& rect,
                            const dk::TDkxDockPanelInfo& info) override;
    void DrawDropDownGlyph(QPainter& canvas, const plat::TRect& rect,
                           const dk::TDkxItemInfo& info) override;
    void DrawFloatingFrame(QPainter& canvas, const plat::TRect& rect,
                           const dk::TDkxFloatingBorderInfo& info) override;
    void DrawEditBorder(QPainter& canvas, const plat::TRect& rect,
                        const dk::TDkxItemInfo& info) override;

    void DrawItemImage(QPainter& canvas, const plat::TRect& rect, const dk::TDkxItemInfo& info,
                       const plat::ImageList* images, int index) override;
    void DrawWindowButton(QPainter& canvas, const plat::TRect& rect, const dk::TDkxItemInfo& info,
                          int buttonKind) override;
    void DrawMenuItem(QPainter& canvas, const plat::TRect& rect,
                      const dk::TDkxItemInfo& info) override;
    void DrawMenuItemFrame(QPainter& canvas, const plat::TRect& rect,
                           const dk::TDkxItemInfo& info) override;
    void DrawScrollArrowButton(QPainter& canvas, const plat::TRect& rect, int buttonKind,
                               bool hot) override;
    void DrawPopupFrame(QPainter& canvas, const plat::TRect& rect,
                        const dk::TDkxPopupInfo& info) override;
    void DrawSeparator(QPainter& canvas, const plat::TRect& rect, const dk::TDkxItemInfo& info,
                       bool horizontal, bool lineOnly) override;
    void DrawToolbarFrame(QPainter& canvas, const plat::TRect& rect,
                          const dk::TDkxToolbarInfo& info) override;
    void DrawCheckRadioFrame(QPainter& canvas, const plat::TRect& rect, int kind,
                             unsigned state) override;
    void DrawStatusBarPart(QPainter& canvas, const plat::TRect& rect, int part) override;

    int GetIntegerValue(int index) override;
    bool GetBooleanValue(int index) override;

private:
    dk::FlatStateColors StateColors(int firstEntry, int state) const;
    // The close cross (image 0 of the strip) in the colour, centred.
    void DrawCloseCross(QPainter& canvas, const plat::TRect& rect, plat::TColor color) const;
    // A small close button in a state: hot and pushed take the tool bar
    // table's hot and pushed colours.
    void DrawCloseButton(QPainter& canvas, const plat::TRect& rect, unsigned state) const;

    std::array<plat::TColor, dk::kFlatColorCount> colors_{};
};
