// Tool palettes, colour palettes, colour sets and colour items on the kit's
// palette items. A palette shows in the window of the menu that holds it.
#include "app/kit/KitClasses.h"
#include "app/kit/KitSupport.h"

#include "dockkit/items/DkView.h"
#include "dockkit/menus/DkPopupWindow.h"
#include "dockkit/palettes/DkxColorItem.h"
#include "dockkit/palettes/DkxColorPalette.h"
#include "dockkit/palettes/DkxToolPalette.h"

#include <QApplication>
#include <QPainter>

namespace kit {

void ColorSet::GetColorInfo(int col, int row, QString& name, plat::TColor& color) {
    name.clear();
    color = plat::clNone;
    if (OnGetColorInfo) {
        OnGetColorInfo(this, col, row, color, name);
    }
}

namespace {

// The viewer showing the item in an open menu, or null.
TDkItemViewer* ShownViewer(const TDkCustomItem* item) {
    for (QWidget* top : QApplication::topLevelWidgets()) {
        auto* window = qobject_cast<TDkPopupWindow*>(top);
        if (window == nullptr || !window->isVisible()) {
            continue;
        }
        TDkView* view = window->View();
        for (int i = 0; i < view->ViewerCount(); ++i) {
            if (view->Viewers(i)->Item() == item) {
                return view->Viewers(i);
            }
        }
    }
    return nullptr;
}

// The behaviour of both palettes, over the kit palette `Kit`.
template <typename Interface, typename Kit>
class TPaletteFace : public QObject, public Interface {
public:
    explicit TPaletteFace(Kit* palette) : QObject(palette), palette_(palette) {
        palette->OnCalcImageSize = [this](TDkxCustomToolPalette*, QPainter&, int& width,
                                          int& height) {
            if (this->OnCalcImageSize) {
                this->OnCalcImageSize(this, width, height);
            }
        };
        palette->OnCellClick = [this](TDkxCustomToolPalette*, int col, int row, bool& allowChange) {
            if (this->OnCellClick) {
                this->OnCellClick(this, col, row, allowChange);
            }
        };
        palette->OnChange = [this](TDkxCustomToolPalette*) {
            if (this->OnChange) {
                this->OnChange(this);
            }
        };
        palette->OnDrawCellImage = [this](TDkxCustomToolPalette*, QPainter& canvas,
                                          const plat::TRect& rect, int col, int row, bool selected,
                                          bool hot, bool enabled) {
            if (this->OnDrawCellImage) {
                this->OnDrawCellImage(this, canvas, rect.ToQRect(), col, row, selected, hot,
                                      enabled);
            }
        };
    }

    // The window of the menu showing the palette; null while none does.
    QWidget* Widget() override {
        TDkItemViewer* viewer = ShownViewer(palette_);
        return viewer != nullptr ? viewer->View()->Window() : nullptr;
    }
    int ColCount() const override { return palette_->ColCount(); }
    int RowCount() const override { return palette_->RowCount(); }
    void SetSize(int cols, int rows) override {
        palette_->SetColCount(cols);
        palette_->SetRowCount(rows);
    }
    bool NoAutoSelect() const override {
        return (palette_->PaletteOptions() & tpoNoAutoSelect) != 0;
    }
    void SetNoAutoSelect(bool value) override {
        const TDkxToolPaletteOptions options = palette_->PaletteOptions();
        palette_->SetPaletteOptions(value ? options | tpoNoAutoSelect : options & ~tpoNoAutoSelect);
    }
    QPoint SelectedCell() const override {
        const dk::PaletteCell cell = palette_->SelectedCell();
        return cell.IsNone() ? QPoint(-1, -1) : QPoint(cell.Col, cell.Row);
    }
    void SetSelectedCell(int col, int row) override {
        if (col < 0) {
            palette_->SetSelectedCell(-1, -1);
        } else {
            palette_->SetSelectedCell(col, row);
        }
    }
    QRect CellRect(int col, int row) const override {
        auto* viewer = dynamic_cast<TDkxToolViewer*>(ShownViewer(palette_));
        if (viewer == nullptr) {
            return {};
        }
        const QPoint origin = viewer->View()->Window()->contentsRect().topLeft();
        return viewer->CellRect(viewer->BoundsRect, col, row).ToQRect().translated(origin);
    }
    bool CellVisible(int col, int row) const override {
        return palette_->CellVisible(col, row, nullptr);
    }
    QString CellHint(int col, int row) const override {
        QString hint;
        palette_->DoGetHint({col, row}, hint);
        return hint;
    }
    void ClickCell(int col, int row) override {
        if (!CellVisible(col, row)) {
            return;
        }
        // The click acts once the menus are closed.
        items::CloseMenus();
        palette_->HandleClickCell(col, row);
    }

protected:
    Kit* palette_;
};

class TToolPaletteFace final : public TPaletteFace<IToolPalette, TDkxToolPalette> {
public:
    explicit TToolPaletteFace(TDkxToolPalette* palette) : TPaletteFace(palette) {
        // The owner draws every cell.
        palette->SetPaletteOptions(palette->PaletteOptions() | tpoCustomImages);
    }
};

class TColorPaletteFace final : public TPaletteFace<IColorPalette, TDkxColorPalette> {
public:
    using TPaletteFace::TPaletteFace;

