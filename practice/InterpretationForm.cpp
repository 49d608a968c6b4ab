#include "InterpretationForm.h"
#include "ui_InterpretationForm.h"

InterpretationForm::InterpretationForm(QWidget *parent)
    : QWidget(parent), ui(new Ui::InterpretationForm)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_TranslucentBackground);
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint);
}

InterpretationForm::~InterpretationForm()
{
    delete ui;
}

void InterpretationForm::leaveEvent(QEvent *)
{
    close();
}
