#pragma once

#include <QLabel>

// A label that reports a click: a press of any button followed by a release
// on it. The mouse events travel on to the widgets behind it, so the row and
// its table still see them; the label's own text interaction never does.
// The click arrives one turn of the event loop after the release, and only
// while the label lives.
class Inherit_QLabel : public QLabel
{
    Q_OBJECT
public:
    explicit Inherit_QLabel(QWidget *parent = nullptr);
    ~Inherit_QLabel() override;

signals:
    void sendclick();
    void sendHoverIn();
    void sendHoverOut();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    bool pressed = false;
};
