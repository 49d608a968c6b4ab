#pragma once

#include "WindowDrag.h"

#include <QDialog>

// The small dialogs that draw their own frame: translucent, frameless, on
// top, modal, and moved by dragging with the left mouse button. Presses on
// buttons stay with the buttons; presses on the frame and labels drag.
class FramelessDialog : public QDialog
{
    Q_OBJECT
public:
    explicit FramelessDialog(QWidget *parent = nullptr);
    ~FramelessDialog() override;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    WindowDrag drag;
};
