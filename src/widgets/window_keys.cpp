#include "widgets/window_keys.h"

#include <QEvent>
#include <QKeyEvent>
#include <QShortcut>
#include <QWidget>

#include <algorithm>
#include <vector>

namespace zorvika {

namespace {

// Keeps a control from claiming a command key for itself: the window's
// shortcut then gets it.
class CommandKeyGuard final : public QObject {
public:
    CommandKeyGuard(QKeySequence keys, QObject* parent) : QObject(parent), keys_(std::move(keys)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::ShortcutOverride) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (QKeySequence(key->keyCombination()) == keys_) {
                event->ignore();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QKeySequence keys_;
};

} // namespace

void addCommandKey(QWidget* window, const QKeySequence& keys, const std::function<void()>& command)
{
    auto* shortcut = new QShortcut(keys, window);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, window, command);
    auto* guard = new CommandKeyGuard(keys, shortcut);
    for (QWidget* control : window->findChildren<QWidget*>())
        if (!control->isWindow())
            control->installEventFilter(guard);
}

void setReadingTabOrder(QWidget* window)
{
    struct Place {
        QWidget* widget;
        QRect rect; // in the window's coordinates
    };
    std::vector<Place> places;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if ((w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus && !w->isWindow() && !w->focusProxy())
            places.push_back({w, QRect(w->mapTo(window, QPoint(0, 0)), w->size())});
    }
    // A control inside another focusable one (a list's viewport) follows its owner.
    std::erase_if(places, [&](const Place& p) {
        for (QWidget* up = p.widget->parentWidget(); up && up != window; up = up->parentWidget())
            if ((up->focusPolicy() & Qt::TabFocus) == Qt::TabFocus)
                return true;
        return false;
    });
    std::sort(places.begin(), places.end(), [](const Place& a, const Place& b) { return a.rect.top() < b.rect.top(); });
    std::vector<Place> ordered;
    for (std::size_t start = 0; start < places.size();) {
        const int rowEnd = places[start].rect.top() + places[start].rect.height() / 2;
        std::size_t end = start;
        while (end < places.size() && places[end].rect.top() <= rowEnd)
            ++end;
        std::sort(places.begin() + static_cast<std::ptrdiff_t>(start), places.begin() + static_cast<std::ptrdiff_t>(end),
                  [](const Place& a, const Place& b) { return a.rect.left() < b.rect.left(); });
        ordered.insert(ordered.end(), places.begin() + static_cast<std::ptrdiff_t>(start),
                       places.begin() + static_cast<std::ptrdiff_t>(end));
        start = end;
    }
    for (std::size_t i = 1; i < ordered.size(); ++i)
        QWidget::setTabOrder(ordered[i - 1].widget, ordered[i].widget);
}

} // namespace zorvika
