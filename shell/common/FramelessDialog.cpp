#include "FramelessDialog.h"

#include "Translucency.h"

FramelessDialog::FramelessDialog(QWidget *parent)
    : QDialog(parent)
{
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    Translucency::apply(this);
    setModal(true);
}

FramelessDialog::~FramelessDialog() = default;

void FramelessDialog::mousePressEvent(QMouseEvent *event)
{
    drag.press(this, event);
}

void FramelessDialog::mouseReleaseEvent(QMouseEvent *event)
{
    drag.release(event);
}

void FramelessDialog::mouseMoveEvent(QMouseEvent *event)
{
    drag.move(this, event);
}
