// Tool palettes, colour palettes and colour items on plain Qt widgets: a
// palette is a grid widget inside a menu.
#include "app/kit/QtKitSupport.h"

#include "platform/core/Guarded.h"
#include "platform/gui/Drawing.h"
#include "platform/gui/Edges.h"

#include <QApplication>
#include <QHelpEvent>
#include <QIcon>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QScopedValueRollback>
#include <QToolTip>
#include <QWidgetAction>

#include <algorithm>

namespace kit {

void ColorSet::SetSize(int cols, int rows) {
    colCount_ = std::max(0, cols);
    rowCount_ = std::max(0, rows);
}

void ColorSet::GetColorInfo(int col, int row, QString& name, plat::TColor& color) {
    name.clear();
    color = plat::clNone;
    if (OnGetColorInfo) {
        OnGetColorInfo(this, col, row, color, name);
    }
}

plat::TColor ColorSet::GetColor(int col, int row) {
    QString name;
    plat::TColor color;
    GetColorInfo(col, row, name, color);
    return color;
}

QString ColorSet::GetName(int col, int row) {
    QString name;
    plat::TColor color;
    GetColorInfo(col, row, name, color);
    return name;
}

namespace {

constexpr int kCellMargin = 3;
constexpr int kMinGridSize = 8;

void CloseMenus() {
    while (QWidget* popup = QApplication::activePopupWidget()) {
        popup->close();
    }
}

// What the grid widget asks of its palette.
class PaletteCells {
public:
    virtual ~PaletteCells() = default;
    virtual int Cols() const = 0;
    virtual int Rows() const = 0;
    virtual QSize CellSize() const = 0;
    virtual QPoint Selected() const = 0;
    virtual bool Visible(int col, int row) const = 0;
    virtual QString Hint(int col, int row) const = 0;
    virtual void DrawImage(QPainter& p, const QRect& rect, int col, int row, bool selected,
                           bool hot, bool enabled) = 0;
    virtual void Click(int col, int row) = 0;
};

class PaletteGrid final : public QWidget {
public:
    explicit PaletteGrid(PaletteCells& cells) : cells_(cells) {
        setMouseTracking(true);
        // The menu must not take the focus from the control it works on.
        setFocusPolicy(Qt::NoFocus);
        setAttribute(Qt::WA_Hover);
    }

    QSize sizeHint() const override {
        const QSize cell = cells_.CellSize();
        return {std::max(kMinGridSize, cell.width() * cells_.Cols()),
                std::max(kMinGridSize, cell.height() * cells_.Rows())};
    }
    QSize minimumSizeHint() const override { return sizeHint(); }

    QRect CellRect(int col, int row) const {
        const QSize cell = cells_.CellSize();
        return {col * cell.width(), row * cell.height(), cell.width(), cell.height()};
    }

    // The visible cell under the point, or (-1, -1).
    QPoint CellAt(QPoint pos) const {
        const QSize cell = cells_.CellSize();
        if (pos.x() < 0 || pos.y() < 0 || cell.isEmpty()) {
            return {-1, -1};
        }
        const int col = pos.x() / cell.width();
        const int row = pos.y() / cell.height();
        return cells_.Visible(col, row) ? QPoint(col, row) : QPoint(-1, -1);
    }

    void Changed() {
        updateGeometry();
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        plat::guarded([this] {
            QPainter p(this);
            const bool enabled = isEnabled();
            const QSize image = cells_.CellSize() - QSize(2 * kCellMargin, 2 * kCellMargin);
            for (int row = 0; row < cells_.Rows(); ++row) {
                for (int col = 0; col < cells_.Cols(); ++col) {
                    if (!cells_.Visible(col, row)) {
                        continue;
                    }
                    const QRect cell = CellRect(col, row);
                    const bool selected = cells_.Selected() == QPoint(col, row);
                    const bool hot = enabled && hot_ == QPoint(col, row);
                    if (selected) {
                        p.fillRect(cell.adjusted(1, 1, -1, -1), plat::ToQColor(plat::clBtnFace));
                        plat::DrawEdge(p, cell, plat::BDR_SUNKENOUTER, plat::BF_RECT);
                    } else if (hot) {
                        plat::DrawEdge(p, cell, plat::BDR_RAISEDINNER, plat::BF_RECT);
                    }
                    const QRect imageRect((cell.left() + cell.right() + 1 - image.width()) / 2,
                                          (cell.top() + cell.bottom() + 1 - image.height()) / 2,
                                          image.width(), image.height());
                    cells_.DrawImage(p, imageRect, col, row, selected, hot, enabled);
                }
            }
        });
    }

