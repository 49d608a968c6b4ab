#include "SetExamTime.h"
#include "ui_SetExamTime.h"

#include "Skin.h"

SetExamTime::SetExamTime(QWidget *parent)
    : FramelessDialog(parent), ui(new Ui::SetExamTime)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    ui->dateEdit->setDate(QDate::currentDate());
}

SetExamTime::~SetExamTime()
{
    delete ui;
}

void SetExamTime::setDate(const QDate &date)
{
    ui->dateEdit->setDate(date);
}

void SetExamTime::setSkinColor(const QString &color)
{
    ui->pushButton_save->setStyleSheet(skinButtonStyle(color));
}

void SetExamTime::on_pushButton_save_clicked()
{
    emit sendDateTime(ui->dateEdit->date());
    close();
}

void SetExamTime::on_pushButton_exit_clicked()
{
    close();
}
