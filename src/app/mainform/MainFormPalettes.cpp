// The input line's palettes: the "Font Color" submenu with the "Default"
// item and the 25 named colours, and the "Emoticons" submenu.
#include "app/format/NamedColors.h"
#include "app/mainform/MainForm.h"

#include "app/format/Emoticons.h"
#include "app/kit/Kit.h"
#include "app/mainform/MainFormControls.h"
#include "app/mainform/MenuImages.h"
#include "platform/gui/Drawing.h"
#include "platform/gui/Edges.h"
#include "platform/gui/ImageList.h"

#include <QPainter>

namespace {

constexpr int kEmoticonColumns = 4;
constexpr int kEmoticonRows = 3;
constexpr int kEmoticonCellImage = 18;
constexpr int kItemImage = 16;
constexpr int kStripHeight = 4;

plat::TColor Rgb(plat::TColor color) {
    return color == plat::clNone ? color : plat::ColorToRGB(color);
}

} // namespace

void TMainForm::CreatePalettes() {
    VLColorSet = new kit::ColorSet(this);
    VLColorSet->setObjectName(QStringLiteral("VLColorSet"));
    VLColorSet->SetSize(kNamedColorColumns, kNamedColorRows);
    VLColorSet->OnGetColorInfo = [this](kit::ColorSet* sender, int col, int row,
                                        plat::TColor& color, QString& name) {
        VLColorSetGetColorInfo(sender, col, row, color, name);
    };

    ColorPalette = kit::CreateColorPalette(this, QStringLiteral("ColorPalette"));
    ColorPalette->SetColorSet(VLColorSet);
    ColorPalette->OnCellClick = [this](kit::IToolPalette* sender, int col, int row,
                                       bool& allowChange) {
        ColorPaletteCellClick(sender, col, row, allowChange);
    };
    ClrDefault =
        kit::CreateColorItem(this, QStringLiteral("ClrDefault"), QStringLiteral("Default"));
    ClrDefault->SetColor(plat::clWindowText);
    ClrDefault->OnClick = [this](kit::IColorItem* sender) { ClrDefaultClick(sender); };
    ColorItem->Menu()->AddColorItem(ClrDefault);
    ColorItem->Menu()->AddPalette(ColorPalette);
    ColorItem->SetImage(FontColorImage());
    ColorItem->OnDrawImage = [this](kit::ISubmenuItem*, QPainter& canvas, const QRect& rect,
                                    bool enabled) { ColorItemDrawImage(canvas, rect, enabled); };

    EmotPalette = kit::CreateToolPalette(this, QStringLiteral("EmotPalette"));
    EmotPalette->SetNoAutoSelect(true);
    EmotPalette->OnCalcImageSize = [this](kit::IToolPalette* sender, int& width, int& height) {
        EmotPaletteCalcImageSize(sender, width, height);
    };
    EmotPalette->OnDrawCellImage = [this](kit::IToolPalette* sender, QPainter& canvas,
                                          const QRect& rect, int col, int row, bool selected,
                                          bool hot, bool enabled) {
        EmotPaletteDrawCellImage(sender, canvas, rect, col, row, selected, hot, enabled);
    };
    EmotPalette->OnCellClick = [this](kit::IToolPalette* sender, int col, int row,
                                      bool& allowChange) {
        EmotPaletteCellClick(sender, col, row, allowChange);
    };
    EmotPalette->SetSize(kEmoticonColumns, kEmoticonRows);
    EmotItem->SetImage(EmoticonList->Image(0).scaled(kItemImage, kItemImage, Qt::KeepAspectRatio,
                                                     Qt::SmoothTransformation));
    EmotItem->Menu()->AddPalette(EmotPalette);

    RepaintColorItem();
}

void TMainForm::VLColorSetGetColorInfo(kit::ColorSet*, int Col, int Row, plat::TColor& Color,
                                       QString& Name) {
    const TNamedColorCell cell = NamedColorAt(Col, Row);
    Name = cell.Name;
    Color = cell.Color;
}

// The palette does not select the cell itself: its colour selects it.
void TMainForm::ColorPaletteCellClick(kit::IToolPalette*, int Col, int Row, bool& AllowChange) {
    AllowChange = false;
    const plat::TColor color = ColorPalette->GetCellColor(Col, Row);
    ColorPalette->SetColor(color);
    ClrDefault->SetChecked(Rgb(color) == Rgb(ClrDefault->Color()));
    RepaintColorItem();
    InputEdit->SetTypingColor(color);
}

void TMainForm::ClrDefaultClick(kit::IColorItem*) {
    ColorPalette->SetColor(ClrDefault->Color());
    ClrDefault->SetChecked(true);
    RepaintColorItem();
    InputEdit->SetTypingColor(ClrDefault->Color());
}

void TMainForm::ColorItemDrawImage(QPainter& Canvas, const QRect& ImageRect, bool Enabled) {
    if (!Enabled) {
        return;
    }
    const QRect strip(ImageRect.left(), ImageRect.bottom() + 1 - kStripHeight, ImageRect.width(),
                      kStripHeight);
    const plat::TColor color = ColorPalette->Color();
    if (color != plat::clNone) {
        plat::FillRectColor(Canvas, strip, color);
        return;
    }
    plat::TRect frame(strip);
    plat::Frame3D(Canvas, frame, plat::clBtnShadow, plat::clBtnFace, 1);
}

void TMainForm::RepaintColorItem() {
    ColorItem->Repaint();
}

void TMainForm::ColorPaletteFollowCaret() {
    ColorPalette->SetColor(InputEdit->TypingColor());
    RepaintColorItem();
}

void TMainForm::EmotPaletteCalcImageSize(kit::IToolPalette*, int& Width, int& Height) {
    Width = kEmoticonCellImage;
    Height = kEmoticonCellImage;
}

void TMainForm::EmotPaletteDrawCellImage(kit::IToolPalette*, QPainter& Canvas, const QRect& Rect,
                                         int Col, int Row, bool, bool, bool) {
    EmoticonList->Draw(Canvas, Rect.left(), Rect.top(), Row * kEmoticonColumns + Col, plat::clNone);
}

void TMainForm::EmotPaletteCellClick(kit::IToolPalette*, int Col, int Row, bool&) {
    InputEdit->insertPlainText(EmoticonText(Row * kEmoticonColumns + Col));
}