    void mouseMoveEvent(QMouseEvent* event) override {
        SetHot(CellAt(event->position().toPoint()));
    }
    void leaveEvent(QEvent*) override { SetHot({-1, -1}); }
    void mousePressEvent(QMouseEvent* event) override { event->accept(); }
    void mouseReleaseEvent(QMouseEvent* event) override {
        event->accept();
        const QPoint cell = CellAt(event->position().toPoint());
        if (event->button() == Qt::LeftButton && cell.x() >= 0) {
            plat::guarded([&] { cells_.Click(cell.x(), cell.y()); });
        }
    }
    bool event(QEvent* event) override {
        if (event->type() == QEvent::ToolTip) {
            auto* help = static_cast<QHelpEvent*>(event);
            const QPoint cell = CellAt(help->pos());
            const QString hint = cell.x() >= 0 ? cells_.Hint(cell.x(), cell.y()) : QString();
            if (hint.isEmpty()) {
                QToolTip::hideText();
            } else {
                QToolTip::showText(help->globalPos(), hint, this, CellRect(cell.x(), cell.y()));
            }
            return true;
        }
        return QWidget::event(event);
    }

private:
    void SetHot(QPoint cell) {
        if (cell != hot_) {
            hot_ = cell;
            update();
        }
    }

    PaletteCells& cells_;
    QPoint hot_{-1, -1};
};

// The tool palette's behaviour, shared by the colour palette.
template <typename Interface>
class PaletteBase : public QWidgetAction,
                    public Interface,
                    public qt::IQtItem,
                    protected PaletteCells {
public:
    explicit PaletteBase(QObject* parent) : QWidgetAction(parent) {
        grid_ = new PaletteGrid(*this);
        setDefaultWidget(grid_);
    }

    QAction* QtAction() override { return this; }
    QWidget* Widget() override { return grid_; }
    int ColCount() const override { return colCount_; }
    int RowCount() const override { return rowCount_; }
    void SetSize(int cols, int rows) override {
        colCount_ = std::max(0, cols);
        rowCount_ = std::max(0, rows);
        grid_->Changed();
    }
    bool NoAutoSelect() const override { return noAutoSelect_; }
    void SetNoAutoSelect(bool value) override { noAutoSelect_ = value; }
    QPoint SelectedCell() const override { return selected_; }
    void SetSelectedCell(int col, int row) override {
        selected_ = col < 0 ? QPoint(-1, -1) : QPoint(col, row);
        grid_->Changed();
        DoChange();
    }
    QRect CellRect(int col, int row) const override { return grid_->CellRect(col, row); }
    bool CellVisible(int col, int row) const override {
        return col >= 0 && col < ColCount() && row >= 0 && row < RowCount() &&
               DoGetCellVisible(col, row);
    }
    QString CellHint(int col, int row) const override { return DoGetHint(col, row); }
    void ClickCell(int col, int row) override {
        if (!CellVisible(col, row)) {
            return;
        }
        // The click acts once the menus are closed.
        if (qobject_cast<QMenu*>(grid_->parentWidget())) {
            CloseMenus();
        }
        bool allowChange = true;
        if (this->OnCellClick) {
            this->OnCellClick(this, col, row, allowChange);
        }
        if (allowChange && !noAutoSelect_) {
            SetSelectedCell(col, row);
        }
    }

protected:
    virtual QSize DoCalcImageSize() const {
        int width = 16;
        int height = 16;
        if (this->OnCalcImageSize) {
            this->OnCalcImageSize(const_cast<PaletteBase*>(this), width, height);
        }
        return {width, height};
    }
    virtual void DoChange() {
        if (this->OnChange) {
            this->OnChange(this);
        }
    }
    virtual bool DoGetCellVisible(int, int) const { return true; }
    virtual QString DoGetHint(int, int) const { return {}; }
    virtual void DoDrawCellImage(QPainter& p, const QRect& rect, int col, int row, bool selected,
                                 bool hot, bool enabled) {
        if (this->OnDrawCellImage) {
            this->OnDrawCellImage(this, p, rect, col, row, selected, hot, enabled);
        }
    }
    void Repaint() { grid_->Changed(); }

    // PaletteCells
    int Cols() const override { return ColCount(); }
    int Rows() const override { return RowCount(); }
    QSize CellSize() const override {
        return DoCalcImageSize() + QSize(2 * kCellMargin, 2 * kCellMargin);
    }
    QPoint Selected() const override { return selected_; }
    bool Visible(int col, int row) const override { return CellVisible(col, row); }
    QString Hint(int col, int row) const override { return CellHint(col, row); }
    void DrawImage(QPainter& p, const QRect& rect, int col, int row, bool selected, bool hot,
                   bool enabled) override {
        DoDrawCellImage(p, rect, col, row, selected, hot, enabled);
    }
    void Click(int col, int row) override { ClickCell(col, row); }

private:
    PaletteGrid* grid_;
    int colCount_ = 1;
    int rowCount_ = 1;
    bool noAutoSelect_ = false;
    QPoint selected_{-1, -1};
};

class TQtToolPalette final : public PaletteBase<IToolPalette> {
public:
    using PaletteBase::PaletteBase;
};

class TQtColorPalette final : public PaletteBase<IColorPalette> {
public:
    explicit TQtColorPalette(QObject* parent) : PaletteBase(parent) {}

