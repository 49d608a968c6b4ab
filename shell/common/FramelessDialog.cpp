#include "FramelessDialog.h"

#include <QMouseEvent>

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
    if (event->button() != Qt::LeftButton)
        return;
    dragStartPos = pos();
    pressGlobalPos = event->globalPos();
    dragging = true;
}

void FramelessDialog::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        dragging = false;
}

void FramelessDialog::mouseMoveEvent(QMouseEvent *event)
{
    if (dragging)
        move(dragStartPos + event->globalPos() - pressGlobalPos);
}
