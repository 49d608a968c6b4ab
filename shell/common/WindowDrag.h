#pragma once

#include <QPoint>

class QMouseEvent;
class QWidget;

// Moving a frameless window with the left mouse button: the press records
// where the window and the mouse were, each move places the window by how
// far the mouse went, the release ends it. Other buttons do nothing.
class WindowDrag
{
public:
    void press(const QWidget *window, const QMouseEvent *event);
    void move(QWidget *window, const QMouseEvent *event) const;
    void release(const QMouseEvent *event);

private:
    QPoint windowPosition;
    QPoint pressPosition;
    bool dragging = false;
};
