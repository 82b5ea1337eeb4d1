// The window under a real window manager (openbox on Xvfb), as a user meets
// it: F2 switches on top in place (the window keeps its X id and the keyboard
// focus, so the next F2 works), the error dialog's heights are its window's,
// and GlobalLibrary's translucency reaches a foreign window that the manager
// has framed. Starts its own openbox; run it under xvfb-run.

#include "AutomationError.h"
#include "KSErrorForm.h"
#include "RichTextView.h"
#include "TranslucentWindows.h"
#include "Twips.h"
#include "WrenlogMainForm.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>

namespace {

struct FreeDeleter
{
    void operator()(void *p) const { std::free(p); }
};
template<typename T>
using Reply = std::unique_ptr<T, FreeDeleter>;

xcb_connection_t *connection()
{
    return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
}

xcb_window_t rootWindow()
{
    return xcb_setup_roots_iterator(xcb_get_setup(connection())).data->root;
}

xcb_atom_t atom(const char *name)
{
    Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection(), xcb_intern_atom(connection(), 0, uint16_t(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

/// The 32-bit values of a window property (empty when it is not set).
QList<quint32> property(xcb_window_t window, const char *name)
{
    Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection(), xcb_get_property(connection(), 0, window, atom(name), XCB_ATOM_ANY, 0, 64), nullptr));
    QList<quint32> values;
    if (!reply || reply->type == XCB_ATOM_NONE || reply->format != 32)
        return values;
    const auto *data = static_cast<const quint32 *>(xcb_get_property_value(reply.get()));
    for (int i = 0; i < xcb_get_property_value_length(reply.get()) / 4; ++i)
        values.append(data[i]);
    return values;
}

xcb_window_t parentOf(xcb_window_t window)
{
    Reply<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(connection(), xcb_query_tree(connection(), window), nullptr));
    return tree ? tree->parent : XCB_WINDOW_NONE;
}

/// Height of the frame the window manager put round window, as the X server has it.
int frameHeightOf(xcb_window_t window)
{
    xcb_window_t frame = window;
    while (parentOf(frame) != rootWindow() && parentOf(frame) != XCB_WINDOW_NONE)
        frame = parentOf(frame);
    Reply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection(), xcb_get_geometry(connection(), frame), nullptr));
    return geometry ? geometry->height + 2 * geometry->border_width : 0;
}

xcb_window_t inputFocus()
{
    Reply<xcb_get_input_focus_reply_t> focus(
        xcb_get_input_focus_reply(connection(), xcb_get_input_focus(connection()), nullptr));
    return focus ? focus->focus : XCB_WINDOW_NONE;
}

bool waitUntil(const std::function<bool()> &condition, int timeoutMs = 5000)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QTest::qSleep(20);
    }
    return true;
}

void settle(int ms = 300)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

bool check(bool ok, const QString &what)
{
    std::printf("%s: %s\n", ok ? "ok  " : "FAIL", qPrintable(what));
    return ok;
}

bool F2KeepsTheWindowAndTheFocus()
{
    bool ok = true;
    WrenlogMainForm window;
    window.Load();
    window.move(60, 60);
    window.resize(420, 260);
    window.DebugShow();
    // The manager's focus-stealing rules may refuse a program's own request
    // while no user has typed anything: give it the input focus as a click would.
    const bool active = waitUntil(
        [&] {
            window.activateWindow();
            xcb_set_input_focus(connection(), XCB_INPUT_FOCUS_POINTER_ROOT, xcb_window_t(window.winId()),
                                XCB_CURRENT_TIME);
            xcb_flush(connection());
            return QTest::qWaitForWindowActive(&window, 250);
        },
        10000);
    if (!check(active, "window active under the window manager"))
        return false;
    window.rtbDetails()->setFocus();
    const WId id = window.winId();
    const xcb_window_t client = xcb_window_t(id);
    ok &= check(waitUntil([&] { return inputFocus() == client; }), "the window has the keyboard focus");
    const xcb_atom_t above = atom("_NET_WM_STATE_ABOVE");
    // Without a compositing manager the cycle is normal and on top.
    for (int press = 1; press <= 4; ++press) {
        QWidget *focused = QApplication::focusWidget();
        if (!check(focused && focused->window() == &window,
                   QStringLiteral("F2 %1 has a focused control to go to").arg(press)))
            return false;
        QTest::keyClick(focused, Qt::Key_F2);
        const bool onTop = press % 2 == 1;
        ok &= check(window.OnTop() == onTop,
                    QStringLiteral("F2 %1 turns on top %2").arg(press).arg(onTop ? "on" : "off"));
        ok &= check(waitUntil([&] { return property(client, "_NET_WM_STATE").contains(above) == onTop; }),
                    QStringLiteral("F2 %1: the window manager shows the state").arg(press));
        settle();
        ok &= check(window.winId() == id, QStringLiteral("F2 %1 keeps the window's X id").arg(press));
        ok &= check(window.isActiveWindow() && inputFocus() == client,
                    QStringLiteral("F2 %1 keeps the keyboard focus").arg(press));
    }
    return ok;
}

