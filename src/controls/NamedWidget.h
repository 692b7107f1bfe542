#pragma once

#include <QString>

class QWidget;

namespace controls {

//! Makes a child widget of `parent` with the objectName `name`, the name the
//! window's code, settings and tests find it by.
template <typename Widget> Widget* named(QWidget* parent, const char* name)
{
    auto* widget = new Widget(parent);
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

//! Gives a control that shows a sign or an icon rather than words its
//! tooltip, which is also its name for screen readers.
void setTipAndName(QWidget* widget, const QString& tip);

} // namespace controls
