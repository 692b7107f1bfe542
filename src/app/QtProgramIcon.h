#pragma once

#include <QIcon>
#include <QPixmap>

namespace app {

//! The program's icon, drawn from its SVG at every size asked for.
QIcon programIcon();

//! The icon as a picture of `size` logical pixels for a screen of `ratio`.
QPixmap programIconPixmap(int size, qreal ratio);

} // namespace app
