#include "dockkit/palettes/DkxColorSet.h"

#include "dockkit/palettes/DkxColorPalette.h"

#include <array>

namespace {

struct NamedColor {
    const char* name;
    uint32_t rgb; // RRGGBB
};

constexpr int kDefaultCols = 8;
constexpr int kDefaultRows = 5;

// Row by row.
constexpr std::array<NamedColor, kDefaultCols* kDefaultRows> kDefaultColors = {{
    {"Black", 0x000000},
    {"Brown", 0x993300},
    {"Olive Green", 0x333300},
    {"Dark Green", 0x003300},
    {"Dark Teal", 0x003366},
    {"Dark blue", 0x000080},
    {"Indigo", 0x333399},
    {"Gray-80%", 0x333333},
    {"Dark Red", 0x800000},
    {"Orange", 0xFF6600},
    {"Dark Yellow", 0x808000},
    {"Green", 0x008000},
    {"Teal", 0x008080},
    {"Blue", 0x0000FF},
    {"Blue-Gray", 0x666699},
    {"Gray-50%", 0x808080},
    {"Red", 0xFF0000},
    {"Light Orange", 0xFF9900},
    {"Lime", 0x99CC00},
    {"Sea Green", 0x339966},
    {"Aqua", 0x33CCCC},
    {"Light Blue", 0x3366FF},
    {"Violet", 0x800080},
    {"Gray-40%", 0x969696},
    {"Pink", 0xFF00FF},
    {"Gold", 0xFFCC00},
    {"Yellow", 0xFFFF00},
    {"Bright Green", 0x00FF00},
    {"Turquoise", 0x00FFFF},
    {"Sky Blue", 0x00CCFF},
    {"Plum", 0x993366},
    {"Gray-25%", 0xC0C0C0},
    {"Rose", 0xFF99CC},
    {"Tan", 0xFFCC99},
    {"Light Yellow", 0xFFFF99},
    {"Light Green", 0xCCFFCC},
    {"Light Turquoise", 0xCCFFFF},
    {"Pale Blue", 0x99CCFF},
    {"Lavender", 0xCC99FF},
    {"White", 0xFFFFFF},
}};

QString HexName(plat::TColor rgb) {
    return QStringLiteral("#%1%2%3")
        .arg(plat::GetRValue(rgb), 2, 16, QLatin1Char('0'))
        .arg(plat::GetGValue(rgb), 2, 16, QLatin1Char('0'))
        .arg(plat::GetBValue(rgb), 2, 16, QLatin1Char('0'))
        .toUpper();
}

} // namespace

namespace dk {

TDkxDefaultColorSet& DefaultColorSet() {
    static TDkxDefaultColorSet set;
    return set;
}

plat::TColor ComparableColor(plat::TColor color) {
    return color == plat::clNone || color == plat::clDefault ? color : plat::ColorToRGB(color);
}

} // namespace dk

// --- Colour sets ---------------------------------------------------------------------

TDkxCustomColorSet::TDkxCustomColorSet(QObject* owner) : QObject(owner) {}

TDkxCustomColorSet::~TDkxCustomColorSet() {
    // Each palette takes itself off the list as it lets go.
    while (!palettes_.empty()) {
        palettes_.back()->SetColorSet(nullptr);
    }
}

void TDkxCustomColorSet::SetSize(int cols, int rows) {
    colCount_ = cols;
    rowCount_ = rows;
    const std::vector<TDkxColorPalette*> palettes = palettes_;
    for (TDkxColorPalette* palette : palettes) {
        palette->SetColCount(cols);
        palette->SetRowCount(rows);
    }
}

void TDkxCustomColorSet::GetColorInfo(int col, int row, QString& name, plat::TColor& color) {
    name.clear();
    color = plat::clNone;
    if (OnGetColorInfo) {
        OnGetColorInfo(this, col, row, color, name);
    }
}

plat::TColor TDkxCustomColorSet::GetColor(int col, int row) {
    QString name;
    plat::TColor color = plat::clNone;
    GetColorInfo(col, row, name, color);
    return color;
}

QString TDkxCustomColorSet::GetName(int col, int row) {
    QString name;
    plat::TColor color = plat::clNone;
    GetColorInfo(col, row, name, color);
    return name;
}

QString TDkxCustomColorSet::GetColorName(plat::TColor color) {
    if (color == plat::clNone) {
        return QStringLiteral("None");
    }
    const plat::TColor wanted = dk::ComparableColor(color);
    for (int row = 0; row < rowCount_; ++row) {
        for (int col = 0; col < colCount_; ++col) {
            QString name;
            plat::TColor cell = plat::clNone;
            GetColorInfo(col, row, name, cell);
            if (cell != plat::clNone && dk::ComparableColor(cell) == wanted) {
                return name.isEmpty() ? HexName(wanted) : name;
            }
        }
    }
    return HexName(wanted);
}

TDkxDefaultColorSet::TDkxDefaultColorSet(QObject* owner) : TDkxCustomColorSet(owner) {
    SetSize(kDefaultCols, kDefaultRows);
}

void TDkxDefaultColorSet::GetColorInfo(int col, int row, QString& name, plat::TColor& color) {
    name.clear();
    color = plat::clNone;
    if (col < 0 || col >= kDefaultCols || row < 0 || row >= kDefaultRows) {
        return;
    }
    const NamedColor& entry =
        kDefaultColors[static_cast<size_t>(row) * kDefaultCols + static_cast<size_t>(col)];
    name = QString::fromLatin1(entry.name);
    color = plat::RGB(static_cast<int>(entry.rgb >> 16), static_cast<int>((entry.rgb >> 8) & 0xFF),
                      static_cast<int>(entry.rgb & 0xFF));
}
