#include "WindowDrag.h"

#include <QMouseEvent>
#include <QWidget>

void WindowDrag::press(const QWidget *window, const QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    windowPosition = window->pos();
    pressPosition = event->globalPos();
    dragging = true;
}

void WindowDrag::move(QWidget *window, const QMouseEvent *event) const
{
    if (dragging)
        window->move(windowPosition + event->globalPos() - pressPosition);
}

void WindowDrag::release(const QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        dragging = false;
}