    plat::TColor Color() const override { return palette_->Color(); }
    void SetColor(plat::TColor value) override { palette_->SetColor(value); }
    ColorSet* GetColorSet() const override { return dynamic_cast<ColorSet*>(palette_->ColorSet()); }
    void SetColorSet(ColorSet* value) override { palette_->SetColorSet(value); }
    plat::TColor GetCellColor(int col, int row) const override {
        return palette_->GetCellColor(col, row);
    }
};

class TColorItemFace final : public QObject, public IColorItem {
public:
    explicit TColorItemFace(TDkxColorItem* item) : QObject(item), item_(item) {
        item->OnClick = TDkCustomItem::TNotifyEvent(
            [this](QObject*) {
                if (OnClick) {
                    OnClick(this);
                }
            },
            this);
    }

    plat::TColor Color() const override { return item_->Color(); }
    void SetColor(plat::TColor value) override { item_->SetColor(value); }
    bool Checked() const override { return item_->Checked(); }
    void SetChecked(bool value) override { item_->SetChecked(value); }
    QString Hint() const override { return item_->Hint(); }
    void SetHint(const QString& value) override { item_->SetHint(value); }
    void Click() override {
        if (item_->Visible() && item_->Enabled()) {
            items::CloseMenus();
            item_->Click();
        }
    }

private:
    TDkxColorItem* item_;
};

template <typename Kit, typename Face>
TDkCustomItem* ItemBehind(Face* face) {
    auto* object = dynamic_cast<QObject*>(face);
    return object != nullptr ? qobject_cast<Kit*>(object->parent()) : nullptr;
}

} // namespace

IToolPalette* CreateToolPalette(QObject* parent, const QString& name) {
    auto* palette = new TDkxToolPalette(parent);
    palette->setObjectName(name);
    return new TToolPaletteFace(palette);
}

IColorPalette* CreateColorPalette(QObject* parent, const QString& name) {
    auto* palette = new TDkxColorPalette(parent);
    palette->setObjectName(name);
    return new TColorPaletteFace(palette);
}

IColorItem* CreateColorItem(QObject* parent, const QString& name, const QString& caption) {
    auto* item = new TDkxColorItem(parent);
    item->setObjectName(name);
    item->SetCaption(caption);
    item->SetColor(plat::clWindowText);
    return new TColorItemFace(item);
}

TDkCustomItem* KitItemOf(IToolPalette* palette) {
    return ItemBehind<TDkxCustomToolPalette>(palette);
}

TDkCustomItem* KitItemOf(IColorItem* item) {
    return ItemBehind<TDkxColorItem>(item);
}

} // namespace kit
