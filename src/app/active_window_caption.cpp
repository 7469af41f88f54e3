#include "app/active_window_caption.h"

#include <QGuiApplication>

#ifdef TB_HAVE_XCB
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#endif

namespace tb::app {

#ifdef TB_HAVE_XCB

namespace {

template <typename T>
using XcbReply = std::unique_ptr<T, decltype(&std::free)>;

xcb_atom_t intern(xcb_connection_t* connection, const char* name) {
    const auto cookie =
        xcb_intern_atom(connection, 1, static_cast<uint16_t>(std::strlen(name)), name);
    XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(connection, cookie, nullptr),
                                            &std::free);
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// The value of a window property of the given type (or any) as bytes, up to `max_bytes`.
QByteArray property(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t name,
                    xcb_atom_t type, uint32_t max_bytes) {
    const auto cookie = xcb_get_property(connection, 0, window, name, type, 0, max_bytes / 4);
    XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(connection, cookie, nullptr),
                                             &std::free);
    if (!reply || (type != XCB_GET_PROPERTY_TYPE_ANY && reply->type != type)) {
        return {};
    }
    const int length = xcb_get_property_value_length(reply.get());
    return QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())), length);
}

}  // namespace

QString active_window_caption() {
    auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 != nullptr ? x11->connection() : nullptr;
    if (connection == nullptr) {
        return {};
    }
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (screen == nullptr) {
        return {};
    }
    const xcb_atom_t active = intern(connection, "_NET_ACTIVE_WINDOW");
    const xcb_atom_t name = intern(connection, "_NET_WM_NAME");
    const xcb_atom_t utf8 = intern(connection, "UTF8_STRING");
    if (active == XCB_ATOM_NONE || name == XCB_ATOM_NONE || utf8 == XCB_ATOM_NONE) {
        return {};
    }
    // Window managers store the id as a WINDOW; tools that set it by hand may use CARDINAL.
    const QByteArray window_id =
        property(connection, screen->root, active, XCB_GET_PROPERTY_TYPE_ANY, sizeof(xcb_window_t));
    if (window_id.size() != sizeof(xcb_window_t)) {
        return {};
    }
    xcb_window_t window = 0;
    std::memcpy(&window, window_id.constData(), sizeof window);
    if (window == XCB_WINDOW_NONE) {
        return {};
    }
    // Four times the longest caption kept, in bytes of UTF-8.
    return QString::fromUtf8(property(connection, window, name, utf8, 4096));
}

#else

QString active_window_caption() {
    return {};
}

#endif

}  // namespace tb::app
