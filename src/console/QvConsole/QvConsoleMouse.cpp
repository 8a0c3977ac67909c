// Mouse handling of the console: hovering and activating links, selecting
// and delivering the selected text, wheel and context menu events.
#include "console/QvConsole/QvConsole.h"

#include "platform/gui/Shell.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QToolTip>
#include <QWheelEvent>

namespace {

constexpr int kDragThreshold = 5;

} // namespace

void TQvCustomConsole::UpdateHover(QPoint point) {
    EnsureHitAreas();
    for (const TLinkHitArea& area : hitAreas_) {
        const QRect& r = area.Rect;
        if (r.left() <= point.x() && point.x() < r.x() + r.width() && r.top() <= point.y() &&
            point.y() < r.y() + r.height()) {
            SetHover(area.Line, area.Link);
            return;
        }
    }
    SetHover(nullptr, -1);
}

void TQvCustomConsole::SetHover(TMessageNode* line, int link) {
    if (line == hoverLine_ && link == hoverLink_) {
        return;
    }
    if (hoverLine_) {
        TMessageNode* old = hoverLine_;
        hoverLink_ = -1;
        hoverLine_ = nullptr;
        viewport()->unsetCursor();
        hint_ = savedHint_;
        RemeasureLine(*old);
    }
    if (line) {
        hoverLink_ = link;
        hoverLine_ = line;
        RemeasureLine(*line);
        viewport()->setCursor(Qt::PointingHandCursor);
        savedHint_ = hint_;
        const QString& hint = HoveredLinkData().Hint;
        if (!hint.isEmpty()) {
            hint_ = hint;
        }
    }
    ClampScroll();
    ContentChanged();
}

const TLinkChunkData& TQvCustomConsole::HoveredLinkData() const {
    return TChunkList::LinkOf(hoverLine_->Chunks.Chunks.At(hoverLink_));
}

void TQvCustomConsole::MouseLeave() {
    SetHover(nullptr, -1);
}

void TQvCustomConsole::mousePressEvent(QMouseEvent* event) {
    plat::Guarded([&] {
        const QPoint pos = event->position().toPoint();
        if (OnMouseDown) {
            OnMouseDown(this, event->button(), event->modifiers(), pos.x(), pos.y());
        }
        if (event->button() != Qt::LeftButton) {
            return;
        }
        clickPending_ = true;
        // The content may have moved under a still pointer since the last move.
        if (!press_) {
            UpdateHover(pos);
        }
        if (options_.testFlag(coSelection)) {
            press_ = true;
            dragging_ = false;
            pressPoint_ = pos;
            currentPoint_ = pos;
            ContentChanged();
        }
    });
}

void TQvCustomConsole::mouseDoubleClickEvent(QMouseEvent* event) {
    plat::Guarded([&] {
        if (event->button() == Qt::LeftButton && OnDblClick) {
            OnDblClick(this);
        }
    });
    mousePressEvent(event);
    clickPending_ = false;
}

void TQvCustomConsole::mouseMoveEvent(QMouseEvent* event) {
    plat::Guarded([&] {
        const QPoint pos = event->position().toPoint();
        if (OnMouseMove) {
            OnMouseMove(this, event->modifiers(), pos.x(), pos.y());
        }
        if (!press_) {
            UpdateHover(pos);
            return;
        }
        if (!dragging_ && (qAbs(pos.x() - pressPoint_.x()) >= kDragThreshold ||
                           qAbs(pos.y() - pressPoint_.y()) >= kDragThreshold)) {
            dragging_ = true;
            // A drag never acts on a link, so the owner must not see one either.
            SetHover(nullptr, -1);
        }
        if (dragging_) {
            currentPoint_ = pos;
            ContentChanged();
        }
    });
}

void TQvCustomConsole::mouseReleaseEvent(QMouseEvent* event) {
    plat::Guarded([&] {
        const QPoint pos = event->position().toPoint();
        const bool left = event->button() == Qt::LeftButton;
        if (left && clickPending_) {
            clickPending_ = false;
            if (viewport()->rect().contains(pos)) {
                Click();
            }
        }
        if (OnMouseUp) {
            OnMouseUp(this, event->button(), event->modifiers(), pos.x(), pos.y());
        }
        if (left && press_) {
            press_ = false;
            ContentChanged();
            if (dragging_) {
                currentPoint_ = pos;
                dragging_ = false;
                DeliverSelection();
            }
        }
        dragging_ = false;
    });
}

void TQvCustomConsole::Click() {
    if (OnClick) {
        OnClick(this);
    }
    if (press_ && dragging_) {
        return;
    }
    if (hoverLine_) {
        // Copy: the handlers may remove the line.
        const TLinkChunkData link = HoveredLinkData();
        ActivateLink(link);
    }
}

void TQvCustomConsole::ActivateLink(const TLinkChunkData& link) {
    if (options_.testFlag(coAutoOpenURLLinks) && !link.NotURL && !link.Params.isEmpty()) {
        plat::ShellOpenUrl(link.Params);
    }
    if (OnLink) {
        OnLink(this, link.Name, link.Params, link.Hint);
    }
}

