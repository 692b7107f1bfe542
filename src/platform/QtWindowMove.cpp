#include "platform/QtWindowMove.h"

#include <QCursor>
#include <QGuiApplication>
#include <QWindow>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

namespace platform {

namespace {

// The values of _NET_WM_MOVERESIZE's message the window manager reads.
constexpr quint32 kMoveResizeCancel = 11;
constexpr quint32 kLeftButton = 1;
constexpr quint32 kSourceApplication = 1;

} // namespace

bool startSystemMove(QWindow* window)
{
    return window && window->startSystemMove();
}

void cancelSystemMove(QWindow* window)
{
    const auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!window || !x11 || !x11->connection())
        return;
    xcb_connection_t* connection = x11->connection();
    static const char kAtom[] = "_NET_WM_MOVERESIZE";
    xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<quint16>(std::strlen(kAtom)), kAtom), nullptr);
    if (!atom)
        return;
    const QPoint pointer = QCursor::pos(window->screen()) * window->devicePixelRatio();
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = static_cast<xcb_window_t>(window->winId());
    message.type = atom->atom;
    message.data.data32[0] = static_cast<quint32>(pointer.x());
    message.data.data32[1] = static_cast<quint32>(pointer.y());
    message.data.data32[2] = kMoveResizeCancel;
    message.data.data32[3] = kLeftButton;
    message.data.data32[4] = kSourceApplication;
    std::free(atom);
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    // xcb takes every event as its bytes.
    xcb_send_event(connection, 0, screen->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(connection);
}

} // namespace platform
