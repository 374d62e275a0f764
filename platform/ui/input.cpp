/* The Qt side of ordinary windows: painting through WM_PAINT, closing
 * through WM_CLOSE, and mouse buttons delivered to window procedures before
 * Qt handles them. */
#include "ui_internal.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>

namespace {

HWND own_hwnd(const QObject *o)
{
    QVariant v = o->property("platform_hwnd");
    return v.isValid() ? reinterpret_cast<HWND>(v.value<qulonglong>()) : nullptr;
}

UINT mouse_message(QEvent::Type type, Qt::MouseButton button)
{
    const bool left = button == Qt::LeftButton;
    if (!left && button != Qt::RightButton)
        return 0;
    switch (type) {
    case QEvent::MouseButtonPress:
        return left ? WM_LBUTTONDOWN : WM_RBUTTONDOWN;
    case QEvent::MouseButtonRelease:
        return left ? WM_LBUTTONUP : WM_RBUTTONUP;
    case QEvent::MouseButtonDblClick:
        return left ? WM_LBUTTONDBLCLK : WM_RBUTTONDBLCLK;
    default:
        return 0;
    }
}

/* Qt goes on with the event only when the procedure chain reached
 * DefWindowProcA (a built-in control's procedure passes it on there). */
class InputFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        QEvent::Type t = event->type();
        if (t != QEvent::MouseButtonPress && t != QEvent::MouseButtonRelease && t != QEvent::MouseButtonDblClick)
            return false;
        auto *me = static_cast<QMouseEvent *>(event);
        UINT msg = mouse_message(t, me->button());
        HWND hwnd = own_hwnd(watched);
        if (msg == 0 || hwnd == nullptr)
            return false;
        WPARAM keys = 0;
        if (me->buttons() & Qt::LeftButton)
            keys |= MK_LBUTTON;
        if (me->buttons() & Qt::RightButton)
            keys |= MK_RBUTTON;
        QPoint p = me->position().toPoint();
        return !ui::deliver_input(hwnd, msg, keys, MAKELPARAM(p.x(), p.y()));
    }
};

class HostWidget : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        HWND hwnd = own_hwnd(this);
        std::shared_ptr<ui::Window> w = ui::find(hwnd);
        if (!w)
            return;
        QPainter painter(this);
        HDC dc = ui::make_paint_dc(hwnd, &painter);
        w->paint_dc = dc;
        w->in_paint = true;
        ui::deliver(hwnd, WM_PAINT, 0, 0);
        w->in_paint = false;
        w->paint_dc = nullptr;
        ui::release_paint_dc(dc);
    }
    void closeEvent(QCloseEvent *event) override
    {
        /* the procedure decides: DefWindowProcA destroys the window */
        event->ignore();
        ui::deliver(own_hwnd(this), WM_CLOSE, 0, 0);
    }
};

} // namespace

namespace ui {

void watch_input(QObject *o, HWND hwnd)
{
    static InputFilter *filter = new InputFilter(QCoreApplication::instance());
    o->setProperty("platform_hwnd", QVariant::fromValue(static_cast<qulonglong>(reinterpret_cast<uintptr_t>(hwnd))));
    o->installEventFilter(filter);
}

QWidget *make_host_widget(DWORD style, QWidget *parent)
{
    (void)style;
    return new HostWidget(parent);
}

} // namespace ui
