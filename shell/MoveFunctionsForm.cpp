#include "MoveFunctionsForm.h"
#include "ui_MoveFunctionsForm.h"

#include "SqliteClass.h"
#include "Translucency.h"

namespace {
const int syllabusPage = 12;
}

MoveFunctionsForm::MoveFunctionsForm(QWidget *parent)
    : QWidget(parent), ui(new Ui::MoveFunctionsForm)
{
    ui->setupUi(this);
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint);
    Translucency::apply(this);
    // Decided once: a new bank brings a new panel.
    if (SqliteClass::instance()->examOutlineCount() <= 0)
        ui->pushButton_kaishizhinan->hide();
    ui->pushButton_set->hide();
}

MoveFunctionsForm::~MoveFunctionsForm()
{
    delete ui;
}

void MoveFunctionsForm::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    close();
}

void MoveFunctionsForm::on_pushButton_kaishizhinan_clicked()
{
    emit sendExamOutline(syllabusPage);
    close();
}

void MoveFunctionsForm::on_pushButton_zaixiankecheng_clicked()
{
    emit sendMoveFunctionOutOutline(OnlineCourses);
}

void MoveFunctionsForm::on_pushButton_4_clicked()
{
    emit sendMoveFunctionOutOutline(DataBackup);
}

void MoveFunctionsForm::on_pushButton_DataRecovery_clicked()
{
    emit sendMoveFunctionOutOutline(DataRepair);
}

void MoveFunctionsForm::on_pushButton_Feedback_clicked()
{
    emit sendMoveFunctionOutOutline(Feedback);
}

void MoveFunctionsForm::on_pushButton_examabout_clicked()
{
    emit sendMoveFunctionOutOutline(ExamNews);
}

void MoveFunctionsForm::on_pushButton_about_clicked()
{
    emit sendMoveFunctionOutOutline(AboutBox);
}