namespace {

// Whether the first chunk after chunk i that shows (text, a space, an image,
// a column or a line break) is selected.
bool NextShownSelected(const std::vector<TConsoleChunk>& chunks, const TLineGeometry& geometry,
                       size_t i) {
    for (size_t j = i + 1; j < chunks.size(); ++j) {
        const TChunkKind k = chunks[j].Kind;
        if (k == ckText || k == ckSpace || k == ckImage || k == ckColumn || k == ckLineBreak) {
            return geometry.Pieces[j].Selected;
        }
    }
    return false;
}

// The text a selected chunk adds; nothing for the chunks that do not show.
void AppendSelected(QString& segment, const TMessageNode& line, const TConsoleChunk& chunk,
                    const QString& timestampFormat) {
    switch (chunk.Kind) {
    case ckText:
        segment += line.Chunks.TextOf(chunk);
        break;
    case ckSpace:
        segment += u' ';
        break;
    case ckColumn:
        segment += u'\t';
        break;
    case ckTimestamp:
        segment += TLineLayout::TimestampText(line, timestampFormat);
        break;
    default:
        break;
    }
}

// Adds the selected text of a laid out line to segments: one segment for
// each stretch between line breaks that has anything selected.
void CollectSelected(const TMessageNode& line, const TLineGeometry& geometry, bool timestampVisible,
                     const QString& timestampFormat, QStringList& segments) {
    const std::vector<TConsoleChunk> chunks = line.Chunks.Chunks.Unpacked();
    QString segment;
    bool any = false;
    bool previousSelected = false;
    for (size_t i = 0; i < chunks.size(); ++i) {
        const TConsoleChunk& chunk = chunks[i];
        const bool selected = geometry.Pieces[i].Selected;
        if (chunk.Kind == ckLineBreak) {
            if (any) {
                segments << segment;
            }
            segment.clear();
            any = false;
            previousSelected = false;
            continue;
        }
        if (geometry.Pieces[i].WrapDropped) {
            // A space dropped at a wrap still separates two selected words.
            if (previousSelected && NextShownSelected(chunks, geometry, i)) {
                segment += u' ';
            }
            continue;
        }
        const bool piece = chunk.Kind == ckText || chunk.Kind == ckSpace || chunk.Kind == ckImage ||
                           chunk.Kind == ckColumn ||
                           (chunk.Kind == ckTimestamp && timestampVisible);
        if (piece) {
            previousSelected = selected;
        }
        if (selected) {
            any = true;
            AppendSelected(segment, line, chunk, timestampFormat);
        }
    }
    if (any) {
        segments << segment;
    }
}

} // namespace

TMessageNode* TQvCustomConsole::PlaceForSelection(TMessageNode** newest) {
    // Lay the visible lines out once more with the final points, so that the
    // text does not depend on a paint having happened.
    const bool wasPressed = press_;
    ClearSelectedFlags();
    press_ = true;
    dragging_ = true;
    TMessageNode* oldest = nullptr;
    PlaceVisible(nullptr, QRect(0, 0, ClientWidth(), ClientHeight()), &oldest, newest);
    press_ = wasPressed;
    dragging_ = false;
    return oldest;
}

QString TQvCustomConsole::CollectSelection() {
    QStringList segments;
    TMessageNode* newest = nullptr;
    TMessageNode* const oldest = PlaceForSelection(&newest);
    for (TMessageNode* line = oldest; line; line = line->Next) {
        // a line not placed has nothing selected
        if (const TLineGeometry* geometry = geometry_.Find(*line)) {
            CollectSelected(*line, *geometry, timestampVisible_, timestampFormat_, segments);
        }
        if (line == newest) {
            break;
        }
    }
    ClearSelectedFlags();
    QString text = segments.join(QStringLiteral("\r\n"));
    while (text.endsWith(u'\r') || text.endsWith(u'\n')) {
        text.chop(1);
    }
    return text;
}

void TQvCustomConsole::DeliverSelection() {
    const QString text = CollectSelection();
    if (text.isEmpty()) {
        return;
    }
    if (OnSelect) {
        OnSelect(this, text);
    } else if (options_.testFlag(coAutoCopy)) {
        QGuiApplication::clipboard()->setText(text);
    }
}

void TQvCustomConsole::wheelEvent(QWheelEvent* event) {
    bool handled = false;
    plat::Guarded([&] {
        const QPoint pos = event->position().toPoint();
        const int delta = event->angleDelta().y();
        if (OnMouseWheel) {
            OnMouseWheel(this, event->modifiers(), delta, pos, handled);
        }
        if (!handled && delta < 0 && OnMouseWheelDown) {
            OnMouseWheelDown(this, event->modifiers(), pos, handled);
        } else if (!handled && delta > 0 && OnMouseWheelUp) {
            OnMouseWheelUp(this, event->modifiers(), pos, handled);
        }
    });
    // Unhandled wheel turns go to the parent; the console never scrolls by itself.
    event->setAccepted(handled);
}

void TQvCustomConsole::contextMenuEvent(QContextMenuEvent* event) {
    plat::Guarded([&] {
        bool handled = false;
        if (OnContextPopup) {
            OnContextPopup(this, event->pos(), handled);
        }
        if (!handled && popupMenu_) {
            popupMenu_->popup(event->globalPos());
        }
    });
}

void TQvCustomConsole::leaveEvent(QEvent* event) {
    QAbstractScrollArea::leaveEvent(event);
    plat::Guarded([&] { MouseLeave(); });
}

bool TQvCustomConsole::viewportEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::ToolTip: {
        const auto* help = static_cast<QHelpEvent*>(event);
        if (showHint_ && !hint_.isEmpty()) {
            QToolTip::showText(help->globalPos(), hint_, viewport());
        } else {
            QToolTip::hideText();
        }
        return true;
    }
    case QEvent::Leave:
        plat::Guarded([&] { MouseLeave(); });
        break;
    default:
        break;
    }
    return QAbstractScrollArea::viewportEvent(event);
}
