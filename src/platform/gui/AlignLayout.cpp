#include "platform/gui/AlignLayout.h"

#include "platform/gui/Rect.h"

#include <QEvent>
#include <QWidget>

#include <algorithm>

namespace plat {

namespace {

bool IsVertical(Align align) {
    return align == Align::Top || align == Align::Bottom;
}

bool IsSide(Align align) {
    return align != Align::None && align != Align::Client;
}

} // namespace

AlignLayout::AlignLayout(QWidget* parent) : QLayout(parent) {
    setContentsMargins(0, 0, 0, 0);
    setSpacing(0);
}

AlignLayout::~AlignLayout() {
    while (QLayoutItem* item = takeAt(0)) {
        delete item;
    }
}

void AlignLayout::AddWidget(QWidget* widget, Align align) {
    InsertWidget(count(), widget, align);
}

void AlignLayout::InsertWidget(int index, QWidget* widget, Align align) {
    addChildWidget(widget);
    widget->installEventFilter(this);
    index = std::clamp(index, 0, count());
    entries_.insert(entries_.begin() + index, Entry{new QWidgetItem(widget), align, -1});
    invalidate();
}

void AlignLayout::SetAlign(QWidget* widget, Align align) {
    const int i = EntryIndex(widget);
    if (i >= 0 && entries_[static_cast<size_t>(i)].align != align) {
        entries_[static_cast<size_t>(i)].align = align;
        invalidate();
    }
}

Align AlignLayout::AlignOf(const QWidget* widget) const {
    const int i = EntryIndex(widget);
    return i < 0 ? Align::None : entries_[static_cast<size_t>(i)].align;
}

int AlignLayout::EntryIndex(const QWidget* widget) const {
    for (size_t i = 0; i < entries_.size(); ++i) {
        if (widget != nullptr && entries_[i].item->widget() == widget) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

void AlignLayout::addItem(QLayoutItem* item) {
    if (QWidget* widget = item->widget()) {
        widget->installEventFilter(this);
    }
    entries_.push_back(Entry{item, Align::None, -1});
    invalidate();
}

QLayoutItem* AlignLayout::itemAt(int index) const {
    return index >= 0 && index < count() ? entries_[static_cast<size_t>(index)].item : nullptr;
}

QLayoutItem* AlignLayout::takeAt(int index) {
    if (index < 0 || index >= count()) {
        return nullptr;
    }
    QLayoutItem* item = entries_[static_cast<size_t>(index)].item;
    entries_.erase(entries_.begin() + index);
    if (QWidget* widget = item->widget()) {
        widget->removeEventFilter(this);
    }
    invalidate();
    return item;
}

int AlignLayout::count() const {
    return static_cast<int>(entries_.size());
}

int AlignLayout::Extent(const Entry& entry) {
    const QWidget* widget = entry.item->widget();
    const bool vertical = IsVertical(entry.align);
    QSize size = entry.item->sizeHint();
    if (widget != nullptr && widget->testAttribute(Qt::WA_Resized)) {
        size = widget->size();
    }
    const QSize min = entry.item->minimumSize();
    const QSize max = entry.item->maximumSize();
    return vertical ? std::clamp(size.height(), min.height(), std::max(min.height(), max.height()))
                    : std::clamp(size.width(), min.width(), std::max(min.width(), max.width()));
}

void AlignLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    // A child that answers its new length by changing its extent (a bar that
    // wraps onto more rows when it gets narrower) is placed again with the new
    // extent; a few passes settle every sane child.
    constexpr int kMaxPasses = 4;
    for (int passes = 0; passes < kMaxPasses; ++passes) {
        extentChanged_ = false;
        Place();
        if (!extentChanged_) {
            break;
        }
    }
}

void AlignLayout::Place() {
    TRect rest(contentsRect());
    const auto place = [](QLayoutItem* item, int x, int y, int w, int h) {
        item->setGeometry(QRect(x, y, std::max(0, w), std::max(0, h)));
    };
    placing_ = true;
    for (const Align pass : {Align::Top, Align::Bottom, Align::Left, Align::Right, Align::Client}) {
        for (Entry& e : entries_) {
            if (e.align != pass || e.item->isEmpty()) {
                continue;
            }
            const int extent = pass == Align::Client ? 0 : Extent(e);
            e.extent = extent;
            switch (pass) {
            case Align::Top:
                place(e.item, rest.Left, rest.Top, rest.Width(), extent);
                rest.Top += extent;
                break;
            case Align::Bottom:
                place(e.item, rest.Left, rest.Bottom - extent, rest.Width(), extent);
                rest.Bottom -= extent;
                break;
            case Align::Left:
                place(e.item, rest.Left, rest.Top, extent, rest.Height());
                rest.Left += extent;
                break;
            case Align::Right:
                place(e.item, rest.Right - extent, rest.Top, extent, rest.Height());
                rest.Right -= extent;
                break;
            case Align::Client:
                place(e.item, rest.Left, rest.Top, rest.Width(), rest.Height());
                break;
            case Align::None:
                break;
            }
        }
    }
    placing_ = false;
}

QSize AlignLayout::sizeHint() const {
    int clientW = 0;
    int clientH = 0;
    int sidesW = 0;
    int sidesH = 0;
    int stackH = 0;
    int stackW = 0;
    for (const Entry& e : entries_) {
        if (e.align == Align::None || e.item->isEmpty()) {
            continue;
        }
        const QSize hint = e.item->sizeHint();
        if (e.align == Align::Client) {
            clientW = std::max(clientW, hint.width());
            clientH = std::max(clientH, hint.height());
        } else if (IsVertical(e.align)) {
            stackH += Extent(e);
            stackW = std::max(stackW, hint.width());
        } else {
            sidesW += Extent(e);
            sidesH = std::max(sidesH, hint.height());
        }
    }
    const QMargins m = contentsMargins();
    return {std::max(stackW, clientW + sidesW) + m.left() + m.right(),
            stackH + std::max(clientH, sidesH) + m.top() + m.bottom()};
}

QSize AlignLayout::minimumSize() const {
    const QMargins m = contentsMargins();
    return {m.left() + m.right(), m.top() + m.bottom()};
}

Qt::Orientations AlignLayout::expandingDirections() const {
    return Qt::Horizontal | Qt::Vertical;
}

bool AlignLayout::eventFilter(QObject* watched, QEvent* event) {
    // A child that changes its size while it is not visible (as its window
    // shows, for instance) gets no resize event for it: its extent is looked
    // at again when it shows.
    if (event->type() == QEvent::Resize || event->type() == QEvent::Show) {
        const int i = EntryIndex(qobject_cast<QWidget*>(watched));
        if (i >= 0) {
            const Entry& e = entries_[static_cast<size_t>(i)];
            if (IsSide(e.align) && e.extent >= 0 && Extent(e) != e.extent) {
                if (placing_) {
                    extentChanged_ = true;
                } else {
                    invalidate();
                }
            }
        }
    }
    return QLayout::eventFilter(watched, event);
}

} // namespace plat
