#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>
#include <QtTest/qtestspontaneevent.h>

// Sends one mouse event to `target` as the window system would: local
// position mapped from the screen position it carries. Unaccepted events
// travel up to the parents, so a press on a label reaches its dialog.
inline void sendMouse(QWidget *target, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons,
                      const QPoint &screenPos)
{
    const QPointF local = target->mapFromGlobal(screenPos);
    QMouseEvent event(type, local, local, QPointF(screenPos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// Turns the wheel by `notches` (positive away from the user, that is up)
// with the pointer over the middle of `target`, as the window system does:
// the window hands it to the widget under the pointer, and on to its
// parents where that widget leaves it.
inline void sendWheel(QWidget *target, int notches)
{
    QWidget *window = target->window();
    const QPoint middle(target->width() / 2, target->height() / 2);
    QWheelEvent event(QPointF(target->mapTo(window, middle)), QPointF(target->mapToGlobal(middle)), QPoint(),
                      QPoint(0, 120 * notches), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QSpontaneKeyEvent::setSpontaneous(&event);
    QApplication::sendEvent(window->windowHandle(), &event);
}
