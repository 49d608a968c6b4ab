#include "FramelessDialog.h"

FramelessDialog::FramelessDialog(QWidget *parent)
    : QDialog(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
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
