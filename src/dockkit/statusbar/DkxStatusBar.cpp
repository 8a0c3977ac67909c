#include "dockkit/statusbar/DkxStatusBar.h"

#include "dockkit/common/DkCommon.h"
#include "dockkit/common/DkMessages.h"
#include "dockkit/common/DkNcWidget.h"
#include "dockkit/docking/DkDock.h"
#include "dockkit/docking/DkDockableWindow/DkDockableWindow.h"
#include "dockkit/statusbar/DkxStatusLayout.h"
#include "dockkit/themes/DkNexus.h"

#include "platform/core/Guarded.h"
#include "platform/gui/AccelText.h"
#include "platform/gui/AlignLayout.h"
#include "platform/gui/ImageList.h"
#include "platform/gui/KitMessage.h"
#include "platform/gui/Metrics.h"

#include <QChildEvent>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStringList>
#include <QToolTip>
#include <QWindow>

#include <algorithm>

namespace {

constexpr int kContentTop = 2; // the content starts below the bar's top two pixels
constexpr int kGripTop = 3;
constexpr int kImageGap = 4; // between a panel's image and its caption

int Percent(int value) {
    return std::clamp(value, 0, 100);
}

} // namespace

// --- Panels -------------------------------------------------------------------------

TDkxStatusPanel::TDkxStatusPanel(TDkxStatusPanels* collection) : collection_(collection) {}

TDkxStatusPanel::~TDkxStatusPanel() {
    ReleaseControl();
}

void TDkxStatusPanel::ForgetControl() {
    QObject::disconnect(controlDestroyed_);
    control_.clear();
}

void TDkxStatusPanel::ReleaseControl() {
    QWidget* control = control_;
    ForgetControl();
    // Only a control still on the bar is hidden: one that moved elsewhere
    // is its new parent's business.
    if (control != nullptr && control->parentWidget() == collection_->Bar()) {
        control->hide();
    }
}

int TDkxStatusPanel::Index() const {
    return collection_->IndexOf(this);
}

QString TDkxStatusPanel::DisplayName() const {
    if (!caption_.isEmpty()) {
        return caption_;
    }
    if (control_ != nullptr) {
        return QStringLiteral("[ %1 ]").arg(control_->objectName());
    }
    return QStringLiteral("TDkxStatusPanel");
}

void TDkxStatusPanel::Assign(const TDkxStatusPanel& source) {
    CopyProperties(source);
    AssignControlNamed(source.ControlName());
}

void TDkxStatusPanel::CopyProperties(const TDkxStatusPanel& source) {
    alignment_ = source.alignment_;
    caption_ = source.caption_;
    enabled_ = source.enabled_;
    framed_ = source.framed_;
    hint_ = source.hint_;
    imageIndex_ = source.imageIndex_;
    maxSize_ = source.maxSize_;
    viewPriority_ = source.viewPriority_;
    size_ = source.size_;
    stretchPriority_ = source.stretchPriority_;
    tag_ = source.tag_;
    textTruncation_ = source.textTruncation_;
}

QString TDkxStatusPanel::ControlName() const {
    return control_ != nullptr ? control_->objectName() : QString();
}

void TDkxStatusPanel::SetPlace(const dk::StatusPanelPlace& place) {
    rect_ = place.Visible ? place.Rect : plat::TRect();
    width_ = place.Width;
    visible_ = place.Visible;
    last_ = place.Visible && place.Last;
}

void TDkxStatusPanel::AssignControlNamed(const QString& name) {
    QWidget* control = nullptr;
    QWidget* form = collection_->Bar()->window();
    if (!name.isEmpty() && form != nullptr) {
        control = form->findChild<QWidget*>(name);
    }
    if (control != control_) {
        SetControl(control);
    } else {
        Changed(true);
    }
}

void TDkxStatusPanel::Changed(bool layout) {
    collection_->Changed(layout);
}

void TDkxStatusPanel::SetAlignment(dk::TAlignment value) {
    if (alignment_ != value) {
        alignment_ = value;
        Changed(false);
    }
}

void TDkxStatusPanel::SetCaption(const QString& value) {
    if (caption_ != value) {
        caption_ = value;
        Changed(false);
    }
}

