#include "app/DragPanel.h"

#include <QMouseEvent>

namespace app {

void DragPanel::mousePressEvent(QMouseEvent* event)
{
    // Any button, any modifiers, any position: a press on the panel itself.
    event->accept();
    Q_EMIT pressed();
}

} // namespace app
