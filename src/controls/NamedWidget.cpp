#include "controls/NamedWidget.h"

#include <QWidget>

namespace controls {

void setTipAndName(QWidget* widget, const QString& tip)
{
    widget->setToolTip(tip);
    widget->setAccessibleName(tip);
}

} // namespace controls
