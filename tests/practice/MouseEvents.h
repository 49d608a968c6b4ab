#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

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
