/* Headless window tests: Qt offscreen, a message pump for a while, the Qt
 * widget behind a window and a grab of it as an image. */
#ifndef TESTS_UI_SUPPORT_H
#define TESTS_UI_SUPPORT_H

#include "win32.h"

#include <QApplication>
#include <QImage>
#include <QWidget>

#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <string>

class UiTest : public testing::Test {
protected:
    void SetUp() override { setenv("QT_QPA_PLATFORM", "offscreen", 0); }
};

/* Handles this thread's messages for ms milliseconds. */
inline void pump_for(DWORD ms)
{
    const DWORD end = GetTickCount() + ms;
    do {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
        Sleep(1);
    } while (static_cast<int>(end - GetTickCount()) > 0);
}

/* The widget that shows a window (not a viewport bound to the same one). */
inline QWidget *widget_of(HWND hwnd)
{
    const QVariant want = QVariant::fromValue(static_cast<qulonglong>(reinterpret_cast<uintptr_t>(hwnd)));
    for (QWidget *w : QApplication::allWidgets()) {
        const bool bound = w->property("platform_hwnd") == want;
        const bool parent_bound = w->parentWidget() != nullptr && w->parentWidget()->property("platform_hwnd") == want;
        if (bound && !parent_bound)
            return w;
    }
    return nullptr;
}

inline QImage grab(HWND hwnd)
{
    std::string path = "/tmp/tvgrab-" + std::to_string(getpid()) + ".png";
    QImage img;
    if (PlatformGrabWindow(hwnd, path.c_str()))
        img.load(QString::fromStdString(path));
    unlink(path.c_str());
    return img;
}

#endif
