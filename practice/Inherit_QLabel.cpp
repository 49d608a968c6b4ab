#include "Inherit_QLabel.h"

#include <QMouseEvent>

Inherit_QLabel::Inherit_QLabel(QWidget *parent)
    : QLabel(parent)
{
}

Inherit_QLabel::~Inherit_QLabel() = default;

void Inherit_QLabel::mousePressEvent(QMouseEvent *event)
{
    pressed = true;
    event->ignore();
}

void Inherit_QLabel::mouseReleaseEvent(QMouseEvent *event)
{
    // Emitted last: a receiver may move on to another question and delete the label.
    const bool click = pressed;
    pressed = false;
    event->ignore();
    if (click)
        emit sendclick();
}

void Inherit_QLabel::mouseMoveEvent(QMouseEvent *event)
{
    event->ignore();
}

void Inherit_QLabel::leaveEvent(QEvent *)
{
    pressed = false;
}