bool ErrorDialogHeightsAreTheWindows()
{
    bool ok = true;
    KSErrorForm form(QStringLiteral("Wrenlog"), QString());
    form.Prepare(AutomationError(5, QStringLiteral("Invalid procedure call or argument"), QStringLiteral("Wrenlog")),
                 QStringLiteral("WrenlogMainForm.mnuOnTop_Click"), false);
    form.show();
    if (!check(QTest::qWaitForWindowExposed(&form, 5000), "error dialog shown"))
        return false;
    const auto client = xcb_window_t(form.winId());
    auto framed = [&] { return parentOf(client) != rootWindow() && !property(client, "WM_STATE").isEmpty(); };
    ok &= check(waitUntil(framed, 15000), "error dialog framed by the window manager");
    auto windowHeightIs = [&](int twips) {
        return waitUntil([&] { return std::abs(frameHeightOf(client) - Twips::toPixelsY(twips)) <= 1; }, 5000);
    };
    ok &= check(windowHeightIs(KSErrorForm::collapsedHeight),
                QStringLiteral("folded dialog window is 1800 twips high (is %1 px)").arg(frameHeightOf(client)));
    form.cmdDetails->click();
    ok &= check(windowHeightIs(KSErrorForm::expandedHeight),
                QStringLiteral("unfolded dialog window is 5160 twips high (is %1 px)").arg(frameHeightOf(client)));
    form.cmdOK->click();
    return ok;
}

bool TranslucencyReachesAFramedForeignWindow()
{
    bool ok = true;
    xcb_connection_t *c = connection();
    // A window of no Qt widget stands for another program's window.
    const xcb_window_t foreign = xcb_generate_id(c);
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    xcb_create_window(c, XCB_COPY_FROM_PARENT, foreign, screen->root, 500, 300, 200, 120, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
    xcb_map_window(c, foreign);
    xcb_flush(c);
    const bool reparented
        = waitUntil([&] { return parentOf(foreign) != screen->root && !property(foreign, "WM_STATE").isEmpty(); });
    if (!check(reparented, "the window manager framed the foreign window"))
        return false;
    xcb_window_t frame = foreign;
    while (parentOf(frame) != screen->root)
        frame = parentOf(frame);

    TranslucentWindows::overrideOpacitySupport(true);
    ok &= check(TranslucentWindows::SetWindowTranslucency(WId(foreign), TranslucentWindows::translucentAlpha),
                "MakeTranslucent on the foreign window succeeds");
    const quint32 half = quint32(TranslucentWindows::translucentAlpha / 255.0 * 0xffffffffu);
    // The window manager may copy the client's opacity to the frame itself, a moment later.
    auto opacityIs = [&](xcb_window_t window, const QList<quint32> &expected) {
        return waitUntil([&] { return property(window, "_NET_WM_WINDOW_OPACITY") == expected; }, 3000);
    };
    ok &= check(opacityIs(foreign, {half}), "opacity on the client window");
    ok &= check(opacityIs(frame, {half}), "opacity on its frame");
    ok &= check(TranslucentWindows::ClearWindowTranslucency(WId(foreign)), "ClearTranslucency succeeds");
    ok &= check(opacityIs(foreign, {}) && opacityIs(frame, {}), "opacity removed from both");
    TranslucentWindows::overrideOpacitySupport(std::nullopt);
    xcb_destroy_window(c, foreign);
    xcb_flush(c);
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (QGuiApplication::platformName() != QLatin1String("xcb")) {
        std::printf("needs an X display (run under xvfb-run)\n");
        return 1;
    }
    QProcess manager;
    manager.setProgram(QStringLiteral(OPENBOX_EXE));
    manager.setArguments({QStringLiteral("--sm-disable")});
    manager.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    manager.start();
    const bool managed = waitUntil([] { return !property(rootWindow(), "_NET_SUPPORTING_WM_CHECK").isEmpty(); }, 10000);
    if (!check(managed, "openbox manages the display"))
        return 1;
    // It names itself before it has finished starting, and a window mapped in
    // between may never be framed: map a probe window until it is.
    xcb_connection_t *c = connection();
    const xcb_window_t probe = xcb_generate_id(c);
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    xcb_create_window(c, XCB_COPY_FROM_PARENT, probe, screen->root, 0, 0, 10, 10, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      screen->root_visual, 0, nullptr);
    bool ready = false;
    for (int attempt = 0; attempt < 30 && !ready; ++attempt) {
        xcb_unmap_window(c, probe);
        xcb_map_window(c, probe);
        xcb_flush(c);
        ready = waitUntil([&] { return !property(probe, "WM_STATE").isEmpty(); }, 1000);
    }
    xcb_destroy_window(c, probe);
    xcb_flush(c);
    if (!check(ready, "openbox frames new windows"))
        return 1;

    bool ok = true;
    ok &= F2KeepsTheWindowAndTheFocus();
    ok &= ErrorDialogHeightsAreTheWindows();
    ok &= TranslucencyReachesAFramedForeignWindow();

    manager.terminate();
    manager.waitForFinished(5000);
    return ok ? 0 : 1;
}
