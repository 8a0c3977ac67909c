// The input line's palettes: the "Font Color" submenu with the "Default"
// item and the 25 named colours, and the "Emoticons" submenu.
#include "app/MainForm.h"

#include "app/Emoticons.h"
#include "app/MainFormControls.h"
#include "app/kit/Kit.h"
#include "platform/gui/Drawing.h"
#include "platform/gui/ImageList.h"

#include <QAction>
#include <QIcon>
#include <QMenu>
#include <QPainter>
#include <QPixmap>

#include <array>

namespace {

struct TNamedColor {
    const char* Name;
    uint32_t Rgb; // 0xRRGGBB
};

// Cell (column, row) holds entry row * 5 + column.
constexpr int kColorColumns = 5;
constexpr int kColorRows = 5;
constexpr std::array<TNamedColor, kColorColumns * kColorRows> kNamedColors{{
    {"Black", 0x000000},      {"Grey", 0xDFDFD7},      {"White", 0xFFFFFF},
    {"Ivory", 0xFFFFCF},      {"Cream", 0xFFE7A6},     {"Olive", 0x9E9D20},
    {"Tan", 0xCFAD41},        {"Wheat", 0xDFDF41},     {"Goldenrod", 0xFFFF41},
    {"Yellow", 0xFFFF00},     {"Lime", 0x00F700},      {"Lawn Green", 0x00EF00},
    {"Green", 0x00DF41},      {"Sea Green", 0x61E78E}, {"Hunter", 0x61AD61},
    {"Forest", 0x00A551},     {"Cyan", 0x00FFFF},      {"Sky", 0x30D7FF},
    {"Slate Blue", 0x9ED7DF}, {"Lavender", 0x8EB5FF},  {"Periwinkle", 0x9C9CFF},
    {"Blue", 0x0000FF},       {"Fuchsia", 0xFF00FF},   {"Magenta", 0xFF009E},
    {"Red", 0xFF0000},
}};

constexpr int kEmoticonColumns = 4;
constexpr int kEmoticonRows = 3;
constexpr int kEmoticonCellImage = 18;
constexpr int kItemImage = 16;
constexpr int kStripHeight = 4;

plat::TColor Rgb(plat::TColor color) {
    return color == plat::clNone ? color : plat::ColorToRGB(color);
}

// The "Font Color" item's picture above its strip: a letter A.
void DrawLetter(QPainter& p, const QColor& color) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(color, 1.6, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.drawPolyline(QPolygonF{QPointF(3.0, 11.0), QPointF(8.0, 1.0), QPointF(13.0, 11.0)});
    p.drawLine(QPointF(5.0, 7.5), QPointF(11.0, 7.5));
}

} // namespace

void TMainForm::CreatePalettes() {
    VLColorSet = new kit::ColorSet(this);
    VLColorSet->setObjectName(QStringLiteral("VLColorSet"));
    VLColorSet->SetSize(kColorColumns, kColorRows);
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
    ColorItem = new QMenu(QStringLiteral("Font Color"), this);
    ColorItem->setObjectName(QStringLiteral("ColorItem"));
    ColorItem->addAction(ClrDefault->Action());
    ColorItem->addAction(ColorPalette->Action());

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
    EmotItem = new QMenu(QStringLiteral("Emoticons"), this);
    EmotItem->setObjectName(QStringLiteral("EmotItem"));
    EmotItem->setIcon(QIcon(QPixmap::fromImage(EmoticonList->Image(0).scaled(
        kItemImage, kItemImage, Qt::KeepAspectRatio, Qt::SmoothTransformation))));
    EmotItem->addAction(EmotPalette->Action());

    RepaintColorItem();
}

void TMainForm::VLColorSetGetColorInfo(kit::ColorSet*, int Col, int Row, plat::TColor& Color,
                                       QString& Name) {
    const int index = Row * kColorColumns + Col;
    if (index >= 0 && index < static_cast<int>(kNamedColors.size())) {
        const TNamedColor& entry = kNamedColors[static_cast<size_t>(index)];
        Name = QString::fromLatin1(entry.Name);
        Color = plat::RGB((entry.Rgb >> 16) & 0xFF, (entry.Rgb >> 8) & 0xFF, entry.Rgb & 0xFF);
    } else {
        Name = QStringLiteral("Unknown");
        Color = 0;
    }
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
    const QColor shadow = plat::ToQColor(plat::clBtnShadow);
    const QColor face = plat::ToQColor(plat::clBtnFace);
    Canvas.fillRect(strip.left(), strip.top(), strip.width(), 1, shadow);
    Canvas.fillRect(strip.left(), strip.top(), 1, strip.height(), shadow);
    Canvas.fillRect(strip.left(), strip.bottom(), strip.width(), 1, face);
    Canvas.fillRect(strip.right(), strip.top(), 1, strip.height(), face);
}

void TMainForm::RepaintColorItem() {
    const QRect rect(0, 0, kItemImage, kItemImage);
    QPixmap normal(rect.size());
    normal.fill(Qt::transparent);
    {
        QPainter p(&normal);
        DrawLetter(p, Qt::black);
        p.setRenderHint(QPainter::Antialiasing, false);
        ColorItemDrawImage(p, rect, true);
    }
    QPixmap disabled(rect.size());
    disabled.fill(Qt::transparent);
    {
        QPainter p(&disabled);
        DrawLetter(p, plat::ToQColor(plat::clGrayText));
        ColorItemDrawImage(p, rect, false);
    }
    QIcon icon;
    icon.addPixmap(normal, QIcon::Normal);
    icon.addPixmap(disabled, QIcon::Disabled);
    ColorItem->setIcon(icon);
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
