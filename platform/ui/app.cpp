/* The Qt application: made when the first window needs it, on the thread
 * that then owns every window. The thread's wake descriptor is watched by
 * Qt's event loop, so posts and calls from other threads wake it wherever it
 * waits for events (our message calls, Qt's own nested loops). */
#include "ui_internal.h"

#include <QApplication>
#include <QScreen>
#include <QSocketNotifier>
#include <QThread>

#include <stdio.h>
#include <stdlib.h>

#include <atomic>

namespace {

std::atomic<DWORD> gui_tid{0};

void pump()
{
    if (ui::on_gui_thread())
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

BOOL work_area(LPRECT rect)
{
    auto read = [](void *p) {
        QScreen *s = QGuiApplication::primaryScreen();
        QRect r = s ? s->availableGeometry() : QRect(0, 0, 800, 600);
        *static_cast<LPRECT>(p) = RECT{r.left(), r.top(), r.right() + 1, r.bottom() + 1};
    };
    if (!ui::ensure_app() && gui_tid.load() == 0)
        return FALSE;
    return plat_call_on_thread(gui_tid.load(), read, rect);
}

const PlatformUiHooks hooks = {ui::set_window_pos, ui::get_window_rect, work_area, pump};

struct Install {
    Install() { plat_ui_install(&hooks); }
    ~Install() { plat_ui_install(nullptr); }
} install;

bool has_display()
{
    const char *vars[] = {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"};
    for (const char *v : vars) {
        const char *s = getenv(v);
        if (s != nullptr && s[0] != '\0')
            return true;
    }
    return false;
}

void adopt_current_thread()
{
    gui_tid.store(GetCurrentThreadId());
    plat_serve_while_waiting();
    /* never deleted: lives as long as the application object */
    auto *n = new QSocketNotifier(plat_wake_fd(), QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(n, &QSocketNotifier::activated, [] { plat_wait_wake(0); });
}

} // namespace

namespace ui {

bool ensure_app()
{
    if (QCoreApplication::instance() == nullptr) {
        if (!has_display()) {
            fputs("platform_ui: no display (DISPLAY, WAYLAND_DISPLAY); running offscreen\n", stderr);
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
        }
        static int argc = 1;
        static char name[] = "trafview";
        static char *argv[] = {name, nullptr};
        new QApplication(argc, argv);
        adopt_current_thread();
        return true;
    }
    if (gui_tid.load() == 0 && qobject_cast<QApplication *>(QCoreApplication::instance()) != nullptr &&
        QCoreApplication::instance()->thread() == QThread::currentThread())
        adopt_current_thread();
    return on_gui_thread();
}

bool on_gui_thread() { return gui_tid.load() != 0 && gui_tid.load() == GetCurrentThreadId(); }

DWORD gui_thread() { return gui_tid.load(); }

} // namespace ui