void TDkxStatusPanel::SetControl(QWidget* value) {
    if (value == control_) {
        return;
    }
    TDkxCustomStatusBar* bar = collection_->Bar();
    if (value != nullptr) {
        for (QWidget* w = bar; w != nullptr; w = w->parentWidget()) {
            if (w == value) {
                throw EInvalidOperation(dk::SCannotInsertOwnParent);
            }
        }
        if (TDkxStatusPanel* holder = collection_->FindControl(value)) {
            holder->ForgetControl();
        }
    }
    QObject::disconnect(controlDestroyed_);
    control_ = value;
    if (value != nullptr) {
        controlDestroyed_ = QObject::connect(value, &QObject::destroyed, bar,
                                             [bar, this] { bar->PanelControlDestroyed(this); });
        if (value->parentWidget() != bar) {
            const bool keptHidden = value->isHidden() &&
                                    value->testAttribute(Qt::WA_WState_ExplicitShowHide) &&
                                    value->parentWidget() != nullptr;
            bar->AdoptControl(value);
            if (!keptHidden) {
                value->show();
            }
        }
    }
    Changed(true);
}

void TDkxStatusPanel::SetEnabled(bool value) {
    if (enabled_ != value) {
        enabled_ = value;
        Changed(false);
    }
}

void TDkxStatusPanel::SetFramed(bool value) {
    if (framed_ != value) {
        framed_ = value;
        Changed(false);
    }
}

void TDkxStatusPanel::SetImageIndex(int value) {
    if (imageIndex_ != value) {
        imageIndex_ = value;
        if (collection_->Bar()->Images() != nullptr) {
            Changed(false);
        }
    }
}

void TDkxStatusPanel::SetMaxSize(int value) {
    if (maxSize_ != value) {
        maxSize_ = value;
        Changed(true);
    }
}

void TDkxStatusPanel::SetViewPriority(int value) {
    value = Percent(value);
    if (viewPriority_ != value) {
        viewPriority_ = value;
        Changed(true);
    }
}

void TDkxStatusPanel::SetSize(int value) {
    if (size_ != value) {
        size_ = value;
        Changed(true);
    }
}

void TDkxStatusPanel::SetStretchPriority(int value) {
    value = Percent(value);
    if (stretchPriority_ != value) {
        stretchPriority_ = value;
        Changed(true);
    }
}

void TDkxStatusPanel::SetTextTruncation(TDkxTextTruncation value) {
    if (textTruncation_ != value) {
        textTruncation_ = value;
        Changed(false);
    }
}

// --- The panel list -------------------------------------------------------------------

TDkxStatusPanels::TDkxStatusPanels(TDkxCustomStatusBar* bar) : bar_(bar) {}

TDkxStatusPanels::~TDkxStatusPanels() {
    ++updateCount_; // the bar is going: nothing to lay out
    items_.clear();
}

TDkxStatusPanel* TDkxStatusPanels::Items(int index) const {
    if (index < 0 || index >= Count()) {
        plat::ThrowListIndexError(index);
    }
    return items_[static_cast<size_t>(index)].get();
}

int TDkxStatusPanels::IndexOf(const TDkxStatusPanel* panel) const {
    for (size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].get() == panel) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

TDkxStatusPanel* TDkxStatusPanels::Add() {
    return Insert(Count());
}

TDkxStatusPanel* TDkxStatusPanels::Insert(int index) {
    if (index < 0 || index > Count()) {
        plat::ThrowListIndexError(index);
    }
    auto panel = std::make_unique<TDkxStatusPanel>(this);
    TDkxStatusPanel* added = panel.get();
    items_.insert(items_.begin() + index, std::move(panel));
    Changed(true);
    return added;
}

void TDkxStatusPanels::Delete(int index) {
    if (index < 0 || index >= Count()) {
        plat::ThrowListIndexError(index);
    }
    // Out of the list before it goes, so that nothing finds it half gone.
    std::unique_ptr<TDkxStatusPanel> panel = std::move(items_[static_cast<size_t>(index)]);
    items_.erase(items_.begin() + index);
    panel.reset();
    Changed(true);
}

void TDkxStatusPanels::Clear() {
    BeginUpdate();
    while (!items_.empty()) {
        Delete(Count() - 1);
    }
    EndUpdate();
}

