#pragma once
// Colour sets: grids of named colours that colour palettes show. A set either
// asks its owner for each cell (TDkxColorSet with OnGetColorInfo) or is the
// built-in grid of forty colours (TDkxDefaultColorSet), which every palette
// without a set of its own shows.

#include "platform/gui/Colors.h"

#include <QObject>
#include <QString>

#include <functional>
#include <vector>

class TDkxColorPalette;

class TDkxCustomColorSet : public QObject {
    Q_OBJECT
public:
    using TDkxGetColorInfoEvent = std::function<void(TDkxCustomColorSet* Sender, int Col, int Row,
                                                     plat::TColor& Color, QString& Name)>;

    explicit TDkxCustomColorSet(QObject* owner = nullptr);
    // The palettes showing the set let go of it.
    ~TDkxCustomColorSet() override;

    int ColCount() const { return colCount_; }
    int RowCount() const { return rowCount_; }
    TDkxGetColorInfoEvent OnGetColorInfo;

    // Stores both counts and gives them to every palette showing the set.
    virtual void SetSize(int cols, int rows);
    // "None" for clNone; else the name of the first cell (rows first) of the
    // same RGB value, or "#RRGGBB" when that cell has no name or none matches.
    virtual QString GetColorName(plat::TColor color);
    // The cell's name and colour: empty and clNone, then OnGetColorInfo.
    virtual void GetColorInfo(int col, int row, QString& name, plat::TColor& color);

    plat::TColor GetColor(int col, int row);
    QString GetName(int col, int row);

    // The palettes showing the set: each joins as it takes the set and
    // leaves as it lets it go.
    const std::vector<TDkxColorPalette*>& Palettes() const { return palettes_; }
    void AddPalette(TDkxColorPalette* palette) { palettes_.push_back(palette); }
    void RemovePalette(TDkxColorPalette* palette) { std::erase(palettes_, palette); }

private:
    int colCount_ = 0;
    int rowCount_ = 0;
    std::vector<TDkxColorPalette*> palettes_;
};

// A set whose cells come from OnGetColorInfo.
class TDkxColorSet : public TDkxCustomColorSet {
    Q_OBJECT
public:
    using TDkxCustomColorSet::TDkxCustomColorSet;
    void SetColCount(int value) { SetSize(value, RowCount()); }
    void SetRowCount(int value) { SetSize(ColCount(), value); }
};

// The built-in 8 x 5 grid, from "Black" to "White".
class TDkxDefaultColorSet : public TDkxCustomColorSet {
    Q_OBJECT
public:
    explicit TDkxDefaultColorSet(QObject* owner = nullptr);
    void GetColorInfo(int col, int row, QString& name, plat::TColor& color) override;
};

namespace dk {

// The one default set every palette without a set of its own shows.
TDkxDefaultColorSet& DefaultColorSet();

// The colour as the sets compare colours: system colours resolved to RGB,
// clNone and clDefault as themselves.
plat::TColor ComparableColor(plat::TColor color);

} // namespace dk