    int ColCount() const override { return set_ ? set_->ColCount() : 0; }
    int RowCount() const override { return set_ ? set_->RowCount() : 0; }
    plat::TColor Color() const override { return color_; }
    // The colour stays the value set, a system colour included.
    void SetColor(plat::TColor value) override {
        color_ = value;
        const QScopedValueRollback<bool> setting(settingColor_, true);
        const plat::TColor rgb = Rgb(value);
        QPoint cell(-1, -1);
        for (int row = 0; row < RowCount() && cell.x() < 0; ++row) {
            for (int col = 0; col < ColCount() && cell.x() < 0; ++col) {
                if (Rgb(GetCellColor(col, row)) == rgb) {
                    cell = QPoint(col, row);
                }
            }
        }
        SetSelectedCell(cell.x(), cell.y());
    }
    ColorSet* GetColorSet() const override { return set_; }
    void SetColorSet(ColorSet* value) override {
        set_ = value;
        Repaint();
    }
    plat::TColor GetCellColor(int col, int row) const override {
        return set_ ? set_->GetColor(col, row) : plat::clNone;
    }

protected:
    QSize DoCalcImageSize() const override { return {12, 12}; }
    // The selected cell's colour becomes the palette's colour.
    void DoChange() override {
        const QPoint cell = SelectedCell();
        if (cell.x() >= 0 && !settingColor_) {
            color_ = GetCellColor(cell.x(), cell.y());
        }
        PaletteBase::DoChange();
    }
    bool DoGetCellVisible(int col, int row) const override {
        return GetCellColor(col, row) != plat::clNone;
    }
    QString DoGetHint(int col, int row) const override {
        return set_ ? set_->GetName(col, row) : QString();
    }
    void DoDrawCellImage(QPainter& p, const QRect& rect, int col, int row, bool, bool,
                         bool enabled) override {
        plat::FrameRect(p, rect, plat::clBtnShadow);
        if (enabled) {
            plat::FillRectColor(p, rect.adjusted(1, 1, -1, -1), GetCellColor(col, row));
        }
    }

private:
    static plat::TColor Rgb(plat::TColor color) {
        return color == plat::clNone ? color : plat::ColorToRGB(color);
    }

    QPointer<ColorSet> set_;
    plat::TColor color_ = plat::clNone;
    bool settingColor_ = false;
};

class TQtColorItem final : public QAction, public IColorItem, public qt::IQtItem {
public:
    TQtColorItem(QObject* parent, const QString& caption) : QAction(caption, parent) {
        setCheckable(true);
        UpdateIcon();
        plat::ConnectGuarded(this, &QAction::triggered, this, [this] {
            // Qt flips the check mark of a checkable action; the item does not.
            setChecked(checked_);
            if (OnClick) {
                OnClick(this);
            }
        });
    }

    QAction* QtAction() override { return this; }
    plat::TColor Color() const override { return color_; }
    void SetColor(plat::TColor value) override {
        if (value != color_) {
            color_ = value;
            UpdateIcon();
        }
    }
    bool Checked() const override { return checked_; }
    void SetChecked(bool value) override {
        checked_ = value;
        setChecked(value);
    }
    QString Hint() const override { return toolTip(); }
    void SetHint(const QString& value) override { setToolTip(value); }
    void Click() override {
        if (isVisible() && isEnabled()) {
            CloseMenus();
            trigger();
        }
    }

private:
    // A 16 x 16 menu image: a framed swatch 2 pixels in from the edge; when
    // disabled an empty etched square.
    void UpdateIcon() {
        constexpr int size = 16;
        QPixmap normal(size, size);
        normal.fill(Qt::transparent);
        {
            QPainter p(&normal);
            const QRect swatch(2, 2, size - 4, size - 4);
            if (color_ != plat::clNone) {
                plat::FrameRect(p, swatch, plat::clBtnShadow);
                plat::FillRectColor(p, swatch.adjusted(1, 1, -1, -1), color_);
            }
        }
        QPixmap disabled(size, size);
        disabled.fill(Qt::transparent);
        {
            QPainter p(&disabled);
            plat::DrawEdge(p, QRect(0, 0, size, size), plat::EDGE_ETCHED, plat::BF_RECT);
        }
        QIcon icon;
        icon.addPixmap(normal, QIcon::Normal);
        icon.addPixmap(disabled, QIcon::Disabled);
        setIcon(icon);
    }

    plat::TColor color_ = plat::clWindowText;
    bool checked_ = false;
};

} // namespace

IToolPalette* CreateToolPalette(QObject* parent, const QString& name) {
    auto* palette = new TQtToolPalette(parent);
    palette->setObjectName(name);
    return palette;
}

IColorPalette* CreateColorPalette(QObject* parent, const QString& name) {
    auto* palette = new TQtColorPalette(parent);
    palette->setObjectName(name);
    return palette;
}

IColorItem* CreateColorItem(QObject* parent, const QString& name, const QString& caption) {
    auto* item = new TQtColorItem(parent, caption);
    item->setObjectName(name);
    return item;
}

} // namespace kit
