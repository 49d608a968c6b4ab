#include "ViewReport2.h"
#include "ui_ViewReport2.h"

ViewReport2::ViewReport2(QWidget *parent)
    : QWidget(parent), ui(new Ui::ViewReport2)
{
    ui->setupUi(this);
}

ViewReport2::~ViewReport2()
{
    delete ui;
}

void ViewReport2::wheelEvent(QWheelEvent *event)
{
    // The base leaves the turn unaccepted: the viewer scrolls the text.
    QWidget::wheelEvent(event);
}
