#pragma once

#include <QList>

class QWidget;

namespace controls {

//! Makes the Tab key go through the controls below `root` in reading order:
//! line by line from the top, and along each line from the left. A line is
//! the controls whose middle lies within the height of the line's first
//! (topmost) control. Controls that take the keyboard from the Tab key count;
//! the parts of a composite control (a spin box's text, a list's view) stay
//! its own business. To be called once the controls have their places.
//! Gives the controls in the order set.
QList<QWidget*> setReadingTabOrder(QWidget* root);

} // namespace controls
