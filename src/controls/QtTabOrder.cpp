#include "controls/QtTabOrder.h"

#include <QAbstractScrollArea>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QWidget>
#include <algorithm>
#include <vector>

namespace controls {

namespace {

struct Placed {
    QWidget* widget;
    QRect place; // in the root's coordinates
};

//! The controls below `parent` the Tab key stops at; composite controls
//! count as one.
void collect(QWidget* root, QWidget* parent, std::vector<Placed>& found)
{
    for (QObject* child : parent->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (!widget || widget->isWindow())
            continue;
        if ((widget->focusPolicy() & Qt::TabFocus) && !widget->focusProxy())
            found.push_back({widget, QRect(widget->mapTo(root, QPoint(0, 0)), widget->size())});
        const bool composite = qobject_cast<QAbstractScrollArea*>(widget) || qobject_cast<QAbstractSpinBox*>(widget) ||
                               qobject_cast<QComboBox*>(widget);
        if (!composite)
            collect(root, widget, found);
    }
}

} // namespace

QList<QWidget*> setReadingTabOrder(QWidget* root)
{
    std::vector<Placed> controls;
    collect(root, root, controls);
    std::stable_sort(controls.begin(), controls.end(),
                     [](const Placed& a, const Placed& b) { return a.place.top() < b.place.top(); });
    // Line by line: each line takes the controls whose middle lies within
    // the height of its first one, and goes from left to right.
    for (auto line = controls.begin(); line != controls.end();) {
        const QRect first = line->place;
        auto end = std::stable_partition(line, controls.end(), [&first](const Placed& placed) {
            const int middle = placed.place.center().y();
            return middle >= first.top() && middle <= first.bottom();
        });
        std::stable_sort(line, end, [](const Placed& a, const Placed& b) { return a.place.left() < b.place.left(); });
        // The rest keeps its order from the top.
        std::stable_sort(end, controls.end(),
                         [](const Placed& a, const Placed& b) { return a.place.top() < b.place.top(); });
        line = end;
    }
    QList<QWidget*> order;
    for (const Placed& placed : controls) {
        if (!order.isEmpty())
            QWidget::setTabOrder(order.back(), placed.widget);
        order.append(placed.widget);
    }
    return order;
}

} // namespace controls
