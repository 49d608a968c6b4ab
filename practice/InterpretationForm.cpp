#include "InterpretationForm.h"
#include "ui_InterpretationForm.h"

#include "Translucency.h"

InterpretationForm::InterpretationForm(QWidget *parent)
    : QWidget(parent), ui(new Ui::InterpretationForm)
{
    ui->setupUi(this);
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint);
    Translucency::apply(this);
}

InterpretationForm::~InterpretationForm()
{
    delete ui;
}

void InterpretationForm::leaveEvent(QEvent *)
{
    close();
}
