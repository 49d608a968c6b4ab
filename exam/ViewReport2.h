#pragma once

#include <QWidget>

namespace Ui {
class ViewReport2;
}

// The clear cover a report viewer lays over its text: presses and wheel turns
// on it are not taken, so they reach the viewer beneath (its parent), which
// drags its window or scrolls the text.
class ViewReport2 : public QWidget
{
    Q_OBJECT
public:
    explicit ViewReport2(QWidget *parent = nullptr);
    ~ViewReport2() override;

protected:
    void wheelEvent(QWheelEvent *event) override;

private:
    Ui::ViewReport2 *ui;
};
