#include "X11Windows.h"

#include <QGuiApplication>
#include <QList>

#if defined(WRENLOG_HAVE_XCB)
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#endif

namespace X11Windows {

#if defined(WRENLOG_HAVE_XCB)

namespace {

struct FreeDeleter
{
    void operator()(void *p) const { std::free(p); }
};
template<typename T>
using Reply = std::unique_ptr<T, FreeDeleter>;

xcb_connection_t *connection()
{
    auto *app = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return app ? app->connection() : nullptr;
}

xcb_atom_t atom(xcb_connection_t *c, const char *name)
{
    Reply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

xcb_window_t rootOf(xcb_connection_t *c, xcb_window_t window, xcb_window_t *parent)
{
    Reply<xcb_query_tree_reply_t> tree(xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr));
    if (!tree)
        return XCB_WINDOW_NONE;
    *parent = tree->parent;
    return tree->root;
}

bool exists(xcb_connection_t *c, xcb_window_t window)
{
    xcb_window_t parent = XCB_WINDOW_NONE;
    return window && rootOf(c, window, &parent) != XCB_WINDOW_NONE;
}

} // namespace

bool compositingManagerRunning()
{
    xcb_connection_t *c = connection();
    if (!c)
        return false;
    const xcb_setup_t *setup = xcb_get_setup(c);
    int screenNumber = 0;
    for (auto it = xcb_setup_roots_iterator(setup); it.rem; xcb_screen_next(&it), ++screenNumber) {
        const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(screenNumber);
        const xcb_atom_t selection = atom(c, name.constData());
        Reply<xcb_get_selection_owner_reply_t> owner(
            xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection), nullptr));
        if (owner && owner->owner != XCB_WINDOW_NONE)
            return true;
    }
    return false;
}

WId topLevelOf(WId window)
{
    xcb_connection_t *c = connection();
    if (!c || !window)
        return 0;
    xcb_window_t current = xcb_window_t(window);
    for (int depth = 0; depth < 64; ++depth) {
        xcb_window_t parent = XCB_WINDOW_NONE;
        const xcb_window_t root = rootOf(c, current, &parent);
        if (root == XCB_WINDOW_NONE)
            return 0;
        if (parent == root || parent == XCB_WINDOW_NONE)
            return current;
        current = parent;
    }
    return current;
}

WId clientOf(WId window)
{
    xcb_connection_t *c = connection();
    if (!c || !window)
        return 0;
    const xcb_atom_t wmState = atom(c, "WM_STATE");
    xcb_window_t current = xcb_window_t(window);
    for (int depth = 0; depth < 64; ++depth) {
        Reply<xcb_get_property_reply_t> state(
            xcb_get_property_reply(c, xcb_get_property(c, 0, current, wmState, XCB_ATOM_ANY, 0, 0), nullptr));
        if (state && state->type != XCB_ATOM_NONE)
            return current;
        xcb_window_t parent = XCB_WINDOW_NONE;
        const xcb_window_t root = rootOf(c, current, &parent);
        if (root == XCB_WINDOW_NONE || parent == root || parent == XCB_WINDOW_NONE)
            break;
        current = parent;
    }
    return topLevelOf(window);
}

namespace {

// The client window and, where a window manager framed it, the frame.
QList<xcb_window_t> opacityTargets(WId window)
{
    const WId client = clientOf(window);
    if (!client)
        return {};
    const WId frame = topLevelOf(client);
    if (!frame || frame == client)
        return {xcb_window_t(client)};
    return {xcb_window_t(client), xcb_window_t(frame)};
}

} // namespace

bool setOpacity(WId window, double opacity)
{
    xcb_connection_t *c = connection();
    if (!c || !exists(c, xcb_window_t(window)))
        return false;
    const uint32_t value = uint32_t(opacity * 0xffffffffu);
    const xcb_atom_t property = atom(c, "_NET_WM_WINDOW_OPACITY");
    for (xcb_window_t target : opacityTargets(window))
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, target, property, XCB_ATOM_CARDINAL, 32, 1, &value);
    xcb_flush(c);
    return true;
}

bool clearOpacity(WId window)
{
    xcb_connection_t *c = connection();
    if (!c || !exists(c, xcb_window_t(window)))
        return false;
    const xcb_atom_t property = atom(c, "_NET_WM_WINDOW_OPACITY");
    for (xcb_window_t target : opacityTargets(window))
        xcb_delete_property(c, target, property);
    xcb_flush(c);
    return true;
}

bool setTopmost(WId window, bool above, const QRect &frame)
{
    xcb_connection_t *c = connection();
    xcb_window_t parent = XCB_WINDOW_NONE;
    const xcb_window_t root = c && window ? rootOf(c, xcb_window_t(window), &parent) : 0;
    if (!root)
        return false;
    xcb_client_message_event_t event = {};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = xcb_window_t(window);
    event.type = atom(c, "_NET_WM_STATE");
    event.data.data32[0] = above ? 1 : 0; // add or remove
    event.data.data32[1] = atom(c, "_NET_WM_STATE_ABOVE");
    event.data.data32[3] = 1; // a normal application asks
    xcb_send_event(c, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&event));
    const uint32_t geometry[] = {uint32_t(frame.x()), uint32_t(frame.y()), uint32_t(std::max(1, frame.width())),
                                 uint32_t(std::max(1, frame.height()))};
    xcb_configure_window(c, xcb_window_t(window),
                         XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT,
                         geometry);
    xcb_map_window(c, xcb_window_t(window));
    xcb_flush(c);
    return true;
}

#else

bool compositingManagerRunning()
{
    return false;
}
WId topLevelOf(WId)
{
    return 0;
}
WId clientOf(WId)
{
    return 0;
}
bool setOpacity(WId, double)
{
    return false;
}
bool clearOpacity(WId)
{
    return false;
}
bool setTopmost(WId, bool, const QRect &)
{
    return false;
}

#endif

} // namespace X11Windows