void TDkxStatusPanels::Assign(const TDkxStatusPanels& source) {
    if (&source == this) {
        return;
    }
    BeginUpdate();
    try {
        Clear();
        // The values first: taking a control over from another bar frees
        // that bar's panel, which may be one of the source's.
        QStringList controls;
        for (const auto& panel : source.items_) {
            Add()->CopyProperties(*panel);
            controls << panel->ControlName();
        }
        for (int i = 0; i < Count() && i < controls.size(); ++i) {
            Items(i)->AssignControlNamed(controls[i]);
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

TDkxStatusPanel* TDkxStatusPanels::FindControl(const QWidget* control) const {
    if (control == nullptr) {
        return nullptr;
    }
    for (const auto& panel : items_) {
        if (panel->Control() == control) {
            return panel.get();
        }
    }
    return nullptr;
}

void TDkxStatusPanels::BeginUpdate() {
    ++updateCount_;
}

void TDkxStatusPanels::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0 && (pendingLayout_ || pendingPaint_)) {
        const bool layout = pendingLayout_;
        pendingLayout_ = false;
        pendingPaint_ = false;
        bar_->PanelsChanged(layout);
    }
}

void TDkxStatusPanels::Changed(bool layout) {
    if (updateCount_ > 0) {
        (layout ? pendingLayout_ : pendingPaint_) = true;
        return;
    }
    bar_->PanelsChanged(layout);
}

// --- The bar ----------------------------------------------------------------------------

TDkxCustomStatusBar::TDkxCustomStatusBar(QWidget* parent) : QWidget(parent), panels_(this) {
    // Every pixel is painted: nothing is erased first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    resize(150, 22);
    dk::AddThemeListener(this);
    if (auto* layout =
            parent != nullptr ? qobject_cast<plat::AlignLayout*>(parent->layout()) : nullptr) {
        layout->AddWidget(this, plat::Align::Bottom);
    }
}

TDkxCustomStatusBar::~TDkxCustomStatusBar() {
    destroying_ = true;
    if (TDkxNexus* nexus = TDkxNexus::Instance()) {
        nexus->RemoveThemeListener(this);
    }
    QObject::disconnect(imagesChanged_);
    panels_.BeginUpdate();
    panels_.Clear();
}

void TDkxCustomStatusBar::SetImages(plat::ImageList* value) {
    if (images_ == value) {
        return;
    }
    QObject::disconnect(imagesChanged_);
    images_ = value;
    if (value != nullptr) {
        imagesChanged_ = connect(value, &plat::ImageList::Changed, this, [this] { update(); });
    }
    update();
}

void TDkxCustomStatusBar::SetSizeGrip(bool value) {
    if (sizeGrip_ != value) {
        sizeGrip_ = value;
        RefreshPanels();
    }
}

void TDkxCustomStatusBar::SetUseSystemFont(bool value) {
    if (useSystemFont_ != value) {
        useSystemFont_ = value;
        RefreshPanels();
    }
}

QFont TDkxCustomStatusBar::PanelFont() const {
    return useSystemFont_ ? dk::KitMenuFont() : font();
}

void TDkxCustomStatusBar::Loaded() {
    loading_ = false;
    RefreshPanels();
}

bool TDkxCustomStatusBar::CanRefresh() const {
    return !destroying_ && !loading_ && !panels_.Updating();
}

void TDkxCustomStatusBar::PanelsChanged(bool layout) {
    if (layout) {
        RefreshPanels();
    } else if (!destroying_) {
        update();
    }
}

void TDkxCustomStatusBar::AdoptControl(QWidget* control) {
    adopting_ = true;
    control->setParent(this);
    adopting_ = false;
}

void TDkxCustomStatusBar::PanelControlDestroyed(TDkxStatusPanel* panel) {
    // The control is going: the panel forgets it before it goes too.
    panel->ForgetControl();
    const int index = panels_.IndexOf(panel);
    if (index >= 0 && !destroying_) {
        panels_.Delete(index);
    }
}

// --- Layout ---------------------------------------------------------------------------

void TDkxCustomStatusBar::RefreshPanels() {
    if (!CanRefresh()) {
        return;
    }
    update();
    ComputePanelLayout();
    for (int i = 0; i < panels_.Count(); ++i) {
        TDkxStatusPanel* panel = panels_.Items(i);
        QWidget* control = panel->Control();
        if (control == nullptr) {
            continue;
        }
        if (!panel->Visible()) {
            control->setGeometry(QRect());
            continue;
        }
        plat::TRect r = panel->Rect();
        if (panel->Framed()) {
            r.Left += margins_.left();
            r.Top += margins_.top();
            r.Right -= margins_.right();
            r.Bottom -= margins_.bottom();
        }
        control->setGeometry(r.ToQRect());
    }
}

void TDkxCustomStatusBar::ComputePanelLayout() {
    const dk::TDkxMargins m = dk::CurrentTheme().GetPartMargins(dk::MarginStatusPanel);
    margins_ = QMargins(m.Left, m.Top, m.Right, m.Bottom);
    plat::TRect content(rect());
    content.Top += kContentTop;
    std::vector<dk::StatusPanelSpec> specs;
    specs.reserve(static_cast<size_t>(panels_.Count()));
    for (int i = 0; i < panels_.Count(); ++i) {
        const TDkxStatusPanel* panel = panels_.Items(i);
        specs.push_back(
            {panel->Size(), panel->ViewPriority(), panel->StretchPriority(), panel->MaxSize()});
    }
    const std::vector<dk::StatusPanelPlace> places = dk::LayoutStatusPanels(specs, content);
    for (int i = 0; i < panels_.Count(); ++i) {
        panels_.Items(i)->SetPlace(places[static_cast<size_t>(i)]);
    }
}

TDkxStatusPanel* TDkxCustomStatusBar::PanelAt(QPoint point) const {
    for (int i = 0; i < panels_.Count(); ++i) {
        TDkxStatusPanel* panel = panels_.Items(i);
        if (panel->Visible() && panel->Rect().Contains(point)) {
            return panel;
        }
    }
    return nullptr;
}

// --- Size grip --------------------------------------------------------------------------

bool TDkxCustomStatusBar::SizeGripShown() const {
    const QWidget* form = window();
    if (!sizeGrip_ || form == this || form == nullptr) {
        return false;
    }
    if ((form->windowState() &
         (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)) != 0) {
        return false;
    }
    return mapTo(form, QPoint(width(), height())) == QPoint(form->width(), form->height());
}

plat::TRect TDkxCustomStatusBar::SizeGripRect() const {
    return {width() - plat::GetSystemMetrics(plat::SM_CXVSCROLL), kGripTop, width(), height()};
}

int TDkxCustomStatusBar::HitTest(QPoint point) const {
    if (SizeGripShown() && SizeGripRect().Contains(point)) {
        return dk::HTBOTTOMRIGHT;
    }
    return dk::HTCLIENT;
}

// --- Painting ---------------------------------------------------------------------------

void TDkxCustomStatusBar::FitContentRect(TDkxStatusPanel* panel, plat::TRect& rect) {
    if (panel->Framed()) {
        rect.Left += margins_.left();
        rect.Top += margins_.top();
        rect.Right -= margins_.right();
        rect.Bottom -= margins_.bottom();
    }
    if (OnAdjustContentRect) {
        OnAdjustContentRect(this, panel, rect);
    }
}

void TDkxCustomStatusBar::FirePanelDraw(TDkxStatusPanel* panel, QPainter& canvas) {
    if (OnPanelDraw) {
        OnPanelDraw(this, panel, canvas);
    }
}

void TDkxCustomStatusBar::FirePanelClick(TDkxStatusPanel* panel) {
    if (OnPanelClick) {
        OnPanelClick(this, panel);
    }
}

void TDkxCustomStatusBar::FirePanelDblClick(TDkxStatusPanel* panel) {
    if (OnPanelDblClick) {
        OnPanelDblClick(this, panel);
    }
}

void TDkxCustomStatusBar::DrawPanelContent(QPainter& canvas, plat::TRect rect,
                                           TDkxStatusPanel* panel, bool /*isLast*/) {
    rect.Left += 1;
    rect.Right -= 1;
    const unsigned flags = panel->Enabled() ? 0 : dk::PanelDisabled;
    if (panel->ImageIndex() >= 0 && images_ != nullptr) {
        const int w = images_->Width();
        const int h = images_->Height();
        const int y = rect.Top + (rect.Height() - h) / 2;
        int x = 0;
        switch (panel->Alignment()) {
        case dk::taLeftJustify:
            x = rect.Left;
            rect.Left = x + w + kImageGap;
            break;
        case dk::taRightJustify:
            x = rect.Right - w;
            rect.Right = x - kImageGap;
            break;
        case dk::taCenter:
            x = rect.Left + (rect.Width() - w) / 2;
            break;
        }
        if (panel->Enabled()) {
            images_->Draw(canvas, x, y, panel->ImageIndex(), plat::clNone);
        } else {
            dk::DrawPanelImage(canvas, plat::TRect(x, y, x + w, y + h), images_,
                               panel->ImageIndex(), flags);
        }
    }
    unsigned format = plat::DT_SINGLELINE | plat::DT_VCENTER;
    switch (panel->Alignment()) {
    case dk::taLeftJustify:
        format |= plat::DT_LEFT;
        break;
    case dk::taRightJustify:
        format |= plat::DT_RIGHT;
        break;
    case dk::taCenter:
        format |= plat::DT_CENTER;
        break;
    }
    if (panel->TextTruncation() == twEndEllipsis) {
        format |= plat::DT_END_ELLIPSIS;
    } else if (panel->TextTruncation() == twPathEllipsis) {
        format |= plat::DT_PATH_ELLIPSIS;
    }
    canvas.setBrush(Qt::NoBrush);
    dk::DrawPanelCaption(canvas, rect, panel->Caption(), flags, format);
}

void TDkxCustomStatusBar::PaintBar(QPainter& canvas, const QRegion& region) {
    TDkxTheme& theme = dk::CurrentTheme();
    theme.DrawStatusBarPart(canvas, plat::TRect(rect()), dk::StatusBarBackground);
    const QFont font = PanelFont();
    for (int i = 0; i < panels_.Count(); ++i) {
        TDkxStatusPanel* panel = panels_.Items(i);
        if (!panel->Visible() || !region.intersects(panel->Rect().ToQRect())) {
            continue;
        }
        canvas.save();
        if (panel->Framed()) {
            theme.DrawStatusBarPart(canvas, panel->Rect(),
                                    panel->IsLast() ? dk::StatusBarLastPanel : dk::StatusBarPanel);
        }
        canvas.setFont(font);
        plat::TRect content = panel->Rect();
        FitContentRect(panel, content);
        FirePanelDraw(panel, canvas);
        DrawPanelContent(canvas, content, panel, panel->IsLast());
        canvas.restore();
    }
    if (SizeGripShown()) {
        theme.DrawStatusBarPart(canvas, SizeGripRect(), dk::StatusBarGrip);
    }
}

// --- Events -----------------------------------------------------------------------------

bool TDkxCustomStatusBar::event(QEvent* event) {
    if (auto* message = plat::KitMessageEvent::From(event)) {
        if (message->Msg() == dk::kListenerThemeMessage) {
            plat::Guarded([this] { RefreshPanels(); });
            return true;
        }
        return QWidget::event(event);
    }
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const TDkxStatusPanel* panel = PanelAt(help->pos());
        if (panel != nullptr && !panel->Hint().isEmpty()) {
            QToolTip::showText(help->globalPos(), panel->Hint(), this, panel->Rect().ToQRect());
        } else {
            QToolTip::hideText();
            event->ignore();
        }
        return true;
    }
    return QWidget::event(event);
}

