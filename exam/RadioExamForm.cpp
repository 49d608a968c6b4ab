#include "RadioExamForm.h"

#include "ui_RadioExamForm.h"

RadioExamForm::RadioExamForm(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::RadioExamForm)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlags(Qt::Dialog | Qt::WindowStaysOnTopHint);
}

RadioExamForm::~RadioExamForm()
{
    delete ui;
}

void RadioExamForm::on_pushButton_ok_clicked()
{
    int level = 0;
    if (ui->radioButton_1->isChecked())
        level = 0;
    else if (ui->radioButton_2->isChecked())
        level = 1;
    emit sendRadioExam(0, level);
    close();
}

void RadioExamForm::on_pushButton_cancel_clicked()
{
    emit sendRadioExam(1, 0);
    close();
}
