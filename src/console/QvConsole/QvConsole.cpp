// Construction and properties of the console.
#include "console/QvConsole/QvConsole.h"

#include "console/ConsoleScrollBar.h"

#include "platform/core/Guarded.h"
#include "platform/gui/ImageList.h"

#include <QApplication>
#include <QMenu>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>

namespace {

plat::ColoredFont DefaultFont() {
    return plat::ColoredFont{QApplication::font(), plat::clWindowText};
}

} // namespace

void TLinkData::SetFont(const plat::ColoredFont& value) {
    font_ = value;
    Changed();
}

void TLinkData::SetHoverFont(const plat::ColoredFont& value) {
    hoverFont_ = value;
    Changed();
}

void TLinkData::Assign(const TLinkData& source) {
    font_ = source.font_;
    hoverFont_ = source.hoverFont_;
    Changed();
}

void TLinkData::Changed() {
    if (owner_) {
        owner_->ResetLayout();
    }
}

TQvCustomConsole::TQvCustomConsole(QWidget* parent) : QAbstractScrollArea(parent) {
    font_ = DefaultFont();
    preFont_ = DefaultFont();
    links_.font_ = plat::ColoredFont{font_.font, plat::clBlue};
    links_.hoverFont_ = links_.font_;
    links_.hoverFont_.font.setUnderline(true);
    links_.owner_ = this;

    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    viewport()->setMouseTracking(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBar(new TConsoleScrollBar(this));
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    verticalScrollBar()->setPageStep(0);
    plat::ConnectGuarded(verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
                         [this](int action) { ScrollBarAction(action); });
    plat::ConnectGuarded(verticalScrollBar(), &QAbstractSlider::sliderReleased, this,
                         [this] { ScrollBarReleased(); });
    ApplyEdge();

    frameTimer_ = new QTimer(this);
    frameTimer_->setObjectName(QStringLiteral("FrameTimer"));
    frameTimer_->setSingleShot(true);
    frameTimer_->setTimerType(Qt::PreciseTimer);
    plat::ConnectGuarded(frameTimer_, &QTimer::timeout, this, [this] { DeliverFrame(); });
    const QScreen* display = screen();
    const qreal rate = display ? display->refreshRate() : 0;
    frameInterval_ = rate >= 1 ? qBound(4, int(1000 / rate), 50) : 16;

    blinkTimer_ = new QTimer(this);
    blinkTimer_->setObjectName(QStringLiteral("BlinkTimer"));
    blinkTimer_->setInterval(500);
    plat::ConnectGuarded(blinkTimer_, &QTimer::timeout, this, [this] { BlinkTimerTick(); });
    resize(100, 80);
}

TQvCustomConsole::~TQvCustomConsole() {
    destroying_ = true;
    updateCount_ = 1;
    links_.owner_ = nullptr;
    Clear();
}

void TQvCustomConsole::SetImageList(plat::ImageList* value) {
    if (imageList_ == value) {
        return;
    }
    if (imageList_) {
        disconnect(imageList_, nullptr, this, nullptr);
    }
    imageList_ = value;
    if (value) {
        connect(value, &plat::ImageList::Changed, this, [this] { InvalidateLayout(); });
        connect(value, &QObject::destroyed, this, [this] {
            if (!destroying_) {
                InvalidateLayout();
            }
        });
    }
    InvalidateLayout();
}

int TQvCustomConsole::BlinkInterval() const {
    return blinkTimer_->interval();
}

void TQvCustomConsole::SetBlinkInterval(int value) {
    blinkTimer_->setInterval(value);
}

void TQvCustomConsole::SetOptions(TConsoleOptions value) {
    options_ = value;
    if (value.testFlag(coBlinking) && blinkingLines_ > 0) {
        if (!blinkTimer_->isActive()) {
            blinkTimer_->start();
        }
    } else {
        blinkTimer_->stop();
    }
    if (!value.testFlag(coSelection) && press_) {
        press_ = false;
        dragging_ = false;
        ClearSelectedFlags();
    }
    ContentChanged();
}

void TQvCustomConsole::SetLeftMargin(int value) {
    value = qBound(0, value, 30);
    if (value != leftMargin_) {
        leftMargin_ = value;
        InvalidateLayout();
    }
}

void TQvCustomConsole::SetRightMargin(int value) {
    value = qBound(0, value, 30);
    if (value != rightMargin_) {
        rightMargin_ = value;
        InvalidateLayout();
    }
}

void TQvCustomConsole::SetLimit(int value) {
    limit_ = qMax(0, value);
    Batch([&] {
        if (ApplyLimit()) {
            repaintPending_ = true;
        }
    });
}

void TQvCustomConsole::SetLineSpacing(int value) {
    value = qMax(0, value);
    if (value != lineSpacing_) {
        lineSpacing_ = value;
        indexStale_ = true; // every line's extent holds the spacing
        ClampScroll();
        ContentChanged();
        UpdateScrollBar();
    }
}

void TQvCustomConsole::SetEdge(TEdgeType value) {
    if (value != edge_) {
        edge_ = value;
        ApplyEdge();
    }
}

void TQvCustomConsole::ApplyEdge() {
    switch (edge_) {
    case etNone:
        setFrameStyle(QFrame::NoFrame);
        break;
    case etClient:
        setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        setLineWidth(2);
        break;
    case etStatic:
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setLineWidth(1);
        break;
    }
}

void TQvCustomConsole::SetTimestampVisible(bool value) {
    if (value != timestampVisible_) {
        timestampVisible_ = value;
        InvalidateLayout();
    }
}

void TQvCustomConsole::SetTimestampFormat(const QString& value) {
    if (value == timestampFormat_) {
        return;
    }
    timestampFormat_ = value;
    ++widthGeneration_; // the timestamps' widths
    InvalidateLayout();
}

void TQvCustomConsole::SetIndentType(TIndentType value) {
    if (value != indentType_) {
        indentType_ = value;
        InvalidateLayout();
    }
}

void TQvCustomConsole::SetIndentAmount(int value) {
    if (value != indentAmount_) {
        indentAmount_ = value;
        InvalidateLayout();
    }
}

void TQvCustomConsole::SetPreFont(const plat::ColoredFont* value) {
    preFont_ = value ? *value : DefaultFont();
    ResetLayout();
}

void TQvCustomConsole::SetColor(plat::TColor value) {
    if (value != color_) {
        color_ = value;
        ContentChanged();
    }
}

void TQvCustomConsole::SetFont(const plat::ColoredFont& value) {
    font_ = value;
    ResetLayout();
}

int TQvCustomConsole::ClientWidth() const {
    return viewport()->width();
}

int TQvCustomConsole::ClientHeight() const {
    return viewport()->height();
}

QList<int> TQvCustomConsole::RowHeights(TMessageNode* Line) {
    EnsureLayout();
    geometry_.BeginPass();
    TLineLayout layout(Env(), fonts_);
    const TLineGeometry& g = GeometryFor(*Line, layout);
    return QList<int>(g.RowHeights.begin(), g.RowHeights.end());
}

TLinkInformation TQvCustomConsole::LinkInformation() const {
    TLinkInformation info;
    if (hoverLine_) {
        const TLinkChunkData& link = HoveredLinkData();
        info.Valid = true;
        info.Name = link.Name;
        info.Params = link.Params;
        info.Hint = link.Hint;
    }
    return info;
}
