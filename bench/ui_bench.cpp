/* ui_bench: SendMessageA from a worker thread to a window of the loop's
 * thread (the road of every log row of the monitor) against a blocking
 * queued invocation of plain Qt, from a worker to an object of the loop's
 * thread, measured in the same run. Prints round trips per second of each
 * and the ratio. A measurement, not a test. */
#include "win32.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QObject>

#include <stdio.h>
#include <stdlib.h>
#include <time.h>

#include <atomic>
#include <thread>

namespace {

const int kRounds = 20000;

double now_s()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

LRESULT CALLBACK add_one(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam)
{
    if (msg == WM_USER)
        return static_cast<LRESULT>(wparam + 1);
    return DefWindowProcA(hwnd, msg, wparam, lparam);
}

/* Round trips per second of SendMessageA while this thread runs GetMessageA. */
double send_message_rate()
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = add_one;
    wc.lpszClassName = "bench";
    RegisterClassExA(&wc);
    HWND hwnd = CreateWindowExA(0, "bench", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    if (hwnd == nullptr) {
        fprintf(stderr, "ui_bench: cannot create a window\n");
        exit(1);
    }
    const DWORD loop_thread = GetCurrentThreadId();
    double elapsed = 0;
    std::thread worker([&] {
        WPARAM v = 0;
        double t0 = now_s();
        for (int i = 0; i < kRounds; i++)
            v = static_cast<WPARAM>(SendMessageA(hwnd, WM_USER, v, 0));
        elapsed = now_s() - t0;
        if (v != static_cast<WPARAM>(kRounds))
            fprintf(stderr, "ui_bench: wrong results\n");
        PostThreadMessageA(loop_thread, WM_QUIT, 0, 0);
    });
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0)
        DispatchMessageA(&m);
    worker.join();
    DestroyWindow(hwnd);
    return kRounds / elapsed;
}

/* The same with QMetaObject::invokeMethod(BlockingQueuedConnection) while
 * this thread runs a Qt event loop. */
double qt_blocking_rate()
{
    QObject target;
    QEventLoop loop;
    double elapsed = 0;
    std::thread worker([&] {
        int v = 0;
        double t0 = now_s();
        for (int i = 0; i < kRounds; i++) {
            int r = 0;
            QMetaObject::invokeMethod(&target, [v] { return v + 1; }, Qt::BlockingQueuedConnection, &r);
            v = r;
        }
        elapsed = now_s() - t0;
        if (v != kRounds)
            fprintf(stderr, "ui_bench: wrong results\n");
        QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    return kRounds / elapsed;
}

} // namespace

int main()
{
    if (getenv("QT_QPA_PLATFORM") == nullptr)
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    /* the first window makes the Qt application; the baseline then uses it */
    double send = send_message_rate();
    double qt = qt_blocking_rate();
    printf("SendMessageA from a worker:         %10.0f round trips/s (%.1f us each)\n", send, 1e6 / send);
    printf("Qt blocking queued invocation:      %10.0f round trips/s (%.1f us each)\n", qt, 1e6 / qt);
    printf("ratio SendMessageA / Qt:            %10.2f\n", send / qt);
    return 0;
}
