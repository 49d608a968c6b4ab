#include "ReturnQuestionsDialog.h"
#include "ui_ReturnQuestionsDialog.h"

#include "Skin.h"

ReturnQuestionsDialog::ReturnQuestionsDialog(QWidget *parent)
    : FramelessDialog(parent), ui(new Ui::ReturnQuestionsDialog)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
}

ReturnQuestionsDialog::~ReturnQuestionsDialog()
{
    delete ui;
}

void ReturnQuestionsDialog::setMode(const QString &text, int newMode)
{
    ui->label_text->setText(text);
    mode = newMode;
    ui->pushButton_next->setText(mode == 1 ? QStringLiteral("取消") : QStringLiteral("下一节"));
}

void ReturnQuestionsDialog::setSkinColor(const QString &color)
{
    const QString style = skinButtonStyle(color);
    ui->pushButton_next->setStyleSheet(style);
    ui->pushButton_returnquestions->setStyleSheet(style);
}

void ReturnQuestionsDialog::on_pushButton_next_clicked()
{
    if (mode == 0 || mode == 2)
        emit sendReturnQuestions(0);
    close();
}

void ReturnQuestionsDialog::on_pushButton_returnquestions_clicked()
{
    emit sendReturnQuestions(1);
    close();
}

void ReturnQuestionsDialog::on_pushButton_exit_clicked()
{
    close();
}
