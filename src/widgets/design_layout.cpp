#include "widgets/design_layout.h"

#include <QWidget>
#include <QWidgetItem>

#include <algorithm>

namespace zorvika {

DesignLayout::DesignLayout(QWidget* parent, QSize design, bool nested) : QLayout(parent), design_(design)
{
    setContentsMargins(0, 0, 0, 0);
    setSpacing(0);
    setSizeConstraint(nested ? QLayout::SetNoConstraint : QLayout::SetMinimumSize);
}

DesignLayout::~DesignLayout()
{
    for (Entry& e : entries_)
        delete e.item;
}

void DesignLayout::addWidget(QWidget* widget, QRect place, Follows follows, std::function<int()> neededWidth)
{
    const auto held = std::find_if(entries_.begin(), entries_.end(), [widget](const Entry& e) { return e.item->widget() == widget; });
    if (held != entries_.end()) {
        *held = {held->item, place, follows, std::move(neededWidth)};
    } else {
        addChildWidget(widget);
        entries_.push_back({new QWidgetItem(widget), place, follows, std::move(neededWidth)});
    }
    invalidate();
}

void DesignLayout::addItem(QLayoutItem* item) { entries_.push_back({item, item->geometry(), Follow::None, {}}); }

QLayoutItem* DesignLayout::itemAt(int index) const
{
    return index >= 0 && index < count() ? entries_[static_cast<std::size_t>(index)].item : nullptr;
}

QLayoutItem* DesignLayout::takeAt(int index)
{
    if (index < 0 || index >= count())
        return nullptr;
    QLayoutItem* item = entries_[static_cast<std::size_t>(index)].item;
    entries_.erase(entries_.begin() + index);
    return item;
}

int DesignLayout::count() const { return static_cast<int>(entries_.size()); }

DesignLayout::Widening DesignLayout::widening(int addedWidth) const
{
    const std::size_t n = entries_.size();
    Widening w{std::vector<int>(n, 0), std::vector<int>(n, 0), 0};
    for (std::size_t i = 0; i < n; ++i) {
        const Entry& e = entries_[i];
        if (!e.neededWidth || (e.item->widget() && e.item->widget()->isHidden()))
            continue;
        const int has = e.place.width() + (e.follows.testFlag(Follow::Wider) ? addedWidth : 0);
        w.extra[i] = std::max(0, e.neededWidth() - has);
    }
    // Each control moves by the widening of the controls that end before it
    // begins in its row (their heights overlap).
    for (std::size_t i = 0; i < n; ++i) {
        const QRect& a = entries_[i].place;
        for (std::size_t k = 0; k < n; ++k) {
            const QRect& b = entries_[k].place;
            if (k != i && w.extra[k] > 0 && b.right() < a.left() && b.top() <= a.bottom() && a.top() <= b.bottom())
                w.shift[i] += w.extra[k];
        }
    }
    for (std::size_t i = 0; i < n; ++i)
        w.total = std::max(w.total, w.shift[i] + w.extra[i]);
    return w;
}

QSize DesignLayout::minimumSize() const { return QSize(design_.width() + widening(0).total, design_.height()); }

QSize DesignLayout::sizeHint() const { return minimumSize(); }

void DesignLayout::setGeometry(const QRect& rect)
{
    QLayout::setGeometry(rect);
    const QRect area = parentWidget() ? QRect(QPoint(0, 0), parentWidget()->size()) : rect;
    const Widening w = widening(0);
    const int dx = std::max(0, area.width() - design_.width() - w.total);
    const int dy = std::max(0, area.height() - design_.height());
    const Widening wide = widening(dx);
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        const Entry& e = entries_[i];
        QRect r = e.place;
        if (e.follows.testFlag(Follow::Wider))
            r.setWidth(r.width() + dx + w.total);
        if (e.follows.testFlag(Follow::Taller))
            r.setHeight(r.height() + dy);
        if (e.follows.testFlag(Follow::Right))
            r.moveLeft(r.left() + dx + w.total);
        else
            r.moveLeft(r.left() + wide.shift[i]);
        if (e.follows.testFlag(Follow::Bottom))
            r.moveTop(r.top() + dy);
        if (!e.follows.testFlag(Follow::Wider))
            r.setWidth(r.width() + wide.extra[i]);
        r.translate(area.topLeft());
        if (e.follows.testFlag(Follow::OwnSize) && e.item->widget()) {
            e.item->widget()->move(r.topLeft());
            continue;
        }
        e.item->setGeometry(r);
    }
}

} // namespace zorvika
