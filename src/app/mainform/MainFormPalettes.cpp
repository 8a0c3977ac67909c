// The input line's palettes: the "Font Color" submenu with the "Default"
// item and the 25 named colours, and the "Emoticons" submenu.
#include "app/format/NamedColors.h"
#include "app/mainform/MainForm.h"

#include "app/common/FormBars.h"
#include "app/format/Emoticons.h"
#include "app/mainform/MainFormControls.h"
#include "dockkit/palettes/DkxColorItem.h"
#include "dockkit/palettes/DkxColorPalette.h"
#include "dockkit/palettes/DkxColorSet.h"
#include "dockkit/palettes/DkxToolPalette.h"
#include "dockkit/themes/DkThemeTypes.h"
#include "platform/gui/Drawing.h"
#include "platform/gui/Edges.h"
#include "platform/gui/ImageList.h"
#include "platform/gui/Rect.h"

#include <QPainter>

namespace {

constexpr int kEmoticonColumns = 4;
constexpr int kEmoticonRows = 3;
constexpr int kEmoticonCellImage = 18;
constexpr int kStripHeight = 4;

plat::TColor Rgb(plat::TColor color) {
    return color == plat::clNone ? color : plat::ColorToRGB(color);
}

} // namespace

void TMainForm::CreatePalettes() {
    VLColorSet = new TDkxColorSet(this);
    VLColorSet->setObjectName(QStringLiteral("VLColorSet"));
    VLColorSet->SetSize(kNamedColorColumns, kNamedColorRows);
    VLColorSet->OnGetColorInfo = [this](TDkxCustomColorSet* sender, int col, int row,
                                        plat::TColor& color, QString& name) {
        VLColorSetGetColorInfo(sender, col, row, color, name);
    };

    ClrDefault = AddDefaultColorItem(ColorItem, plat::clWindowText);
    ClrDefault->OnClick =
        TDkCustomItem::TNotifyEvent([this](QObject* sender) { ClrDefaultClick(sender); }, this);
    ColorPalette = new TDkxColorPalette(ColorItem);
    ColorPalette->setObjectName(QStringLiteral("ColorPalette"));
    ColorPalette->SetColorSet(VLColorSet);
    ColorPalette->OnCellClick = [this](TDkxCustomToolPalette* sender, int col, int row,
                                       bool& allowChange) {
        ColorPaletteCellClick(sender, col, row, allowChange);
    };
    ColorItem->Add(ColorPalette);
    ColorItem->OnDrawImage = [this](TDkxCustomItem* item, TDkItemViewer* viewer, QPainter& canvas,
                                    const plat::TRect& rect, QPoint offset, unsigned state) {
        ColorItemDrawImage(item, viewer, canvas, rect, offset, state);
    };

    EmotPalette = new TDkxToolPalette(EmotItem);
    EmotPalette->setObjectName(QStringLiteral("EmotPalette"));
    EmotPalette->SetPaletteOptions(tpoCustomImages | tpoNoAutoSelect);
    EmotPalette->OnCalcImageSize = [this](TDkxCustomToolPalette* sender, QPainter& canvas,
                                          int& width, int& height) {
        EmotPaletteCalcImageSize(sender, canvas, width, height);
    };
    EmotPalette->OnDrawCellImage = [this](TDkxCustomToolPalette* sender, QPainter& canvas,
                                          const plat::TRect& rect, int col, int row, bool selected,
                                          bool hot, bool enabled) {
        EmotPaletteDrawCellImage(sender, canvas, rect, col, row, selected, hot, enabled);
    };
    EmotPalette->OnCellClick = [this](TDkxCustomToolPalette* sender, int col, int row,
                                      bool& allowChange) {
        EmotPaletteCellClick(sender, col, row, allowChange);
    };
    EmotPalette->SetColCount(kEmoticonColumns);
    EmotPalette->SetRowCount(kEmoticonRows);
    EmotItem->Add(EmotPalette);

    RepaintColorItem();
}

void TMainForm::VLColorSetGetColorInfo(TDkxCustomColorSet*, int Col, int Row, plat::TColor& Color,
                                       QString& Name) {
    const TNamedColorCell cell = NamedColorAt(Col, Row);
    Name = cell.Name;
    Color = cell.Color;
}

// The palette does not select the cell itself: its colour selects it.
void TMainForm::ColorPaletteCellClick(TDkxCustomToolPalette*, int Col, int Row, bool& AllowChange) {
    AllowChange = false;
    const plat::TColor color = ColorPalette->GetCellColor(Col, Row);
    ColorPalette->SetColor(color);
    ClrDefault->SetChecked(Rgb(color) == Rgb(ClrDefault->Color()));
    RepaintColorItem();
    InputEdit->SetTypingColor(color);
}

void TMainForm::ClrDefaultClick(QObject*) {
    ColorPalette->SetColor(ClrDefault->Color());
    ClrDefault->SetChecked(true);
    RepaintColorItem();
    InputEdit->SetTypingColor(ClrDefault->Color());
}

void TMainForm::ColorItemDrawImage(TDkxCustomItem*, TDkItemViewer*, QPainter& Canvas,
                                   const plat::TRect& ImageRect, QPoint ImageOffset,
                                   unsigned StateFlags) {
    if ((StateFlags & dk::ItemStateDisabled) != 0) {
        return;
    }
    const QRect image = ImageRect.ToQRect().translated(ImageOffset);
    const QRect strip(image.left(), image.bottom() + 1 - kStripHeight, image.width(), kStripHeight);
    const plat::TColor color = ColorPalette->Color();
    if (color != plat::clNone) {
        plat::FillRectColor(Canvas, strip, color);
        return;
    }
    plat::TRect frame(strip);
    plat::Frame3D(Canvas, frame, plat::clBtnShadow, plat::clBtnFace, 1);
}

void TMainForm::RepaintColorItem() {
    ColorItem->Change(false);
}

void TMainForm::ColorPaletteFollowCaret() {
    ColorPalette->SetColor(InputEdit->TypingColor());
    RepaintColorItem();
}

void TMainForm::EmotPaletteCalcImageSize(TDkxCustomToolPalette*, QPainter&, int& Width,
                                         int& Height) {
    Width = kEmoticonCellImage;
    Height = kEmoticonCellImage;
}

void TMainForm::EmotPaletteDrawCellImage(TDkxCustomToolPalette*, QPainter& Canvas,
                                         const plat::TRect& Rect, int Col, int Row, bool, bool,
                                         bool) {
    EmoticonList->Draw(Canvas, Rect.Left, Rect.Top, Row * kEmoticonColumns + Col, plat::clNone);
}

void TMainForm::EmotPaletteCellClick(TDkxCustomToolPalette*, int Col, int Row, bool&) {
    InputEdit->insertPlainText(EmoticonText(Row * kEmoticonColumns + Col));
}
