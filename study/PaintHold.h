#pragma once

#include <QObject>
#include <QTimer>

class QWidget;

// Holds a list's painting while a worker's rows pour in one by one: the
// first change shows at once, the changes after it together at most once a
// frame, instead of a repaint of every visible row after each arrival.
class PaintHold : public QObject
{
public:
    explicit PaintHold(QWidget *widget);

    // Before each change of the widget's content.
    void changing();
    // Shows what is held, now; from the end of a load.
    void release();

private:
    QWidget *widget;
    QTimer frame;
    bool held = false;
};
