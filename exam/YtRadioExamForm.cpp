#include "YtRadioExamForm.h"
#include "ui_YtRadioExamForm.h"

#include "Skin.h"
#include "Translucency.h"

YtRadioExamForm::YtRadioExamForm(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::YtRadioExamForm)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    // The panel picture has a transparent surround.
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    Translucency::apply(this);
    ui->label_pro->hide();
}

YtRadioExamForm::~YtRadioExamForm()
{
    delete ui;
}

void YtRadioExamForm::setSkinColor(const QString &color)
{
    const QString style = QStringLiteral("QPushButton{border-image: none;border-radius:5px;font: 14pt \"微软雅黑\";color: rgb(255, "
                                         "255, 255);background-color: rgb(%1);}QPushButton:hover{background-color: rgb(%2);}")
                              .arg(color, skinHoverColor(color));
    ui->pushButton_ok->setStyleSheet(style);
    ui->pushButton_cancel->setStyleSheet(style);
}

void YtRadioExamForm::on_pushButton_ok_clicked()
{
    if (ui->radioButton_1->isChecked()) {
        emit sendRadioExam(0, 1, ui->radioButton_1->text());
        close();
    } else if (ui->radioButton_2->isChecked()) {
        emit sendRadioExam(0, 2, ui->radioButton_2->text());
        close();
    } else {
        ui->label_pro->show();
    }
}

void YtRadioExamForm::on_pushButton_cancel_clicked()
{
    emit sendRadioExam(1, 0, QString());
    close();
}

void YtRadioExamForm::on_radioButton_1_clicked()
{
    ui->label_pro->hide();
}

void YtRadioExamForm::on_radioButton_2_clicked()
{
    ui->label_pro->hide();
}
