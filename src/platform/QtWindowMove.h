#pragma once

class QWindow;

namespace platform {

//! Starts the window manager's move of `window`, as a press on its caption
//! would; false where the platform has none.
bool startSystemMove(QWindow* window);

//! Ends a move started by startSystemMove() whose button the window itself
//! saw released: the window manager took the move after the release and
//! would otherwise keep the window on the pointer until the next click. On
//! X11 the window manager is told to cancel it (_NET_WM_MOVERESIZE_CANCEL);
//! elsewhere the platform ends its move itself.
void cancelSystemMove(QWindow* window);

} // namespace platform