void TDkxCustomStatusBar::paintEvent(QPaintEvent* event) {
    QPainter canvas(this);
    plat::Guarded([&] { PaintBar(canvas, event->region()); });
}

void TDkxCustomStatusBar::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    plat::Guarded([this] { RefreshPanels(); });
}

void TDkxCustomStatusBar::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    plat::Guarded([this] { RefreshPanels(); });
}

void TDkxCustomStatusBar::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        plat::Guarded([this] { RefreshPanels(); });
    }
}

void TDkxCustomStatusBar::childEvent(QChildEvent* event) {
    QWidget::childEvent(event);
    if (destroying_ || !event->child()->isWidgetType()) {
        return;
    }
    auto* control = static_cast<QWidget*>(event->child());
    plat::Guarded([&] {
        if (event->added()) {
            // A control put on the bar gets a panel of its own.
            if (!loading_ && !adopting_ && panels_.FindControl(control) == nullptr) {
                panels_.Add()->SetControl(control);
            }
        } else if (event->removed()) {
            // A control taken off the bar takes its panel with it.
            if (TDkxStatusPanel* panel = panels_.FindControl(control)) {
                panel->ForgetControl();
                panels_.Delete(panel->Index());
            }
        }
    });
}

void TDkxCustomStatusBar::mousePressEvent(QMouseEvent* event) {
    pressedInside_ = false;
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    if (HitTest(event->position().toPoint()) == dk::HTBOTTOMRIGHT) {
        if (QWindow* handle = window()->windowHandle()) {
            handle->startSystemResize(Qt::BottomEdge | Qt::RightEdge);
        }
        return;
    }
    pressedInside_ = true;
}

void TDkxCustomStatusBar::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressedInside_ && event->button() == Qt::LeftButton;
    pressedInside_ = false;
    if (!click) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    if (TDkxStatusPanel* panel = PanelAt(event->position().toPoint())) {
        plat::Guarded([&] { FirePanelClick(panel); });
    }
}

void TDkxCustomStatusBar::mouseDoubleClickEvent(QMouseEvent* event) {
    pressedInside_ = false;
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseDoubleClickEvent(event);
        return;
    }
    if (TDkxStatusPanel* panel = PanelAt(event->position().toPoint())) {
        plat::Guarded([&] { FirePanelDblClick(panel); });
    }
}

void TDkxCustomStatusBar::mouseMoveEvent(QMouseEvent* event) {
    if (HitTest(event->position().toPoint()) == dk::HTBOTTOMRIGHT) {
        setCursor(Qt::SizeFDiagCursor);
    } else {
        unsetCursor();
    }
    QWidget::mouseMoveEvent(event);
}
