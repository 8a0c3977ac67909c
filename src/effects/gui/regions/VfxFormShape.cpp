#include "effects/gui/regions/VfxFormShape.h"

#include "effects/gui/application/VfxApplication.h"
#include "platform/core/Guarded.h"

#include <QEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>
#include <QtGlobal>

namespace fx {

using plat::TRect;

namespace {

TVfxShapeNotice& ProcessNotice() {
    static TVfxShapeNotice notice{false,
                                  [](const QString& text) { qInfo("%s", qPrintable(text)); }};
    return notice;
}

void NoteFallback() {
    TVfxShapeNotice* notice = ScopedVfxShapeNotice::Current();
    if (notice == nullptr) {
        notice = &ProcessNotice();
    }
    if (notice->Said) {
        return;
    }
    notice->Said = true;
    if (notice->Report) {
        notice->Report(QStringLiteral("Shaped windows are not supported on the \"%1\" platform: "
                                      "the form stays rectangular")
                           .arg(QGuiApplication::platformName()));
    }
}

} // namespace

TVfxShapeSupport VfxShapeSupport() {
    const QString name = QGuiApplication::platformName();
    if (name == QLatin1String("xcb")) {
        return ssShaped;
    }
    // A Wayland compositor takes a top-level's mask as its input region only:
    // the window would look rectangular and let clicks through its corners.
    if (name.startsWith(QLatin1String("wayland"))) {
        return ssIgnored;
    }
    return ssRecorded;
}

TVfxFormShape::TVfxFormShape(QWidget* form)
    : TVfxWndProcComponent(form, VfxFormModeOf(form)), form_(form),
      region_(std::make_unique<TVfxBorderRegion>(form)),
      fill_(std::make_unique<TVfxFillObject>(this)),
      imageList_([this] { plat::Guarded([&] { Change(); }); }) {
    const auto changed = [this](TVfxObject*) { Change(); };
    region_->OnChange = changed;
    fill_->OnChange = changed;
}

TVfxFormShape::~TVfxFormShape() {
    region_->OnChange = nullptr;
    fill_->OnChange = nullptr;
}

void TVfxFormShape::SetShowFormCaption(bool value) {
    if (showFormCaption_ != value) {
        showFormCaption_ = value;
        ApplyShape();
    }
}

void TVfxFormShape::SetUseRgnBitmap(bool value) {
    if (useRgnBitmap_ != value) {
        useRgnBitmap_ = value;
        Change();
    }
}

const QImage* TVfxFormShape::BackgroundBitmap() const {
    if (useRgnBitmap_ && region_->Shape() == rsBitmap) {
        return &region_->Mask().BorderBitmap();
    }
    if (fill_->Style() != sfNone) {
        return &buffer_;
    }
    return nullptr;
}

void TVfxFormShape::Change() {
    TVfxWndProcComponent::Change();
    ApplyShape();
}

void TVfxFormShape::Loaded(QObject* target) {
    TVfxWndProcComponent::Loaded(target);
    loaded_ = true;
    if (Enabled()) {
        ApplyShape();
    }
}

void TVfxFormShape::SetFrameless(bool frameless) {
    QWidget& form = *form_;
    if (!form.isWindow()) {
        return;
    }
    const bool now = form.windowFlags().testFlag(Qt::FramelessWindowHint);
    if (frameless == now || (!frameless && !madeFrameless_)) {
        return; // a form that had no frame keeps having none
    }
    madeFrameless_ = frameless;
    const bool visible = form.isVisible();
    form.setWindowFlag(Qt::FramelessWindowHint, frameless);
    if (visible) {
        form.show();
    }
}

void TVfxFormShape::Unshape() {
    if (!shaped_ || form_.isNull()) {
        return;
    }
    shaped_ = false;
    windowRegion_ = QRegion();
    form_->clearMask();
    SetFrameless(false);
    form_->update();
}

void TVfxFormShape::ApplyShape() {
    if (!loaded_ || applying_ || form_.isNull()) {
        return;
    }
    if (!Enabled()) {
        Unshape();
        return;
    }
    applying_ = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{applying_};

    QWidget& form = *form_;
    const bool minimized = form.windowState().testFlag(Qt::WindowMinimized);
    // The window manager draws frame and caption outside the form.
    const int fx = 0;
    const int fy = 0;
    const int c = 0;
    const int depth = region_->Shadow().Depth();
    const QImage& bitmap = region_->Mask().BorderBitmap();
    if (!minimized && region_->Shape() == rsBitmap && !bitmap.isNull()) {
        form.resize(bitmap.width() + depth + 2 * fx, bitmap.height() + c + 2 * fy + depth);
    }
    const int w = form.width();
    const int h = form.height();
    const QRegion band(0, 0, w, fy + c);
    QRegion result;
    if (!minimized) {
        TRect s(0, 0, w - 2 * fx, h - 2 * fy - c);
        s.Inflate(1, 1);
        shapeRect_ = s;
        region_->CreateRegion(s);
        result = region_->Rgn().translated(fx, fy + c);
        if (region_->Shadow().Style() != hssNone) {
            result = result.united(result.translated(depth, depth));
        }
        const bool bordered =
            form.isWindow() &&
            (!form.windowFlags().testFlag(Qt::FramelessWindowHint) || madeFrameless_);
        result = showFormCaption_ && bordered ? result.united(band) : result.subtracted(band);
    } else {
        region_->CreateRectRegion(TRect(0, 0, w, fy + c));
        result = region_->Rgn();
    }
    SetFrameless(!showFormCaption_);

    const TVfxShapeSupport support = form.isWindow() ? VfxShapeSupport() : ssShaped;
    form.clearMask();
    if (support != ssIgnored) {
        form.setMask(result);
    }
    if (support != ssShaped) {
        NoteFallback();
    }
    windowRegion_ = result;
    shaped_ = true;
    form.update();
}

void TVfxFormShape::PaintBackground(QPainter& painter) {
    QWidget& form = *form_;
    const TRect p(0, 0, form.width(), form.height());
    if (useRgnBitmap_ && region_->Shape() == rsBitmap) {
        const QImage& bitmap = region_->Mask().BorderBitmap();
        if (!bitmap.isNull()) {
            painter.drawImage(QPoint(0, 0), bitmap);
        }
    } else if (fill_->Style() != sfNone && !p.IsEmpty()) {
        if (buffer_.size() != QSize(p.Width(), p.Height())) {
            buffer_ = QImage(p.Width(), p.Height(), QImage::Format_RGB32);
        }
        buffer_.fill(Qt::white);
        TVfxCustomImageList* list = ImageList();
        if (fill_->Style() == sfBitmapList && list != nullptr &&
            list->ImagePresent(listIndex_, imageIndex_)) {
            list->CopyImage(listIndex_, imageIndex_, fill_->ListBitmap());
        }
        {
            QPainter onBuffer(&buffer_);
            fill_->Fill(onBuffer, p, plat::clWhite);
        }
        painter.drawImage(QPoint(0, 0), buffer_);
    }
    region_->Paint(painter, p);
}

bool TVfxFormShape::StartDrag(QMouseEvent& event) {
    if (event.button() != Qt::LeftButton) {
        return false;
    }
    const QWidget* child = form_->childAt(event.position().toPoint());
    if (child != nullptr && child->isEnabled()) {
        return false; // the press is the control's
    }
    QWidget* window = form_->window();
    QWindow* handle = window->windowHandle();
    if (handle != nullptr && handle->startSystemMove()) {
        return true;
    }
    // The window system does not move windows for us: follow the mouse.
    dragging_ = true;
    dragStart_ = event.globalPosition().toPoint();
    formStart_ = window->pos();
    return true;
}

bool TVfxFormShape::WndProc(QObject* target, QEvent* event) {
    if (target != form_ || form_.isNull()) {
        return false;
    }
    switch (event->type()) {
    case QEvent::Resize:
    case QEvent::WindowStateChange:
        ApplyShape();
        return false;
    case QEvent::Paint: {
        QPainter painter(form_);
        PaintBackground(painter);
        return false;
    }
    case QEvent::MouseButtonPress:
        return formDragable_ && StartDrag(static_cast<QMouseEvent&>(*event));
    case QEvent::MouseMove:
        if (dragging_) {
            const auto& move = static_cast<QMouseEvent&>(*event);
            form_->window()->move(formStart_ + move.globalPosition().toPoint() - dragStart_);
            return true;
        }
        return false;
    case QEvent::MouseButtonRelease:
        if (dragging_) {
            dragging_ = false;
            return true;
        }
        return false;
    default:
        return false;
    }
}

} // namespace fx
