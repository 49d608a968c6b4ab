#include "PaintHold.h"

#include <QWidget>

namespace {

// One frame at 60 Hz.
const int frameMs = 16;

} // namespace

PaintHold::PaintHold(QWidget *target)
    : QObject(target), widget(target)
{
    frame.setSingleShot(true);
    frame.setInterval(frameMs);
    connect(&frame, &QTimer::timeout, this, [this] {
        if (!held)
            return;
        release();
        frame.start(); // the next frame's changes are held again
    });
}

void PaintHold::changing()
{
    if (!frame.isActive()) {
        frame.start();
        return;
    }
    if (!held) {
        held = true;
        widget->setUpdatesEnabled(false);
    }
}

void PaintHold::release()
{
    if (!held)
        return;
    held = false;
    widget->setUpdatesEnabled(true);
}
