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

// A receiver may move on to another question and delete the label, while
// Qt still hands the release on to the label's parents: the click reaches
// the receivers once this event is done with.
void Inherit_QLabel::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = pressed;
    pressed = false;
    event->ignore();
    if (click)
        QMetaObject::invokeMethod(this, &Inherit_QLabel::sendclick, Qt::QueuedConnection);
}

void Inherit_QLabel::mouseMoveEvent(QMouseEvent *event)
{
    event->ignore();
}

void Inherit_QLabel::leaveEvent(QEvent *)
{
    pressed = false;
}
